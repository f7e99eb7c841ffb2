#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (session logout, Ctrl+C, a closed
// terminal) into an orderly quit on the main thread, so the app shuts down
// the same way as from the tray menu.
class VelTerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit VelTerminationSignals(QObject *parent = nullptr);
    ~VelTerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};

#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running app per user. A second launch hands its request to the first
// (which shows its main window) and exits.
class VelSingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit VelSingleInstance(const QString &name = defaultName(), QObject *parent = nullptr);
    ~VelSingleInstance() override;

    // True when another instance answered and took the activation request.
    bool notifyRunningInstance(int timeoutMs = 1000);
    // Starts listening for later launches; false when that is impossible.
    bool listen();

    static QString defaultName();

signals:
    void activationRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};

#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class VelSimulatedReceiver;

// The simulated receiver's control socket. One command per line, one answer
// line each ("ok …" or "error: …"):
//   plug | unplug | key <code> | status [power=N] [battery=N] | audio <wav> | info
class VelSimControlServer : public QObject
{
    Q_OBJECT
public:
    VelSimControlServer(VelSimulatedReceiver &receiver, QObject *parent = nullptr);
    ~VelSimControlServer() override;

    bool listen(const QString &name);
    QString serverName() const;

    // The answer to one command line.
    QString execute(const QString &line);

    static QString defaultName();

private:
    QString info() const;

    VelSimulatedReceiver &m_receiver;
    QLocalServer *m_server = nullptr;
};

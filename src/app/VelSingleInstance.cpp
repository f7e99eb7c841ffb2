#include "VelSingleInstance.h"

#include "util/VelLog.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
const QByteArray kActivate = "activate\n";
}

VelSingleInstance::VelSingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , m_name(name)
{
}

VelSingleInstance::~VelSingleInstance() = default;

QString VelSingleInstance::defaultName()
{
    // One app per login session: the session's runtime folder where there is
    // one, else one per user in the temporary folder.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/travik-vazade.instance");
    return QStringLiteral("travik-vazade-%1").arg(::getuid());
}

bool VelSingleInstance::notifyRunningInstance(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kActivate);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // Wait for the acknowledgement so we know the request was taken.
    if (!socket.waitForReadyRead(timeoutMs))
        return false;
    return socket.readAll().startsWith("ok");
}

bool VelSingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A stale socket from a crashed instance: nobody answered above.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            velLog(QStringLiteral("单实例：无法监听 %1：%2").arg(m_name, m_server->errorString()));
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == kActivate) {
                    socket->write("ok\n");
                    socket->flush();
                    emit activationRequested();
                }
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

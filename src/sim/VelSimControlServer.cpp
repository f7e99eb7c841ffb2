#include "VelSimControlServer.h"

#include "app/VelUserInfoData.h"
#include "device/VelHidapiManager.h"
#include "sim/VelSimulatedReceiver.h"
#include "util/VelLog.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

const QString kUsage = QStringLiteral("commands: plug, unplug, key <code>, status [power=N] [battery=N], audio <file.wav>, info");

// A byte value written in decimal or with 0x in front.
bool parseByte(const QString &text, int *value)
{
    bool ok = false;
    const int parsed = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                                 : text.toInt(&ok, 10);
    if (!ok || parsed < 0 || parsed > 255)
        return false;
    *value = parsed;
    return true;
}

} // namespace

VelSimControlServer::VelSimControlServer(VelSimulatedReceiver &receiver, QObject *parent)
    : QObject(parent)
    , m_receiver(receiver)
{
}

VelSimControlServer::~VelSimControlServer() = default;

QString VelSimControlServer::defaultName()
{
    return QStringLiteral("travik-vazade-sim-%1").arg(::getuid());
}

QString VelSimControlServer::serverName() const
{
    return m_server ? m_server->serverName() : QString();
}

bool VelSimControlServer::listen(const QString &name)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        QLocalServer::removeServer(name);
        if (!m_server->listen(name)) {
            velLog(QStringLiteral("模拟接收器：无法监听控制套接字 %1：%2").arg(name, m_server->errorString()));
            return false;
        }
    }
    velLog(QStringLiteral("模拟接收器：控制套接字 %1").arg(m_server->fullServerName()));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    const QString line = QString::fromUtf8(socket->readLine()).trimmed();
                    socket->write(execute(line).toUtf8() + '\n');
                }
                // A line longer than any command is garbage: refuse it.
                if (socket->bytesAvailable() > 4096) {
                    socket->readAll();
                    socket->write("error: line too long\n");
                }
            });
        }
    });
    return true;
}

QString VelSimControlServer::execute(const QString &line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("error: empty command; ") + kUsage;
    const QString command = words.first().toLower();
    const QStringList args = words.mid(1);

    if (command == QLatin1String("plug") || command == QLatin1String("unplug")) {
        if (!args.isEmpty())
            return QStringLiteral("error: %1 takes no arguments").arg(command);
        command == QLatin1String("plug") ? m_receiver.plug() : m_receiver.unplug();
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("key")) {
        int code = 0;
        if (args.size() != 1 || !parseByte(args.first(), &code) || code == 0)
            return QStringLiteral("error: key needs one key code 1-255, e.g. key 0x85");
        if (!m_receiver.isPlugged())
            return QStringLiteral("error: the receiver is unplugged");
        m_receiver.pressKey(uint8_t(code));
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("status")) {
        int power = m_receiver.power();
        int battery = m_receiver.battery();
        for (const QString &arg : args) {
            const QString key = arg.section(QLatin1Char('='), 0, 0).toLower();
            const QString value = arg.section(QLatin1Char('='), 1);
            int parsed = 0;
            if (!arg.contains(QLatin1Char('=')) || !parseByte(value, &parsed))
                return QStringLiteral("error: bad argument '%1'; use power=0|1 battery=0-100").arg(arg);
            if (key == QLatin1String("power"))
                power = parsed;
            else if (key == QLatin1String("battery") && parsed <= 100)
                battery = parsed;
            else
                return QStringLiteral("error: bad argument '%1'; use power=0|1 battery=0-100").arg(arg);
        }
        if (!m_receiver.isPlugged())
            return QStringLiteral("error: the receiver is unplugged");
        m_receiver.setStatus(power, battery);
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("audio")) {
        if (args.isEmpty())
            return QStringLiteral("error: audio needs a WAV file");
        // The path may contain blanks: everything after the command.
        const QString path = line.trimmed().section(QLatin1Char(' '), 1).trimmed();
        QString error;
        int frames = 0;
        if (!m_receiver.streamAudioFile(path, &error, &frames))
            return QStringLiteral("error: ") + error;
        return QStringLiteral("ok frames=%1").arg(frames);
    }
    if (command == QLatin1String("info")) {
        if (!args.isEmpty())
            return QStringLiteral("error: info takes no arguments");
        return info();
    }
    return QStringLiteral("error: unknown command '%1'; ").arg(command) + kUsage;
}

QString VelSimControlServer::info() const
{
    VelMouseInfoItem &mouse = VelUserInfoData::sharedVelUserInfoData().mouseInfoItem();
    const VelHidapiManager &hid = VelHidapiManager::sharedVelHidapiManager();
    QStringList fields;
    fields << QStringLiteral("plugged=%1").arg(m_receiver.isPlugged() ? 1 : 0)
           << QStringLiteral("connected=%1").arg(hid.hidDeviceConnected() ? 1 : 0)
           << QStringLiteral("vid=0x%1").arg(mouse.vid(), 4, 16, QLatin1Char('0'))
           << QStringLiteral("pid=0x%1").arg(mouse.pid(), 4, 16, QLatin1Char('0'))
           << QStringLiteral("kind=%1").arg(mouse.devieType())
           << QStringLiteral("sn=%1").arg(mouse.sn().isEmpty() ? QStringLiteral("-") : mouse.sn())
           << QStringLiteral("power=%1").arg(mouse.mousePowerOFF() ? 0 : 1)
           << QStringLiteral("battery=%1").arg(mouse.power())
           << QStringLiteral("dpi=%1").arg(mouse.dpi())
           << QStringLiteral("sensor=%1").arg(mouse.type())
           << QStringLiteral("led=%1").arg(mouse.led() ? 1 : 0)
           << QStringLiteral("firmware=%1").arg(mouse.softwareVersion().isEmpty() ? QStringLiteral("-") : mouse.softwareVersion())
           << QStringLiteral("lastKey=0x%1").arg(hid.pressType(), 2, 16, QLatin1Char('0'))
           << QStringLiteral("audioSent=%1").arg(m_receiver.audioFramesSent())
           << QStringLiteral("audioReceived=%1").arg(hid.audioFramesReceived())
           << QStringLiteral("audioDecoded=%1").arg(hid.audioFramesDecoded())
           << QStringLiteral("dropped=%1").arg(m_receiver.reportsDropped());
    return QStringLiteral("ok ") + fields.join(QLatin1Char(' '));
}

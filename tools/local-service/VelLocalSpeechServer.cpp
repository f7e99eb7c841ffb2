#include "VelLocalSpeechServer.h"

#include "VelBuildConstants.h"
#include "VelLocalOfflineEngine.h"
#include "VelLocalRequestLog.h"
#include "VelLocalScriptedEngine.h"
#include "VelLocalSpeechSession.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>
#include <QWebSocket>

VelLocalSpeechServer::VelLocalSpeechServer(VelLocalRequestLog *log, QObject *parent)
    : QObject(parent)
    , m_log(log)
    , m_server(QStringLiteral("travik-vazade-local-service"), QWebSocketServer::NonSecureMode)
{
    connect(&m_server, &QWebSocketServer::newConnection, this, &VelLocalSpeechServer::onNewConnection);
}

quint16 VelLocalSpeechServer::listen(quint16 port)
{
    if (!m_server.listen(QHostAddress::LocalHost, port))
        return 0;
    return m_server.serverPort();
}

QString VelLocalSpeechServer::setDefaultScript(const QString &script)
{
    QList<VelLocalScriptedEngine::Step> steps;
    QString error;
    if (!script.isEmpty() && !VelLocalScriptedEngine::parse(script, &steps, &error))
        return error;
    m_defaultScript = script;
    return {};
}

QString VelLocalSpeechServer::enqueueScript(const QString &script)
{
    QList<VelLocalScriptedEngine::Step> steps;
    QString error;
    if (!VelLocalScriptedEngine::parse(script, &steps, &error))
        return error;
    m_queued.append(script);
    return {};
}

void VelLocalSpeechServer::clearScripts()
{
    m_queued.clear();
    m_defaultScript.clear();
}

QJsonObject VelLocalSpeechServer::scriptState() const
{
    QJsonArray queued;
    for (const QString &script : m_queued)
        queued.append(script);
    return QJsonObject{{QStringLiteral("queued"), queued},
                       {QStringLiteral("default"), m_defaultScript},
                       {QStringLiteral("sessions"), m_sessions}};
}

VelLocalSpeechServer::Refusal VelLocalSpeechServer::check(QWebSocket *socket, QString *scene) const
{
    const QUrl url = socket->requestUrl();
    if (url.path() != QLatin1String("/v1/aiui"))
        return {10106, QStringLiteral("unknown path %1").arg(url.path())};
    const QUrlQuery query(url);
    auto value = [&query](const char *key) { return query.queryItemValue(QLatin1String(key), QUrl::FullyDecoded); };
    const QString appId = value("appid");
    const QString checksum = value("checksum");
    const QString curtime = value("curtime");
    const QString param = value("param");
    const QString signtype = value("signtype");

    if (appId.isEmpty() || checksum.isEmpty() || curtime.isEmpty() || param.isEmpty() || signtype.isEmpty())
        return {10106, QStringLiteral("appid, checksum, curtime, param and signtype are all required")};
    if (appId != QLatin1String(VelBuild::kSpeechAppId))
        return {10105, QStringLiteral("illegal access: unknown appid")};
    if (signtype != QLatin1String("sha256"))
        return {10106, QStringLiteral("signtype must be sha256")};
    bool ok = false;
    const qint64 sentAt = curtime.toLongLong(&ok);
    if (!ok)
        return {10106, QStringLiteral("curtime must be whole seconds since 1970")};
    if (std::abs(QDateTime::currentSecsSinceEpoch() - sentAt) > kMaxClockSkewSeconds)
        return {10107, QStringLiteral("curtime is more than five minutes away from the server's clock")};
    const QByteArray expected = QCryptographicHash::hash(
                                    (QLatin1String(VelBuild::kSpeechApiKey) + curtime + param).toUtf8(),
                                    QCryptographicHash::Sha256)
                                    .toHex();
    if (checksum.toLatin1() != expected)
        return {10110, QStringLiteral("checksum verification failed")};

    const auto decoded = QByteArray::fromBase64Encoding(param.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const QJsonDocument document = decoded ? QJsonDocument::fromJson(*decoded) : QJsonDocument();
    if (!document.isObject())
        return {10106, QStringLiteral("param is not Base64 of a JSON object")};
    *scene = document.object().value(QStringLiteral("scene")).toString();
    if (scene->isEmpty())
        return {10106, QStringLiteral("param has no scene")};
    return {};
}

void VelLocalSpeechServer::onNewConnection()
{
    while (QWebSocket *socket = m_server.nextPendingConnection()) {
        const QString sid = QStringLiteral("lsv%1%2").arg(QDateTime::currentSecsSinceEpoch()).arg(++m_sessions);
        QList<QPair<QByteArray, QByteArray>> headers;
        for (const QByteArray &name : socket->request().rawHeaderList())
            headers.append({name, socket->request().rawHeader(name)});
        const QByteArray rawQuery = socket->requestUrl().query(QUrl::FullyEncoded).toLatin1();

        QString scene;
        const Refusal refusal = check(socket, &scene);
        if (refusal.code != 0) {
            m_log->recordSpeech(socket->requestUrl().path(), rawQuery, headers,
                                QStringLiteral("refused %1 (%2)").arg(refusal.code).arg(refusal.desc));
            socket->sendTextMessage(QString::fromUtf8(VelLocalSpeechSession::errorMessage(sid, refusal.code, refusal.desc)));
            connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated, refusal.desc);
            continue;
        }

        VelLocalSpeechEngine *engine = nullptr;
        QString engineName;
        const QString script = !m_queued.isEmpty() ? m_queued.takeFirst() : m_defaultScript;
        if (!script.isEmpty()) {
            QList<VelLocalScriptedEngine::Step> steps;
            QString error;
            VelLocalScriptedEngine::parse(script, &steps, &error);  // checked when it was set
            auto *scripted = new VelLocalScriptedEngine(steps);
            engine = scripted;
            engineName = QStringLiteral("scripted, %1 steps").arg(steps.size());
        } else {
            if (scene != QLatin1String("english"))
                VelLocalRequestLog::line(QStringLiteral("speech: no offline model for the scene \"%1\"; "
                                                        "answering with the English engine")
                                             .arg(scene));
            engine = new VelLocalOfflineEngine(scene);
            engineName = QStringLiteral("offline English");
        }
        m_log->recordSpeech(socket->requestUrl().path(), rawQuery, headers,
                            QStringLiteral("accepted %1 (scene %2, %3)").arg(sid, scene, engineName));

        auto *session = new VelLocalSpeechSession(socket, engine, sid, this);
        connect(session, &VelLocalSpeechSession::finished, session, &QObject::deleteLater);
        socket->sendTextMessage(QString::fromUtf8(VelLocalSpeechSession::startedMessage(sid)));
        if (auto *scripted = qobject_cast<VelLocalScriptedEngine *>(engine))
            scripted->start();
    }
}

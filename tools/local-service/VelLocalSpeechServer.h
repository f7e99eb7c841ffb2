#pragma once

#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QWebSocketServer>

class VelLocalRequestLog;
class QWebSocket;

// The speech WebSocket ("/v1/aiui" on its own port). A connection is accepted
// only with the configured "appid", "signtype" sha256, a "curtime" no more than
// five minutes away and a "checksum" equal to SHA-256(API key + curtime + param);
// "param" must be Base64 of a JSON object with a "scene". Refusals get an error
// message and a close. An accepted connection gets the next queued script, else
// the default script, else the offline English recognizer.
class VelLocalSpeechServer : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxClockSkewSeconds = 5 * 60;

    explicit VelLocalSpeechServer(VelLocalRequestLog *log, QObject *parent = nullptr);

    quint16 listen(quint16 port);

    // Returns an error text when the script does not parse.
    QString setDefaultScript(const QString &script);
    QString enqueueScript(const QString &script);
    void clearScripts();
    QJsonObject scriptState() const;

private:
    struct Refusal {
        int code = 0;
        QString desc;
    };

    void onNewConnection();
    Refusal check(QWebSocket *socket, QString *scene) const;

    VelLocalRequestLog *m_log;
    QWebSocketServer m_server;
    QList<QString> m_queued;
    QString m_defaultScript;
    int m_sessions = 0;
};

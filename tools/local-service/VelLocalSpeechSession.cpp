#include "VelLocalSpeechSession.h"

#include "VelLocalRequestLog.h"
#include "VelLocalSpeechEngine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Word groups whose texts, joined without a separator, give the text back:
// a space stays in front of the word it precedes.
QJsonArray wordGroups(const QString &text)
{
    QJsonArray groups;
    QString word;
    auto flush = [&] {
        if (!word.isEmpty())
            groups.append(QJsonObject{{QStringLiteral("bg"), 0},
                                      {QStringLiteral("cw"), QJsonArray{QJsonObject{{QStringLiteral("w"), word},
                                                                                    {QStringLiteral("sc"), 0}}}}});
        word.clear();
    };
    for (const QChar c : text) {
        if (c.isSpace() && !word.trimmed().isEmpty())
            flush();
        word += c;
    }
    flush();
    return groups;
}

}  // namespace

VelLocalSpeechSession::VelLocalSpeechSession(QWebSocket *socket, VelLocalSpeechEngine *engine, const QString &sid,
                                             QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_engine(engine)
    , m_sid(sid)
{
    m_socket->setParent(this);
    m_engine->setParent(this);
    connect(m_socket, &QWebSocket::binaryMessageReceived, this, &VelLocalSpeechSession::onBinary);
    connect(m_socket, &QWebSocket::textMessageReceived, this, [this](const QString &message) {
        VelLocalRequestLog::line(QStringLiteral("speech %1: text message ignored (%2 characters)").arg(m_sid).arg(message.size()));
    });
    connect(m_socket, &QWebSocket::disconnected, this, [this] {
        VelLocalRequestLog::line(QStringLiteral("speech %1: closed after %2 audio chunks").arg(m_sid).arg(m_chunks));
        emit finished();
    });
    connect(m_engine, &VelLocalSpeechEngine::result, this, [this](const QString &pgs, const QString &text, bool isFinish) {
        sendText(resultMessage(m_sid, ++m_serial, pgs, text, isFinish));
    });
    connect(m_engine, &VelLocalSpeechEngine::failure, this, [this](int code, const QString &desc, bool closeAfter) {
        sendText(errorMessage(m_sid, code, desc));
        if (closeAfter)
            m_socket->close(QWebSocketProtocol::CloseCodeAbnormalDisconnection, desc);
    });
    connect(m_engine, &VelLocalSpeechEngine::dropConnection, this, [this] {
        VelLocalRequestLog::line(QStringLiteral("speech %1: dropping the connection").arg(m_sid));
        m_socket->abort();
    });
    connect(m_engine, &VelLocalSpeechEngine::closeConnection, this, [this] { m_socket->close(); });
}

QByteArray VelLocalSpeechSession::resultMessage(const QString &sid, int serial, const QString &pgs, const QString &text,
                                                bool isFinish)
{
    QJsonObject words{{QStringLiteral("sn"), serial}, {QStringLiteral("ls"), isFinish},
                      {QStringLiteral("ws"), wordGroups(text)}};
    if (!pgs.isEmpty())
        words.insert(QStringLiteral("pgs"), pgs);
    const QJsonObject data{{QStringLiteral("sub"), QStringLiteral("iat")},
                           {QStringLiteral("is_last"), isFinish},
                           {QStringLiteral("is_finish"), isFinish},
                           {QStringLiteral("text"), words}};
    const QJsonObject message{{QStringLiteral("action"), QStringLiteral("result")},
                              {QStringLiteral("code"), QStringLiteral("0")},
                              {QStringLiteral("data"), data},
                              {QStringLiteral("desc"), QStringLiteral("success")},
                              {QStringLiteral("sid"), sid}};
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QByteArray VelLocalSpeechSession::errorMessage(const QString &sid, int code, const QString &desc)
{
    const QJsonObject message{{QStringLiteral("action"), QStringLiteral("error")},
                              {QStringLiteral("code"), QString::number(code)},
                              {QStringLiteral("data"), QString()},
                              {QStringLiteral("desc"), desc},
                              {QStringLiteral("sid"), sid}};
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QByteArray VelLocalSpeechSession::startedMessage(const QString &sid)
{
    const QJsonObject message{{QStringLiteral("action"), QStringLiteral("started")},
                              {QStringLiteral("code"), QStringLiteral("0")},
                              {QStringLiteral("data"), QString()},
                              {QStringLiteral("desc"), QStringLiteral("success")},
                              {QStringLiteral("sid"), sid}};
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

void VelLocalSpeechSession::onBinary(const QByteArray &message)
{
    if (message == "--end--") {
        // The client repeats the marker for every chunk after the end; once is enough.
        if (!m_endSeen) {
            m_endSeen = true;
            VelLocalRequestLog::line(QStringLiteral("speech %1: end marker after %2 audio chunks").arg(m_sid).arg(m_chunks));
            m_engine->endOfAudio();
        }
        return;
    }
    if (m_endSeen)
        return;  // audio after the end marker belongs to no sentence
    ++m_chunks;
    m_engine->feedAudio(message);
}

void VelLocalSpeechSession::sendText(const QByteArray &message)
{
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->sendTextMessage(QString::fromUtf8(message));
}

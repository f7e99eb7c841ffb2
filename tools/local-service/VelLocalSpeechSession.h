#pragma once

#include <QObject>
#include <QPointer>
#include <QWebSocket>

class VelLocalSpeechEngine;

// One recognizer connection: binary messages are audio (or the "--end--"
// marker) for the engine; the engine's results go back as the service's JSON
// messages ("action", "code", "data"."is_finish", "data"."text"."pgs"/"ws").
class VelLocalSpeechSession : public QObject
{
    Q_OBJECT
public:
    // Takes ownership of both.
    VelLocalSpeechSession(QWebSocket *socket, VelLocalSpeechEngine *engine, const QString &sid, QObject *parent = nullptr);

    static QByteArray resultMessage(const QString &sid, int serial, const QString &pgs, const QString &text,
                                    bool isFinish);
    static QByteArray errorMessage(const QString &sid, int code, const QString &desc);
    static QByteArray startedMessage(const QString &sid);

signals:
    void finished();

private:
    void onBinary(const QByteArray &message);
    void sendText(const QByteArray &message);

    QWebSocket *m_socket;
    VelLocalSpeechEngine *m_engine;
    QString m_sid;
    int m_serial = 0;
    int m_chunks = 0;
    bool m_endSeen = false;
};

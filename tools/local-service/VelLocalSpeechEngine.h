#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// What a speech session feeds and hears back. The session turns these signals
// into the service's JSON result messages.
class VelLocalSpeechEngine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void feedAudio(const QByteArray &pcm) = 0;  // 16-bit mono PCM at 16 kHz, any length
    virtual void endOfAudio() = 0;                       // the client sent the end marker

signals:
    // pgs is "rpl" or "apd"; an empty pgs sends a message without one (the final marker).
    void result(const QString &pgs, const QString &text, bool isFinish);
    void failure(int code, const QString &desc, bool closeAfter);
    void dropConnection();  // abort the TCP connection without a closing handshake
    void closeConnection();
};

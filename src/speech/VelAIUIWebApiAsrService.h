#pragma once

#include "platform/AudioInput.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>

class QTimer;
class QWebSocket;
class VelAudioQueueCapture;

// The streaming recognizer: one web-socket connection to the speech service
// per voice session. Audio goes out as binary messages while the user speaks;
// partial (1), sentence (2) and final (3) texts, and failures (4), come back
// through the callback, always on the main thread.
class VelAIUIWebApiAsrService : public QObject
{
    Q_OBJECT
public:
    using Callback = std::function<void(bool success, const QString &text, bool flag, qint64 asrResultType)>;
    using DevicePcmBlock = std::function<void(const QByteArray &pcm)>;
    // Installs (or, with an empty block, removes) the receiver of the mouse's PCM.
    using DevicePcmRegistrar = std::function<void(DevicePcmBlock block)>;

    enum Status : int { StatusFirst = 0, StatusStreaming = 1, StatusEnding = 2 };

    static VelAIUIWebApiAsrService &sharedVelAIUIWebApiAsrService();
    ~VelAIUIWebApiAsrService() override;

    void beginAsrWithRecognitionLanguage(const QString &language, const QString &engine, Callback callback);
    void endAsr();
    // Every audio chunk of the session, from the audio source's thread.
    void pcmDataWorkWithPcm(const QByteArray &pcm);

    // The signed address for a connection made at `curtime` (seconds since 1970).
    QUrl requestUrl(qint64 curtime) const;
    // The session parameters, pretty-printed JSON in Base64.
    QString sessionParam() const;

    QString recognizationLanguage() const { return m_recognizationLanguage; }
    QString continuedResult() const { return m_continuedResult; }
    QString completeResult() const { return m_completeResult; }
    int status() const { return m_status.load(); }
    bool isConnectionOpen() const { return m_open.load(); }

    void setDevicePcmRegistrar(DevicePcmRegistrar registrar) { m_devicePcmRegistrar = std::move(registrar); }
    // Where microphone sessions take their input from (the computer's
    // default input unless set; tests and --mic-wav replace it).
    void setAudioInputFactory(std::function<std::unique_ptr<AudioInput>()> factory);

    // When no audio arrives this long after endAsr, the end marker goes out
    // on its own, so a source that falls silent cannot hold the final back.
    static constexpr int kEndMarkerFallbackMs = 200;
    static constexpr int kReconnectDelayMs = 300;
    static constexpr int kConnectTimeoutMs = 60000;

signals:
    // For observers and benchmarks: a binary message was written to the socket.
    void binaryMessageSent(qint64 bytes, bool endMarker);

protected:
    VelAIUIWebApiAsrService();

private:
    void requestWebSocket();
    void reConnectWebSocket();
    void dropSocket();
    void webSocketDidOpen();
    void didReceiveMessage(const QString &message);
    void didFailWithError(const QString &error);
    void didClose();
    void startAudioSource();
    void sendChunk(const QByteArray &pcm);
    void sendEndMarker();
    void applyMandarin(const QString &pgs, const QString &words);
    void applyEnglish(const QString &pgs, const QString &words);
    void resultTypeWorkWithType(qint64 type);

    // Guarded by m_lock: the session's end and the reconnection flag.
    mutable QMutex m_lock;
    bool m_isEnd = false;
    bool m_reConnect = false;

    std::atomic<int> m_status{StatusFirst};
    std::atomic<bool> m_open{false};
    std::atomic<quint64> m_chunksSinceEnd{0};

    QString m_recognizationLanguage;
    Callback m_audioResultBlock;
    QString m_continuedResult;
    QString m_completeResult;
    QPointer<QWebSocket> m_webSocket;
    bool m_failureReported = false;
    QTimer *m_connectTimeout = nullptr;
    QTimer *m_endMarkerFallback = nullptr;
    std::shared_ptr<VelAudioQueueCapture> m_audioQueueCapture;
    DevicePcmRegistrar m_devicePcmRegistrar;
    std::function<std::unique_ptr<AudioInput>()> m_audioInputFactory;
};

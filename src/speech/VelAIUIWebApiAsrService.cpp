#include "VelAIUIWebApiAsrService.h"

#include "app/RakLocalizedString.h"
#include "app/VelUserInfoData.h"
#include "device/VelHidapiManager.h"
#include "speech/VelAudioObjectManager.h"
#include "speech/VelAudioQueueCapture.h"
#include "util/VelLog.h"
#include "util/VelMainThread.h"
#include "util/VelServiceConfig.h"
#include "util/VelTextHelpers.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkRequest>
#include <QThreadPool>
#include <QTimer>
#include <QWebSocket>

namespace {
const QByteArray kEndMarker = QByteArrayLiteral("--end--");
}

VelAIUIWebApiAsrService &VelAIUIWebApiAsrService::sharedVelAIUIWebApiAsrService()
{
    static VelAIUIWebApiAsrService *service = new VelAIUIWebApiAsrService;
    return *service;
}

VelAIUIWebApiAsrService::VelAIUIWebApiAsrService()
{
    // The mouse's own PCM comes from the report manager's poll, on the main thread.
    m_devicePcmRegistrar = [](DevicePcmBlock block) {
        VelHidapiManager::PcmBlock pcmBlock;
        if (block)
            pcmBlock = [block](const QByteArray &pcm, qint64) { block(pcm); };
        VelHidapiManager::sharedVelHidapiManager().rowdataPcmAudioCallBack(std::move(pcmBlock));
    };
    m_connectTimeout = new QTimer(this);
    m_connectTimeout->setSingleShot(true);
    m_connectTimeout->setInterval(kConnectTimeoutMs);
    connect(m_connectTimeout, &QTimer::timeout, this, [this] {
        dropSocket();
        didFailWithError(QStringLiteral("connection timed out"));
    });

    m_endMarkerFallback = new QTimer(this);
    m_endMarkerFallback->setSingleShot(true);
    m_endMarkerFallback->setInterval(kEndMarkerFallbackMs);
    connect(m_endMarkerFallback, &QTimer::timeout, this, [this] {
        if (m_chunksSinceEnd.load() == 0 && m_open.load() && m_status.load() == StatusEnding) {
            velLog(QStringLiteral("---音频源已静默，补发结束标记---"));
            sendEndMarker();
        }
    });
}

VelAIUIWebApiAsrService::~VelAIUIWebApiAsrService()
{
    dropSocket();
}

void VelAIUIWebApiAsrService::setAudioInputFactory(std::function<std::unique_ptr<AudioInput>()> factory)
{
    m_audioInputFactory = std::move(factory);
}

void VelAIUIWebApiAsrService::beginAsrWithRecognitionLanguage(const QString &language, const QString &engine,
                                                              Callback callback)
{
    Q_UNUSED(engine); // the only engine
    {
        QMutexLocker lock(&m_lock);
        m_isEnd = false;
    }
    m_recognizationLanguage = language;
    m_audioResultBlock = std::move(callback);
    m_continuedResult.clear();
    m_completeResult.clear();
    // Connect from the event loop, after the caller has returned.
    QTimer::singleShot(0, this, [this] { requestWebSocket(); });
}

QString VelAIUIWebApiAsrService::sessionParam() const
{
    QString sn = VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().sn();
    if (sn.isNull())
        sn = QStringLiteral("(null)"); // a serial number not read yet, as it has always been sent
    const QJsonObject param{
        {QStringLiteral("scene"), m_recognizationLanguage},
        {QStringLiteral("auth_id"), QStringLiteral("0000000000000000") + sn},
        {QStringLiteral("data_type"), QStringLiteral("audio")},
        {QStringLiteral("result_level"), QStringLiteral("complete")},
        {QStringLiteral("dwa"), QStringLiteral("wpgs")},
        {QStringLiteral("ptt"), QStringLiteral("1")},
    };
    return QString::fromLatin1(QJsonDocument(param).toJson(QJsonDocument::Indented).toBase64());
}

QUrl VelAIUIWebApiAsrService::requestUrl(qint64 curtime) const
{
    const auto &config = VelServiceConfig::current();
    const QString time = QString::number(curtime);
    const QString param = sessionParam();
    const QString checksum = VelTextHelpers::sha256Value(config.speechApiKey + time + param);
    const QString url = QStringLiteral("%1?appid=%2&checksum=%3&curtime=%4&param=%5&signtype=%6")
                            .arg(config.speechWebSocketUrl, config.speechAppId, checksum, time, param,
                                 QStringLiteral("sha256"));
    // Percent-encode what a query may not hold; Base64's "+", "/" and "=" stay.
    return QUrl::fromEncoded(QUrl::toPercentEncoding(url, "!$&'()*+,;=:@/?-._~"), QUrl::StrictMode);
}

void VelAIUIWebApiAsrService::requestWebSocket()
{
    dropSocket();
    m_failureReported = false;
    QNetworkRequest request(requestUrl(QDateTime::currentSecsSinceEpoch()));
    request.setTransferTimeout(kConnectTimeoutMs);
    auto *socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    m_webSocket = socket;
    connect(socket, &QWebSocket::connected, this, [this] { webSocketDidOpen(); });
    connect(socket, &QWebSocket::textMessageReceived, this, [this](const QString &m) { didReceiveMessage(m); });
    connect(socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this,
            [this, socket](QAbstractSocket::SocketError) { didFailWithError(socket->errorString()); });
    connect(socket, &QWebSocket::disconnected, this, [this] { didClose(); });
    m_connectTimeout->start();
    socket->open(request);
}

void VelAIUIWebApiAsrService::dropSocket()
{
    m_open = false;
    if (!m_webSocket)
        return;
    // The previous connection goes away without reporting anything.
    QWebSocket *old = m_webSocket;
    m_webSocket = nullptr;
    old->disconnect(this);
    old->abort();
    old->deleteLater();
}

void VelAIUIWebApiAsrService::webSocketDidOpen()
{
    m_connectTimeout->stop();
    velLog(QStringLiteral("【webSocket】连接成功：%1").arg(m_webSocket ? m_webSocket->requestUrl().toString() : QString()));
    bool reConnect = false;
    {
        QMutexLocker lock(&m_lock);
        if (m_isEnd) {
            lock.unlock();
            velLog(QStringLiteral("---还没开始就结束了---"));
            if (m_webSocket)
                m_webSocket->close();
            return;
        }
        reConnect = m_reConnect;
    }
    m_open = true;
    if (reConnect)
        return; // the session's audio source is still running and feeds this connection
    m_status = StatusFirst;
    velLog(QStringLiteral("开始AIUI直连语音识别（USB）: %1").arg(m_recognizationLanguage));
    startAudioSource();
}

void VelAIUIWebApiAsrService::startAudioSource()
{
    QPointer<VelAIUIWebApiAsrService> self(this);
    if (VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().devieType() == 2) {
        if (m_devicePcmRegistrar)
            m_devicePcmRegistrar([self](const QByteArray &pcm) {
                if (self)
                    self->pcmDataWorkWithPcm(pcm);
            });
        else
            velLog(QStringLiteral("设备音频不可用：没有接收器连接"));
        return;
    }
    auto input = m_audioInputFactory ? m_audioInputFactory() : AudioInput::create();
    // The previous session's capture is done with; stop it off the main thread.
    if (auto previous = std::exchange(m_audioQueueCapture, nullptr))
        QThreadPool::globalInstance()->start([previous] { previous->stopRecord(); });
    m_audioQueueCapture = std::make_shared<VelAudioQueueCapture>(std::move(input));
    m_audioQueueCapture->startRecordWithBlock([self](const QByteArray &pcm) {
        if (self)
            self->pcmDataWorkWithPcm(pcm);
    });
}

void VelAIUIWebApiAsrService::pcmDataWorkWithPcm(const QByteArray &pcm)
{
    if (!m_open.load()) {
        velLog(QStringLiteral("ws 已经关闭，不可以发送数据"));
        return;
    }
    if (m_status.load() == StatusEnding)
        ++m_chunksSinceEnd;
    if (VelMainThread::isMainThread()) {
        sendChunk(pcm);
        return;
    }
    // Microphone chunks come from the capture thread: the socket is the main
    // thread's, and queued calls keep the chunks in order.
    QMetaObject::invokeMethod(this, [this, pcm] { sendChunk(pcm); }, Qt::QueuedConnection);
}

void VelAIUIWebApiAsrService::sendChunk(const QByteArray &pcm)
{
    if (!m_webSocket || !m_open.load())
        return;
    VelAudioObjectManager::sharedManager().writePcmData(pcm);
    switch (m_status.load()) {
    case StatusFirst:
        velLog(QStringLiteral("---第一帧音频---"));
        m_webSocket->sendBinaryMessage(pcm);
        emit binaryMessageSent(pcm.size(), false);
        m_status = StatusStreaming;
        break;
    case StatusStreaming:
        velLog(QStringLiteral("---中间的音频---"));
        m_webSocket->sendBinaryMessage(pcm);
        emit binaryMessageSent(pcm.size(), false);
        break;
    default:
        velLog(QStringLiteral("---最后一帧音频---"));
        sendEndMarker();
        break;
    }
}

void VelAIUIWebApiAsrService::sendEndMarker()
{
    if (!m_webSocket || !m_open.load())
        return;
    m_webSocket->sendBinaryMessage(kEndMarker);
    emit binaryMessageSent(kEndMarker.size(), true);
}

void VelAIUIWebApiAsrService::endAsr()
{
    {
        QMutexLocker lock(&m_lock);
        m_isEnd = true;
        m_reConnect = false;
        m_status = StatusEnding;
        m_chunksSinceEnd = 0;
    }
    VelMainThread::run([this] { m_endMarkerFallback->start(); });
    if (auto capture = m_audioQueueCapture)
        QThreadPool::globalInstance()->start([capture] { capture->stopRecord(); });
}

void VelAIUIWebApiAsrService::reConnectWebSocket()
{
    {
        QMutexLocker lock(&m_lock);
        if (m_isEnd)
            return;
        m_reConnect = true;
    }
    requestWebSocket();
}

void VelAIUIWebApiAsrService::didReceiveMessage(const QString &message)
{
    const QJsonObject root = QJsonDocument::fromJson(message.toUtf8()).object();
    const QJsonValue code = root.value(QStringLiteral("code"));
    const qint64 codeValue = code.isString() ? code.toString().toLongLong() : qint64(code.toDouble());
    if (codeValue != 0) {
        velLog(QStringLiteral("AIUI识别，返回了错误的结果：code=%1")
                   .arg(code.isString() ? code.toString() : QString::number(codeValue)));
        QTimer::singleShot(kReconnectDelayMs, this, [this] { reConnectWebSocket(); });
        return;
    }
    const QString action = root.value(QStringLiteral("action")).toString();
    if (action != QLatin1String("result")) {
        velLog(QStringLiteral("AIUI识别，操作类型：%1").arg(action.isNull() ? QStringLiteral("(null)") : action));
        return;
    }
    const QJsonObject data = root.value(QStringLiteral("data")).toObject();
    const bool isFinish = data.value(QStringLiteral("is_finish")).toBool();
    const QJsonObject text = data.value(QStringLiteral("text")).toObject();
    const QString pgs = text.value(QStringLiteral("pgs")).toString();
    QString words;
    for (const QJsonValue &group : text.value(QStringLiteral("ws")).toArray())
        words += group.toObject().value(QStringLiteral("cw")).toArray().at(0).toObject().value(QStringLiteral("w")).toString();

    if (m_recognizationLanguage == QLatin1String("english"))
        applyEnglish(pgs, words);
    else
        applyMandarin(pgs, words);

    bool isEnd = false;
    bool reConnect = false;
    {
        QMutexLocker lock(&m_lock);
        isEnd = m_isEnd;
        reConnect = m_reConnect;
    }
    if (isFinish && isEnd) {
        if (!reConnect) {
            velLog(QStringLiteral("AIUI识别，结束。"));
            resultTypeWorkWithType(3);
        } else {
            velLog(QStringLiteral("AIUI重新连接"));
            resultTypeWorkWithType(2);
        }
    }
}

void VelAIUIWebApiAsrService::applyMandarin(const QString &pgs, const QString &words)
{
    if (pgs == QLatin1String("rpl")) {
        velLog(QStringLiteral("AIUI识别，中间结果：%1").arg(words));
        m_continuedResult = words;
        resultTypeWorkWithType(1);
    } else if (pgs == QLatin1String("apd")) {
        if (!m_continuedResult.isEmpty()) {
            const QString confirmed = m_continuedResult + words;
            velLog(QStringLiteral("AIUI识别，确认结果：%1").arg(confirmed));
            m_completeResult += confirmed;
            resultTypeWorkWithType(2);
            m_continuedResult.clear(); // confirmed: no longer in progress (see the English assembly)
        } else {
            m_continuedResult = words;
        }
    }
}

void VelAIUIWebApiAsrService::applyEnglish(const QString &pgs, const QString &words)
{
    if (pgs == QLatin1String("rpl")) {
        velLog(QStringLiteral("AIUI识别，中间结果：%1").arg(words));
        m_continuedResult = words;
        resultTypeWorkWithType(1);
    } else if (pgs == QLatin1String("apd")) {
        velLog(QStringLiteral("AIUI识别，确认结果：%1").arg(words));
        m_continuedResult = words;
        m_completeResult += words;
        resultTypeWorkWithType(2);
        // The sentence is confirmed and already in the session's text: it is
        // no longer in progress, or the final would repeat it whenever it
        // ends without punctuation.
        m_continuedResult.clear();
    }
}

void VelAIUIWebApiAsrService::resultTypeWorkWithType(qint64 type)
{
    if (type == 1 || type == 2) {
        if (m_audioResultBlock)
            m_audioResultBlock(true, QString(m_continuedResult), true, type);
    } else if (type == 3) {
        if (!VelTextHelpers::isThisStringEndsWithPunctuation(m_completeResult))
            m_completeResult += m_continuedResult;
        if (m_audioResultBlock)
            m_audioResultBlock(true, QString(m_completeResult), true, 3);
        if (m_webSocket)
            m_webSocket->close();
    }
}

void VelAIUIWebApiAsrService::didFailWithError(const QString &error)
{
    m_connectTimeout->stop();
    m_open = false;
    velLog(QStringLiteral("【webSocket】断开连接：%1").arg(error));
    if (m_failureReported)
        return;
    m_failureReported = true;
    if (m_audioResultBlock)
        m_audioResultBlock(false, QStringLiteral("%1(-1)").arg(RakLocalizedString::rakAppLocalizedString(QStringLiteral("识别失败"))),
                           true, 4);
}

void VelAIUIWebApiAsrService::didClose()
{
    m_connectTimeout->stop();
    m_open = false;
    // After a failure the closing of the same connection is not news.
    if (m_failureReported)
        return;
    m_failureReported = true;
    if (m_audioResultBlock)
        m_audioResultBlock(false, QString(), true, 4);
}

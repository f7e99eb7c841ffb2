#include "VelHttpRequestManager.h"

#include "app/RakLocalizedString.h"
#include "cloud/VelNetLogMask.h"
#include "platform/VelUserDefaults.h"
#include "util/VelLog.h"
#include "util/VelMainThread.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cctype>

namespace {

const QStringList kSceneReplyTypes = {
    QStringLiteral("application/json"), QStringLiteral("text/json"), QStringLiteral("text/plain"),
    QStringLiteral("text/html")};

// The client's default for requests that carry no time-out of their own.
constexpr int kDefaultTimeoutSeconds = 15;

QVariant errorValue(const QString &domain, qint64 code)
{
    return QVariant::fromValue(VelNetError{domain, code});
}

// An empty reply, or one the app cannot use (a JSON array, a semantic reply
// without its arrays): the caller hears "系统错误" instead of waiting forever.
QVariant systemError(qint64 code)
{
    return errorValue(RakLocalizedString::rakAppLocalizedString(QStringLiteral("系统错误")), code);
}

constexpr qint64 kEmptyReplyCode = -2;
constexpr qint64 kUnusableReplyCode = -3;
// The code JSON parse failures have always carried.
constexpr qint64 kParseErrorCode = 3840;

void deliver(const VelNetCallback &callback, bool success, const QVariant &result)
{
    if (!callback)
        return;
    VelMainThread::run([callback, success, result] { callback(success, result); });
}

qint64 integerValue(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString)
        return VelUserDefaults::integerValueOfText(value.toString());
    return value.toLongLong();
}

QString mimeType(const QByteArray &contentType)
{
    return QString::fromLatin1(contentType.split(';').first()).trimmed().toLower();
}

// Parses a reply body that must be a JSON object of an accepted type.
bool parseJSONObject(const QByteArray &body, const QByteArray &contentType,
                     const QStringList &acceptedTypes, QVariantMap &object, QVariant &error)
{
    if (body.trimmed().isEmpty()) {
        error = systemError(kEmptyReplyCode);
        return false;
    }
    const QString type = mimeType(contentType);
    if (!acceptedTypes.contains(type)) {
        error = errorValue(QStringLiteral("Request failed: unacceptable content-type: %1").arg(type), -1016);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = errorValue(QStringLiteral("JSON text did not parse: %1").arg(parseError.errorString()),
                           kParseErrorCode);
        return false;
    }
    if (!document.isObject()) {
        error = systemError(kUnusableReplyCode);
        return false;
    }
    object = document.object().toVariantMap();
    return true;
}

VelNetError transportError(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return VelNetError{reply->errorString(), status >= 300 ? status : qint64(reply->error())};
}

void setTimeout(QNetworkRequest &request, qint64 seconds)
{
    request.setTransferTimeout(int(seconds * 1000));
}

} // namespace

VelHttpRequestManager &VelHttpRequestManager::sharedVelHttpRequestManager()
{
    static VelHttpRequestManager *manager = [] {
        auto *created = new VelHttpRequestManager;
        // Its client and replies live on the main thread, whoever asks first.
        if (auto *app = QCoreApplication::instance(); app && created->thread() != app->thread())
            created->moveToThread(app->thread());
        return created;
    }();
    return *manager;
}

// ---- Reachability --------------------------------------------------------

void VelHttpRequestManager::networkReachabilityManager()
{
    if (m_monitoring)
        return;
    m_monitoring = true;
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        velLog(QStringLiteral("网络状态：无法监测网络可达性，按可达处理"));
        return;
    }
    auto *info = QNetworkInformation::instance();
    connect(info, &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability reachability) { reachabilityChanged(reachability); });
    updateReachability();
}

void VelHttpRequestManager::networkStatusChangeCallBack(std::function<void(bool)> callback)
{
    m_networkStatusCallback = std::move(callback);
}

void VelHttpRequestManager::updateReachability()
{
    if (auto *info = QNetworkInformation::instance())
        reachabilityChanged(info->reachability());
}

void VelHttpRequestManager::reachabilityChanged(QNetworkInformation::Reachability reachability)
{
    using R = QNetworkInformation::Reachability;
    switch (reachability) {
    case R::Online:
    case R::Site:
    case R::Local:
        m_networkNotReachable = false;
        velLog(QStringLiteral("当前网络:WiFi"));
        if (m_networkStatusCallback)
            m_networkStatusCallback(true);
        break;
    case R::Disconnected:
        m_networkNotReachable = true;
        velLog(QStringLiteral("当前网络:无网络连接"));
        if (m_networkStatusCallback)
            m_networkStatusCallback(false);
        break;
    case R::Unknown:
        // Unknown counts as reachable: only a known outage short-cuts requests.
        m_networkNotReachable = false;
        velLog(QStringLiteral("当前网络:未知网络"));
        break;
    }
}

// ---- Scene requests ------------------------------------------------------

QNetworkAccessManager *VelHttpRequestManager::urlSessionManager()
{
    if (!m_urlSessionManager) {
        // Network objects belong to the thread that made them; every request
        // is started from the main thread, so the client lives there.
        m_urlSessionManager = new QNetworkAccessManager(this);
        m_urlSessionManager->setTransferTimeout(kDefaultTimeoutSeconds * 1000);
    }
    return m_urlSessionManager;
}

QString VelHttpRequestManager::encodedRequestURL(const QString &url)
{
    // Query values are escaped as components by the scenes, so a "%" in the
    // URL already starts an escape and is kept.
    // (QUrl::toPercentEncoding always escapes "%", so this is done by hand.)
    static const QByteArray kAllowed = "!$&'()*+,-./:;=?@_~%";
    QByteArray encoded;
    for (const char c : url.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x80 && std::isalnum(byte)) || kAllowed.contains(c))
            encoded += c;
        else
            encoded += '%' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
    }
    return QString::fromLatin1(encoded);
}

QString VelHttpRequestManager::urlWithQuery(const QString &url, const QVariantMap &parameters)
{
    if (parameters.isEmpty())
        return url;
    QStringList pairs;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) // QMap: sorted by key
        pairs << QString::fromLatin1(QUrl::toPercentEncoding(it.key())) + QLatin1Char('=') +
                     QString::fromLatin1(QUrl::toPercentEncoding(it.value().toString()));
    const QChar joiner = url.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?');
    return url + joiner + pairs.join(QLatin1Char('&'));
}

void VelHttpRequestManager::httpRequestWithScene(std::shared_ptr<VelNetSceneInterface> scene,
                                                 VelNetCallback callback)
{
    if (!scene)
        return;
    if (validNetworkIsNotReable()) {
        deliver(callback, false, RakLocalizedString::rakAppLocalizedString(QStringLiteral("请检查网络")));
        return;
    }
    const QString url = encodedRequestURL(scene->requestURL());
    velLog(QStringLiteral("请求URL %1").arg(VelNetLogMask::maskedURL(url)));
    velLog(QStringLiteral("请求参数 \n%1").arg(VelNetLogMask::describe(scene->requestParameters())));
    VelMainThread::run([this, scene, url, callback] { startSceneRequest(scene, url, callback); });
}

void VelHttpRequestManager::startSceneRequest(std::shared_ptr<VelNetSceneInterface> scene,
                                              const QString &url, VelNetCallback callback)
{
    const QString method = scene->httpMethod().toUpper();
    // GET-like requests carry their parameters in the query; a POST body is
    // whatever the scene supplies (a body built from the parameters would be
    // replaced by it anyway).
    const bool queryMethod = method == QLatin1String("GET") || method == QLatin1String("HEAD") ||
                             method == QLatin1String("DELETE");
    const QString fullURL = queryMethod ? urlWithQuery(url, scene->requestParameters()) : url;
    const QUrl requestURL(fullURL, QUrl::StrictMode);
    if (!requestURL.isValid() || requestURL.scheme().isEmpty()) {
        const QVariant error = errorValue(QStringLiteral("Invalid request URL: %1").arg(fullURL), -1000);
        if (callback)
            VelMainThread::post([callback, error] { callback(false, error); });
        return;
    }

    QNetworkRequest request(requestURL);
    setTimeout(request, scene->timeOutInterval());
    const VelHeaderMap header = scene->requestHeader();
    for (auto it = header.cbegin(); it != header.cend(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());
    const std::optional<QByteArray> body = scene->requestBody();

    QNetworkAccessManager *client = urlSessionManager();
    QNetworkReply *reply = nullptr;
    if (method == QLatin1String("GET") && !body)
        reply = client->get(request);
    else if (method == QLatin1String("POST"))
        reply = client->post(request, body.value_or(QByteArray()));
    else
        reply = client->sendCustomRequest(request, method.toLatin1(), body.value_or(QByteArray()));

    connect(reply, &QNetworkReply::finished, this, [reply, scene, callback] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            deliver(callback, false, QVariant::fromValue(transportError(reply)));
            return;
        }
        bool success = false;
        QVariant result;
        if (unpackReply(*scene, reply->readAll(), reply->rawHeader("Content-Type"), success, result))
            deliver(callback, success, result);
    });
}

bool VelHttpRequestManager::unpackReply(const VelNetSceneInterface &scene, const QByteArray &body,
                                        const QByteArray &contentType, bool &success, QVariant &result)
{
    const qint64 kind = scene.resultBackType();
    if (kind != 0 && kind != 1 && kind != 2 && kind != 4)
        return false;

    QVariantMap reply;
    success = false;
    if (!parseJSONObject(body, contentType, kSceneReplyTypes, reply, result))
        return true;

    if (kind != 0) {
        const QString codeField = scene.resultCodeParsingField();
        if (!codeField.isEmpty()) {
            const qint64 code = integerValue(reply.value(codeField));
            if (code != 0) {
                result = errorValue(reply.value(scene.resultMessageParsingField()).toString(), code);
                return true;
            }
        }
    }

    switch (kind) {
    case 0:
    case 1:
        success = true;
        result = reply;
        return true;
    case 2: {
        const QVariant data = reply.value(scene.resultDataOneFloorParsingField());
        const QString second = scene.resultDataTwoFloorParsingField();
        velLog(QStringLiteral("返回数据类型 %1").arg(QString::fromLatin1(data.typeName())));
        success = true;
        result = (data.metaType().id() == QMetaType::QVariantMap && !second.isEmpty())
                     ? data.toMap().value(second)
                     : data;
        return true;
    }
    default: { // 4: the "value" of the first matched command
        const QVariant semantic = reply.value(QStringLiteral("semantic"));
        if (semantic.metaType().id() != QMetaType::QVariantList) {
            result = systemError(kUnusableReplyCode);
            return true;
        }
        const QVariantList entries = semantic.toList();
        if (entries.isEmpty()) {
            success = true;
            result = entries;
            return true;
        }
        const QVariant pars = entries.first().toMap().value(QStringLiteral("pars"));
        if (pars.metaType().id() != QMetaType::QVariantList) {
            result = systemError(kUnusableReplyCode);
            return true;
        }
        const QVariantList parsList = pars.toList();
        success = true;
        result = parsList.isEmpty() ? QVariant(entries) : parsList.first().toMap().value(QStringLiteral("value"));
        return true;
    }
    }
}

void VelHttpRequestManager::deliverJSONReply(QNetworkReply *reply, const QStringList &acceptedTypes,
                                             VelNetCallback callback)
{
    connect(reply, &QNetworkReply::finished, this, [reply, acceptedTypes, callback] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            deliver(callback, false, QVariant::fromValue(transportError(reply)));
            return;
        }
        QVariantMap object;
        QVariant error;
        if (parseJSONObject(reply->readAll(), reply->rawHeader("Content-Type"), acceptedTypes, object, error))
            deliver(callback, true, object);
        else
            deliver(callback, false, error);
    });
}

// The requests that need more than a scene: multipart forms, a JSON body, a
// form-encoded body, or a host other than the service API.
#include "VelHttpRequestManager.h"

#include "app/RakLocalizedString.h"
#include "app/VelUserInfoData.h"
#include "cloud/VelNetBaseScene.h"
#include "cloud/VelNetLogMask.h"
#include "cloud/VeleditiorAddRecordScene.h"
#include "util/VelLog.h"
#include "util/VelMainThread.h"
#include "util/VelServiceConfig.h"
#include "util/VelTextHelpers.h"

#include <QFile>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QUrl>
#include <QUuid>

namespace {

const QStringList kServiceReplyTypes = {
    QStringLiteral("application/json"), QStringLiteral("text/json"), QStringLiteral("text/javascript"),
    QStringLiteral("text/html"), QStringLiteral("text/plain")};

// Requests built outside the scene path wait as long as a fresh client would.
constexpr int kDedicatedTimeoutSeconds = 60;

QHttpMultiPart *newFormData(QNetworkRequest &request)
{
    auto *multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    const QByteArray boundary = "Boundary+" + QUuid::createUuid().toByteArray(QUuid::Id128).toUpper();
    multiPart->setBoundary(boundary);
    // Declared unquoted, the way form uploads usually are; the multipart
    // body's type replaces any form content type.
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("multipart/form-data; boundary=" + boundary));
    return multiPart;
}

void appendField(QHttpMultiPart *multiPart, const QString &name, const QByteArray &value)
{
    QHttpPart part;
    part.setRawHeader("Content-Disposition", "form-data; name=\"" + name.toUtf8() + "\"");
    part.setBody(value);
    multiPart->append(part);
}

QByteArray formEncoded(const QVariantMap &fields)
{
    QByteArray body;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) { // sorted by key
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(it.key()) + '=' + QUrl::toPercentEncoding(it.value().toString());
    }
    return body;
}

VelNetError replyError(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return VelNetError{reply->errorString(), status >= 300 ? status : qint64(reply->error())};
}

QNetworkRequest newRequest(const QString &url)
{
    QNetworkRequest request{QUrl(url)};
    request.setTransferTimeout(kDedicatedTimeoutSeconds * 1000);
    return request;
}

} // namespace

void VelHttpRequestManager::addNew(const QVariantMap &parameters, VelNetCallback callback)
{
    auto scene = std::make_shared<VeleditiorAddRecordScene>();
    scene->setMyParameters(parameters);
    scene->setMyRequestBody(QJsonDocument::fromVariant(parameters).toJson(QJsonDocument::Compact));
    httpRequestWithScene(scene, std::move(callback));
}

void VelHttpRequestManager::httpAddNewShare(const QVariantMap &parameters, VelNetCallback callback)
{
    const QString url = VelNetBaseScene::serviceBaseURL() + QStringLiteral("/api/generateRecordShareKey");
    velLog(QStringLiteral("请求URL %1").arg(url));
    VelMainThread::run([this, url, parameters, callback] {
        QNetworkRequest request = newRequest(url);
        QHttpMultiPart *multiPart = newFormData(request);
        for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
            appendField(multiPart, it.key(), it.value().toString().toUtf8());
        appendField(multiPart, QStringLiteral("items"),
                    QJsonDocument::fromVariant(parameters).toJson(QJsonDocument::Indented));
        QNetworkReply *reply = urlSessionManager()->post(request, multiPart);
        multiPart->setParent(reply);
        deliverJSONReply(reply, kServiceReplyTypes, callback);
    });
}

void VelHttpRequestManager::httpSendFeedbackWithParameters(const QVariantMap &parameters,
                                                           std::function<void(const QVariant &)> Success,
                                                           std::function<void(const VelNetError &)> failure)
{
    const QString url = VelNetBaseScene::serviceBaseURL() + QStringLiteral("/api/addUserFeedback");
    const QString logPath = VelUserInfoData::sharedVelUserInfoData().logFilepath();
    VelMainThread::run([this, url, logPath, parameters, Success, failure] {
        QNetworkRequest request = newRequest(url);
        QHttpMultiPart *multiPart = newFormData(request);
        for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
            appendField(multiPart, it.key(), it.value().toString().toUtf8());

        auto *logFile = new QFile(logPath, multiPart);
        if (!logPath.isEmpty() && logFile->open(QIODevice::ReadOnly)) {
            QHttpPart part;
            part.setRawHeader("Content-Disposition", "form-data; name=\"log\"; filename=\"name.log\"");
            part.setRawHeader("Content-Type", "log");
            part.setBodyDevice(logFile); // streamed, not read into memory
            multiPart->append(part);
        } else {
            velLog(QStringLiteral("❌log文件formData错误❌"));
        }

        QNetworkReply *reply = urlSessionManager()->post(request, multiPart);
        multiPart->setParent(reply);
        connect(reply, &QNetworkReply::finished, this, [reply, Success, failure] {
            reply->deleteLater();
            if (reply->error() != QNetworkReply::NoError) {
                const VelNetError error = replyError(reply);
                velLog(QStringLiteral("Error: %1").arg(error.localizedDescription()));
                if (failure)
                    failure(error);
                return;
            }
            // Whatever came back counts as delivered; an unparsable body is
            // an absent reply.
            const QJsonDocument document = QJsonDocument::fromJson(reply->readAll());
            if (Success)
                Success(document.isNull() ? QVariant() : document.toVariant());
        });
    });
}

void VelHttpRequestManager::httpGetNewVersion(const QVariantMap &parameters, VelNetCallback callback)
{
    const QString url = VelServiceConfig::current().updateBaseUrl + QStringLiteral("/getUpdateInfo");
    velLog(QStringLiteral("请求URL %1").arg(url));
    VelMainThread::run([this, url, parameters, callback] {
        QNetworkRequest request = newRequest(url);
        request.setRawHeader("Content-Type", "application/json");
        const QByteArray body = QJsonDocument::fromVariant(parameters).toJson(QJsonDocument::Compact);
        deliverJSONReply(urlSessionManager()->post(request, body), kServiceReplyTypes, callback);
    });
}

QString VelHttpRequestManager::generateSignWithBaiduDict(const QVariantMap &dict)
{
    const QString text = dict.value(QStringLiteral("appid")).toString() + dict.value(QStringLiteral("q")).toString() +
                         dict.value(QStringLiteral("salt")).toString() +
                         VelServiceConfig::current().translateSecretKey;
    return VelTextHelpers::vel_md5(text);
}

void VelHttpRequestManager::httpBaiduTranslateRequestWithQ(const QString &q, const QString &from, const QString &to,
                                                           std::function<void(const QString &)> success,
                                                           std::function<void(const VelNetError &)> failure)
{
    const QString salt = QString::number(QRandomGenerator::global()->generate() % 501 + 500);
    QVariantMap fields{{QStringLiteral("q"), q},
                       {QStringLiteral("from"), from},
                       {QStringLiteral("to"), to},
                       {QStringLiteral("appid"), VelServiceConfig::current().translateAppId},
                       {QStringLiteral("salt"), salt}};
    fields.insert(QStringLiteral("sign"), generateSignWithBaiduDict(fields));
    const QString url = VelServiceConfig::current().translateBaseUrl + QStringLiteral("/api/trans/vip/translate");

    VelMainThread::run([this, url, fields, success, failure] {
        QNetworkRequest request = newRequest(url);
        request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
        QNetworkReply *reply = urlSessionManager()->post(request, formEncoded(fields));
        connect(reply, &QNetworkReply::finished, this, [reply, success, failure] {
            reply->deleteLater();
            if (reply->error() != QNetworkReply::NoError) {
                if (failure)
                    failure(replyError(reply));
                return;
            }
            const QJsonDocument document = QJsonDocument::fromJson(reply->readAll());
            const QVariantMap object = document.object().toVariantMap();
            if (object.contains(QStringLiteral("trans_result"))) {
                const QVariantList segments = object.value(QStringLiteral("trans_result")).toList();
                QString result;
                if (segments.size() == 1) {
                    result = segments.first().toMap().value(QStringLiteral("dst")).toString();
                } else {
                    for (const QVariant &segment : segments)
                        result += QLatin1Char('\n') + segment.toMap().value(QStringLiteral("dst")).toString();
                }
                if (success)
                    success(result);
            } else if (object.contains(QStringLiteral("error_code"))) {
                if (success)
                    success(QStringLiteral("Error: %1").arg(object.value(QStringLiteral("error_code")).toString()));
            } else if (failure) {
                // Not a translation reply at all (not JSON, or neither field):
                // say so instead of leaving the caller waiting.
                failure(VelNetError{RakLocalizedString::rakAppLocalizedString(QStringLiteral("系统错误")), -3});
            }
        });
    });
}

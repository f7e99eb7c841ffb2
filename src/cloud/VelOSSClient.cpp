#include "VelOSSClient.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QEventLoop>
#include <QLocale>
#include <QMessageAuthenticationCode>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QXmlStreamReader>

namespace {

QString httpDate()
{
    return QLocale::c().toString(QDateTime::currentDateTimeUtc(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
}

QString contentTypeForKey(const QString &key)
{
    if (key.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
        return QStringLiteral("audio/wav");
    return QStringLiteral("application/octet-stream");
}

// The store answers a refusal with an XML document holding Code and Message.
QString errorText(QNetworkReply *reply, const QByteArray &body)
{
    QString code;
    QString message;
    QXmlStreamReader xml(body);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("Code"))
            code = xml.readElementText();
        else if (xml.name() == QLatin1String("Message"))
            message = xml.readElementText();
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!code.isEmpty())
        return QStringLiteral("OSS error %1 %2: %3").arg(status).arg(code, message);
    return reply->errorString();
}

} // namespace

VelOSSClient::VelOSSClient(const QString &endpoint, const QString &accessKeyId, const QString &accessKeySecret,
                           const QString &securityToken)
    : m_endpoint(endpoint), m_accessKeyId(accessKeyId), m_accessKeySecret(accessKeySecret),
      m_securityToken(securityToken)
{
}

QByteArray VelOSSClient::stringToSign(const QString &verb, const QString &contentMD5, const QString &contentType,
                                      const QString &date, const QMap<QString, QString> &ossHeaders,
                                      const QString &canonicalizedResource)
{
    QByteArray text = verb.toUtf8() + '\n' + contentMD5.toUtf8() + '\n' + contentType.toUtf8() + '\n' +
                      date.toUtf8() + '\n';
    QMap<QString, QString> lowered;
    for (auto it = ossHeaders.cbegin(); it != ossHeaders.cend(); ++it)
        lowered.insert(it.key().toLower().trimmed(), it.value().trimmed());
    for (auto it = lowered.cbegin(); it != lowered.cend(); ++it) { // sorted by name
        if (it.key().startsWith(QLatin1String("x-oss-")))
            text += it.key().toUtf8() + ':' + it.value().toUtf8() + '\n';
    }
    return text + canonicalizedResource.toUtf8();
}

QString VelOSSClient::authorization(const QString &accessKeyId, const QString &accessKeySecret,
                                    const QByteArray &stringToSign)
{
    const QByteArray mac =
        QMessageAuthenticationCode::hash(stringToSign, accessKeySecret.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("OSS %1:%2").arg(accessKeyId, QString::fromLatin1(mac.toBase64()));
}

QUrl VelOSSClient::connectableURL(const QUrl &url, QByteArray &hostHeader)
{
    hostHeader.clear();
    const QString host = url.host().toLower();
    if (host != QLatin1String("localhost") && !host.endsWith(QLatin1String(".localhost")))
        return url;
    hostHeader = url.host(QUrl::FullyEncoded).toUtf8();
    if (url.port() != -1)
        hostHeader += ':' + QByteArray::number(url.port());
    QUrl loopback = url;
    loopback.setHost(QStringLiteral("127.0.0.1"));
    return loopback;
}

QString VelOSSClient::presignPublicURLWithBucketName(const QString &bucket, const QString &key) const
{
    QString authority = bucket + QLatin1Char('.') + m_endpoint.host();
    if (m_endpoint.port() != -1)
        authority += QLatin1Char(':') + QString::number(m_endpoint.port());
    return m_endpoint.scheme() + QStringLiteral("://") + authority + QLatin1Char('/') +
           QString::fromLatin1(QUrl::toPercentEncoding(key));
}

std::optional<QString> VelOSSClient::putObject(const QString &bucket, const QString &key, const QByteArray &data,
                                               const Progress &progress, int timeoutSeconds) const
{
    const QString contentMD5 = QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toBase64());
    const QString contentType = contentTypeForKey(key);
    const QString date = httpDate();
    QMap<QString, QString> ossHeaders;
    if (!m_securityToken.isEmpty())
        ossHeaders.insert(QStringLiteral("x-oss-security-token"), m_securityToken);
    const QByteArray toSign = stringToSign(QStringLiteral("PUT"), contentMD5, contentType, date, ossHeaders,
                                           QLatin1Char('/') + bucket + QLatin1Char('/') + key);

    QByteArray hostHeader;
    const QUrl url = connectableURL(QUrl(presignPublicURLWithBucketName(bucket, key), QUrl::StrictMode), hostHeader);
    QNetworkRequest request(url);
    if (!hostHeader.isEmpty())
        request.setRawHeader("Host", hostHeader);
    request.setRawHeader("Content-Type", contentType.toUtf8());
    request.setRawHeader("Content-MD5", contentMD5.toLatin1());
    request.setRawHeader("Date", date.toLatin1());
    for (auto it = ossHeaders.cbegin(); it != ossHeaders.cend(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());
    request.setRawHeader("Authorization", authorization(m_accessKeyId, m_accessKeySecret, toSign).toUtf8());
    request.setTransferTimeout(timeoutSeconds * 1000);

    QNetworkAccessManager client;
    QNetworkReply *reply = client.put(request, data);
    qint64 lastSent = 0;
    QObject::connect(reply, &QNetworkReply::uploadProgress, reply, [&](qint64 sent, qint64 total) {
        if (sent <= lastSent || total <= 0)
            return;
        if (progress)
            progress(sent - lastSent, sent, total);
        lastSent = sent;
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const QByteArray body = reply->readAll();
    std::optional<QString> error;
    if (reply->error() != QNetworkReply::NoError)
        error = errorText(reply, body);
    delete reply;
    return error;
}

#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// A small client for the object store: put-object signed with the store's
// version-1 header scheme, and the public address of an object. The store is
// addressed virtual-host style (bucket name in front of the endpoint host).
class VelOSSClient
{
public:
    // bytes sent in this step, total sent, total expected
    using Progress = std::function<void(qint64, qint64, qint64)>;

    VelOSSClient(const QString &endpoint, const QString &accessKeyId, const QString &accessKeySecret,
                 const QString &securityToken = QString());

    // Uploads data under key and waits for the answer, running its own
    // network client on the calling thread. nullopt on success, else the
    // error text.
    std::optional<QString> putObject(const QString &bucket, const QString &key, const QByteArray &data,
                                     const Progress &progress, int timeoutSeconds = 120) const;

    // scheme://bucket.host[:port]/<escaped key>
    QString presignPublicURLWithBucketName(const QString &bucket, const QString &key) const;

    // VERB\nContent-MD5\nContent-Type\nDate\n + canonical x-oss- headers + resource
    static QByteArray stringToSign(const QString &verb, const QString &contentMD5, const QString &contentType,
                                   const QString &date, const QMap<QString, QString> &ossHeaders,
                                   const QString &canonicalizedResource);
    // "OSS <AccessKeyId>:<base64 HMAC-SHA1 of the string to sign>"
    static QString authorization(const QString &accessKeyId, const QString &accessKeySecret,
                                 const QByteArray &stringToSign);
    // Names under "localhost" are the loopback host (RFC 6761): such a URL is
    // sent to 127.0.0.1 with its own name in the Host header. Other URLs are
    // returned unchanged and hostHeader is left empty.
    static QUrl connectableURL(const QUrl &url, QByteArray &hostHeader);

private:
    QUrl m_endpoint;
    QString m_accessKeyId;
    QString m_accessKeySecret;
    QString m_securityToken;
};

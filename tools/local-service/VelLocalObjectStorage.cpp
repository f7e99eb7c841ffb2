#include "VelLocalObjectStorage.h"

#include "VelBuildConstants.h"
#include "VelLocalDatabase.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QSaveFile>
#include <QSqlQuery>
#include <QUuid>
#include <map>

namespace {

QByteArray hostWithoutPort(const QByteArray &host)
{
    if (host.startsWith('['))
        return host.left(host.indexOf(']') + 1);
    const qsizetype colon = host.lastIndexOf(':');
    return (colon < 0 ? host : host.left(colon)).toLower();
}

QByteArray xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

}  // namespace

VelLocalObjectStorage::VelLocalObjectStorage(VelLocalDatabase *database, const QString &dataDir)
    : m_database(database)
    , m_dataDir(dataDir)
{
}

VelLocalReply VelLocalObjectStorage::ossError(int status, const char *code, const QString &message)
{
    const QByteArray requestId = QUuid::createUuid().toByteArray(QUuid::Id128).toUpper().left(24);
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Error>\n  <Code>" + QByteArray(code)
                           + "</Code>\n  <Message>" + xmlEscaped(message) + "</Message>\n  <RequestId>" + requestId
                           + "</RequestId>\n  <HostId>" + QByteArray(VelBuild::kOssBucket) + "</HostId>\n</Error>\n";
    VelLocalReply reply = VelLocalReply::text(xml, "application/xml", status);
    reply.headers.append({"x-oss-request-id", requestId});
    return reply;
}

VelLocalReply VelLocalObjectStorage::errorReply(int status, const QString &message)
{
    return ossError(status, status == 413 ? "EntityTooLarge" : "AccessDenied", message);
}

QByteArray VelLocalObjectStorage::signature(const QByteArray &secret, const QByteArray &stringToSign)
{
    return QMessageAuthenticationCode::hash(stringToSign, secret, QCryptographicHash::Sha1).toBase64();
}

VelLocalReply VelLocalObjectStorage::handle(const VelLocalRequest &request)
{
    const QByteArray bucket(VelBuild::kOssBucket);
    const QByteArray host = hostWithoutPort(request.header("host"));
    QString key;
    if (host.startsWith(bucket + '.')) {
        key = request.path.mid(1);
    } else {
        const QString prefix = QLatin1Char('/') + QLatin1String(bucket) + QLatin1Char('/');
        if (!request.path.startsWith(prefix))
            return ossError(404, "NoSuchBucket", QStringLiteral("The specified bucket does not exist."));
        key = request.path.mid(prefix.size());
    }
    if (key.isEmpty() || key.size() > 1023)
        return ossError(400, "InvalidObjectName", QStringLiteral("The object name must be 1 to 1023 characters."));

    if (request.method == "PUT")
        return put(request, key);
    if (request.method == "GET" || request.method == "HEAD")
        return get(request, key);
    return ossError(405, "MethodNotAllowed", QStringLiteral("The specified method is not allowed against this resource."));
}

QString VelLocalObjectStorage::checkAuthorization(const VelLocalRequest &request, const QString &key,
                                                  const char **code) const
{
    const QByteArray authorization = request.header("authorization");
    if (!authorization.startsWith("OSS ") || !authorization.contains(':')) {
        *code = "AccessDenied";
        return QStringLiteral("Authorization header of the form \"OSS <AccessKeyId>:<Signature>\" is required.");
    }
    const QByteArray credential = authorization.mid(4).trimmed();
    const QByteArray keyId = credential.left(credential.indexOf(':'));
    const QByteArray given = credential.mid(credential.indexOf(':') + 1);
    if (keyId != VelBuild::kOssAccessKeyId) {
        *code = "InvalidAccessKeyId";
        return QStringLiteral("The OSS Access Key Id you provided does not exist in our records.");
    }

    const QByteArray date = request.header("date");
    const QDateTime sent = QDateTime::fromString(QString::fromLatin1(date), Qt::RFC2822Date);
    if (!sent.isValid()) {
        *code = "AccessDenied";
        return QStringLiteral("A valid Date header is required.");
    }
    if (std::abs(sent.secsTo(QDateTime::currentDateTimeUtc())) > kMaxClockSkewSeconds) {
        *code = "RequestTimeTooSkewed";
        return QStringLiteral("The difference between the request time and the current time is too large.");
    }

    // x-oss-* headers, lower-cased, sorted, one "name:value\n" each.
    std::map<QByteArray, QByteArray> ossHeaders;
    for (const auto &header : request.headers) {
        const QByteArray name = header.first.toLower();
        if (name.startsWith("x-oss-"))
            ossHeaders[name] = header.second.trimmed();
    }
    QByteArray canonicalHeaders;
    for (const auto &[name, value] : ossHeaders)
        canonicalHeaders += name + ':' + value + '\n';

    const QByteArray stringToSign = request.method + '\n' + request.header("content-md5") + '\n'
                                    + request.header("content-type") + '\n' + date + '\n' + canonicalHeaders + '/'
                                    + VelBuild::kOssBucket + '/' + key.toUtf8();
    if (signature(VelBuild::kOssAccessKeySecret, stringToSign) != given) {
        *code = "SignatureDoesNotMatch";
        return QStringLiteral("The request signature we calculated does not match the signature you provided.");
    }
    return {};
}

VelLocalReply VelLocalObjectStorage::put(const VelLocalRequest &request, const QString &key)
{
    const char *code = nullptr;
    const QString refusal = checkAuthorization(request, key, &code);
    if (!refusal.isEmpty())
        return ossError(403, code, refusal);

    const QByteArray md5 = QCryptographicHash::hash(request.body, QCryptographicHash::Md5);
    const QByteArray contentMd5 = request.header("content-md5");
    if (!contentMd5.isEmpty() && QByteArray::fromBase64(contentMd5) != md5)
        return ossError(400, "InvalidDigest", QStringLiteral("The Content-MD5 you specified is not valid."));

    QDir(m_dataDir).mkpath(QStringLiteral("objects"));
    const QString relative = QStringLiteral("objects/")
                             + QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex());
    QSaveFile file(QDir(m_dataDir).filePath(relative));
    if (!file.open(QIODevice::WriteOnly) || file.write(request.body) != request.body.size() || !file.commit())
        return ossError(500, "InternalError", QStringLiteral("The object could not be stored."));

    const QByteArray etag = '"' + md5.toHex().toUpper() + '"';
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO objects (key, file, content_type, size, etag, uploaded_at) "
                                 "VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(key);
    query.addBindValue(relative);
    query.addBindValue(QString::fromLatin1(request.header("content-type")));
    query.addBindValue(request.body.size());
    query.addBindValue(QString::fromLatin1(etag));
    query.addBindValue(QDateTime::currentSecsSinceEpoch());
    if (!query.exec())
        return ossError(500, "InternalError", QStringLiteral("The object could not be recorded."));

    VelLocalReply reply = VelLocalReply::text({}, "application/xml");
    reply.headers.append({"ETag", etag});
    reply.headers.append({"x-oss-request-id", QUuid::createUuid().toByteArray(QUuid::Id128).toUpper().left(24)});
    return reply;
}

VelLocalReply VelLocalObjectStorage::get(const VelLocalRequest &, const QString &key) const
{
    QSqlQuery query(m_database->db());
    query.prepare(QStringLiteral("SELECT file, content_type, etag FROM objects WHERE key = ?"));
    query.addBindValue(key);
    if (!query.exec() || !query.next())
        return ossError(404, "NoSuchKey", QStringLiteral("The specified key does not exist."));
    QFile file(QDir(m_dataDir).filePath(query.value(0).toString()));
    if (!file.open(QIODevice::ReadOnly))
        return ossError(404, "NoSuchKey", QStringLiteral("The stored object is missing."));
    QByteArray contentType = query.value(1).toString().toLatin1();
    if (contentType.isEmpty())
        contentType = "application/octet-stream";
    VelLocalReply reply = VelLocalReply::text(file.readAll(), contentType);
    reply.headers.append({"ETag", query.value(2).toString().toLatin1()});
    return reply;
}

QJsonArray VelLocalObjectStorage::objects() const
{
    QSqlQuery query(m_database->db());
    QJsonArray list;
    if (!query.exec(QStringLiteral("SELECT key, content_type, size, etag, uploaded_at FROM objects ORDER BY uploaded_at, key")))
        return list;
    while (query.next()) {
        list.append(QJsonObject{{QStringLiteral("key"), query.value(0).toString()},
                                {QStringLiteral("contentType"), query.value(1).toString()},
                                {QStringLiteral("size"), query.value(2).toLongLong()},
                                {QStringLiteral("etag"), query.value(3).toString()},
                                {QStringLiteral("uploadedAt"), query.value(4).toLongLong()}});
    }
    return list;
}

#include "VelLocalRequestLog.h"

#include "VelMultipartParser.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QStringDecoder>
#include <cstdio>

void VelLocalRequestLog::line(const QString &text)
{
    const QString prefix = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    const QString out = QStringLiteral("%1 %2[%3] %4\n")
                            .arg(prefix, QCoreApplication::applicationName())
                            .arg(QCoreApplication::applicationPid())
                            .arg(text);
    std::fputs(out.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

namespace {

QJsonArray pairs(const QList<QPair<QByteArray, QByteArray>> &list)
{
    QJsonArray array;
    for (const auto &item : list)
        array.append(QJsonArray{QString::fromUtf8(item.first), QString::fromUtf8(item.second)});
    return array;
}

// The body as text when it is valid UTF-8, so tests can compare it directly.
QJsonValue bodyText(const QByteArray &body)
{
    auto decoder = QStringDecoder(QStringDecoder::Utf8);
    const QString text = decoder(body);
    if (decoder.hasError())
        return QJsonValue();
    return text;
}

}  // namespace

QJsonObject VelLocalRequestLog::describe(const VelLocalRequest &request, int status)
{
    QJsonArray queryItems;
    for (const auto &item : request.query.queryItems(QUrl::FullyDecoded))
        queryItems.append(QJsonArray{item.first, item.second});

    QJsonObject object{
        {QStringLiteral("service"), request.service},
        {QStringLiteral("method"), QString::fromLatin1(request.method)},
        {QStringLiteral("path"), request.path},
        {QStringLiteral("rawPath"), QString::fromLatin1(request.rawPath)},
        {QStringLiteral("query"), QString::fromLatin1(request.rawQuery)},
        {QStringLiteral("queryItems"), queryItems},
        {QStringLiteral("headers"), pairs(request.headers)},
        {QStringLiteral("body"), bodyText(request.body)},
        {QStringLiteral("bodyBase64"), QString::fromLatin1(request.body.toBase64())},
        {QStringLiteral("status"), status},
    };

    const QByteArray boundary = VelMultipartParser::boundaryFromContentType(request.header("content-type"));
    if (!boundary.isEmpty()) {
        VelMultipartParser parser;
        QJsonArray parts;
        if (parser.parse(request.body, boundary)) {
            for (const VelMultipartPart &part : parser.parts()) {
                QJsonObject described{{QStringLiteral("name"), part.name},
                                      {QStringLiteral("contentType"), QString::fromLatin1(part.contentType)},
                                      {QStringLiteral("size"), part.data.size()},
                                      {QStringLiteral("data"), bodyText(part.data)}};
                if (part.hasFileName)
                    described.insert(QStringLiteral("fileName"), part.fileName);
                parts.append(described);
            }
        }
        object.insert(QStringLiteral("parts"), parts);
    }
    return object;
}

void VelLocalRequestLog::record(const VelLocalRequest &request, int status)
{
    line(QStringLiteral("%1 %2 %3 %4")
             .arg(request.service, QString::fromLatin1(request.method), QString::fromLatin1(request.rawPath))
             .arg(status));
    const QJsonObject described = describe(request, status);
    QMutexLocker locker(&m_mutex);
    m_byPath.insert(request.path, described);
    m_byService.insert(request.service, described);
}

void VelLocalRequestLog::recordSpeech(const QString &path, const QByteArray &rawQuery,
                                      const QList<QPair<QByteArray, QByteArray>> &headers, const QString &outcome)
{
    line(QStringLiteral("speech GET %1 %2").arg(path, outcome));
    const QJsonObject described{
        {QStringLiteral("service"), QStringLiteral("speech")},
        {QStringLiteral("method"), QStringLiteral("GET")},
        {QStringLiteral("path"), path},
        {QStringLiteral("query"), QString::fromLatin1(rawQuery)},
        {QStringLiteral("headers"), pairs(headers)},
        {QStringLiteral("outcome"), outcome},
    };
    QMutexLocker locker(&m_mutex);
    m_byPath.insert(path, described);
    m_byService.insert(QStringLiteral("speech"), described);
}

QJsonObject VelLocalRequestLog::lastForPath(const QString &path) const
{
    QMutexLocker locker(&m_mutex);
    return m_byPath.value(path);
}

QJsonObject VelLocalRequestLog::lastForService(const QString &service) const
{
    QMutexLocker locker(&m_mutex);
    return m_byService.value(service);
}

QJsonObject VelLocalRequestLog::summary() const
{
    QMutexLocker locker(&m_mutex);
    QJsonObject object;
    for (auto it = m_byPath.cbegin(); it != m_byPath.cend(); ++it) {
        object.insert(it.key(), QStringLiteral("%1 %2")
                                    .arg(it.value().value(QStringLiteral("method")).toString())
                                    .arg(it.value().value(QStringLiteral("status")).toInt()));
    }
    return object;
}

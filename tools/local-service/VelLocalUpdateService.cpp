#include "VelLocalUpdateService.h"

#include "VelLocalDatabase.h"

#include <QJsonDocument>

VelLocalUpdateService::VelLocalUpdateService(VelLocalDatabase *database)
    : m_database(database)
{
}

VelLocalReply VelLocalUpdateService::errorReply(int status, const QString &message)
{
    return VelLocalReply::json(QJsonObject{{QStringLiteral("code"), -1}, {QStringLiteral("msg"), message}}, status);
}

int VelLocalUpdateService::compareVersions(const QString &a, const QString &b)
{
    const QStringList left = a.split(u'.');
    const QStringList right = b.split(u'.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qlonglong l = i < left.size() ? left.at(i).toLongLong() : 0;
        const qlonglong r = i < right.size() ? right.at(i).toLongLong() : 0;
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}

QJsonObject VelLocalUpdateService::release() const
{
    return QJsonObject{
        {QStringLiteral("version"), m_database->setting(QStringLiteral("update.version"))},
        {QStringLiteral("url"), m_database->setting(QStringLiteral("update.url"))},
        {QStringLiteral("contents"), m_database->setting(QStringLiteral("update.contents"))},
        {QStringLiteral("is_mandatory"), m_database->setting(QStringLiteral("update.mandatory")) == QLatin1String("1")},
    };
}

QString VelLocalUpdateService::setRelease(const QJsonObject &release)
{
    for (const char *field : {"version", "url", "contents"}) {
        const QJsonValue value = release.value(QLatin1String(field));
        if (!value.isUndefined() && !value.isString())
            return QStringLiteral("\"%1\" must be text").arg(QLatin1String(field));
    }
    const QJsonValue mandatory = release.value(QStringLiteral("is_mandatory"));
    if (!mandatory.isUndefined() && !mandatory.isBool())
        return QStringLiteral("\"is_mandatory\" must be true or false");
    for (const char *field : {"version", "url", "contents"}) {
        if (release.contains(QLatin1String(field)))
            m_database->setSetting(QStringLiteral("update.") + QLatin1String(field),
                                   release.value(QLatin1String(field)).toString());
    }
    if (!mandatory.isUndefined())
        m_database->setSetting(QStringLiteral("update.mandatory"), mandatory.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    return {};
}

bool VelLocalUpdateService::underReview() const
{
    return m_database->setting(QStringLiteral("review.underReview")) == QLatin1String("1");
}

void VelLocalUpdateService::setUnderReview(bool underReview)
{
    m_database->setSetting(QStringLiteral("review.underReview"), underReview ? QStringLiteral("1") : QStringLiteral("0"));
}

VelLocalReply VelLocalUpdateService::handle(const VelLocalRequest &request) const
{
    if (request.path != QLatin1String("/getUpdateInfo"))
        return errorReply(404, QStringLiteral("unknown path %1").arg(request.path));
    if (request.method != "POST")
        return errorReply(405, QStringLiteral("use POST with a JSON body"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return VelLocalReply::json(QJsonObject{{QStringLiteral("code"), -1},
                                               {QStringLiteral("msg"), QStringLiteral("the body is not a JSON object")}});
    const QJsonObject query = document.object();
    const QJsonValue appVersion = query.value(QStringLiteral("appVersion"));
    if (query.value(QStringLiteral("action")).toString() != QLatin1String("checkVersion") || !appVersion.isString())
        return VelLocalReply::json(QJsonObject{
            {QStringLiteral("code"), -2},
            {QStringLiteral("msg"), QStringLiteral("expected \"action\": \"checkVersion\" and a text \"appVersion\"")}});

    QJsonObject reply = release();
    const QString latest = reply.value(QStringLiteral("version")).toString();
    const bool newer = !latest.isEmpty() && compareVersions(latest, appVersion.toString()) > 0;
    reply.insert(QStringLiteral("code"), newer ? 1 : 0);
    reply.insert(QStringLiteral("msg"), newer ? QStringLiteral("a newer version exists") : QStringLiteral("up to date"));
    return VelLocalReply::json(reply);
}

VelLocalReply VelLocalUpdateService::reviewFeed() const
{
    const QByteArray xml = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<update>\n  <underReview>")
                           + (underReview() ? "1" : "0") + QByteArrayLiteral("</underReview>\n</update>\n");
    return VelLocalReply::text(xml, "application/xml");
}

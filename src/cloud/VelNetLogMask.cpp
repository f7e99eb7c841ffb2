#include "VelNetLogMask.h"

#include "cloud/VelNetError.h"

#include <QJsonDocument>
#include <QRegularExpression>

namespace {
const QString kMask = QStringLiteral("***");
}

bool VelNetLogMask::isSecretKey(const QString &key)
{
    const QString lower = key.toLower();
    static const char *const kWords[] = {"password", "passwd", "pwd", "secret", "accesskey", "token", "tonken"};
    for (const char *word : kWords) {
        if (lower.contains(QLatin1String(word)))
            return true;
    }
    return false;
}

QString VelNetLogMask::maskedURL(const QString &url)
{
    const qsizetype queryStart = url.indexOf(QLatin1Char('?'));
    if (queryStart < 0)
        return url;
    QStringList pairs = url.mid(queryStart + 1).split(QLatin1Char('&'));
    for (QString &pair : pairs) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        if (isSecretKey(pair.left(equals)) && equals + 1 < pair.size())
            pair = pair.left(equals + 1) + kMask;
    }
    return url.left(queryStart + 1) + pairs.join(QLatin1Char('&'));
}

QVariant VelNetLogMask::masked(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            it.value() = isSecretKey(it.key()) ? QVariant(kMask) : masked(it.value());
        return map;
    }
    if (value.metaType().id() == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (QVariant &element : list)
            element = masked(element);
        return list;
    }
    return value;
}

QString VelNetLogMask::describe(const QVariant &value)
{
    if (velIsNetError(value)) {
        const auto error = value.value<VelNetError>();
        return QStringLiteral("Error Domain=%1 Code=%2").arg(error.domain).arg(error.code);
    }
    const QVariant clean = masked(value);
    if (clean.metaType().id() == QMetaType::QVariantMap || clean.metaType().id() == QMetaType::QVariantList)
        return QString::fromUtf8(QJsonDocument::fromVariant(clean).toJson(QJsonDocument::Indented)).trimmed();
    return clean.toString();
}

#include "VelKeyedArchiver.h"

#include <QCborValue>

namespace {
const QString kClassKey = QStringLiteral("$class");
const QString kColorClass = QStringLiteral("NSColor");
} // namespace

QByteArray VelKeyedArchiver::archive(const QString &className, const QCborMap &fields)
{
    QCborMap map = fields;
    map.insert(kClassKey, className);
    return map.toCborValue().toCbor();
}

std::optional<QCborMap> VelKeyedArchiver::unarchive(const QByteArray &data, const QString &className)
{
    if (data.isEmpty())
        return std::nullopt;
    QCborParserError error;
    const QCborValue value = QCborValue::fromCbor(data, &error);
    if (error.error != QCborError::NoError || !value.isMap())
        return std::nullopt;
    QCborMap map = value.toMap();
    if (map.value(kClassKey).toString() != className)
        return std::nullopt;
    map.remove(kClassKey);
    return map;
}

QByteArray VelKeyedArchiver::archiveColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    QCborMap fields;
    fields.insert(QStringLiteral("red"), rgb.redF());
    fields.insert(QStringLiteral("green"), rgb.greenF());
    fields.insert(QStringLiteral("blue"), rgb.blueF());
    fields.insert(QStringLiteral("alpha"), rgb.alphaF());
    return archive(kColorClass, fields);
}

std::optional<QColor> VelKeyedArchiver::unarchiveColor(const QByteArray &data)
{
    const auto map = unarchive(data, kColorClass);
    if (!map)
        return std::nullopt;
    float components[4];
    const char *names[4] = {"red", "green", "blue", "alpha"};
    for (int i = 0; i < 4; ++i) {
        const QCborValue v = map->value(QLatin1String(names[i]));
        if (!v.isDouble() && !v.isInteger())
            return std::nullopt;
        const double d = v.toDouble();
        if (!(d >= 0.0 && d <= 1.0)) // also refuses NaN
            return std::nullopt;
        components[i] = float(d);
    }
    return QColor::fromRgbF(components[0], components[1], components[2], components[3]);
}

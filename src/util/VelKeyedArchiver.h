#pragma once

#include <QByteArray>
#include <QCborMap>
#include <QColor>
#include <QString>

#include <optional>

// Keyed archives of small objects, stored as CBOR maps that name their class
// under "$class". Unarchiving checks the class, so data of another kind or
// damaged bytes read as absent instead of as a half-filled object.
class VelKeyedArchiver
{
public:
    static QByteArray archive(const QString &className, const QCborMap &fields);
    static std::optional<QCborMap> unarchive(const QByteArray &data, const QString &className);

    // Colours: class "NSColor" with sRGB components 0…1 under "red", "green",
    // "blue" and "alpha".
    static QByteArray archiveColor(const QColor &color);
    static std::optional<QColor> unarchiveColor(const QByteArray &data);
};

#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <functional>

// A failed request as its caller sees it. Server refusals carry the reply's
// message as the domain and its code; transport failures carry the client's
// error text as the domain, so a window can always show the domain.
struct VelNetError {
    QString domain;
    qint64 code = 0;

    QString localizedDescription() const
    {
        return QStringLiteral("%1 (%2)").arg(domain).arg(code);
    }
    bool operator==(const VelNetError &) const = default;
};
Q_DECLARE_METATYPE(VelNetError)

// Completion of every scene request: a success flag and one object. On
// success the object is the reply kind's result (QVariantMap, QVariantList,
// text, number or an invalid QVariant for an absent value); on failure a
// VelNetError, or the plain text "请检查网络" when the network is down.
using VelNetCallback = std::function<void(bool success, const QVariant &result)>;

inline bool velIsNetError(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<VelNetError>();
}

#include "VelTextHelpers.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QNetworkInterface>

QString VelTextHelpers::vel_md5(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

QString VelTextHelpers::sha256Value(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString VelTextHelpers::vel_getCurrentTimeStamp()
{
    return QString::number(QDateTime::currentSecsSinceEpoch());
}

QString VelTextHelpers::vel_getMacAddress()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    // Prefer an interface literally named en0, then the first suitable one.
    for (const auto &iface : interfaces) {
        if (iface.name() == QLatin1String("en0") && !iface.hardwareAddress().isEmpty())
            return iface.hardwareAddress().toLower();
    }
    for (const auto &iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QString address = iface.hardwareAddress();
        if (address.isEmpty() || address == QLatin1String("00:00:00:00:00:00"))
            continue;
        return address.toLower();
    }
    return QString();
}

QString VelTextHelpers::changeMySN(const QString &hexDigits)
{
    QString text = hexDigits;
    if (text.size() >= 4)
        text.replace(2, 2, QStringLiteral("00"));
    return QStringLiteral("velo") + text;
}

bool VelTextHelpers::isThisStringEndsWithPunctuation(const QString &text)
{
    return text.endsWith(QStringLiteral("。")) || text.endsWith(QStringLiteral("？")) || text.endsWith(QLatin1Char('.'))
           || text.endsWith(QLatin1Char('?'));
}

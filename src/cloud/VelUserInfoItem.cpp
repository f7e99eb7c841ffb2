#include "VelUserInfoItem.h"

#include "platform/VelUserDefaults.h"
#include "util/VelKeyedArchiver.h"

#include <QCborMap>

namespace {

struct TextField {
    const char *key;
    QString VelUserInfoItem::*member;
};

const TextField kTextFields[] = {
    {"age", &VelUserInfoItem::age},
    {"create_time", &VelUserInfoItem::create_time},
    {"userid", &VelUserInfoItem::userid},
    {"imei", &VelUserInfoItem::imei},
    {"imsi", &VelUserInfoItem::imsi},
    {"name", &VelUserInfoItem::name},
    {"password", &VelUserInfoItem::password},
    {"phone", &VelUserInfoItem::phone},
    {"account", &VelUserInfoItem::account},
    {"pic", &VelUserInfoItem::pic},
    {"status", &VelUserInfoItem::status},
    {"update_time", &VelUserInfoItem::update_time},
    {"nick_name", &VelUserInfoItem::nick_name},
    {"address", &VelUserInfoItem::address},
    {"asrServiceTime", &VelUserInfoItem::asrServiceTime},
    {"svipServiceTime", &VelUserInfoItem::svipServiceTime},
};

} // namespace

QByteArray VelUserInfoItem::archivedData() const
{
    QCborMap fields;
    for (const auto &field : kTextFields)
        fields.insert(QLatin1String(field.key), this->*field.member);
    // The two numbers are archived as decimal text.
    fields.insert(QStringLiteral("sex"), QString::number(sex));
    fields.insert(QStringLiteral("serviceType"), QString::number(serviceType));
    return VelKeyedArchiver::archive(kArchiveClass, fields);
}

std::optional<VelUserInfoItem> VelUserInfoItem::unarchive(const QByteArray &data)
{
    const auto fields = VelKeyedArchiver::unarchive(data, kArchiveClass);
    if (!fields)
        return std::nullopt;
    VelUserInfoItem item;
    for (const auto &field : kTextFields) {
        const QCborValue value = fields->value(QLatin1String(field.key));
        if (!value.isUndefined() && !value.isNull() && !value.isString())
            return std::nullopt; // a damaged archive, not a user
        item.*field.member = value.toString();
    }
    item.sex = VelUserDefaults::integerValueOfText(fields->value(QStringLiteral("sex")).toString());
    item.serviceType =
        VelUserDefaults::integerValueOfText(fields->value(QStringLiteral("serviceType")).toString());
    return item;
}

QHash<QString, QString> VelUserInfoItem::replacedKeyFromPropertyName()
{
    return {{QStringLiteral("userid"), QStringLiteral("id")}};
}

const QList<VelJsonModel::Property<VelUserInfoItem>> &VelUserInfoItem::modelProperties()
{
    static const QList<VelJsonModel::Property<VelUserInfoItem>> properties = [] {
        QList<VelJsonModel::Property<VelUserInfoItem>> list;
        for (const auto &field : kTextFields)
            list.append({field.key, field.member});
        list.append({"sex", &VelUserInfoItem::sex});
        list.append({"serviceType", &VelUserInfoItem::serviceType});
        return list;
    }();
    return properties;
}

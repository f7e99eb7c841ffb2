#pragma once

#include "cloud/VelJsonModel.h"

#include <QByteArray>
#include <QList>
#include <QJsonObject>
#include <QString>

#include <optional>

// The logged-in user as the service describes it. Archived under its own keys
// for the settings store; built from a login reply's "data" object.
class VelUserInfoItem
{
public:
    QString age;
    QString create_time;
    QString userid;
    QString imei;
    QString imsi;
    QString name;
    QString password;
    QString phone;
    QString account;
    QString pic;
    qint64 sex = 0;
    QString status;
    QString update_time;
    QString nick_name;
    QString address;
    qint64 serviceType = 0;
    QString asrServiceTime;
    QString svipServiceTime;

    static inline const QString kArchiveClass = QStringLiteral("VelUserInfoItem");

    QByteArray archivedData() const;
    // nullopt when the data is not an archive of this class.
    static std::optional<VelUserInfoItem> unarchive(const QByteArray &data);

    // From a login reply's "data" object; the server's "id" is the user id.
    static VelUserInfoItem modelWithJSON(const QVariantMap &json)
    {
        return VelJsonModel::modelWithJSON<VelUserInfoItem>(json);
    }
    static QHash<QString, QString> replacedKeyFromPropertyName();
    static const QList<VelJsonModel::Property<VelUserInfoItem>> &modelProperties();

    bool operator==(const VelUserInfoItem &) const = default;
};

#pragma once

#include "cloud/VelJsonModel.h"

#include <QList>
#include <QString>

// One recording as the records list reply describes it.
class MyRecordItem
{
public:
    QString recordId;
    QString recordTitle;
    QString filename;
    double createTime = 0;
    QString content;
    QString translatedText;
    QString audioNetURL;
    QString recordType;
    QString duration;

    static MyRecordItem modelWithJSON(const QVariantMap &json) { return VelJsonModel::modelWithJSON<MyRecordItem>(json); }

    static QHash<QString, QString> replacedKeyFromPropertyName();
    static const QList<VelJsonModel::Property<MyRecordItem>> &modelProperties();

    bool operator==(const MyRecordItem &) const = default;
};

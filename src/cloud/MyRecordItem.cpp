#include "MyRecordItem.h"

QHash<QString, QString> MyRecordItem::replacedKeyFromPropertyName()
{
    return {{QStringLiteral("recordId"), QStringLiteral("id")},
            {QStringLiteral("audioNetURL"), QStringLiteral("attr1")},
            {QStringLiteral("recordType"), QStringLiteral("attr2")}};
}

const QList<VelJsonModel::Property<MyRecordItem>> &MyRecordItem::modelProperties()
{
    static const QList<VelJsonModel::Property<MyRecordItem>> properties = {
        {"recordId", &MyRecordItem::recordId},
        {"recordTitle", &MyRecordItem::recordTitle},
        {"filename", &MyRecordItem::filename},
        {"createTime", &MyRecordItem::createTime},
        {"content", &MyRecordItem::content},
        {"translatedText", &MyRecordItem::translatedText},
        {"audioNetURL", &MyRecordItem::audioNetURL},
        {"recordType", &MyRecordItem::recordType},
        {"duration", &MyRecordItem::duration},
    };
    return properties;
}

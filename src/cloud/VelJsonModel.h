#pragma once

#include <QHash>
#include <QString>
#include <QVariantMap>

#include <variant>

// Fills a model object from a JSON object. Each property reads the server
// field of its own name unless the class's replaced-key table names another
// (for example "recordId" ← "id").
class VelJsonModel
{
public:
    template <class T>
    struct Property {
        const char *name;
        std::variant<QString T::*, double T::*, qint64 T::*> member;
    };

    template <class T>
    static T modelWithJSON(const QVariantMap &json)
    {
        T item;
        const QHash<QString, QString> replaced = T::replacedKeyFromPropertyName();
        for (const Property<T> &property : T::modelProperties()) {
            const QString name = QString::fromLatin1(property.name);
            const QVariant value = json.value(replaced.value(name, name));
            if (!value.isValid() || value.isNull())
                continue;
            std::visit([&](auto member) { assign(item.*member, value); }, property.member);
        }
        return item;
    }

    // Numbers become their decimal text ("id": 17 → "17").
    static QString textValue(const QVariant &value);

private:
    static void assign(QString &target, const QVariant &value) { target = textValue(value); }
    static void assign(double &target, const QVariant &value) { target = value.toDouble(); }
    static void assign(qint64 &target, const QVariant &value) { target = value.toLongLong(); }
};

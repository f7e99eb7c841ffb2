#include "VelLocalHttp.h"

#include <QJsonDocument>
#include <QUrl>

QByteArray VelLocalRequest::header(const QByteArray &name) const
{
    for (const auto &field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return {};
}

QString VelLocalRequest::queryValue(const QString &key) const
{
    return query.queryItemValue(key, QUrl::FullyDecoded);
}

VelLocalReply VelLocalReply::json(const QJsonObject &object, int status)
{
    VelLocalReply reply;
    reply.status = status;
    reply.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return reply;
}

VelLocalReply VelLocalReply::text(const QByteArray &body, const QByteArray &contentType, int status)
{
    VelLocalReply reply;
    reply.status = status;
    reply.contentType = contentType;
    reply.body = body;
    return reply;
}

VelLocalReply VelLocalReply::envelope(int rc, const QString &msg, const QJsonValue &data)
{
    QJsonObject object{{QStringLiteral("rc"), rc}, {QStringLiteral("msg"), msg}};
    object.insert(QStringLiteral("data"), data.isUndefined() ? QJsonValue() : data);
    return json(object);
}

QString VelLocalHttp::htmlEscaped(const QString &text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char('\''), QStringLiteral("&#39;"));
    return escaped;
}

QList<QPair<QString, QString>> VelLocalHttp::formFields(const QByteArray &body)
{
    QList<QPair<QString, QString>> fields;
    for (const QByteArray &pair : body.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype eq = pair.indexOf('=');
        QByteArray key = eq < 0 ? pair : pair.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : pair.mid(eq + 1);
        key.replace('+', ' ');
        value.replace('+', ' ');
        fields.append({QString::fromUtf8(QByteArray::fromPercentEncoding(key)),
                       QString::fromUtf8(QByteArray::fromPercentEncoding(value))});
    }
    return fields;
}

QString VelLocalHttp::formValue(const QList<QPair<QString, QString>> &fields, const QString &key, bool *found)
{
    for (const auto &field : fields) {
        if (field.first == key) {
            if (found)
                *found = true;
            return field.second;
        }
    }
    if (found)
        *found = false;
    return {};
}

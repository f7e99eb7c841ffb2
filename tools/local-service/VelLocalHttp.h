#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrlQuery>

// One HTTP request as the service's handlers see it, independent of the server
// class that received it.
struct VelLocalRequest {
    QString service;        // "api", "semantic", "update", "translate", "oss"
    QByteArray method;      // "GET", "POST", …
    QString path;           // percent-decoded path
    QByteArray rawPath;     // the path exactly as sent
    QByteArray rawQuery;    // the query exactly as sent, without '?'
    QUrlQuery query;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    QHostAddress peer;

    QByteArray header(const QByteArray &name) const;  // case-insensitive, first match
    QString queryValue(const QString &key) const;     // fully decoded; '+' stays '+'
    bool hasQueryKey(const QString &key) const { return query.hasQueryItem(key); }
};

struct VelLocalReply {
    int status = 200;
    QByteArray contentType = "application/json;charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    static VelLocalReply json(const QJsonObject &object, int status = 200);
    static VelLocalReply text(const QByteArray &body, const QByteArray &contentType, int status = 200);
    // The service API's envelope: {"rc": rc, "msg": msg, "data": data}.
    static VelLocalReply envelope(int rc, const QString &msg, const QJsonValue &data = QJsonValue());
};

// Helpers shared by the handlers.
namespace VelLocalHttp {
QString htmlEscaped(const QString &text);
// Decodes an application/x-www-form-urlencoded body ('+' is a space there).
QList<QPair<QString, QString>> formFields(const QByteArray &body);
QString formValue(const QList<QPair<QString, QString>> &fields, const QString &key, bool *found = nullptr);
}  // namespace VelLocalHttp

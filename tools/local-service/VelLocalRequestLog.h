#pragma once

#include "VelLocalHttp.h"

#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QString>

// Prints the one console line each request gets (method, path, status: never the
// query, so no password reaches the console) and keeps the last request of each
// kind for the admin routes, where wire-form tests read them back.
class VelLocalRequestLog
{
public:
    static void line(const QString &text);  // time stamp, process name and id, text

    void record(const VelLocalRequest &request, int status);
    // A speech connection has no HTTP reply; its handshake is kept the same way.
    void recordSpeech(const QString &path, const QByteArray &rawQuery,
                      const QList<QPair<QByteArray, QByteArray>> &headers, const QString &outcome);

    // Last request whose path is exactly `path` (any service), or empty.
    QJsonObject lastForPath(const QString &path) const;
    // Last request received by a service ("api", "semantic", "update", "translate", "oss", "speech").
    QJsonObject lastForService(const QString &service) const;
    QJsonObject summary() const;  // path → method and status of every path seen

private:
    static QJsonObject describe(const VelLocalRequest &request, int status);

    mutable QMutex m_mutex;
    QHash<QString, QJsonObject> m_byPath;
    QHash<QString, QJsonObject> m_byService;
};

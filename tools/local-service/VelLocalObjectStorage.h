#pragma once

#include "VelLocalHttp.h"

#include <QJsonArray>

class VelLocalDatabase;

// Object storage for the bucket the app uploads recordings to: PUT of an object
// with the header signature ("Authorization: OSS <key id>:<base64 HMAC-SHA1>")
// checked against the configured key pair, and public GET/HEAD. Both the
// virtual-host form (<bucket>.<endpoint host>/<key>) and the path form
// (<endpoint host>/<bucket>/<key>) are served. Objects live in
// <data>/objects/, named by the SHA-1 of their key.
class VelLocalObjectStorage
{
public:
    static constexpr qint64 kMaxClockSkewSeconds = 15 * 60;

    VelLocalObjectStorage(VelLocalDatabase *database, const QString &dataDir);

    VelLocalReply handle(const VelLocalRequest &request);
    static VelLocalReply errorReply(int status, const QString &message);
    static VelLocalReply ossError(int status, const char *code, const QString &message);

    QJsonArray objects() const;  // for the admin route

    // The signature a client must send for these request parts.
    static QByteArray signature(const QByteArray &secret, const QByteArray &stringToSign);

private:
    VelLocalReply put(const VelLocalRequest &request, const QString &key);
    VelLocalReply get(const VelLocalRequest &request, const QString &key) const;
    QString checkAuthorization(const VelLocalRequest &request, const QString &key, const char **code) const;

    VelLocalDatabase *m_database;
    QString m_dataDir;
};

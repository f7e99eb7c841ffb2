#pragma once

#include "VelLocalHttp.h"

#include <QJsonObject>

class VelLocalDatabase;

// The update service ("/getUpdateInfo") and the review feed XML. What they
// announce (version, url, contents, mandatory flag, review flag) is kept in the
// settings table, set from the command line or the admin route.
class VelLocalUpdateService
{
public:
    explicit VelLocalUpdateService(VelLocalDatabase *database);

    VelLocalReply handle(const VelLocalRequest &request) const;  // the update port
    VelLocalReply reviewFeed() const;                             // on the service API port
    static VelLocalReply errorReply(int status, const QString &message);

    QJsonObject release() const;
    // Takes "version", "url", "contents", "is_mandatory"; returns an error text or empty.
    QString setRelease(const QJsonObject &release);
    bool underReview() const;
    void setUnderReview(bool underReview);

    // -1, 0, 1 as a is older, equal, newer than b ("1.10" is newer than "1.9").
    static int compareVersions(const QString &a, const QString &b);

private:
    VelLocalDatabase *m_database;
};

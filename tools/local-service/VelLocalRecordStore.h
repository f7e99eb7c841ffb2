#pragma once

#include "VelLocalHttp.h"

#include <QJsonObject>
#include <optional>

class VelLocalDatabase;

// Recordings (create, update by "id", list by user, delete), their share codes,
// and feedback with its log file (kept under <data>/feedback/).
class VelLocalRecordStore
{
public:
    VelLocalRecordStore(VelLocalDatabase *database, const QString &dataDir);

    std::optional<VelLocalReply> handle(const VelLocalRequest &request);

    // The record a share code points at, or nothing.
    std::optional<QJsonObject> recordForShareCode(const QString &code) const;

private:
    VelLocalReply saveRecord(const VelLocalRequest &request);
    VelLocalReply listRecords(const VelLocalRequest &request);
    VelLocalReply deleteRecord(const VelLocalRequest &request);
    VelLocalReply shareRecord(const VelLocalRequest &request);
    VelLocalReply addFeedback(const VelLocalRequest &request);

    std::optional<QJsonObject> record(qint64 id) const;

    VelLocalDatabase *m_database;
    QString m_dataDir;
};

#pragma once

#include "cloud/VelNetBaseScene.h"

// Deletes one recording.
class VelDeleteRecordScene : public VelNetBaseScene
{
public:
    qint64 recordID() const { return m_recordID; }
    void setRecordID(qint64 recordID) { m_recordID = recordID; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 1; }

private:
    qint64 m_recordID = 0;
};

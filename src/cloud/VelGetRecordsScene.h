#pragma once

#include "cloud/VelNetBaseScene.h"

// The user's recordings.
class VelGetRecordsScene : public VelNetBaseScene
{
public:
    QString userID() const { return m_userID; }
    void setUserID(const QString &userID) { m_userID = userID; }

    QString requestURL() const override;
    qint64 resultBackType() const override { return 1; }

private:
    QString m_userID;
};

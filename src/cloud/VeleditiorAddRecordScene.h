#pragma once

#include "cloud/VelNetBaseScene.h"

// Creates a recording, or updates the one named by "id". Parameters and the
// JSON body are set by the caller (addNew).
class VeleditiorAddRecordScene : public VelNetBaseScene
{
public:
    QString requestURL() const override
    {
        return serviceBaseURL() + QStringLiteral("/api/editiorSaveRecord");
    }
    QString httpMethod() const override { return QStringLiteral("POST"); }
    // The service reads the body whatever it is declared as; this is the one
    // header field it has always been sent.
    VelHeaderMap requestHeader() const override
    {
        return {{QStringLiteral("Content-Type"), QStringLiteral("application/x-www-form-urlencoded")}};
    }
    qint64 resultBackType() const override { return 0; }
};

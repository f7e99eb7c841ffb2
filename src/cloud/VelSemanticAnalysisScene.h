#pragma once

#include "cloud/VelNetBaseScene.h"

// Matches a recognized sentence against the spoken commands. Parameters
// ("question", "engineid") are set by the caller.
class VelSemanticAnalysisScene : public VelNetBaseScene
{
public:
    QString requestURL() const override;
    qint64 resultBackType() const override { return 4; }
    QString resultDataOneFloorParsingField() const override { return QStringLiteral("semantic"); }
};

#pragma once

#include "VelLocalHttp.h"

// The spoken-command matcher: "question" against a small command table. A match
// answers {"rc":0,"semantic":[{"intent":…,"pars":[{"value":…}]}]}; no match an
// empty "semantic" array; a wrong "engineid" a non-zero "rc".
class VelLocalSemantic
{
public:
    VelLocalReply handle(const VelLocalRequest &request) const;
    static VelLocalReply errorReply(int status, const QString &message);
};

#pragma once

#include "VelLocalHttp.h"

// The translation API: checks "appid" and "sign" (MD5 of app id + q + salt +
// secret key) and answers "trans_result" from a small zh↔en phrase table, one
// entry per line of "q". Errors come back as {"error_code", "error_msg"}.
class VelLocalTranslation
{
public:
    VelLocalReply handle(const VelLocalRequest &request) const;
    static VelLocalReply errorReply(int status, const QString &message);

    // The text of an entry the table does not know.
    static QString untranslated(const QString &text) { return QStringLiteral("[untranslated] ") + text; }

private:
    static QString translateLine(const QString &line, const QString &from, const QString &to);
};

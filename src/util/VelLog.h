#pragma once

#include <QString>

// Diagnostic output. Every line goes to standard output with a time stamp and
// the process name and id in front, the way the platform log call prints; at
// start-up standard output is reopened on the per-launch log file, so these
// lines end up there.
class VelLog
{
public:
    static void log(const QString &message);
    // Routes qDebug/qInfo/qWarning/qCritical through log().
    static void installQtMessageHandler();
    // The prefix a line gets: "2024-05-01 09:30:12.123 travik-vazade[4242] ".
    static QString linePrefix();
    // Where lines go: standard output (the default) or, for command-line
    // tools whose standard output carries results, standard error.
    static void setUseStandardError(bool useStandardError);
};

inline void velLog(const QString &message)
{
    VelLog::log(message);
}

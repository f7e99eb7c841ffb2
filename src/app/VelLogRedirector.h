#pragma once

#include <QDateTime>
#include <QString>

// The per-launch log file: "Log/TravikmacOS_<yyyy-MM-dd HH:mm:ss>.log" in the
// Documents folder. Standard output and error are reopened on it unless
// standard output is a terminal.
class VelLogRedirector
{
public:
    // Creates the folder and the file (header "macOS 日志" and two line feeds,
    // written only when the file is new, mode 0600), records the path in
    // VelUserInfoData's logFilepath and, when `stdoutIsTerminal` is false,
    // reopens stdout and stderr on it. Returns the path (empty when there is
    // no Documents folder).
    static QString redirectNSlogToDocumentFolder(bool stdoutIsTerminal,
                                                 const QDateTime &now = QDateTime::currentDateTime());

    static QString logFileName(const QDateTime &time);
    static bool standardOutputIsTerminal();
};

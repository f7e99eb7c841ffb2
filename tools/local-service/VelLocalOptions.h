#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line of travik-vazade-local-service.
struct VelLocalOptions {
    QString dataDir;
    quint16 apiPort = 0;
    quint16 semanticPort = 0;
    quint16 updatePort = 0;
    quint16 translatePort = 0;
    quint16 ossPort = 0;
    quint16 speechPort = 0;
    bool portsFromFree = false;
    qsizetype maxBodyBytes = 64 * 1024 * 1024;

    std::optional<QString> updateVersion;
    std::optional<QString> updateUrl;
    std::optional<QString> updateContents;
    std::optional<bool> updateMandatory;
    std::optional<bool> underReview;
    QString speechScript;  // script text (read from the file when a file was named)

    // Fills the options from the arguments; on a mistake returns false with a message.
    bool parse(const QStringList &arguments, QString *error);
};

#pragma once

#include <QString>

#include <memory>

class QFile;

// Paths in the user's Documents folder and files opened for writing there.
class VelSanboxFileManager
{
public:
    static VelSanboxFileManager &sharedManager();

    // The user's Documents folder (tilde expanded); empty when there is none.
    QString getDocumentPath() const;
    // The Documents folder with `name` appended; empty when there is none.
    QString getAFilePathBasedOnAFileName(const QString &name) const;
    // A write-only handle in append mode, the file created 0644 when missing.
    // Without append an existing file is removed first. Null for an empty
    // path or when the file cannot be opened. The handle closes its
    // descriptor when released.
    std::unique_ptr<QFile> createFileHandleWithPath(const QString &path, bool isAppend) const;

private:
    VelSanboxFileManager() = default;
};

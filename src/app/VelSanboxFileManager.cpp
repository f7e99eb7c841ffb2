#include "VelSanboxFileManager.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

VelSanboxFileManager &VelSanboxFileManager::sharedManager()
{
    static VelSanboxFileManager *manager = new VelSanboxFileManager;
    return *manager;
}

QString VelSanboxFileManager::getDocumentPath() const
{
    const QStringList paths = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
    if (paths.isEmpty())
        return QString();
    QString path = paths.first();
    if (path.startsWith(QLatin1Char('~')))
        path = QDir::homePath() + path.mid(1);
    return path;
}

QString VelSanboxFileManager::getAFilePathBasedOnAFileName(const QString &name) const
{
    const QString documents = getDocumentPath();
    if (documents.isEmpty())
        return QString();
    return QDir(documents).filePath(name);
}

std::unique_ptr<QFile> VelSanboxFileManager::createFileHandleWithPath(const QString &path, bool isAppend) const
{
    if (path.isEmpty())
        return nullptr;
    if (!isAppend && QFile::exists(path))
        QFile::remove(path);
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

#include "VelLogRedirector.h"

#include "app/VelSanboxFileManager.h"
#include "app/VelUserInfoData.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

QString VelLogRedirector::logFileName(const QDateTime &time)
{
    const QString stamp = QLocale(QStringLiteral("zh_CN")).toString(time, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return QStringLiteral("TravikmacOS_%1.log").arg(stamp);
}

bool VelLogRedirector::standardOutputIsTerminal()
{
    return ::isatty(STDOUT_FILENO) == 1;
}

QString VelLogRedirector::redirectNSlogToDocumentFolder(bool stdoutIsTerminal, const QDateTime &now)
{
    const QString documents = VelSanboxFileManager::sharedManager().getDocumentPath();
    if (documents.isEmpty())
        return QString();
    const QString directory = documents + QStringLiteral("/Log");
    QDir().mkpath(directory); // failure ignored: we keep logging where we are

    const QString path = directory + QLatin1Char('/') + logFileName(now);
    const QByteArray native = QFile::encodeName(path);
    // O_EXCL: the header goes only into a file we create; a second launch in
    // the same second appends to the first one's file.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        const QByteArray header = QStringLiteral("macOS 日志\n\n").toUtf8();
        const ssize_t written = ::write(fd, header.constData(), size_t(header.size()));
        Q_UNUSED(written);
        ::close(fd);
    }

    VelUserInfoData::sharedVelUserInfoData().setLogFilepath(path);

    if (!stdoutIsTerminal) {
        std::fflush(stdout);
        std::fflush(stderr);
        std::freopen(native.constData(), "a+", stdout);
        std::freopen(native.constData(), "a+", stderr);
    }
    return path;
}

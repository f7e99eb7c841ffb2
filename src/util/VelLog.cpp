#include "VelLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex &logMutex()
{
    static std::mutex mutex;
    return mutex;
}

QString processName()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationName().isEmpty()
                   ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                   : QCoreApplication::applicationName();
    return QStringLiteral("travik-vazade");
}

void qtMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    VelLog::log(message);
    if (type == QtFatalMsg)
        abort();
}

std::atomic<bool> g_useStandardError{false};

} // namespace

void VelLog::setUseStandardError(bool useStandardError)
{
    g_useStandardError = useStandardError;
}

QString VelLog::linePrefix()
{
    return QStringLiteral("%1 %2[%3] ")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
             processName())
        .arg(::getpid());
}

void VelLog::log(const QString &message)
{
    const QByteArray line = (linePrefix() + message + QLatin1Char('\n')).toUtf8();
    std::lock_guard<std::mutex> lock(logMutex());
    FILE *out = g_useStandardError.load() ? stderr : stdout;
    std::fwrite(line.constData(), 1, size_t(line.size()), out);
    std::fflush(out);
}

void VelLog::installQtMessageHandler()
{
    qInstallMessageHandler(qtMessageHandler);
}

#include "VelLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

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

} // namespace

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
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

void VelLog::installQtMessageHandler()
{
    qInstallMessageHandler(qtMessageHandler);
}

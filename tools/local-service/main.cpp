#include "VelLocalOptions.h"
#include "VelLocalRequestLog.h"
#include "VelLocalService.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("travik-vazade-local-service"));

    VelLocalOptions options;
    QString error;
    if (!options.parse(QCoreApplication::arguments(), &error)) {
        std::fputs((error + QLatin1Char('\n')).toUtf8().constData(), stderr);
        return error.startsWith(QLatin1String("Usage")) ? 0 : 2;
    }

    // Every write is committed when it is answered, so being killed loses nothing.
    VelLocalService service;
    if (!service.start(options, &error)) {
        VelLocalRequestLog::line(QStringLiteral("cannot start: %1").arg(error));
        return 1;
    }
    return QCoreApplication::exec();
}

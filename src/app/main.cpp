#include "app/AppDelegate.h"
#include "app/VelSingleInstance.h"
#include "app/VelTerminationSignals.h"
#include "ui/VelMainWindow.h"
#include "util/VelLog.h"

#include "VelBuildConstants.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

namespace {

void printVersion()
{
    std::printf("%s %s (%s)\n", VelBuild::kProductName, VelBuild::kShortVersion, VelBuild::kBuildNumber);
}

// Answered before any display is opened, so they work on a bare terminal.
bool handleEarlyOptions(int argc, char **argv, int *exitCode)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            printVersion();
            *exitCode = 0;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    int exitCode = 0;
    if (handleEarlyOptions(argc, argv, &exitCode))
        return exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(VelBuild::kExecutableName));
    QApplication::setApplicationDisplayName(QString::fromUtf8(VelBuild::kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(VelBuild::kShortVersion));
    QApplication::setDesktopFileName(QStringLiteral("travik-vazade"));
    // The app lives in the tray: closing the main window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    VelLog::installQtMessageHandler();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Desktop companion of the Travik Vazade voice mouse"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("version"), QStringLiteral("Print the version and exit.")});
    parser.process(app);

    VelSingleInstance instance;
    if (instance.notifyRunningInstance()) {
        velLog(QStringLiteral("已有实例在运行：已请求其显示主窗口"));
        return 0;
    }
    instance.listen();

    AppDelegate delegate;
    QObject::connect(&instance, &VelSingleInstance::activationRequested, &delegate, [&delegate] {
        const bool visible = delegate.window() && delegate.window()->isVisible()
                             && !delegate.window()->isMinimized();
        delegate.applicationShouldHandleReopen(visible);
    });
    VelTerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &VelTerminationSignals::terminationRequested, &delegate, [&delegate](int number) {
        velLog(QStringLiteral("收到退出信号 %1").arg(number));
        delegate.exitApp();
    });
    delegate.applicationDidFinishLaunching();
    return app.exec();
}

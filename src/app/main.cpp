#include "app/AppDelegate.h"
#include "app/VelSingleInstance.h"
#include "app/VelTerminationSignals.h"
#include "device/VelUsbInfoManager.h"
#include "platform/AudioInput.h"
#include "speech/VelWavFile.h"
#include "sim/VelSimControlServer.h"
#include "sim/VelSimulatedReceiver.h"
#include "ui/VelUiHooks.h"
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

// "--simulate-receiver[=1|2]" takes an optional value, which the command-line
// parser cannot express: it is taken out of the arguments first.
struct SimulatorOptions {
    int kind = 0; // 0: the real receiver
    QString socketName;
    QString error;
};

SimulatorOptions takeSimulatorOptions(QStringList *arguments)
{
    SimulatorOptions options;
    for (int i = 1; i < arguments->size();) {
        const QString arg = arguments->at(i);
        if (arg == QLatin1String("--simulate-receiver")) {
            options.kind = 2;
        } else if (arg.startsWith(QLatin1String("--simulate-receiver="))) {
            const QString value = arg.section(QLatin1Char('='), 1);
            if (value != QLatin1String("1") && value != QLatin1String("2"))
                options.error = QStringLiteral("--simulate-receiver takes the device kind 1 or 2, not '%1'").arg(value);
            options.kind = value.toInt();
        } else if (arg == QLatin1String("--sim-socket") && i + 1 < arguments->size()) {
            options.socketName = arguments->at(i + 1);
            arguments->removeAt(i);
        } else if (arg.startsWith(QLatin1String("--sim-socket="))) {
            options.socketName = arg.section(QLatin1Char('='), 1);
        } else {
            ++i;
            continue;
        }
        arguments->removeAt(i);
    }
    return options;
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
    QStringList arguments = QCoreApplication::arguments();
    const SimulatorOptions simulator = takeSimulatorOptions(&arguments);
    parser.addOption({QStringLiteral("simulate-receiver"),
                      QStringLiteral("Start with the simulated receiver plugged in (=1 or =2 for the device kind, default 2).")});
    parser.addOption({QStringLiteral("sim-socket"),
                      QStringLiteral("Name of the simulated receiver's control socket."), QStringLiteral("name")});
    parser.addOption({QStringLiteral("mic-wav"),
                      QStringLiteral("Use a 16 kHz mono WAV file, played in real time, as the microphone."),
                      QStringLiteral("file")});
    parser.process(arguments);
    if (parser.isSet(QStringLiteral("mic-wav"))) {
        QString error;
        const QString wav = parser.value(QStringLiteral("mic-wav"));
        if (!VelWavFile::readPcm16kMono(wav, &error)) {
            std::fprintf(stderr, "--mic-wav: %s\n", qPrintable(error));
            return 1;
        }
        AudioInput::setMicrophoneWavFile(wav);
    }
    if (!simulator.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(simulator.error));
        return 1;
    }

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
    VelUiHooks::install(&delegate);
    delegate.applicationDidFinishLaunching();

    if (simulator.kind) {
        // Lives until exit: the device link's singletons hold on to it.
        auto *receiver = new VelSimulatedReceiver(simulator.kind);
        receiver->installAsPlatform();
        receiver->plug();
        auto *control = new VelSimControlServer(*receiver);
        control->listen(simulator.socketName.isEmpty() ? VelSimControlServer::defaultName() : simulator.socketName);
    }
    // Device presence watching starts with the app for now; the home view
    // takes this over once it checks the review feed first.
    VelUsbInfoManager::sharedVelUsbInfoManager();
    return app.exec();
}

// travik-vazade-sim: drives the simulated receiver of a running
// `travik-vazade --simulate-receiver` from the shell.
//   travik-vazade-sim [--socket NAME] plug|unplug|key 0x85|status power=0 battery=80|audio FILE.wav|info
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: travik-vazade-sim [--socket NAME] COMMAND\n"
                 "  plug | unplug | key CODE | status [power=N] [battery=N] | audio FILE.wav | info\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString socketName = QStringLiteral("travik-vazade-sim-%1").arg(::getuid());
    if (!args.isEmpty() && (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")))
        return usage();
    if (args.size() >= 2 && args.first() == QLatin1String("--socket")) {
        socketName = args.at(1);
        args = args.mid(2);
    } else if (!args.isEmpty() && args.first().startsWith(QLatin1String("--socket="))) {
        socketName = args.first().section(QLatin1Char('='), 1);
        args = args.mid(1);
    }
    if (args.isEmpty())
        return usage();
    // The app runs elsewhere: a file argument must not depend on our folder.
    if (args.first() == QLatin1String("audio") && args.size() >= 2)
        args = {args.first(), QFileInfo(args.mid(1).join(QLatin1Char(' '))).absoluteFilePath()};

    QLocalSocket socket;
    socket.connectToServer(socketName);
    if (!socket.waitForConnected(2000)) {
        std::fprintf(stderr, "travik-vazade-sim: no simulated receiver on '%s' (start travik-vazade --simulate-receiver): %s\n",
                     qPrintable(socketName), qPrintable(socket.errorString()));
        return 3;
    }
    socket.write(args.join(QLatin1Char(' ')).toUtf8() + '\n');
    socket.waitForBytesWritten(2000);
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(5000)) {
            std::fprintf(stderr, "travik-vazade-sim: no answer from the app\n");
            return 3;
        }
        answer += socket.readAll();
    }
    answer = answer.left(answer.indexOf('\n'));
    const bool ok = answer.startsWith("ok");
    std::fprintf(ok ? stdout : stderr, "%s\n", answer.constData());
    return ok ? 0 : 1;
}

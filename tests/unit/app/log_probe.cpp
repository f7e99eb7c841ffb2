// Sets up the per-launch log file the way the app does, prints one line,
// and writes the log file's path to the file named by argv[1].

#include "app/VelLogRedirector.h"
#include "util/VelLog.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = VelLogRedirector::redirectNSlogToDocumentFolder(VelLogRedirector::standardOutputIsTerminal());
    velLog(QStringLiteral("probe line"));
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly))
        return 3;
    out.write(path.toUtf8());
    return 0;
}

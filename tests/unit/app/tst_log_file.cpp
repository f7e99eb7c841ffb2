// The per-launch log file: its name, its header, appending within the same
// second, and redirection only when standard output is not a terminal.

#include "app/VelLogRedirector.h"
#include "app/VelUserInfoData.h"
#include "platform/VelUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestLogFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // Runs the probe with its own HOME; returns (its standard output, the log file path).
    std::pair<QByteArray, QString> runProbe(const QString &home, bool onATerminal)
    {
        QDir().mkpath(home);
        const QString pathFile = home + "/path.txt";
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.remove("XDG_CONFIG_HOME");
        probe.setProcessEnvironment(env);
        probe.setProcessChannelMode(QProcess::MergedChannels);
        const QString exe = QStringLiteral(VEL_BINARY_DIR "/tests/unit/app/log_probe");
        if (onATerminal) // script(1) gives the probe a pseudo-terminal as standard output
            probe.start("script", {"-qfec", QStringLiteral("'%1' '%2'").arg(exe, pathFile), "/dev/null"});
        else
            probe.start(exe, {pathFile});
        if (!probe.waitForFinished(20000) || probe.exitCode() != 0)
            return {"<probe failed: " + probe.readAll() + ">", QString()};
        return {probe.readAll(), QString::fromUtf8(contents(pathFile))};
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        VelUserDefaults::standardUserDefaults().reloadForTesting(m_home.filePath("defaults.ini"));
        qputenv("HOME", m_home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
    }

    void nameHeaderAndSameSecondAppend()
    {
        const QDateTime when(QDate(2024, 5, 1), QTime(9, 30, 12));
        QCOMPARE(VelLogRedirector::logFileName(when), QStringLiteral("TravikmacOS_2024-05-01 09:30:12.log"));

        const QString path = VelLogRedirector::redirectNSlogToDocumentFolder(true, when);
        QCOMPARE(path, m_home.path() + "/Documents/Log/TravikmacOS_2024-05-01 09:30:12.log");
        QCOMPARE(VelUserInfoData::sharedVelUserInfoData().logFilepath(), path);
        QCOMPARE(contents(path), QByteArray("macOS 日志\n\n"));
        QCOMPARE(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());

        { // something the first launch logged
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            file.write("first launch\n");
        }
        // A second launch in the same second reuses the file: no second header, nothing lost.
        QCOMPARE(VelLogRedirector::redirectNSlogToDocumentFolder(true, when), path);
        QCOMPARE(contents(path), QByteArray("macOS 日志\n\nfirst launch\n"));
    }

    void redirectedOnlyWhenNotOnATerminal()
    {
        const auto [pipedOutput, pipedLog] = runProbe(m_home.filePath("piped"), false);
        QVERIFY2(!pipedLog.isEmpty(), pipedOutput.constData());
        QVERIFY2(!pipedOutput.contains("probe line"), pipedOutput.constData());
        const QByteArray pipedContents = contents(pipedLog);
        QVERIFY(pipedContents.startsWith("macOS 日志\n\n"));
        QVERIFY(pipedContents.contains("probe line"));
        QVERIFY(pipedContents.contains("log_probe["));

        const auto [terminalOutput, terminalLog] = runProbe(m_home.filePath("terminal"), true);
        QVERIFY2(!terminalLog.isEmpty(), terminalOutput.constData());
        QVERIFY2(terminalOutput.contains("probe line"), terminalOutput.constData());
        QCOMPARE(contents(terminalLog), QByteArray("macOS 日志\n\n")); // created and recorded all the same
    }
};

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_log_file.moc"

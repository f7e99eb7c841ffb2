// The real travik-vazade binary under the test's X display: --version, the
// main window on screen, a second launch handing over to the first, and an
// orderly quit on SIGTERM.

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestAppBinary : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home.path());
        env.remove("XDG_CONFIG_HOME");
        env.remove("QT_QPA_PLATFORM"); // a real X display
        return env;
    }

    QString logText() const
    {
        QDirIterator it(m_home.path() + "/Documents/Log", {"TravikmacOS_*.log"}, QDir::Files);
        QString text;
        while (it.hasNext()) {
            QFile file(it.next());
            if (file.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(file.readAll());
        }
        return text;
    }

    static bool windowVisible(const QString &title)
    {
        QProcess search;
        search.start("xdotool", {"search", "--onlyvisible", "--name", "^" + title + "$"});
        search.waitForFinished(5000);
        return search.exitCode() == 0 && !search.readAllStandardOutput().trimmed().isEmpty();
    }

private slots:
    void versionNeedsNoDisplay()
    {
        QProcess app;
        QProcessEnvironment env = environment();
        env.remove("DISPLAY");
        app.setProcessEnvironment(env);
        app.start(VEL_APP_PATH, {"--version"});
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(app.exitCode(), 0);
        QVERIFY(QRegularExpression("^Travik Vazade \\d+\\.\\d+\\.\\d+ \\(\\d+\\)\\n$")
                    .match(QString::fromUtf8(app.readAllStandardOutput()))
                    .hasMatch());
    }

    void startsSecondLaunchHandsOverQuitsOnSigterm()
    {
        QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under xvfb-run");
        QProcess app;
        app.setProcessEnvironment(environment());
        app.start(VEL_APP_PATH, {});
        QVERIFY(app.waitForStarted());

        QTRY_VERIFY_WITH_TIMEOUT(windowVisible("Travik Vazade"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains("主窗口已显示"), 5000);
        QVERIFY(logText().startsWith("macOS 日志\n\n"));

        QProcess second;
        second.setProcessEnvironment(environment());
        second.start(VEL_APP_PATH, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(app.state(), QProcess::Running);

        ::kill(pid_t(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        QVERIFY(logText().contains("程序即将关闭"));
    }
};

QTEST_GUILESS_MAIN(TestAppBinary)
#include "tst_app_binary.moc"

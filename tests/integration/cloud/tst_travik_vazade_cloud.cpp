// The developer command against the local service on its default ports (the
// addresses compiled into the build).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class tst_travik_vazade_cloud : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_data.isValid());
        m_service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_service.start(QStringLiteral(VEL_LOCAL_SERVICE_PATH), {QStringLiteral("--data"), m_data.path()});
        QVERIFY(m_service.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_data.filePath(QStringLiteral("ports.json"))), 15000);

        QFile wav(m_data.filePath(QStringLiteral("语音 备忘.wav")));
        QVERIFY(wav.open(QIODevice::WriteOnly));
        wav.write(QByteArray("RIFF") + QByteArray(4000, '\x11'));
    }

    void cleanupTestCase()
    {
        m_service.terminate();
        if (!m_service.waitForFinished(5000))
            m_service.kill();
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("lastLine"); // a prefix of the printed result
        QTest::newRow("translate") << QStringList{"translate", "你好", "en"} << 0 << "";
        QTest::newRow("semantic") << QStringList{"semantic", "打开计算器"} << 0 << "calculator";
        QTest::newRow("upload") << QStringList{"upload", "语音 备忘.wav"} << 0
                                << "http://travikoffice.oss-cn-shenzhen.localhost:47804/%E8%AF%AD%E9%9F%B3%20";
        QTest::newRow("version") << QStringList{"version"} << 0 << "{";
        QTest::newRow("missing file") << QStringList{"upload", "nothing.wav"} << 1 << "";
        QTest::newRow("usage") << QStringList{"translate"} << 2 << "";
    }

    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, lastLine);
        QProcess command;
        command.setWorkingDirectory(m_data.path());
        command.start(QStringLiteral(VEL_CLOUD_COMMAND_PATH), arguments);
        QVERIFY(command.waitForFinished(20000));
        const QString out = QString::fromUtf8(command.readAllStandardOutput());
        const QString err = QString::fromUtf8(command.readAllStandardError());
        QVERIFY2(command.exitCode() == exitCode, qPrintable(out + err));
        if (exitCode != 0)
            return;
        // Log lines come first; the result is printed last.
        const QStringList lines = out.trimmed().split(QLatin1Char('\n'));
        const QString result = lines.last().trimmed();
        QVERIFY2(!result.isEmpty() && !result.startsWith(QLatin1String("Error")), qPrintable(out));
        if (lastLine == QLatin1String("{"))
            QVERIFY2(out.contains(QLatin1String("\"version\"")), qPrintable(out));
        else
            QVERIFY2(result.startsWith(lastLine) || out.contains(lastLine), qPrintable(out));
    }

private:
    QTemporaryDir m_data;
    QProcess m_service;
};

QTEST_GUILESS_MAIN(tst_travik_vazade_cloud)
#include "tst_travik_vazade_cloud.moc"

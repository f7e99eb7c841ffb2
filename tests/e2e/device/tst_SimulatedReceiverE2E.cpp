// The real binary with the simulated receiver, driven by travik-vazade-sim.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

namespace {

const QString kSimPath = QStringLiteral(VEL_BINARY_DIR "/tools/sim/travik-vazade-sim");

QByteArray wavOf(const QByteArray &pcm, int rate, int channels)
{
    QByteArray wav("RIFF....WAVEfmt ");
    auto u32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); wav.append(b, 4); };
    auto u16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); wav.append(b, 2); };
    u32(16); u16(1); u16(quint16(channels)); u32(quint32(rate)); u32(quint32(rate * 2 * channels));
    u16(quint16(2 * channels)); u16(16);
    wav.append("data");
    u32(quint32(pcm.size()));
    wav.append(pcm);
    qToLittleEndian(quint32(wav.size() - 8), wav.data() + 4);
    return wav;
}

QByteArray speechLikePcm(int samples)
{
    QByteArray pcm(samples * 2, '\0');
    for (int i = 0; i < samples; ++i) {
        const double t = i / 16000.0;
        const qint16 s = qint16(5000 * std::sin(2 * M_PI * 220 * t) * (0.6 + 0.4 * std::sin(2 * M_PI * 3 * t)));
        qToLittleEndian(s, pcm.data() + 2 * i);
    }
    return pcm;
}

} // namespace

class tst_SimulatedReceiverE2E : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QProcess m_app;
    QString m_socket;

    struct SimResult {
        int exitCode;
        QString out;
        QString err;
    };

    SimResult sim(const QStringList &command)
    {
        QProcess p;
        p.start(kSimPath, QStringList{QStringLiteral("--socket"), m_socket} + command);
        if (!p.waitForFinished(10000))
            return {-1, QString(), QStringLiteral("timeout")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
                QString::fromUtf8(p.readAllStandardError()).trimmed()};
    }

    QString infoField(const QString &field)
    {
        const QString info = sim({QStringLiteral("info")}).out;
        const QRegularExpression re(QStringLiteral("\\b%1=(\\S+)").arg(field));
        return re.match(info).captured(1);
    }

    QString log() const
    {
        const QDir dir(m_home.filePath(QStringLiteral("Documents/Log")));
        QString all;
        for (const QString &name : dir.entryList({QStringLiteral("TravikmacOS_*.log")}, QDir::Files)) {
            QFile file(dir.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                all += QString::fromUtf8(file.readAll());
        }
        return all;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_socket = QStringLiteral("tv-e2e-%1").arg(QCoreApplication::applicationPid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        m_app.setProcessEnvironment(env);
        m_app.setProgram(QStringLiteral(VEL_APP_PATH));
        m_app.setArguments({QStringLiteral("--simulate-receiver"), QStringLiteral("--sim-socket"), m_socket});
        m_app.start();
        QVERIFY(m_app.waitForStarted());
        // The receiver is plugged in from the start: the app opens it and
        // reads its information report.
        QTRY_COMPARE_WITH_TIMEOUT(infoField(QStringLiteral("connected")), QStringLiteral("1"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(infoField(QStringLiteral("sn")), QStringLiteral("velo120056789abc"), 5000);
        QCOMPARE(infoField(QStringLiteral("kind")), QStringLiteral("2"));
    }

    void cleanupTestCase()
    {
        m_app.terminate();
        if (!m_app.waitForFinished(5000))
            m_app.kill();
        m_app.waitForFinished(2000);
    }

    void keyCodeReachesTheDispatcher()
    {
        const SimResult r = sim({QStringLiteral("key"), QStringLiteral("0x85")});
        QCOMPARE(r.exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QStringLiteral("-----按键事件枚举值:133,byte值：85")), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(QStringLiteral("hidCallbackType：收到按键 0x85")), 5000);
    }

    void statusUpdatesBattery()
    {
        QCOMPARE(sim({QStringLiteral("status"), QStringLiteral("power=0"), QStringLiteral("battery=42")}).exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(infoField(QStringLiteral("battery")), QStringLiteral("42"), 3000);
        QCOMPARE(infoField(QStringLiteral("power")), QStringLiteral("0"));
    }

    void threeSecondsOfAudioArriveWhole()
    {
        const QString wavPath = m_home.filePath(QStringLiteral("three seconds.wav"));
        QFile wav(wavPath);
        QVERIFY(wav.open(QIODevice::WriteOnly));
        wav.write(wavOf(speechLikePcm(48000), 16000, 1));
        wav.close();
        const qulonglong before = infoField(QStringLiteral("audioDecoded")).toULongLong();

        const SimResult r = sim({QStringLiteral("audio"), wavPath});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("ok frames=375"));

        QTRY_COMPARE_WITH_TIMEOUT(infoField(QStringLiteral("audioDecoded")).toULongLong(), before + 375, 10000);
        QCOMPARE(infoField(QStringLiteral("audioReceived")).toULongLong(), before + 375);
        QCOMPARE(infoField(QStringLiteral("dropped")), QStringLiteral("0"));
    }

    void badCommandsGetOneLineErrors_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("unknown") << QStringList{QStringLiteral("jump")};
        QTest::newRow("key not a number") << QStringList{QStringLiteral("key"), QStringLiteral("zz")};
        QTest::newRow("key out of range") << QStringList{QStringLiteral("key"), QStringLiteral("0x185")};
        QTest::newRow("status garbage") << QStringList{QStringLiteral("status"), QStringLiteral("battery=lots")};
        QTest::newRow("missing file") << QStringList{QStringLiteral("audio"), QStringLiteral("/nonexistent.wav")};
    }

    void badCommandsGetOneLineErrors()
    {
        QFETCH(QStringList, command);
        const SimResult r = sim(command);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.startsWith(QLatin1String("error: ")), qPrintable(r.err));
        QVERIFY(!r.err.contains(QLatin1Char('\n')));
        QCOMPARE(m_app.state(), QProcess::Running);
    }

    void unplugEndsMonitoringAndReplugReadsAgain()
    {
        QCOMPARE(sim({QStringLiteral("unplug")}).exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(infoField(QStringLiteral("connected")), QStringLiteral("0"), 3000);
        QCOMPARE(infoField(QStringLiteral("sn")), QStringLiteral("-"));
        QVERIFY(log().contains(QStringLiteral("取出USB回调")));

        QCOMPARE(sim({QStringLiteral("plug")}).exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(infoField(QStringLiteral("sn")), QStringLiteral("velo120056789abc"), 3000);
    }
};

QTEST_GUILESS_MAIN(tst_SimulatedReceiverE2E)
#include "tst_SimulatedReceiverE2E.moc"

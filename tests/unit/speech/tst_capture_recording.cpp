// Microphone chunks, the recording writer's WAV files and the level meter.

#include "app/VelSanboxFileManager.h"
#include "platform/AudioInput.h"
#include "speech/VelAudioObjectManager.h"
#include "speech/VelAudioQueueCapture.h"
#include "speech/VelWavFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

#include <climits>
#include <csignal>
#include <sys/resource.h>

namespace {

// Plays the audio input's part: the test hands over "filled buffers".
class FakeInput : public AudioInput
{
public:
    BufferHandler handler;
    QByteArray onStop; // what the input still holds when stopped
    bool start(BufferHandler h) override
    {
        handler = std::move(h);
        return true;
    }
    void stop() override
    {
        if (handler)
            handler(onStop);
    }
};

struct LevelRecorder : VelAudioObjectManagerDelegate {
    QList<int32_t> levels;
    int hidden = 0;
    void getAudioDecibelValue(int32_t level) override { levels << level; }
    void hideMicrophoneLevel() override { ++hidden; }
};

QByteArray samples(int count, qint16 value)
{
    QByteArray out(count * 2, '\0');
    for (int i = 0; i < count; ++i)
        qToLittleEndian<qint16>(value, out.data() + 2 * i);
    return out;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCaptureRecording : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    VelAudioObjectManager &writer() { return VelAudioObjectManager::sharedManager(); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("HOME", m_home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        QDir().mkpath(VelSanboxFileManager::sharedManager().getDocumentPath());
    }

    void shortBuffersArePaddedAndOneBufferFollowsTheStop()
    {
        auto input = std::make_unique<FakeInput>();
        FakeInput *fake = input.get();
        fake->onStop = QByteArray(100, '\x07');
        VelAudioQueueCapture capture(std::move(input));
        QList<QByteArray> chunks;
        capture.startRecordWithBlock([&](const QByteArray &pcm) { chunks << pcm; });
        QVERIFY(capture.isRecording());

        fake->handler(QByteArray(1000, '\x01'));
        fake->handler(QByteArray()); // a buffer without packets is skipped
        QCOMPARE(chunks.size(), 1);
        QCOMPARE(chunks[0], QByteArray(1000, '\x01') + QByteArray(280, '\0'));

        capture.stopRecord(); // the input hands over its partly filled buffer
        QCOMPARE(chunks.size(), 2);
        QCOMPARE(chunks[1], QByteArray(100, '\x07') + QByteArray(1180, '\0'));
        fake->handler(QByteArray(1280, '\x02')); // a second buffer after the stop goes nowhere
        QCOMPARE(chunks.size(), 2);
        QCOMPARE(VelAudioQueueCapture::afterStopCount(), 2);

        // Stopped for good: a capture object is not restarted.
        capture.startRecordWithBlock([&](const QByteArray &pcm) { chunks << pcm; });
        QVERIFY(!capture.isRecording());
    }

    void stopTellsTheHudToHideTheLevel()
    {
        auto recorder = std::make_shared<LevelRecorder>();
        writer().setDelegate(recorder);
        auto input = std::make_unique<FakeInput>();
        FakeInput *fake = input.get();
        VelAudioQueueCapture capture(std::move(input));
        capture.startRecordWithBlock([](const QByteArray &) {});
        fake->handler(samples(640, 1000));
        QCOMPARE(recorder->levels, QList<int32_t>{56}); // microphone chunks are measured
        capture.stopRecord();
        QCOMPARE(recorder->hidden, 1);
        writer().setDelegate({});
    }

    void levelMeter_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<int>("level");
        QTest::newRow("silence") << QByteArray(1280, '\0') << INT32_MIN;
        QTest::newRow("all samples 1000") << samples(640, 1000) << 56; // 10·log10(1e6·640/1280)
        QTest::newRow("all samples -32768") << samples(640, -32768) << 87;
        QTest::newRow("one byte: no whole sample") << QByteArray(1, '\x7f') << INT32_MIN;
        QTest::newRow("empty") << QByteArray() << INT32_MIN;
        QTest::newRow("one quiet sample in 1280 bytes: below zero, toward zero")
            << samples(1, 1) + QByteArray(1278, '\0') << -31;
    }

    void levelMeter()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(int, level);
        auto recorder = std::make_shared<LevelRecorder>();
        writer().setDelegate(recorder);
        QCOMPARE(writer().isQuite(chunk), level);
        QCOMPARE(recorder->levels, QList<int32_t>{level});
        QCOMPARE(writer().isQuite(std::nullopt), 0); // no chunk: 0 and no call
        QCOMPARE(recorder->levels.size(), 1);
        writer().setDelegate({});
        QCOMPARE(writer().isQuite(chunk), level); // a delegate that went away is not called
    }

    void recordingIsAPlayableWav()
    {
        writer().writePcmData(QByteArray(64, '\x05')); // before any recording: stored nowhere
        writer().beginRecordWithRecordorZhiMu(QStringLiteral("录音"));
        const QString path = writer().filePath();
        QCOMPARE(writer().audioFilePath(), path);
        QVERIFY(QRegularExpression(QStringLiteral("^(\\(null\\)|[0-9A-F]{12}) \\d{14} 录音\\.wav$"))
                    .match(writer().fileName())
                    .hasMatch());
        QCOMPARE(writer().recordTitle(), writer().createTime() + " 录音");
        QCOMPARE(QFileInfo(path).absolutePath(), VelSanboxFileManager::sharedManager().getDocumentPath());

        // 2.5 s of a ramp, in 40 ms chunks.
        QByteArray pcm;
        for (int i = 0; i < 40000; ++i) {
            char s[2];
            qToLittleEndian<qint16>(qint16(i % 2000 - 1000), s);
            pcm.append(s, 2);
        }
        for (qsizetype at = 0; at < pcm.size(); at += 1280)
            writer().writePcmData(pcm.mid(at, 1280));
        writer().endRecord();
        writer().writePcmData(QByteArray(64, '\x05')); // after the end: stored nowhere

        const QByteArray file = contents(path);
        QCOMPARE(file.size(), 44 + pcm.size());
        QCOMPARE(file.left(44), VelWavFile::header(quint32(pcm.size())));
        QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 4), quint32(36 + pcm.size()));
        QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 40), quint32(pcm.size()));
        QCOMPARE(file.mid(44), pcm); // no audio overwritten
        QCOMPARE(writer().getAudioDurationWithFilePath(path), QStringLiteral("2")); // 2.5 s rounds to even

        // What another program makes of it.
        QProcess soxi;
        soxi.start("soxi", {"-D", path});
        QVERIFY(soxi.waitForFinished(10000));
        QCOMPARE(soxi.exitCode(), 0);
        QCOMPARE(soxi.readAllStandardOutput().trimmed().toDouble(), 2.5);
    }

    void durationRounds_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("duration");
        QTest::newRow("10.4 s") << 332800 << "10";
        QTest::newRow("0.6 s") << 19200 << "1";
        QTest::newRow("empty") << 0 << "0";
    }

    void durationRounds()
    {
        QFETCH(int, bytes);
        QFETCH(QString, duration);
        const QString path = m_home.filePath(QStringLiteral("d%1.wav").arg(bytes));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(VelWavFile::header(quint32(bytes)) + QByteArray(bytes, '\0'));
        file.close();
        QCOMPARE(writer().getAudioDurationWithFilePath(path), duration);
    }

    void sameSecondSameNameReplacesTheFile()
    {
        // Begin twice within one second: the second recording starts afresh.
        for (int attempt = 0; attempt < 5; ++attempt) {
            writer().beginRecordWithRecordorZhiMu(QStringLiteral("字幕"));
            writer().writePcmData(QByteArray(1280, '\x01'));
            const QString first = writer().filePath();
            writer().beginRecordWithRecordorZhiMu(QStringLiteral("字幕"));
            if (writer().filePath() != first)
                continue; // crossed a second boundary; try again
            writer().writePcmData(QByteArray(640, '\x02'));
            writer().endRecord();
            QCOMPARE(contents(first), VelWavFile::header(640) + QByteArray(640, '\x02'));
            return;
        }
        QFAIL("could not begin two recordings within one second");
    }

    void aRecordingCutShortIsRepairedAtTheNextStart()
    {
        const QString documents = VelSanboxFileManager::sharedManager().getDocumentPath();
        const QString crashed = documents + "/AABBCCDDEEFF 20240501093012 录音.wav";
        const QString foreign = documents + "/somebody else's.wav";
        for (const QString &path : {crashed, foreign}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(VelWavFile::header(0) + QByteArray(3200, '\x03')); // sizes never filled in
        }
        writer().beginRecordWithRecordorZhiMu(QStringLiteral("录音"));
        writer().endRecord();
        QCOMPARE(contents(crashed).left(44), VelWavFile::header(3200));
        QCOMPARE(contents(foreign).left(44), VelWavFile::header(0)); // not ours: left alone
    }

    void aWriteFailureStopsWritingButNotTheSession()
    {
        // A file size limit makes writes fail the way a full disk does.
        struct rlimit saved;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        ::signal(SIGXFSZ, SIG_IGN);
        writer().beginRecordWithRecordorZhiMu(QStringLiteral("录音"));
        const QString path = writer().filePath();
        struct rlimit limit = saved;
        limit.rlim_cur = 44 + 3 * 1280;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        for (int i = 0; i < 10; ++i)
            writer().writePcmData(QByteArray(1280, '\x09'));
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &saved), 0);
        QVERIFY(!writer().isRecordingOpen()); // gave up writing…
        writer().writePcmData(QByteArray(1280, '\x09'));
        writer().endRecord(); // …and the session still ends with a readable file
        const QByteArray file = contents(path);
        QCOMPARE(file.size(), 44 + 3 * 1280);
        QCOMPARE(file.left(44), VelWavFile::header(3 * 1280));
    }
};

QTEST_GUILESS_MAIN(TestCaptureRecording)
#include "tst_capture_recording.moc"

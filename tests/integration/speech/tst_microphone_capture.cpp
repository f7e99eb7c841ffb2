// Real capture through the sound server: a PulseAudio pipe source is the
// default microphone, and the bytes written into its FIFO must come out of
// the capture unchanged, in 1280-byte chunks, on the capture thread.

#include "platform/linux/QtAudioInput.h"
#include "speech/VelAudioQueueCapture.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>

class TestMicrophoneCapture : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QProcess m_pulse;
    QString m_fifo;

    QProcessEnvironment pulseEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", m_dir.filePath("run"));
        env.insert("HOME", m_dir.path());
        return env;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(!QStandardPaths::findExecutable("pulseaudio").isEmpty(), "pulseaudio is installed by scripts/setup");
        QDir().mkpath(m_dir.filePath("run"));
        QFile::setPermissions(m_dir.filePath("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_fifo = m_dir.filePath("mic.fifo");
        m_pulse.setProcessEnvironment(pulseEnvironment());
        m_pulse.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_pulse.start("pulseaudio",
                      {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--log-level=error",
                       "-L", "module-native-protocol-unix", "-L", "module-null-sink sink_name=null", "-L",
                       QStringLiteral("module-pipe-source source_name=vmic file=%1 format=s16le rate=16000 channels=1")
                           .arg(m_fifo)});
        QVERIFY(m_pulse.waitForStarted());
        const QString socket = m_dir.filePath("run/pulse/native");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket) && QFile::exists(m_fifo), 10000);
        QProcess pactl;
        pactl.setProcessEnvironment(pulseEnvironment());
        pactl.start("pactl", {"set-default-source", "vmic"});
        QVERIFY(pactl.waitForFinished(10000));
        QCOMPARE(pactl.exitCode(), 0);
        // Qt's audio backend connects on first use, to this server.
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    }

    void cleanupTestCase()
    {
        m_pulse.terminate();
        m_pulse.waitForFinished(5000);
    }

    void bytesWrittenToTheMicrophoneComeOutUnchanged()
    {
        QMutex mutex;
        QByteArray captured;
        QList<qsizetype> sizes;
        bool offMainThread = true;
        QThread *mainThread = QThread::currentThread();

        VelAudioQueueCapture capture(std::make_unique<QtAudioInput>());
        capture.startRecordWithBlock([&](const QByteArray &pcm) {
            QMutexLocker lock(&mutex);
            captured += pcm;
            sizes << pcm.size();
            offMainThread = offMainThread && QThread::currentThread() != mainThread;
        });
        QVERIFY(capture.isRecording());

        // One second of a ramp that never repeats within it and holds no zero sample.
        QByteArray pattern;
        for (int i = 0; i < 16000; ++i) {
            char s[2];
            qToLittleEndian<qint16>(qint16(1 + (i * 7) % 30000), s);
            pattern.append(s, 2);
        }
        QFile fifo(m_fifo);
        QVERIFY(fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (qsizetype at = 0; at < pattern.size(); at += 3200) { // paced near real time
            QCOMPARE(fifo.write(pattern.mid(at, 3200)), qint64(std::min<qsizetype>(3200, pattern.size() - at)));
            QTest::qWait(80);
        }
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     QMutexLocker lock(&mutex);
                                     return captured.indexOf(pattern) >= 0;
                                 }()),
                                 10000);
        capture.stopRecord();
        fifo.close();

        QMutexLocker lock(&mutex);
        QVERIFY(offMainThread);
        for (qsizetype size : sizes)
            QCOMPARE(size, qsizetype(1280));
    }
};

QTEST_GUILESS_MAIN(TestMicrophoneCapture)
#include "tst_microphone_capture.moc"

// The streaming recognizer against the local speech service over a real
// WebSocket: the signed address, the partial/sentence/final flows of both
// assemblies, ending early, the error-code reconnection, dropped connections,
// the end-marker fallback, and real English speech through the offline engine.

#include "../../common/LocalServiceProcess.h"

#include "app/VelUserInfoData.h"
#include "platform/AudioInput.h"
#include "platform/VelUserDefaults.h"
#include "sim/WavFileAudioInput.h"
#include "speech/VelAIUIWebApiAsrService.h"
#include "util/VelServiceConfig.h"
#include "util/VelTextHelpers.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <thread>

namespace {

struct Recognizer : VelAIUIWebApiAsrService {};

struct Result {
    bool success;
    QString text;
    qint64 type;
};

// The microphone's part, played by the test from a thread of its own.
class FakeMicrophone : public AudioInput
{
public:
    BufferHandler handler;
    bool start(BufferHandler h) override
    {
        handler = std::move(h);
        return true;
    }
    void stop() override {} // falls silent: nothing after the stop
    void feed(int chunks)
    {
        std::thread capture([this, chunks] {
            for (int i = 0; i < chunks; ++i)
                handler(QByteArray(1280, char(i + 1)));
        });
        capture.join();
    }
};

} // namespace

class TestRecognizer : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    LocalServiceProcess m_service;
    std::unique_ptr<Recognizer> m_asr;
    FakeMicrophone *m_mic = nullptr;
    QList<Result> m_results;

    void queueScript(const QString &script)
    {
        const auto reply = m_service.send("POST", QUrl(m_service.base("api") + "/admin/speech-script"), script.toUtf8());
        QVERIFY2(reply.status == 200, reply.body.constData());
    }

    int sessions() { return m_service.get(m_service.base("api") + "/admin/speech-script").json().value("sessions").toInt(); }

    void begin(const QString &language)
    {
        m_asr->beginAsrWithRecognitionLanguage(language, QString(), [this](bool ok, const QString &text, bool, qint64 type) {
            m_results << Result{ok, text, type};
        });
    }

    bool waitForMicrophone()
    {
        return QTest::qWaitFor([this] { return m_mic && m_mic->handler && m_asr->isConnectionOpen(); }, 5000);
    }

    QList<qint64> types() const
    {
        QList<qint64> out;
        for (const auto &r : m_results)
            out << r.type;
        return out;
    }

    std::optional<QString> finalText() const
    {
        for (const auto &r : m_results)
            if (r.type == 3)
                return r.text;
        return std::nullopt;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        VelUserDefaults::standardUserDefaults().reloadForTesting(m_dir.filePath("defaults.ini"));
        QVERIFY2(m_service.start(m_dir.filePath("service")), m_service.output().constData());
        auto config = VelServiceConfig::buildDefaults();
        config.speechWebSocketUrl = QStringLiteral("ws://127.0.0.1:%1/v1/aiui").arg(m_service.port("speech"));
        VelServiceConfig::setOverridesForTesting(config);
        VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().setDevieType(1); // audio from the microphone
    }

    void init()
    {
        m_results.clear();
        m_mic = nullptr;
        m_asr = std::make_unique<Recognizer>();
        m_asr->setAudioInputFactory([this] {
            auto mic = std::make_unique<FakeMicrophone>();
            m_mic = mic.get();
            return mic;
        });
        m_service.send("DELETE", QUrl(m_service.base("api") + "/admin/speech-script"));
    }

    void cleanup() { m_asr.reset(); }

    void signedAddress()
    {
        auto &mouse = VelUserInfoData::sharedVelUserInfoData().mouseInfoItem();
        mouse.setSn(QString()); // not read yet
        begin("main");
        const QUrl url = m_asr->requestUrl(1700000000);
        const QUrlQuery query(url);
        const auto &config = VelServiceConfig::current();
        QCOMPARE(url.scheme() + "://" + url.authority() + url.path(), config.speechWebSocketUrl);
        QCOMPARE(url.toString(QUrl::FullyEncoded).section('?', 1).section('&', 0, 0), "appid=" + config.speechAppId);
        const QString param = query.queryItemValue("param", QUrl::FullyDecoded);
        QCOMPARE(query.queryItemValue("curtime"), QStringLiteral("1700000000"));
        QCOMPARE(query.queryItemValue("signtype"), QStringLiteral("sha256"));
        QCOMPARE(query.queryItemValue("checksum"), VelTextHelpers::sha256Value(config.speechApiKey + "1700000000" + param));
        const QByteArray json = QByteArray::fromBase64(param.toLatin1());
        QVERIFY(json.contains('\n')); // pretty-printed
        const QJsonObject object = QJsonDocument::fromJson(json).object();
        QCOMPARE(object, (QJsonObject{{"scene", "main"}, {"auth_id", "0000000000000000(null)"}, {"data_type", "audio"},
                                      {"result_level", "complete"}, {"dwa", "wpgs"}, {"ptt", "1"}}));
        // Base64's "+", "/" and "=" travel as they are.
        QVERIFY(!url.toString(QUrl::FullyEncoded).contains("%2B") && !url.toString(QUrl::FullyEncoded).contains("%3D"));
        mouse.setSn(QStringLiteral("velo0123"));
        QVERIFY(QJsonDocument::fromJson(QByteArray::fromBase64(QUrlQuery(m_asr->requestUrl(1)).queryItemValue("param", QUrl::FullyDecoded).toLatin1()))
                    .object()
                    .value("auth_id")
                    .toString()
                    .endsWith("velo0123"));
        m_asr->endAsr();
    }

    void flows_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QList<qint64>>("reported");
        QTest::addColumn<QString>("final");
        QTest::newRow("mandarin: confirmed sentence, the one in progress dropped after 。")
            << "main" << "1 rpl 你好\n2 apd 。\n3 rpl 再见\n" << QList<qint64>{1, 2, 1, 3} << "你好。";
        QTest::newRow("mandarin: no confirmed result, the last partial is the text")
            << "main" << "1 rpl 打开\n2 rpl 打开计算器\n" << QList<qint64>{1, 1, 3} << "打开计算器";
        QTest::newRow("mandarin: a sentence confirmed without punctuation is not repeated")
            << "main" << "1 rpl 今天\n2 apd 天气好\n" << QList<qint64>{1, 2, 3} << "今天天气好";
        QTest::newRow("english: sentences confirmed, nothing repeated in the final")
            << "english" << "1 rpl hello\n2 apd hello world\n3 rpl and\n4 apd and more\n"
            << QList<qint64>{1, 2, 1, 2, 3} << "hello worldand more";
        QTest::newRow("english: the sentence in progress ends the text")
            << "english" << "1 apd Hi.\n2 rpl there\n" << QList<qint64>{2, 1, 3} << "Hi.";
        QTest::newRow("fallback language codes take the mandarin assembly")
            << "简体中文 code" << "1 rpl 你好\n2 apd 。\n" << QList<qint64>{1, 2, 3} << "你好。";
    }

    void flows()
    {
        QFETCH(QString, language);
        QFETCH(QString, script);
        QFETCH(QList<qint64>, reported);
        QFETCH(QString, final);
        queueScript(script);
        QSignalSpy sent(m_asr.get(), &VelAIUIWebApiAsrService::binaryMessageSent);
        begin(language);
        QVERIFY(waitForMicrophone());
        m_mic->feed(4);
        QTRY_COMPARE(sent.count(), 4);
        QTest::qWait(100);
        m_asr->endAsr();
        QTRY_VERIFY(finalText().has_value());
        QCOMPARE(*finalText(), final);
        QList<qint64> successful;
        for (const auto &r : m_results)
            if (r.success)
                successful << r.type;
        QCOMPARE(successful, reported);
        QCOMPARE(sent.last().at(1).toBool(), true); // the end marker went out (on its own: the mic fell silent)
        QTRY_VERIFY(!m_results.last().success && m_results.last().type == 4); // the closing after the final
    }

    void endingBeforeTheConnectionOpens()
    {
        queueScript("1 rpl 你好\n");
        QSignalSpy sent(m_asr.get(), &VelAIUIWebApiAsrService::binaryMessageSent);
        const int before = sessions();
        begin("main");
        m_asr->endAsr(); // before the event loop has even connected
        QTRY_COMPARE(sessions(), before + 1);
        QTest::qWait(500);
        QVERIFY(!m_mic); // no audio source was started
        QCOMPARE(sent.count(), 0);
        QVERIFY(!finalText());
    }

    void anErrorCodeReconnectsOncePerError()
    {
        queueScript("1 error 10114\n");
        queueScript("1 error 10114\n");
        queueScript("1 rpl 你好\n");
        const int before = sessions();
        begin("main");
        QVERIFY(waitForMicrophone());
        QCOMPARE(sessions(), before + 1);
        m_mic->feed(1);
        QTRY_COMPARE(sessions(), before + 2); // 0.3 s after the error
        QTRY_VERIFY(m_asr->isConnectionOpen());
        m_mic->feed(1);
        QTRY_COMPARE(sessions(), before + 3);
        QTRY_VERIFY(m_asr->isConnectionOpen());
        m_mic->feed(2);
        QTRY_VERIFY(!m_results.isEmpty());
        QCOMPARE(m_results.first().text, QStringLiteral("你好"));
        QTest::qWait(600);
        QCOMPARE(sessions(), before + 3); // no error, no further connection
        m_asr->endAsr();
    }

    void noReconnectionAfterTheEnd()
    {
        queueScript("end error 10114\n");
        const int before = sessions();
        begin("main");
        QVERIFY(waitForMicrophone());
        m_mic->feed(2);
        m_asr->endAsr();
        QTest::qWait(1000);
        QCOMPARE(sessions(), before + 1);
    }

    void aDroppedConnectionIsAFailure()
    {
        queueScript("2 drop\n");
        begin("main");
        QVERIFY(waitForMicrophone());
        m_mic->feed(3);
        QTRY_VERIFY(!m_results.isEmpty());
        QCOMPARE(m_results.last().success, false);
        QCOMPARE(m_results.last().type, 4);
        QCOMPARE(types().count(4), 1); // one failure, not one per signal
        m_asr->endAsr();
    }

    void chunksAfterTheEndEachSendTheMarker()
    {
        queueScript("1 rpl 你好\n");
        QSignalSpy sent(m_asr.get(), &VelAIUIWebApiAsrService::binaryMessageSent);
        begin("main");
        QVERIFY(waitForMicrophone());
        m_mic->feed(1);
        QTRY_COMPARE(sent.count(), 1);
        m_asr->endAsr();
        // Two chunks arrive (the device's PCM comes on the main thread).
        m_asr->pcmDataWorkWithPcm(QByteArray(256, '\1'));
        m_asr->pcmDataWorkWithPcm(QByteArray(256, '\1'));
        QTRY_VERIFY(finalText().has_value());
        QCOMPARE(sent.count(), 3);
        QCOMPARE(sent.at(1).at(1).toBool(), true);
        QCOMPARE(sent.at(2).at(1).toBool(), true);
    }

    void realSpeechThroughTheOfflineEngine()
    {
        const QString raw = m_dir.filePath("phrase-raw.wav");
        const QString wav = m_dir.filePath("phrase.wav");
        QProcess flite;
        // A 16 kHz voice: the offline model is wide-band.
        flite.start("flite", {"-voice", "slt", "-t", "open the calculator", "-o", raw});
        QVERIFY(flite.waitForFinished(30000) && flite.exitCode() == 0);
        QProcess sox;
        sox.start("sox", {raw, "-r", "16000", "-c", "1", "-b", "16", wav, "pad", "0.3", "0.8"});
        QVERIFY(sox.waitForFinished(30000) && sox.exitCode() == 0);

        m_asr->setAudioInputFactory([wav] { return std::make_unique<WavFileAudioInput>(wav); });
        begin("english");
        QTRY_VERIFY_WITH_TIMEOUT(m_asr->isConnectionOpen(), 5000);
        QTest::qWait(3500); // the phrase, spoken in real time
        m_asr->endAsr();
        QTRY_VERIFY_WITH_TIMEOUT(finalText().has_value(), 30000);
        QVERIFY2(finalText()->contains("calculator", Qt::CaseInsensitive), qPrintable(*finalText()));
    }
};

QTEST_GUILESS_MAIN(TestRecognizer)
#include "tst_recognizer.moc"

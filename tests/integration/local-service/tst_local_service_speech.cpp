// The local service's speech WebSocket: signed connection, scripted sessions
// (partials, confirmed text, final after the end marker, injected errors,
// dropped connections) and the offline English recognizer on real speech.

#include "../../common/LocalServiceProcess.h"
#include "VelBuildConstants.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWebSocket>

namespace {

// Runs a tool with a time limit, so a stuck tool fails the test instead of hanging it.
int run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(2000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

struct Session {
    QList<QJsonObject> messages;
    bool disconnected = false;
    QWebSocket socket;

    // Joined words of every result message, as "pgs:text" entries.
    QStringList results() const
    {
        QStringList list;
        for (const QJsonObject &message : messages) {
            if (message.value(QStringLiteral("action")).toString() != QLatin1String("result"))
                continue;
            const QJsonObject text = message.value(QStringLiteral("data")).toObject().value(QStringLiteral("text")).toObject();
            QString words;
            for (const QJsonValue &group : text.value(QStringLiteral("ws")).toArray())
                words += group.toObject().value(QStringLiteral("cw")).toArray().at(0).toObject().value(QStringLiteral("w")).toString();
            list.append(text.value(QStringLiteral("pgs")).toString() + QLatin1Char(':') + words);
        }
        return list;
    }
    bool finished() const
    {
        return !messages.isEmpty()
               && messages.last().value(QStringLiteral("data")).toObject().value(QStringLiteral("is_finish")).toBool();
    }
};

}  // namespace

class TestLocalServiceSpeech : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void scriptedSession();
    void injectedErrorAndDrop();
    void refusedConnections_data();
    void refusedConnections();
    void offlineEnglishRecognizesFliteSpeech();

private:
    QUrl signedUrl(const QString &scene, const QByteArray &apiKey, qint64 curtime) const;
    void open(Session &session, const QUrl &url);
    void postScript(const QByteArray &script);

    QTemporaryDir m_dir;
    LocalServiceProcess m_service;
};

void TestLocalServiceSpeech::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QVERIFY2(m_service.start(m_dir.path()), m_service.output().constData());
}

QUrl TestLocalServiceSpeech::signedUrl(const QString &scene, const QByteArray &apiKey, qint64 curtime) const
{
    const QJsonObject parameters{{QStringLiteral("scene"), scene},
                                 {QStringLiteral("auth_id"), QStringLiteral("0000000000000000SN1")},
                                 {QStringLiteral("data_type"), QStringLiteral("audio")},
                                 {QStringLiteral("result_level"), QStringLiteral("complete")},
                                 {QStringLiteral("dwa"), QStringLiteral("wpgs")},
                                 {QStringLiteral("ptt"), QStringLiteral("1")}};
    const QByteArray param = QJsonDocument(parameters).toJson(QJsonDocument::Indented).toBase64();
    const QByteArray time = QByteArray::number(curtime);
    const QByteArray checksum = QCryptographicHash::hash(apiKey + time + param, QCryptographicHash::Sha256).toHex();
    return QUrl::fromEncoded(QStringLiteral("ws://127.0.0.1:%1/v1/aiui?appid=%2&checksum=%3&curtime=%4&param=%5&signtype=sha256")
                                 .arg(m_service.port("speech"))
                                 .arg(QLatin1String(VelBuild::kSpeechAppId), QLatin1String(checksum),
                                      QLatin1String(time), QLatin1String(param))
                                 .toLatin1());
}

void TestLocalServiceSpeech::open(Session &session, const QUrl &url)
{
    connect(&session.socket, &QWebSocket::textMessageReceived, this,
            [&session](const QString &text) { session.messages.append(QJsonDocument::fromJson(text.toUtf8()).object()); });
    connect(&session.socket, &QWebSocket::disconnected, this, [&session] { session.disconnected = true; });
    session.socket.open(url);
}

void TestLocalServiceSpeech::postScript(const QByteArray &script)
{
    const HttpResult reply = m_service.send("POST", QUrl(m_service.base("api") + QStringLiteral("/admin/speech-script")), script);
    QVERIFY2(reply.status == 200, reply.body.constData());
}

void TestLocalServiceSpeech::scriptedSession()
{
    postScript("1 rpl 你好\n2 apd 你好世界。\nend apd 再见。\n");
    Session session;
    open(session, signedUrl(QStringLiteral("main"), VelBuild::kSpeechApiKey, QDateTime::currentSecsSinceEpoch()));
    QTRY_COMPARE(session.messages.size(), 1);
    QCOMPARE(session.messages.at(0).value(QStringLiteral("action")).toString(), QStringLiteral("started"));

    const QByteArray chunk(1280, '\0');
    session.socket.sendBinaryMessage(chunk);
    QTRY_COMPARE(session.results(), QStringList{"rpl:你好"});
    session.socket.sendBinaryMessage(chunk);
    QTRY_COMPARE(session.results(), (QStringList{"rpl:你好", "apd:你好世界。"}));
    QTest::qWait(200);
    QVERIFY2(!session.finished(), "nothing is final before the end marker");

    session.socket.sendBinaryMessage("--end--");
    session.socket.sendBinaryMessage("--end--");
    QTRY_VERIFY(session.finished());
    QCOMPARE(session.results(), (QStringList{"rpl:你好", "apd:你好世界。", "apd:再见。", ":"}));
    QCOMPARE(session.messages.last().value(QStringLiteral("code")).toString(), QStringLiteral("0"));
    QTest::qWait(200);
    QCOMPARE(session.results().size(), 4);  // a repeated end marker ends nothing twice
}

void TestLocalServiceSpeech::injectedErrorAndDrop()
{
    postScript(R"({"steps":[{"after":1,"code":10114,"desc":"timeout"},{"after":2,"delayMs":100,"drop":true}]})");
    Session session;
    open(session, signedUrl(QStringLiteral("english"), VelBuild::kSpeechApiKey, QDateTime::currentSecsSinceEpoch()));
    QTRY_COMPARE(session.messages.size(), 1);
    session.socket.sendBinaryMessage(QByteArray(1280, '\0'));
    QTRY_COMPARE(session.messages.size(), 2);
    QCOMPARE(session.messages.at(1).value(QStringLiteral("code")).toString(), QStringLiteral("10114"));
    QVERIFY(!session.disconnected);
    session.socket.sendBinaryMessage(QByteArray(1280, '\0'));
    QTRY_VERIFY(session.disconnected);
}

void TestLocalServiceSpeech::refusedConnections_data()
{
    QTest::addColumn<QByteArray>("apiKey");
    QTest::addColumn<qint64>("ageSeconds");
    QTest::addColumn<QString>("code");

    QTest::newRow("wrong checksum") << QByteArray("ffffffffffffffffffffffffffffffff") << qint64(0) << "10110";
    QTest::newRow("curtime too old") << QByteArray(VelBuild::kSpeechApiKey) << qint64(6 * 60) << "10107";
}

void TestLocalServiceSpeech::refusedConnections()
{
    QFETCH(QByteArray, apiKey);
    QFETCH(qint64, ageSeconds);
    QFETCH(QString, code);
    Session session;
    open(session, signedUrl(QStringLiteral("main"), apiKey, QDateTime::currentSecsSinceEpoch() - ageSeconds));
    QTRY_VERIFY(session.disconnected);
    QCOMPARE(session.messages.size(), 1);
    QCOMPARE(session.messages.at(0).value(QStringLiteral("code")).toString(), code);
    QVERIFY(session.results().isEmpty());
}

void TestLocalServiceSpeech::offlineEnglishRecognizesFliteSpeech()
{
    m_service.send("DELETE", QUrl(m_service.base("api") + QStringLiteral("/admin/speech-script")));
    // A 16 kHz voice: the recognizer's model is wide-band, the 8 kHz default voice is not.
    const QString spoken = m_dir.filePath(QStringLiteral("spoken.wav"));
    const QString pcmPath = m_dir.filePath(QStringLiteral("spoken.raw"));
    QCOMPARE(run(QStringLiteral("flite"), {QStringLiteral("-voice"), QStringLiteral("slt"), QStringLiteral("-t"), QStringLiteral("open the calculator"),
                                                        QStringLiteral("-o"), spoken}), 0);
    // 16 kHz mono 16-bit, as the app streams it, with a second of silence after the words.
    QCOMPARE(run(QStringLiteral("sox"), {spoken, QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-r"),
                                                      QStringLiteral("16000"), QStringLiteral("-c"), QStringLiteral("1"),
                                                      QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-e"),
                                                      QStringLiteral("signed-integer"), pcmPath, QStringLiteral("pad"),
                                                      QStringLiteral("0.3"), QStringLiteral("1.0")}), 0);
    QFile pcmFile(pcmPath);
    QVERIFY(pcmFile.open(QIODevice::ReadOnly));
    const QByteArray pcm = pcmFile.readAll();
    QVERIFY(pcm.size() > 32000);

    Session session;
    open(session, signedUrl(QStringLiteral("english"), VelBuild::kSpeechApiKey, QDateTime::currentSecsSinceEpoch()));
    QTRY_COMPARE(session.messages.size(), 1);
    for (qsizetype offset = 0; offset < pcm.size(); offset += 1280) {
        session.socket.sendBinaryMessage(pcm.mid(offset, 1280));  // 40 ms a chunk
        QTest::qWait(5);
    }
    session.socket.sendBinaryMessage("--end--");
    QTRY_VERIFY_WITH_TIMEOUT(session.finished(), 60000);
    const QString text = session.results().join(QLatin1Char(' '));
    QVERIFY2(text.contains(QStringLiteral("calculator"), Qt::CaseInsensitive), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestLocalServiceSpeech)
#include "tst_local_service_speech.moc"

// The local service's other services: translation signature, object storage
// signature and public address, semantic matching, update and review replies.

#include "../../common/LocalServiceProcess.h"
#include "VelBuildConstants.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QLocale>
#include <QMessageAuthenticationCode>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrlQuery>

class TestLocalServiceCloud : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void translation_data();
    void translation();
    void objectStorage_data();
    void objectStorage();
    void semantic_data();
    void semantic();
    void updateReply();
    void reviewFeed();

private:
    QTemporaryDir m_dir;
    LocalServiceProcess m_service;
};

void TestLocalServiceCloud::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QVERIFY2(m_service.start(m_dir.path()), m_service.output().constData());
}

void TestLocalServiceCloud::translation_data()
{
    QTest::addColumn<QString>("q");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("appId");
    QTest::addColumn<QString>("secret");
    QTest::addColumn<QString>("errorCode");
    QTest::addColumn<QStringList>("dst");

    const QString appId = QString::fromLatin1(VelBuild::kTranslateAppId);
    const QString secret = QString::fromLatin1(VelBuild::kTranslateSecretKey);
    QTest::newRow("zh to en") << "你好" << "en" << appId << secret << QString() << QStringList{"Hello"};
    QTest::newRow("en to zh, case and stop ignored") << "open the Calculator." << "zh" << appId << secret << QString()
                                                     << QStringList{"打开计算器"};
    QTest::newRow("two lines, one unknown") << "谢谢\n不认识 + 这句" << "en" << appId << secret << QString()
                                            << QStringList{"Thank you", "[untranslated] 不认识 + 这句"};
    QTest::newRow("bad signature") << "你好" << "en" << appId << "WrongSecretKey000000" << "54001" << QStringList();
    QTest::newRow("unknown app id") << "你好" << "en" << "20000000000000000" << secret << "52003" << QStringList();
}

void TestLocalServiceCloud::translation()
{
    QFETCH(QString, q);
    QFETCH(QString, to);
    QFETCH(QString, appId);
    QFETCH(QString, secret);
    QFETCH(QString, errorCode);
    QFETCH(QStringList, dst);

    const QString salt = QStringLiteral("777");
    const QString sign = QString::fromLatin1(
        QCryptographicHash::hash((appId + q + salt + secret).toUtf8(), QCryptographicHash::Md5).toHex());
    QByteArray body;
    for (const auto &[key, value] : {std::pair{"q", q}, std::pair{"from", QStringLiteral("auto")}, std::pair{"to", to},
                                     std::pair{"appid", appId}, std::pair{"salt", salt}, std::pair{"sign", sign}}) {
        if (!body.isEmpty())
            body += '&';
        body += QByteArray(key) + '=' + QUrl::toPercentEncoding(value);
    }
    const HttpResult reply = m_service.send("POST", QUrl(m_service.base("translate") + QStringLiteral("/api/trans/vip/translate")),
                                            body, {{"Content-Type", "application/x-www-form-urlencoded"}});
    QCOMPARE(reply.status, 200);
    const QJsonObject json = reply.json();
    QCOMPARE(json.value(QStringLiteral("error_code")).toString(), errorCode);
    QStringList got;
    for (const QJsonValue &entry : json.value(QStringLiteral("trans_result")).toArray())
        got.append(entry.toObject().value(QStringLiteral("dst")).toString());
    QCOMPARE(got, dst);
}

void TestLocalServiceCloud::objectStorage_data()
{
    QTest::addColumn<QByteArray>("secret");
    QTest::addColumn<int>("putStatus");
    QTest::addColumn<QByteArray>("errorCode");

    QTest::newRow("good signature") << QByteArray(VelBuild::kOssAccessKeySecret) << 200 << QByteArray();
    QTest::newRow("bad signature") << QByteArray("NotTheSecret00000000000000000x") << 403 << QByteArray("SignatureDoesNotMatch");
}

void TestLocalServiceCloud::objectStorage()
{
    QFETCH(QByteArray, secret);
    QFETCH(int, putStatus);
    QFETCH(QByteArray, errorCode);

    // A key with a space and Chinese text, addressed the way the public URL is formed.
    const QString key = QStringLiteral("录音 %1.wav").arg(QLatin1String(QTest::currentDataTag()).size());
    const QByteArray data = QByteArray("RIFF....WAVE") + QByteArray(3000, '\x7f');
    const QString host = QStringLiteral("%1.%2").arg(QLatin1String(VelBuild::kOssBucket),
                                                     QUrl(QString::fromLatin1(VelBuild::kOssEndpoint)).host());
    const QUrl url(QStringLiteral("http://%1:%2/%3")
                       .arg(host)
                       .arg(m_service.port("oss"))
                       .arg(QString::fromLatin1(QUrl::toPercentEncoding(key))));

    const QByteArray date = QLocale::c()
                                .toString(QDateTime::currentDateTimeUtc(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss"))
                                .toLatin1() + " GMT";
    const QByteArray contentType = "audio/wav";
    const QByteArray stringToSign = "PUT\n\n" + contentType + '\n' + date + '\n' + '/' + VelBuild::kOssBucket + '/' + key.toUtf8();
    const QByteArray signature = QMessageAuthenticationCode::hash(stringToSign, secret, QCryptographicHash::Sha1).toBase64();
    const HttpResult put = m_service.send(
        "PUT", url, data,
        {{"Date", date}, {"Content-Type", contentType}, {"Authorization", "OSS " + QByteArray(VelBuild::kOssAccessKeyId) + ':' + signature}});
    QVERIFY2(put.status == putStatus, put.body.constData());

    const HttpResult fetched = m_service.send("GET", url);
    if (errorCode.isEmpty()) {
        QCOMPARE(fetched.status, 200);
        QCOMPARE(fetched.body, data);
    } else {
        QVERIFY(put.body.contains("<Code>" + errorCode + "</Code>"));
        QCOMPARE(fetched.status, 404);
    }
}

void TestLocalServiceCloud::semantic_data()
{
    QTest::addColumn<QString>("engineId");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("rc");
    QTest::addColumn<QString>("intent");

    const QString engine = QString::fromLatin1(VelBuild::kSemanticEngineId);
    QTest::newRow("Chinese command") << engine << "打开计算器" << 0 << "calculator";
    QTest::newRow("English command with punctuation") << engine << "Open the calculator." << 0 << "calculator";
    QTest::newRow("weather") << engine << "今天天气怎么样？" << 0 << "weather";
    QTest::newRow("no match") << engine << "唱一首歌" << 0 << QString();
    QTest::newRow("wrong engine") << "0000" << "打开计算器" << 3 << QString();
}

void TestLocalServiceCloud::semantic()
{
    QFETCH(QString, engineId);
    QFETCH(QString, question);
    QFETCH(int, rc);
    QFETCH(QString, intent);

    const QUrl url = QUrl::fromEncoded(m_service.base("semantic").toLatin1() + "/dbzy/saapi?engineid="
                                       + QUrl::toPercentEncoding(engineId) + "&question=" + QUrl::toPercentEncoding(question));
    const QJsonObject json = m_service.send("GET", url).json();
    QCOMPARE(json.value(QStringLiteral("rc")).toInt(-1), rc);
    const QJsonArray semantic = json.value(QStringLiteral("semantic")).toArray();
    QVERIFY(json.value(QStringLiteral("semantic")).isArray());
    if (intent.isEmpty()) {
        QVERIFY(semantic.isEmpty());
        return;
    }
    QCOMPARE(semantic.at(0).toObject().value(QStringLiteral("intent")).toString(), intent);
    const QString value = semantic.at(0).toObject().value(QStringLiteral("pars")).toArray().at(0).toObject()
                              .value(QStringLiteral("value")).toString();
    QVERIFY2(value.startsWith(QLatin1String("https://")), qPrintable(value));
}

void TestLocalServiceCloud::updateReply()
{
    const QUrl admin(m_service.base("api") + QStringLiteral("/admin/update"));
    const QUrl update(m_service.base("update") + QStringLiteral("/getUpdateInfo"));
    auto ask = [&](const QByteArray &body) {
        return m_service.send("POST", update, body, {{"Content-Type", "application/json"}}).json();
    };
    const QByteArray query = R"({"appid":"VuVudova-Travik-Dadaza","action":"checkVersion","appVersion":"1.0.0","OS":"Mac"})";

    QCOMPARE(ask(query).value(QStringLiteral("code")).toInt(-9), 0);  // nothing announced yet

    const HttpResult set = m_service.send("POST", admin,
                                          R"({"version":"1.2.0","url":"http://example.invalid/d","contents":"notes","is_mandatory":true})");
    QCOMPARE(set.status, 200);
    const QJsonObject newer = ask(query);
    QCOMPARE(newer.value(QStringLiteral("code")).toInt(-9), 1);
    QCOMPARE(newer.value(QStringLiteral("version")).toString(), QStringLiteral("1.2.0"));
    QCOMPARE(newer.value(QStringLiteral("url")).toString(), QStringLiteral("http://example.invalid/d"));
    QCOMPARE(newer.value(QStringLiteral("contents")).toString(), QStringLiteral("notes"));
    QCOMPARE(newer.value(QStringLiteral("is_mandatory")).toBool(), true);

    QCOMPARE(ask(R"({"action":"checkVersion","appVersion":"1.10"})").value(QStringLiteral("code")).toInt(-9), 0);
    QVERIFY(ask("not json").value(QStringLiteral("code")).toInt(0) < 0);
    QCOMPARE(m_service.send("POST", admin, R"({"is_mandatory":"yes"})").status, 400);
}

void TestLocalServiceCloud::reviewFeed()
{
    const QString feed = m_service.base("api") + QUrl(QString::fromLatin1(VelBuild::kReviewFeedUrl)).path();
    QVERIFY(m_service.get(feed).body.contains("<underReview>0</underReview>"));
    QCOMPARE(m_service.send("POST", QUrl(m_service.base("api") + QStringLiteral("/admin/review")), R"({"underReview":true})").status, 200);
    QVERIFY(m_service.get(feed).body.contains("<underReview>1</underReview>"));
    QCOMPARE(m_service.send("POST", QUrl(m_service.base("api") + QStringLiteral("/admin/review")), R"({"underReview":"x"})").status, 400);
}

QTEST_GUILESS_MAIN(TestLocalServiceCloud)
#include "tst_local_service_cloud.moc"

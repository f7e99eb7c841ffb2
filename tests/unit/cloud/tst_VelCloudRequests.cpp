// Every request the app sends, as it appears on the wire (against a canned
// server), and the replies of the translation API.
#include "CloudWireCases.h"

#include "app/VelUserInfoData.h"
#include "cloud/VelHttpRequestManager.h"
#include "util/VelTextHelpers.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>


class tst_VelCloudRequests : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        pointServicesAt(m_server);
        VelServiceConfig::Values values = VelServiceConfig::current();
        values.translateAppId = QStringLiteral("20261211000000001");
        values.translateSecretKey = QStringLiteral("LocalTranslateKey001");
        values.semanticEngineId = QStringLiteral("7d1f0c2b9e8a4d6f8b3c5a7e9d1f2c4b");
        VelServiceConfig::setOverridesForTesting(values);
        auto &mouse = VelUserInfoData::sharedVelUserInfoData().mouseInfoItem();
        mouse.setVid(0x1234);
        mouse.setPid(0x00ab);
        mouse.setSn(QStringLiteral("SN 01"));
    }
    void init()
    {
        m_server.requests.clear();
        m_server.replies.clear();
    }

    void wireForm_data() { addWireFormRows(); }

    void wireForm()
    {
        QFETCH(Issue, issue);
        issue();
        QTRY_COMPARE(m_server.requests.size(), 1);
        verifyWireForm(m_server.requests.first());
    }

    void shareRequestCarriesIdAndItems()
    {
        QVariant delivered;
        m_server.replies = {CannedReply{200, "text/javascript", R"({"rc":0,"data":"AB12"})", false}};
        VelHttpRequestManager::sharedVelHttpRequestManager().httpAddNewShare(
            {{"id", 17}}, [&delivered](bool success, const QVariant &result) {
                QVERIFY(success);
                delivered = result;
            });
        QTRY_VERIFY(delivered.isValid());
        QCOMPARE(delivered.toMap().value("data").toString(), QStringLiteral("AB12"));
        const RecordedRequest request = m_server.requests.first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.path(), QByteArray("/api/generateRecordShareKey"));
        const auto parts = formParts(request);
        QCOMPARE(parts.keys(), (QStringList{"id", "items"}));
        QCOMPARE(parts["id"].body, QByteArray("17"));
        QVERIFY2(parts["items"].body.contains('\n'), "pretty-printed");
        QCOMPARE(QJsonDocument::fromJson(parts["items"].body).object().toVariantMap(), (QVariantMap{{"id", 17}}));
    }

    void feedbackForm_data()
    {
        QTest::addColumn<bool>("withLog");
        QTest::newRow("with the log file") << true;
        QTest::newRow("log file missing") << false;
    }

    void feedbackForm()
    {
        QFETCH(bool, withLog);
        QTemporaryDir dir;
        const QString logPath = dir.filePath(QStringLiteral("travik.log"));
        const QByteArray logBytes = "line one\nзапись 二\n";
        if (withLog) {
            QFile file(logPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(logBytes);
        }
        VelUserInfoData::sharedVelUserInfoData().setLogFilepath(logPath);
        const QVariantMap fields{{"devType", "翻页笔"}, {"name", "李"},       {"sex", "未知"},
                                 {"content", "a&b=c"},  {"phone", "138"},    {"vid", "4660"},
                                 {"pid", "171"},        {"sn", ""},          {"channelName", "VELO"},
                                 {"macAddr", ""},       {"clientversion", "1.0.0"}, {"feedbackTime", "1700000000"}};
        bool succeeded = false;
        StdoutCapture capture;
        VelHttpRequestManager::sharedVelHttpRequestManager().httpSendFeedbackWithParameters(
            fields, [&succeeded](const QVariant &reply) { succeeded = reply.toMap().value("rc").toInt() == 0; },
            [](const VelNetError &) { QFAIL("transport failure"); });
        QTRY_VERIFY(succeeded);
        const QString log = capture.text();
        const auto parts = formParts(m_server.requests.first());
        QCOMPARE(m_server.requests.first().path(), QByteArray("/api/addUserFeedback"));
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            QCOMPARE(parts.value(it.key()).body, it.value().toString().toUtf8());
        QCOMPARE(parts.contains("log"), withLog);
        QCOMPARE(log.contains(QStringLiteral("❌log文件formData错误❌")), !withLog);
        if (withLog) {
            QVERIFY(parts["log"].disposition.contains("filename=\"name.log\""));
            QCOMPARE(parts["log"].contentType, QByteArray("log"));
            QCOMPARE(parts["log"].body, logBytes);
        }
    }

    void translationSignature()
    {
        QCOMPARE(VelHttpRequestManager::generateSignWithBaiduDict({{"appid", "20261211000000001"}, {"q", "abc"}, {"salt", "777"}}),
                 QStringLiteral("041d27588750d8c2ff3c48fc560faf64"));
    }

    void translationReplies_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("expectSuccess");
        QTest::addColumn<QString>("expected");

        QTest::newRow("one segment") << 200 << QByteArray(R"({"trans_result":[{"src":"你好","dst":"Hello"}]})") << true
                                     << "Hello";
        QTest::newRow("two segments") << 200 << QByteArray(R"({"trans_result":[{"dst":"x"},{"dst":"y"}]})") << true
                                      << "\nx\ny";
        QTest::newRow("no segments") << 200 << QByteArray(R"({"trans_result":[]})") << true << "";
        QTest::newRow("error code") << 200 << QByteArray(R"({"error_code":"54001","error_msg":"Invalid Sign"})")
                                    << true << "Error: 54001";
        QTest::newRow("not json") << 200 << QByteArray("<html>busy</html>") << false << "";
        QTest::newRow("status 502") << 502 << QByteArray("{}") << false << "";
    }

    void translationReplies()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(bool, expectSuccess);
        QFETCH(QString, expected);
        m_server.replies = {CannedReply{status, "text/html", reply, false}};
        std::optional<bool> outcome;
        QString text;
        VelHttpRequestManager::sharedVelHttpRequestManager().httpBaiduTranslateRequestWithQ(
            QStringLiteral("你好 & 再见"), QStringLiteral("auto"), QStringLiteral("en"),
            [&](const QString &result) {
                outcome = true;
                text = result;
            },
            [&](const VelNetError &) { outcome = false; });
        QTRY_VERIFY(outcome.has_value());
        QCOMPARE(*outcome, expectSuccess);
        QCOMPARE(text, expected);

        const RecordedRequest request = m_server.requests.first();
        QCOMPARE(request.path(), QByteArray("/api/trans/vip/translate"));
        QCOMPARE(request.headers.value("content-type"), QByteArray("application/x-www-form-urlencoded"));
        QMap<QString, QString> form;
        for (const auto &pair : queryPairs(request.body))
            form.insert(pair.first, pair.second);
        QCOMPARE(form.keys(), (QStringList{"appid", "from", "q", "salt", "sign", "to"}));
        QCOMPARE(form["q"], QStringLiteral("你好 & 再见"));
        QCOMPARE(form["from"], QStringLiteral("auto"));
        QCOMPARE(form["to"], QStringLiteral("en"));
        const int salt = form["salt"].toInt();
        QVERIFY(salt >= 500 && salt <= 1000);
        QCOMPARE(form["sign"], VelTextHelpers::vel_md5(form["appid"] + form["q"] + form["salt"] +
                                                       QStringLiteral("LocalTranslateKey001")));
    }

private:
    CannedHttpServer m_server;
};

QTEST_GUILESS_MAIN(tst_VelCloudRequests)
#include "tst_VelCloudRequests.moc"

// Every request the app sends, as it appears on the wire (against a canned
// server), and the replies of the translation API.
#include "CloudTestSupport.h"

#include "VelBuildConstants.h"
#include "app/VelUserInfoData.h"
#include "cloud/VelDeleteRecordScene.h"
#include "cloud/VelEmailForgotScene.h"
#include "cloud/VelEmailLoginScene.h"
#include "cloud/VelGetEmailVerificationCodeScene.h"
#include "cloud/VelGetRecordsScene.h"
#include "cloud/VelGetVerfyCodeScene.h"
#include "cloud/VelHttpRequestManager.h"
#include "cloud/VelLoginWithPasswordScene.h"
#include "cloud/VelLoginWithYanzhengmaScene.h"
#include "cloud/VelRegisterScene.h"
#include "cloud/VelSemanticAnalysisScene.h"
#include "util/VelTextHelpers.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using Issue = std::function<void()>;
Q_DECLARE_METATYPE(Issue)

namespace {

const QStringList kCommon = {"channelName", "clientversion", "macAddr", "pid", "sn", "vid"};
const QString kTrickyPassword = QStringLiteral("&=+# 中文%");

void send(std::shared_ptr<VelNetSceneInterface> scene)
{
    VelHttpRequestManager::sharedVelHttpRequestManager().httpRequestWithScene(scene, nullptr);
}

QList<std::pair<QString, QString>> queryPairs(const QByteArray &query)
{
    QList<std::pair<QString, QString>> pairs;
    if (query.isEmpty())
        return pairs;
    for (const QByteArray &pair : query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        pairs.append({QUrl::fromPercentEncoding(pair.left(equals)), QUrl::fromPercentEncoding(pair.mid(equals + 1))});
    }
    return pairs;
}

struct FormPart {
    QByteArray disposition;
    QByteArray contentType;
    QByteArray body;
};

// Splits a multipart/form-data body into its parts, by name.
QMap<QString, FormPart> formParts(const RecordedRequest &request)
{
    QMap<QString, FormPart> parts;
    const QByteArray type = request.headers.value("content-type");
    const qsizetype at = type.indexOf("boundary=");
    if (at < 0)
        return parts;
    const QByteArray delimiter = "--" + type.mid(at + 9).replace('"', "");
    qsizetype from = request.body.indexOf(delimiter);
    while (from >= 0) {
        const qsizetype start = from + delimiter.size();
        if (request.body.mid(start, 2) == "--")
            break;
        const qsizetype next = request.body.indexOf("\r\n" + delimiter, start);
        if (next < 0)
            break;
        const QByteArray part = request.body.mid(start + 2, next - start - 2);
        const qsizetype headerEnd = part.indexOf("\r\n\r\n");
        FormPart formPart;
        formPart.body = part.mid(headerEnd + 4);
        for (const QByteArray &line : part.left(headerEnd).split('\n')) {
            const QByteArray trimmed = line.trimmed();
            if (trimmed.toLower().startsWith("content-disposition:"))
                formPart.disposition = trimmed.mid(20).trimmed();
            else if (trimmed.toLower().startsWith("content-type:"))
                formPart.contentType = trimmed.mid(13).trimmed();
        }
        const qsizetype nameAt = formPart.disposition.indexOf("name=\"");
        const QByteArray name =
            formPart.disposition.mid(nameAt + 6, formPart.disposition.indexOf('"', nameAt + 6) - nameAt - 6);
        parts.insert(QString::fromUtf8(name), formPart);
        from = next + 2;
    }
    return parts;
}

} // namespace

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

    void wireForm_data()
    {
        QTest::addColumn<Issue>("issue");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QStringList>("queryKeys"); // in order
        QTest::addColumn<QVariantMap>("queryValues"); // decoded, a subset
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");

        const QByteArray html = "text/html;charset=utf-8";
        const QString engine = QStringLiteral("7d1f0c2b9e8a4d6f8b3c5a7e9d1f2c4b");

        QTest::newRow("1 login with code") << Issue([] {
            auto scene = std::make_shared<VelLoginWithYanzhengmaScene>();
            scene->setPhone(QStringLiteral("13800000000"));
            scene->setCode(QStringLiteral("1234"));
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/recordLogin")
           << QStringList{"phone", "code", "passWord", "tonken", "imei"} + kCommon
           << QVariantMap{{"phone", "13800000000"}, {"code", "1234"}, {"imei", ""}, {"channelName", "VELO"},
                          {"vid", "4660"}, {"pid", "171"}, {"sn", "SN 01"},
                          {"clientversion", QString::fromUtf8(VelBuild::kShortVersion)}}
           << html << QByteArray();
        QTest::newRow("2 login with password") << Issue([] {
            auto scene = std::make_shared<VelLoginWithPasswordScene>();
            scene->setUserName(QStringLiteral("13800000000"));
            scene->setPassWord(kTrickyPassword);
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/recordLogin") << QStringList{"name", "password", "imei"} + kCommon
           << QVariantMap{{"name", "13800000000"}, {"password", kTrickyPassword}} << html << QByteArray();
        QTest::newRow("3 e-mail login") << Issue([] {
            auto scene = std::make_shared<VelEmailLoginScene>();
            scene->setAccount(QStringLiteral("a+b@example.com"));
            scene->setPassword(kTrickyPassword);
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/mailLogin") << QStringList{"account", "password"} + kCommon
           << QVariantMap{{"account", "a+b@example.com"}, {"password", kTrickyPassword}} << html << QByteArray();
        QTest::newRow("4 sms code") << Issue([] {
            auto scene = std::make_shared<VelGetVerfyCodeScene>();
            scene->setPhone(QStringLiteral("13800000000"));
            scene->setCountry(QStringLiteral("86"));
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/getLoginVerifyCode") << QStringList{"phone", "country"} + kCommon
           << QVariantMap{{"country", "86"}} << html << QByteArray();
        QTest::newRow("4 sms code for update") << Issue([] {
            auto scene = std::make_shared<VelGetVerfyCodeScene>();
            scene->setPhone(QStringLiteral("13800000000"));
            scene->setCountry(QStringLiteral("86"));
            scene->setMark(QStringLiteral("update"));
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/getLoginVerifyCode")
           << QStringList{"phone", "country", "mark"} + kCommon << QVariantMap{{"mark", "update"}} << html
           << QByteArray();
        QTest::newRow("5 e-mail code") << Issue([] {
            auto scene = std::make_shared<VelGetEmailVerificationCodeScene>();
            scene->setAccount(QStringLiteral("li@example.com"));
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/mailVerifyCode") << QStringList{"account"} + kCommon
           << QVariantMap{{"account", "li@example.com"}} << html << QByteArray();
        QTest::newRow("6 reset by phone") << Issue([] {
            auto scene = std::make_shared<VelRegisterScene>();
            scene->setPhone(QStringLiteral("13800000000"));
            scene->setPassword(kTrickyPassword);
            scene->setCode(QStringLiteral("9999"));
            scene->setMark(QStringLiteral("updatePwd"));
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/registerAndModifyPwd")
           << QStringList{"phone", "password", "code", "mark"} + kCommon
           << QVariantMap{{"password", kTrickyPassword}, {"mark", "updatePwd"}} << html << QByteArray();
        QTest::newRow("7 register by e-mail") << Issue([] {
            auto scene = std::make_shared<VelRegisterScene>();
            scene->setAccount(QStringLiteral("li@example.com"));
            scene->setPassword(QStringLiteral("pw"));
            scene->setCode(QStringLiteral("9999"));
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/registerAndModifyPwd")
           << QStringList{"account", "password", "code", "mark"} + kCommon
           << QVariantMap{{"account", "li@example.com"}, {"mark", ""}} << html << QByteArray();
        QTest::newRow("8 reset by e-mail") << Issue([] {
            auto scene = std::make_shared<VelEmailForgotScene>();
            scene->setAccount(QStringLiteral("li@example.com"));
            scene->setPassword(kTrickyPassword);
            scene->setCode(QStringLiteral("9999"));
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/mailForgetPwd")
           << QStringList{"account", "code", "password"} + kCommon << QVariantMap{{"password", kTrickyPassword}}
           << html << QByteArray();
        QTest::newRow("9 records") << Issue([] {
            auto scene = std::make_shared<VelGetRecordsScene>();
            scene->setUserID(QStringLiteral("u 7"));
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/getRecords") << QStringList{"userid"} + kCommon
           << QVariantMap{{"userid", "u 7"}} << html << QByteArray();
        QTest::newRow("10 delete record") << Issue([] {
            auto scene = std::make_shared<VelDeleteRecordScene>();
            scene->setRecordID(42);
            send(scene);
        }) << QByteArray("GET") << QByteArray("/api/deleteRecord") << QStringList{"id"} + kCommon
           << QVariantMap{{"id", "42"}} << html << QByteArray();
        QTest::newRow("11 save record") << Issue([] {
            VelHttpRequestManager::sharedVelHttpRequestManager().addNew(
                {{"filename", "a b.wav"}, {"content", "你好"}, {"attr2", "9"}}, nullptr);
        }) << QByteArray("POST") << QByteArray("/api/editiorSaveRecord") << QStringList{} << QVariantMap{}
           << QByteArray("application/x-www-form-urlencoded")
           << QByteArray(R"({"attr2":"9","content":"你好","filename":"a b.wav"})");
        QTest::newRow("14 version") << Issue([] {
            VelHttpRequestManager::sharedVelHttpRequestManager().httpGetNewVersion(
                {{"appid", "VuVudova-Travik-Dadaza"}, {"action", "checkVersion"}, {"appVersion", "1.0.0"}, {"OS", "Mac"}},
                nullptr);
        }) << QByteArray("POST") << QByteArray("/getUpdateInfo") << QStringList{} << QVariantMap{}
           << QByteArray("application/json")
           << QByteArray(R"({"OS":"Mac","action":"checkVersion","appVersion":"1.0.0","appid":"VuVudova-Travik-Dadaza"})");
        QTest::newRow("15 semantic") << Issue([engine] {
            auto scene = std::make_shared<VelSemanticAnalysisScene>();
            scene->setMyParameters({{"question", "打开计算器 & more"}, {"engineid", engine}});
            send(scene);
        }) << QByteArray("GET") << QByteArray("/dbzy/saapi") << QStringList{"engineid", "question"}
           << QVariantMap{{"engineid", engine}, {"question", "打开计算器 & more"}} << html << QByteArray();
    }

    void wireForm()
    {
        QFETCH(Issue, issue);
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, path);
        QFETCH(QStringList, queryKeys);
        QFETCH(QVariantMap, queryValues);
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);

        issue();
        QTRY_COMPARE(m_server.requests.size(), 1);
        const RecordedRequest request = m_server.requests.first();
        QCOMPARE(request.method, method);
        QCOMPARE(request.path(), path);
        const auto pairs = queryPairs(request.query());
        QStringList keys;
        for (const auto &pair : pairs)
            keys << pair.first;
        QCOMPARE(keys, queryKeys);
        for (auto it = queryValues.cbegin(); it != queryValues.cend(); ++it) {
            const auto found = std::find_if(pairs.cbegin(), pairs.cend(), [&](auto &p) { return p.first == it.key(); });
            QVERIFY(found != pairs.cend());
            QCOMPARE(found->second, it.value().toString());
        }
        QCOMPARE(request.headers.value("content-type"), contentType);
        QCOMPARE(request.body, body);
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

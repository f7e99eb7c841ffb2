// The request framework: reply kinds, the network-down short-cut, delivery
// on the main thread, and secrets kept out of the log.
#include "CloudTestSupport.h"

#include "app/RakLocalizedString.h"
#include "cloud/MyRecordItem.h"
#include "cloud/VelHttpRequestManager.h"
#include "cloud/VelLoginWithPasswordScene.h"
#include "cloud/VelNetBaseScene.h"
#include "cloud/VelNetLogMask.h"
#include "cloud/VelUserInfoItem.h"
#include "util/VelMainThread.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QThreadPool>

namespace {

class TestScene : public VelNetBaseScene
{
public:
    QString url;
    qint64 kind = 2;
    QString twoFloor;
    qint64 timeout = 10;
    QString requestURL() const override { return url; }
    qint64 resultBackType() const override { return kind; }
    QString resultDataTwoFloorParsingField() const override { return twoFloor; }
    qint64 timeOutInterval() const override { return timeout; }
};

struct Delivery {
    bool called = false;
    bool success = false;
    QVariant result;
    bool onMainThread = false;
};

VelNetCallback recorder(std::shared_ptr<Delivery> delivery)
{
    return [delivery](bool success, const QVariant &result) {
        delivery->called = true;
        delivery->success = success;
        delivery->result = result;
        delivery->onMainThread = VelMainThread::isMainThread();
    };
}

QVariant jsonValue(const QByteArray &json)
{
    if (json.isEmpty())
        return QVariant();
    return QJsonDocument::fromJson("[" + json + "]").array().first().toVariant();
}

} // namespace

class tst_VelHttpRequestManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        pointServicesAt(m_server);
    }
    void init()
    {
        m_server.requests.clear();
        m_server.replies.clear();
        m_server.connections = 0;
        VelHttpRequestManager::sharedVelHttpRequestManager().reachabilityChanged(
            QNetworkInformation::Reachability::Online);
    }

    void replyKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("twoFloor");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("stall");
        QTest::addColumn<bool>("expectSuccess");
        QTest::addColumn<QByteArray>("expected"); // JSON of the result, or empty for absent
        QTest::addColumn<QString>("errorDomain"); // empty: not checked
        QTest::addColumn<int>("errorCode");

        const QByteArray json = "application/json";
        const QString sys = QStringLiteral("系统错误");
        QTest::newRow("raw ignores rc") << 0 << "" << 200 << json << QByteArray(R"({"rc":5,"msg":"no"})") << false
                                        << true << QByteArray(R"({"rc":5,"msg":"no"})") << "" << 0;
        QTest::newRow("whole rc 0") << 1 << "" << 200 << json << QByteArray(R"({"rc":0,"data":1})") << false << true
                                    << QByteArray(R"({"rc":0,"data":1})") << "" << 0;
        QTest::newRow("whole rc text 0") << 1 << "" << 200 << json << QByteArray(R"({"rc":"0","data":1})") << false
                                         << true << QByteArray(R"({"rc":"0","data":1})") << "" << 0;
        QTest::newRow("whole rc absent") << 1 << "" << 200 << QByteArray("text/plain; charset=utf-8")
                                         << QByteArray(R"({"data":1})") << false << true << QByteArray(R"({"data":1})")
                                         << "" << 0;
        QTest::newRow("whole rc 5") << 1 << "" << 200 << json << QByteArray(R"({"rc":5,"msg":"手机号未注册"})")
                                    << false << false << QByteArray() << QStringLiteral("手机号未注册") << 5;
        QTest::newRow("data rc text 5") << 2 << "" << 200 << json << QByteArray(R"({"rc":"5","msg":"bad"})") << false
                                        << false << QByteArray() << "bad" << 5;
        QTest::newRow("data object") << 2 << "" << 200 << QByteArray("text/html") << QByteArray(R"({"rc":0,"data":{"a":1}})")
                                     << false << true << QByteArray(R"({"a":1})") << "" << 0;
        QTest::newRow("data second level") << 2 << "a" << 200 << json << QByteArray(R"({"rc":0,"data":{"a":[7]}})")
                                           << false << true << QByteArray("[7]") << "" << 0;
        QTest::newRow("data array ignores second level")
            << 2 << "a" << 200 << json << QByteArray(R"({"rc":0,"data":[1,2]})") << false << true << QByteArray("[1,2]")
            << "" << 0;
        QTest::newRow("data scalar") << 2 << "" << 200 << json << QByteArray(R"({"rc":0,"data":"abc"})") << false
                                     << true << QByteArray(R"("abc")") << "" << 0;
        QTest::newRow("data absent") << 2 << "" << 200 << json << QByteArray(R"({"rc":0})") << false << true
                                     << QByteArray() << "" << 0;
        QTest::newRow("semantic empty") << 4 << "" << 200 << json << QByteArray(R"({"rc":0,"semantic":[]})") << false
                                        << true << QByteArray("[]") << "" << 0;
        QTest::newRow("semantic no pars") << 4 << "" << 200 << json
                                          << QByteArray(R"({"rc":0,"semantic":[{"pars":[]}]})") << false << true
                                          << QByteArray(R"([{"pars":[]}])") << "" << 0;
        QTest::newRow("semantic value") << 4 << "" << 200 << json
                                        << QByteArray(R"({"rc":0,"semantic":[{"pars":[{"value":"x"}]}]})") << false
                                        << true << QByteArray(R"("x")") << "" << 0;
        QTest::newRow("semantic rc") << 4 << "" << 200 << json << QByteArray(R"({"rc":3,"msg":"m","semantic":[]})")
                                     << false << false << QByteArray() << "m" << 3;
        QTest::newRow("semantic missing") << 4 << "" << 200 << json << QByteArray(R"({"rc":0})") << false << false
                                          << QByteArray() << sys << -3;
        QTest::newRow("semantic pars not array") << 4 << "" << 200 << json
                                                 << QByteArray(R"({"rc":0,"semantic":[{"pars":{}}]})") << false
                                                 << false << QByteArray() << sys << -3;
        QTest::newRow("empty body") << 2 << "" << 200 << json << QByteArray() << false << false << QByteArray() << sys
                                    << -2;
        QTest::newRow("json array reply") << 1 << "" << 200 << json << QByteArray("[1,2]") << false << false
                                          << QByteArray() << sys << -3;
        QTest::newRow("json array reply raw") << 0 << "" << 200 << json << QByteArray("[]") << false << false
                                              << QByteArray() << sys << -3;
        QTest::newRow("not json") << 0 << "" << 200 << QByteArray("text/html") << QByteArray("<html>oops</html>")
                                  << false << false << QByteArray() << "" << 3840;
        QTest::newRow("type not accepted") << 1 << "" << 200 << QByteArray("text/xml") << QByteArray(R"({"rc":0})")
                                           << false << false << QByteArray() << "" << -1016;
        QTest::newRow("status 500") << 1 << "" << 500 << json << QByteArray(R"({"rc":0})") << false << false
                                    << QByteArray() << "" << 500;
        QTest::newRow("stalled server") << 1 << "" << 200 << json << QByteArray() << true << false << QByteArray()
                                        << "" << int(QNetworkReply::OperationCanceledError);
    }

    void replyKinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, twoFloor);
        QFETCH(int, status);
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(bool, stall);
        QFETCH(bool, expectSuccess);
        QFETCH(QByteArray, expected);
        QFETCH(QString, errorDomain);
        QFETCH(int, errorCode);

        m_server.replies = {CannedReply{status, contentType, body, stall}};
        auto scene = std::make_shared<TestScene>();
        scene->url = m_server.baseURL() + QStringLiteral("/api/test");
        scene->kind = kind;
        scene->twoFloor = twoFloor;
        scene->timeout = 1;
        auto delivery = std::make_shared<Delivery>();
        QElapsedTimer timer;
        timer.start();
        VelHttpRequestManager::sharedVelHttpRequestManager().httpRequestWithScene(scene, recorder(delivery));
        QTRY_VERIFY_WITH_TIMEOUT(delivery->called, 5000);
        QVERIFY(delivery->onMainThread);
        QCOMPARE(delivery->success, expectSuccess);
        if (expectSuccess) {
            QCOMPARE(delivery->result, jsonValue(expected));
            return;
        }
        QVERIFY2(velIsNetError(delivery->result), qPrintable(delivery->result.toString()));
        const auto error = delivery->result.value<VelNetError>();
        QCOMPARE(error.code, errorCode);
        if (errorDomain == QStringLiteral("系统错误"))
            QCOMPARE(error.domain, RakLocalizedString::rakAppLocalizedString(errorDomain));
        else if (!errorDomain.isEmpty())
            QCOMPARE(error.domain, errorDomain);
        if (stall)
            QVERIFY2(timer.elapsed() >= 900, "the scene's own time-out applies");
    }

    void unassignedKindDeliversNothing()
    {
        auto scene = std::make_shared<TestScene>();
        scene->url = m_server.baseURL() + QStringLiteral("/api/test");
        scene->kind = 3;
        auto delivery = std::make_shared<Delivery>();
        VelHttpRequestManager::sharedVelHttpRequestManager().httpRequestWithScene(scene, recorder(delivery));
        QTRY_COMPARE(m_server.requests.size(), 1);
        QTest::qWait(200);
        QVERIFY(!delivery->called);
    }

    void networkDownAnswersAtOnceAndSendsNothing()
    {
        auto &manager = VelHttpRequestManager::sharedVelHttpRequestManager();
        QList<bool> statuses;
        manager.networkStatusChangeCallBack([&statuses](bool reachable) { statuses << reachable; });
        const auto forget = qScopeGuard([&manager] { manager.networkStatusChangeCallBack(nullptr); });
        manager.reachabilityChanged(QNetworkInformation::Reachability::Disconnected);
        QVERIFY(manager.validNetworkIsNotReable());

        auto scene = std::make_shared<TestScene>();
        scene->url = m_server.baseURL() + QStringLiteral("/api/test");
        auto delivery = std::make_shared<Delivery>();
        manager.httpRequestWithScene(scene, recorder(delivery));
        QVERIFY2(delivery->called, "delivered before httpRequestWithScene returned");
        QVERIFY(!delivery->success);
        QCOMPARE(delivery->result.toString(), RakLocalizedString::rakAppLocalizedString(QStringLiteral("请检查网络")));
        QTest::qWait(200);
        QCOMPARE(m_server.connections, 0);

        // Unknown (no report yet) counts as reachable again.
        manager.reachabilityChanged(QNetworkInformation::Reachability::Unknown);
        QVERIFY(!manager.validNetworkIsNotReable());
        manager.reachabilityChanged(QNetworkInformation::Reachability::Online);
        QCOMPARE(statuses, (QList<bool>{false, true}));
    }

    void requestWithoutCallbackStillGoesOut()
    {
        auto scene = std::make_shared<TestScene>();
        scene->url = m_server.baseURL() + QStringLiteral("/api/fire");
        VelHttpRequestManager::sharedVelHttpRequestManager().httpRequestWithScene(scene, nullptr);
        QTRY_COMPARE(m_server.requests.size(), 1);
        QCOMPARE(m_server.requests.first().path(), QByteArray("/api/fire"));
    }

    void requestFromBackgroundThreadAnswersOnMainThread()
    {
        auto scene = std::make_shared<TestScene>();
        scene->url = m_server.baseURL() + QStringLiteral("/api/test");
        auto delivery = std::make_shared<Delivery>();
        QThreadPool pool;
        pool.start([scene, delivery] {
            VelHttpRequestManager::sharedVelHttpRequestManager().httpRequestWithScene(scene, recorder(delivery));
        });
        QTRY_VERIFY_WITH_TIMEOUT(delivery->called, 5000);
        QVERIFY(delivery->success);
        QVERIFY(delivery->onMainThread);
    }

    void logNeverShowsSecrets()
    {
        auto scene = std::make_shared<VelLoginWithPasswordScene>();
        scene->setUserName(QStringLiteral("13800000000"));
        scene->setPassWord(QStringLiteral("Sup3r&secret"));
        StdoutCapture capture;
        VelHttpRequestManager::sharedVelHttpRequestManager().httpRequestWithScene(scene, nullptr);
        const QString login = capture.text();
        QTRY_COMPARE(m_server.requests.size(), 1);
        QVERIFY(login.contains(QStringLiteral("请求URL ")));
        QVERIFY(login.contains(QStringLiteral("password=***")));
        QVERIFY(!login.contains(QStringLiteral("Sup3r")));

        // Replies printed by callers go through the same mask, at any depth.
        const QString reply = VelNetLogMask::describe(QVariantMap{
            {QStringLiteral("data"), QVariantMap{{QStringLiteral("password"), QStringLiteral("Sup3r")},
                                                 {QStringLiteral("accessKeySecret"), QStringLiteral("k3y")},
                                                 {QStringLiteral("name"), QStringLiteral("li")}}}});
        QVERIFY(!reply.contains(QStringLiteral("Sup3r")) && !reply.contains(QStringLiteral("k3y")));
        QVERIFY(reply.contains(QStringLiteral("li")));
    }

    void modelsReadRenamedKeys()
    {
        const auto record = MyRecordItem::modelWithJSON(
            QJsonDocument::fromJson(R"({"id":17,"attr1":"http://x/a b.wav","attr2":"9","recordTitle":"t",)"
                                    R"("createTime":1700000000123,"duration":"5","content":"c"})")
                .object()
                .toVariantMap());
        QCOMPARE(record.recordId, QStringLiteral("17"));
        QCOMPARE(record.audioNetURL, QStringLiteral("http://x/a b.wav"));
        QCOMPARE(record.recordType, QStringLiteral("9"));
        QCOMPARE(record.recordTitle, QStringLiteral("t"));
        QCOMPARE(record.createTime, 1700000000123.0);
        QCOMPARE(record.duration, QStringLiteral("5"));
        QVERIFY(record.translatedText.isEmpty());

        const auto user = VelUserInfoItem::modelWithJSON(
            QJsonDocument::fromJson(R"({"id":"u42","name":"li","sex":1,"userid":"ignored"})").object().toVariantMap());
        QCOMPARE(user.userid, QStringLiteral("u42"));
        QCOMPARE(user.name, QStringLiteral("li"));
        QCOMPARE(user.sex, 1);
    }

private:
    CannedHttpServer m_server;
};

QTEST_GUILESS_MAIN(tst_VelHttpRequestManager)
#include "tst_VelHttpRequestManager.moc"

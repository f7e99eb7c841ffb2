// The service API of the local service: account flows and their "rc" values,
// records, share codes and the share page, feedback, malformed input, restart.

#include "../../common/LocalServiceProcess.h"

#include <QHttpMultiPart>
#include <QJsonArray>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrlQuery>

class TestLocalServiceApi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void accountFlows_data();
    void accountFlows();
    void loginReplyCarriesTheUserButNoPassword();
    void recordsLifecycle();
    void sharePageEscapesTheTranscript();
    void feedbackStoresFieldsAndLog();
    void malformedInput_data();
    void malformedInput();
    void oversizeBodyIsRefusedAndServiceKeepsServing();
    void dataSurvivesRestart();
    void consoleNeverShowsPasswords();

private:
    HttpResult api(const QString &pathAndQuery) { return m_service.get(m_service.base("api") + pathAndQuery); }
    HttpResult saveRecord(const QJsonObject &record);
    HttpResult shareRecord(const QString &id);

    QTemporaryDir m_dir;
    LocalServiceProcess m_service;
};

void TestLocalServiceApi::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QVERIFY2(m_service.start(m_dir.path(), {QStringLiteral("--max-body-bytes"), QStringLiteral("65536")}),
             m_service.output().constData());
}

void TestLocalServiceApi::accountFlows_data()
{
    // Rows run in order against one service. {code} is the last code the
    // service issued for the row's target; {t} is the target itself.
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("rc");

    const QString p = QStringLiteral("13800000001");
    const QString m = QStringLiteral("someone@example.com");
    QTest::newRow("password login, unknown phone") << p << "/api/recordLogin?name={t}&password=secret1&imei=" << 1;
    QTest::newRow("login code, unknown phone") << p << "/api/getLoginVerifyCode?phone={t}&country=86&mark=update" << 1;
    QTest::newRow("registration code") << p << "/api/getLoginVerifyCode?phone={t}&country=86" << 0;
    QTest::newRow("register, wrong code") << p << "/api/registerAndModifyPwd?phone={t}&password=secret1&code=abcd&mark=" << 2;
    QTest::newRow("register") << p << "/api/registerAndModifyPwd?phone={t}&password=secret1&code={code}&mark=" << 0;
    QTest::newRow("registration code, registered") << p << "/api/getLoginVerifyCode?phone={t}&country=86" << 1;
    QTest::newRow("register again") << p << "/api/registerAndModifyPwd?phone={t}&password=secret1&code=1234&mark=" << 3;
    QTest::newRow("password login, wrong password") << p << "/api/recordLogin?name={t}&password=wrong11&imei=" << 3;
    QTest::newRow("password login") << p << "/api/recordLogin?name={t}&password=secret1&imei=" << 0;
    QTest::newRow("login code") << p << "/api/getLoginVerifyCode?phone={t}&country=86&mark=update" << 0;
    QTest::newRow("code login, wrong code") << p << "/api/recordLogin?phone={t}&code=abcd&passWord=&tonken=&imei=" << 2;
    QTest::newRow("code login") << p << "/api/recordLogin?phone={t}&code={code}&passWord=&tonken=&imei=" << 0;
    QTest::newRow("code login, code reused") << p << "/api/recordLogin?phone={t}&code={code}&passWord=&tonken=&imei=" << 2;
    QTest::newRow("reset code") << p << "/api/getLoginVerifyCode?phone={t}&country=86&mark=update" << 0;
    QTest::newRow("reset by phone") << p << "/api/registerAndModifyPwd?phone={t}&password=n%2Bw%20%E4%B8%AD%E6%96%87&code={code}&mark=updatePwd" << 0;
    QTest::newRow("old password after reset") << p << "/api/recordLogin?name={t}&password=secret1&imei=" << 3;
    QTest::newRow("new password after reset") << p << "/api/recordLogin?name={t}&password=n%2Bw%20%E4%B8%AD%E6%96%87&imei=" << 0;
    QTest::newRow("reset, unknown phone") << "13900000000" << "/api/registerAndModifyPwd?phone={t}&password=secret1&code=1234&mark=updatePwd" << 1;

    QTest::newRow("e-mail login, unknown") << m << "/api/mailLogin?account={t}&password=secret1" << 1;
    QTest::newRow("e-mail code") << m << "/api/mailVerifyCode?account={t}" << 0;
    QTest::newRow("e-mail register, wrong code") << m << "/api/registerAndModifyPwd?account={t}&password=secret1&code=abcdef&mark=" << 2;
    QTest::newRow("e-mail register") << m << "/api/registerAndModifyPwd?account={t}&password=secret1&code={code}&mark=" << 0;
    QTest::newRow("e-mail register again") << m << "/api/registerAndModifyPwd?account={t}&password=secret1&code={code}&mark=" << 3;
    QTest::newRow("e-mail login, wrong password") << m << "/api/mailLogin?account={t}&password=wrong11" << 3;
    QTest::newRow("e-mail login") << m << "/api/mailLogin?account={t}&password=secret1" << 0;
    QTest::newRow("e-mail reset code") << m << "/api/mailVerifyCode?account={t}" << 0;
    QTest::newRow("e-mail reset, wrong code") << m << "/api/mailForgetPwd?account={t}&code=000000x&password=secret2" << 2;
    QTest::newRow("e-mail reset") << m << "/api/mailForgetPwd?account={t}&code={code}&password=secret2" << 0;
    QTest::newRow("e-mail login, new password") << m << "/api/mailLogin?account={t}&password=secret2" << 0;
    QTest::newRow("e-mail reset, unknown") << "nobody@example.com" << "/api/mailForgetPwd?account={t}&code=123456&password=secret2" << 1;

    QTest::newRow("missing password") << m << "/api/mailLogin?account={t}" << 4;
    QTest::newRow("bad phone for a code") << "12345" << "/api/getLoginVerifyCode?phone={t}&country=86" << 5;
    QTest::newRow("short password on register") << "13800000002" << "/api/registerAndModifyPwd?phone={t}&password=abc&code=1234&mark=" << 6;
}

void TestLocalServiceApi::accountFlows()
{
    QFETCH(QString, target);
    QFETCH(QString, request);
    QFETCH(int, rc);
    QString path = request;
    path.replace(QLatin1String("{t}"), QString::fromLatin1(QUrl::toPercentEncoding(target)));
    if (path.contains(QLatin1String("{code}"))) {
        const QString code = m_service.lastCode(target);
        QVERIFY2(!code.isEmpty(), "the admin route has no code for the target");
        path.replace(QLatin1String("{code}"), code);
    }
    const HttpResult reply = api(path);
    QCOMPARE(reply.status, 200);
    const QJsonObject json = reply.json();
    QVERIFY2(!json.value(QStringLiteral("msg")).toString().isEmpty(), reply.body.constData());
    QCOMPARE(json.value(QStringLiteral("rc")).toInt(-1), rc);
}

void TestLocalServiceApi::loginReplyCarriesTheUserButNoPassword()
{
    const QJsonObject reply = api(QStringLiteral("/api/mailLogin?account=someone%40example.com&password=secret2")).json();
    QCOMPARE(reply.value(QStringLiteral("rc")).toInt(-1), 0);
    const QJsonObject user = reply.value(QStringLiteral("data")).toObject();
    QVERIFY(user.value(QStringLiteral("id")).toInteger() > 0);
    QCOMPARE(user.value(QStringLiteral("name")).toString(), QStringLiteral("someone@example.com"));
    QCOMPARE(user.value(QStringLiteral("password")).toString(), QString());
}

HttpResult TestLocalServiceApi::saveRecord(const QJsonObject &record)
{
    return m_service.send("POST", QUrl(m_service.base("api") + QStringLiteral("/api/editiorSaveRecord")),
                          QJsonDocument(record).toJson(QJsonDocument::Compact),
                          {{"Content-Type", "application/x-www-form-urlencoded"}});
}

HttpResult TestLocalServiceApi::shareRecord(const QString &id)
{
    auto *multipart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart idPart;
    idPart.setHeader(QNetworkRequest::ContentDispositionHeader, QStringLiteral("form-data; name=\"id\""));
    idPart.setBody(id.toUtf8());
    QHttpPart items;
    items.setHeader(QNetworkRequest::ContentDispositionHeader, QStringLiteral("form-data; name=\"items\""));
    items.setBody(QJsonDocument(QJsonObject{{QStringLiteral("id"), id}}).toJson());
    multipart->append(idPart);
    multipart->append(items);
    const HttpResult result = m_service.send("POST", QUrl(m_service.base("api") + QStringLiteral("/api/generateRecordShareKey")),
                                             {}, {}, multipart);
    delete multipart;
    return result;
}

void TestLocalServiceApi::recordsLifecycle()
{
    const QJsonObject created = saveRecord(QJsonObject{{QStringLiteral("filename"), QStringLiteral("a b.wav")},
                                                       {QStringLiteral("recordTitle"), QStringLiteral("标题")},
                                                       {QStringLiteral("content"), QStringLiteral("你好")},
                                                       {QStringLiteral("userid"), QStringLiteral("u-records")},
                                                       {QStringLiteral("attr2"), QStringLiteral("9")},
                                                       {QStringLiteral("duration"), QStringLiteral("3")}})
                                    .json();
    QCOMPARE(created.value(QStringLiteral("rc")).toInt(-1), 0);
    const qint64 id = created.value(QStringLiteral("data")).toObject().value(QStringLiteral("id")).toInteger();
    QVERIFY(id > 0);

    QCOMPARE(saveRecord({{QStringLiteral("id"), id}, {QStringLiteral("attr1"), QStringLiteral("http://x/a%20b.wav")}})
                 .json().value(QStringLiteral("rc")).toInt(-1), 0);
    QCOMPARE(saveRecord({{QStringLiteral("id"), 999999}, {QStringLiteral("attr1"), QStringLiteral("x")}})
                 .json().value(QStringLiteral("rc")).toInt(-1), 2);

    const QJsonObject listed = api(QStringLiteral("/api/getRecords?userid=u-records")).json();
    QCOMPARE(listed.value(QStringLiteral("rc")).toInt(-1), 0);
    const QJsonArray records = listed.value(QStringLiteral("data")).toArray();
    QCOMPARE(records.size(), 1);
    const QJsonObject record = records.at(0).toObject();
    QCOMPARE(record.value(QStringLiteral("id")).toInteger(), id);
    QCOMPARE(record.value(QStringLiteral("attr1")).toString(), QStringLiteral("http://x/a%20b.wav"));
    QCOMPARE(record.value(QStringLiteral("content")).toString(), QStringLiteral("你好"));
    QVERIFY(!record.contains(QStringLiteral("translatedText")));
    QVERIFY(record.value(QStringLiteral("createTime")).toDouble() > 0);

    const QJsonObject share = shareRecord(QString::number(id)).json();
    QCOMPARE(share.value(QStringLiteral("rc")).toInt(-1), 0);
    const QString code = share.value(QStringLiteral("data")).toString();
    QVERIFY(!code.isEmpty());
    QCOMPARE(m_service.get(m_service.base("api") + QStringLiteral("/record-share/index.html?code=") + code).status, 200);

    QCOMPARE(api(QStringLiteral("/api/deleteRecord?id=%1").arg(id)).json().value(QStringLiteral("rc")).toInt(-1), 0);
    QCOMPARE(api(QStringLiteral("/api/deleteRecord?id=%1").arg(id)).json().value(QStringLiteral("rc")).toInt(-1), 2);
    QVERIFY(api(QStringLiteral("/api/getRecords?userid=u-records")).json().value(QStringLiteral("data")).toArray().isEmpty());
    QCOMPARE(m_service.get(m_service.base("api") + QStringLiteral("/record-share/index.html?code=") + code).status, 404);
}

void TestLocalServiceApi::sharePageEscapesTheTranscript()
{
    const QJsonObject created = saveRecord({{QStringLiteral("recordTitle"), QStringLiteral("t<b>")},
                                            {QStringLiteral("content"), QStringLiteral("<script>alert(1)</script> & 你好")},
                                            {QStringLiteral("translatedText"), QStringLiteral("\"quoted\" <i>")},
                                            {QStringLiteral("attr1"), QStringLiteral("javascript:alert(2)")},
                                            {QStringLiteral("userid"), QStringLiteral("u-share")}})
                                    .json();
    const qint64 id = created.value(QStringLiteral("data")).toObject().value(QStringLiteral("id")).toInteger();
    const QString code = shareRecord(QString::number(id)).json().value(QStringLiteral("data")).toString();
    const HttpResult page = m_service.get(m_service.base("api") + QStringLiteral("/record-share/index.html?code=") + code);
    QCOMPARE(page.status, 200);
    const QString html = QString::fromUtf8(page.body);
    QVERIFY(html.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt; &amp; 你好")));
    QVERIFY(html.contains(QStringLiteral("&quot;quoted&quot; &lt;i&gt;")));
    QVERIFY(!html.contains(QStringLiteral("<script>")));
    QVERIFY(!html.contains(QStringLiteral("<i>")));
    QVERIFY2(!html.contains(QStringLiteral("javascript:")), "a non-web audio address must not become a source");

    const HttpResult unknown = m_service.get(m_service.base("api") + QStringLiteral("/record-share/index.html?code=nope"));
    QCOMPARE(unknown.status, 404);
    QVERIFY(unknown.body.contains("404"));
}

void TestLocalServiceApi::feedbackStoresFieldsAndLog()
{
    for (bool withLog : {true, false}) {
        auto *multipart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        for (const auto &[name, value] : {std::pair{"devType", "翻页笔"}, std::pair{"name", "N"}, std::pair{"content", "内容"},
                                          std::pair{"phone", "138"}, std::pair{"sex", "未知"}}) {
            QHttpPart part;
            part.setHeader(QNetworkRequest::ContentDispositionHeader,
                           QStringLiteral("form-data; name=\"%1\"").arg(QLatin1String(name)));
            part.setBody(QByteArray(value));
            multipart->append(part);
        }
        if (withLog) {
            QHttpPart log;
            log.setHeader(QNetworkRequest::ContentDispositionHeader,
                          QStringLiteral("form-data; name=\"log\"; filename=\"name.log\""));
            log.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("log"));
            log.setBody("line one\nline two\n");
            multipart->append(log);
        }
        const HttpResult reply = m_service.send("POST", QUrl(m_service.base("api") + QStringLiteral("/api/addUserFeedback")),
                                                {}, {}, multipart);
        delete multipart;
        const QJsonObject json = reply.json();
        QCOMPARE(json.value(QStringLiteral("rc")).toInt(-1), 0);
        const QJsonObject data = json.value(QStringLiteral("data")).toObject();
        QCOMPARE(data.value(QStringLiteral("log")).toBool(), withLog);
        const QString logPath = m_dir.filePath(QStringLiteral("feedback/%1.log").arg(data.value(QStringLiteral("id")).toInteger()));
        QFile stored(logPath);
        QCOMPARE(stored.exists(), withLog);
        if (withLog) {
            QVERIFY(stored.open(QIODevice::ReadOnly));
            QCOMPARE(stored.readAll(), QByteArray("line one\nline two\n"));
        }
    }
}

void TestLocalServiceApi::malformedInput_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");

    QTest::newRow("record body not JSON") << QByteArray("POST") << "/api/editiorSaveRecord"
                                          << QByteArray("application/x-www-form-urlencoded") << QByteArray("{nope") << 200;
    QTest::newRow("record field of a wrong type") << QByteArray("POST") << "/api/editiorSaveRecord"
                                                  << QByteArray("application/x-www-form-urlencoded")
                                                  << QByteArray("{\"content\":[1,2]}") << 200;
    QTest::newRow("record id not a number") << QByteArray("POST") << "/api/editiorSaveRecord"
                                            << QByteArray("application/x-www-form-urlencoded")
                                            << QByteArray("{\"id\":\"x1\"}") << 200;
    QTest::newRow("share without boundary") << QByteArray("POST") << "/api/generateRecordShareKey"
                                            << QByteArray("multipart/form-data") << QByteArray("id=1") << 200;
    QTest::newRow("share with a broken form") << QByteArray("POST") << "/api/generateRecordShareKey"
                                              << QByteArray("multipart/form-data; boundary=XyZ")
                                              << QByteArray("--XyZ\r\nContent-Disposition: form-data; name=\"id\"\r\n\r\n1") << 200;
    QTest::newRow("feedback without parts") << QByteArray("POST") << "/api/addUserFeedback"
                                            << QByteArray("multipart/form-data; boundary=XyZ") << QByteArray("--XyZ--") << 200;
    QTest::newRow("records without user") << QByteArray("GET") << "/api/getRecords" << QByteArray() << QByteArray() << 200;
    QTest::newRow("unknown api path") << QByteArray("GET") << "/api/noSuchThing" << QByteArray() << QByteArray() << 404;
}

void TestLocalServiceApi::malformedInput()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QList<QPair<QByteArray, QByteArray>> headers;
    if (!contentType.isEmpty())
        headers.append({"Content-Type", contentType});
    const HttpResult reply = m_service.send(method, QUrl(m_service.base("api") + path), body, headers);
    QCOMPARE(reply.status, status);
    const QJsonObject json = reply.json();
    QVERIFY2(json.value(QStringLiteral("rc")).toInt(0) != 0, reply.body.constData());
    QVERIFY(!json.value(QStringLiteral("msg")).toString().isEmpty());
}

void TestLocalServiceApi::oversizeBodyIsRefusedAndServiceKeepsServing()
{
    const HttpResult reply = m_service.send("POST", QUrl(m_service.base("api") + QStringLiteral("/api/editiorSaveRecord")),
                                            QByteArray(100 * 1024, 'x'),
                                            {{"Content-Type", "application/x-www-form-urlencoded"}});
    QCOMPARE(reply.status, 413);
    QVERIFY(reply.json().value(QStringLiteral("msg")).toString().contains(QStringLiteral("65536")));
    QCOMPARE(api(QStringLiteral("/api/getRecords?userid=x")).json().value(QStringLiteral("rc")).toInt(-1), 0);
}

void TestLocalServiceApi::dataSurvivesRestart()
{
    const QJsonObject created = saveRecord({{QStringLiteral("content"), QStringLiteral("kept")},
                                            {QStringLiteral("userid"), QStringLiteral("u-restart")}}).json();
    QCOMPARE(created.value(QStringLiteral("rc")).toInt(-1), 0);
    m_service.stop();
    QVERIFY2(m_service.start(m_dir.path(), {QStringLiteral("--max-body-bytes"), QStringLiteral("65536")}),
             m_service.output().constData());
    const QJsonArray records = api(QStringLiteral("/api/getRecords?userid=u-restart")).json().value(QStringLiteral("data")).toArray();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.at(0).toObject().value(QStringLiteral("content")).toString(), QStringLiteral("kept"));
    QCOMPARE(api(QStringLiteral("/api/mailLogin?account=someone%40example.com&password=secret2"))
                 .json().value(QStringLiteral("rc")).toInt(-1), 0);
}

void TestLocalServiceApi::consoleNeverShowsPasswords()
{
    const QByteArray output = m_service.output();
    QVERIFY(output.contains("api GET /api/mailLogin 200"));
    for (const char *password : {"secret1", "secret2", "wrong11", "n%2Bw"})
        QVERIFY2(!output.contains(password), password);
}

QTEST_GUILESS_MAIN(TestLocalServiceApi)
#include "tst_local_service_api.moc"

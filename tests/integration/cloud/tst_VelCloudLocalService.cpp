// Every request as the local service receives it (read back from its admin
// route), and the object store round trip.
#include "CloudWireCases.h"
#include "../../common/LocalServiceProcess.h"

#include "app/VelUserInfoData.h"
#include "cloud/VelaliyunOSSUtil.h"
#include "util/VelTextHelpers.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

namespace {

// A plain GET; names under "localhost" go to loopback with their own Host
// header, as the object store's public addresses need.
HttpResult httpGet(const QUrl &url)
{
    QByteArray host;
    QNetworkRequest request(VelOSSClient::connectableURL(url, host));
    if (!host.isEmpty())
        request.setRawHeader("Host", host);
    request.setTransferTimeout(10000);
    QNetworkAccessManager client;
    QNetworkReply *reply = client.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    HttpResult result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    delete reply;
    return result;
}

} // namespace

class tst_VelCloudLocalService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_data.isValid());
        QVERIFY2(m_service.start(m_data.path()), m_service.output().constData());
        const auto base = [this](const char *name) { return m_service.base(name); };
        m_api = base("api");
        VelServiceConfig::Values values = VelServiceConfig::buildDefaults();
        values.serviceApiBaseUrl = m_api;
        values.semanticBaseUrl = base("semantic");
        values.updateBaseUrl = base("update");
        values.translateBaseUrl = base("translate");
        values.ossEndpoint = QStringLiteral("http://oss-cn-shenzhen.localhost:%1").arg(m_service.port("oss"));
        VelServiceConfig::setOverridesForTesting(values);
        VelaliyunOSSUtil::sharedVelaliyunOSSUtil().init_config();

        auto &mouse = VelUserInfoData::sharedVelUserInfoData().mouseInfoItem();
        mouse.setVid(0x1234);
        mouse.setPid(0x00ab);
        mouse.setSn(QStringLiteral("SN 01"));
    }

    void cleanupTestCase() { m_service.stop(); }

    void wireForm_data() { addWireFormRows(); }

    void wireForm()
    {
        QFETCH(Issue, issue);
        QFETCH(QByteArray, path);
        const QJsonObject before = lastRequest(path);
        issue();
        QJsonObject after;
        QTRY_VERIFY_WITH_TIMEOUT((after = lastRequest(path), !after.isEmpty() && after != before), 5000);
        verifyWireForm(recorded(after));
    }

    void shareRequestCarriesIdAndItems()
    {
        const QString recordId = createRecord(QStringLiteral("share me.wav"));
        QVERIFY(!recordId.isEmpty());
        std::optional<std::pair<bool, QVariant>> outcome;
        VelHttpRequestManager::sharedVelHttpRequestManager().httpAddNewShare(
            {{QStringLiteral("id"), recordId}}, [&outcome](bool success, const QVariant &result) {
                outcome = std::make_pair(success, result);
            });
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 5000);
        QVERIFY(outcome->first);
        QVERIFY(!outcome->second.toMap().value(QStringLiteral("data")).toString().isEmpty());

        const QJsonObject request = lastRequest("/api/generateRecordShareKey");
        QCOMPARE(request.value("method").toString(), QStringLiteral("POST"));
        const QMap<QString, QJsonObject> parts = partsByName(request);
        QCOMPARE(parts.keys(), (QStringList{"id", "items"}));
        QCOMPARE(parts["id"].value("data").toString(), recordId);
        const QString items = parts["items"].value("data").toString();
        QVERIFY(items.contains(QLatin1Char('\n')));
        QCOMPARE(QJsonDocument::fromJson(items.toUtf8()).object().value("id").toString(), recordId);
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
        if (withLog) {
            QFile file(logPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("启动\nready\n");
        }
        VelUserInfoData::sharedVelUserInfoData().setLogFilepath(logPath);
        const QVariantMap fields{{"devType", "翻页笔"}, {"name", "李"},    {"sex", "未知"},
                                 {"content", "a&b=c"},  {"phone", "138"}, {"vid", "4660"},
                                 {"pid", "171"},        {"sn", ""},       {"channelName", "VELO"},
                                 {"macAddr", ""},       {"clientversion", "1.0.0"},
                                 {"feedbackTime", VelTextHelpers::vel_getCurrentTimeStamp()}};
        std::optional<QVariant> reply;
        VelHttpRequestManager::sharedVelHttpRequestManager().httpSendFeedbackWithParameters(
            fields, [&reply](const QVariant &value) { reply = value; },
            [](const VelNetError &error) { QFAIL(qPrintable(error.domain)); });
        QTRY_VERIFY_WITH_TIMEOUT(reply.has_value(), 5000);
        QCOMPARE(reply->toMap().value("rc").toInt(), 0);

        const QMap<QString, QJsonObject> parts = partsByName(lastRequest("/api/addUserFeedback"));
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            QCOMPARE(parts.value(it.key()).value("data").toString(), it.value().toString());
        QCOMPARE(parts.contains("log"), withLog);
        if (withLog) {
            QCOMPARE(parts["log"].value("fileName").toString(), QStringLiteral("name.log"));
            QCOMPARE(parts["log"].value("contentType").toString(), QStringLiteral("log"));
            QCOMPARE(parts["log"].value("data").toString(), QStringLiteral("启动\nready\n"));
        }
    }

    void translationIsSignedAndAccepted()
    {
        std::optional<QString> text;
        VelHttpRequestManager::sharedVelHttpRequestManager().httpBaiduTranslateRequestWithQ(
            QStringLiteral("你好 & 再见"), QStringLiteral("auto"), QStringLiteral("en"),
            [&text](const QString &result) { text = result; },
            [](const VelNetError &error) { QFAIL(qPrintable(error.domain)); });
        QTRY_VERIFY_WITH_TIMEOUT(text.has_value(), 5000);
        QVERIFY2(!text->startsWith(QLatin1String("Error: ")), qPrintable(*text));

        const RecordedRequest request = recorded(lastRequest("/api/trans/vip/translate"));
        QMap<QString, QString> form;
        for (const auto &pair : queryPairs(request.body))
            form.insert(pair.first, pair.second);
        QCOMPARE(form.keys(), (QStringList{"appid", "from", "q", "salt", "sign", "to"}));
        QCOMPARE(form["q"], QStringLiteral("你好 & 再见"));
        QCOMPARE(form["sign"], VelHttpRequestManager::generateSignWithBaiduDict(
                                   {{"appid", form["appid"]}, {"q", form["q"]}, {"salt", form["salt"]}}));
    }

    void objectRoundTrip()
    {
        QTemporaryDir dir;
        const QString fileName = QStringLiteral("会议 记录 1.wav");
        QByteArray bytes(256 * 1024, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 13 % 256);
        QFile file(dir.filePath(fileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        qint64 reported = 0;
        const auto error = VelaliyunOSSUtil::sharedVelaliyunOSSUtil().client().putObject(
            VelaliyunOSSUtil::kBucketName, QStringLiteral("progress.wav"), bytes,
            [&reported](qint64, qint64 sent, qint64) { reported = sent; });
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
        QCOMPARE(reported, bytes.size());

        const auto [success, url] = upload(fileName, file.fileName());
        QVERIFY2(success, qPrintable(url));
        QVERIFY(url.startsWith(QStringLiteral("http://travikoffice.oss-cn-shenzhen.localhost:")));
        QVERIFY(url.endsWith(QStringLiteral("/%E4%BC%9A%E8%AE%AE%20%E8%AE%B0%E5%BD%95%201.wav")));
        const HttpResult fetched = httpGet(QUrl(url));
        QCOMPARE(fetched.status, 200);
        QCOMPARE(fetched.body, bytes);
    }

    void wrongKeyIsRefused()
    {
        VelServiceConfig::Values values = VelServiceConfig::current();
        const VelServiceConfig::Values saved = values;
        values.ossAccessKeySecret = QStringLiteral("WrongSecretKey0000000000000000");
        VelServiceConfig::setOverridesForTesting(values);
        VelaliyunOSSUtil::sharedVelaliyunOSSUtil().init_config();
        const auto restore = qScopeGuard([saved] {
            VelServiceConfig::setOverridesForTesting(saved);
            VelaliyunOSSUtil::sharedVelaliyunOSSUtil().init_config();
        });

        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("refused.wav")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("RIFF....WAVE");
        file.close();
        const auto [success, text] = upload(QStringLiteral("refused.wav"), file.fileName());
        QVERIFY(!success);
        QVERIFY2(text.contains(QStringLiteral("SignatureDoesNotMatch")), qPrintable(text));
    }

private:
    QJsonObject lastRequest(const QByteArray &path) const
    {
        QUrl url(m_api + QStringLiteral("/admin/last-request"));
        url.setQuery(QStringLiteral("path=") + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(path))));
        const HttpResult result = httpGet(url);
        return result.status == 200 ? QJsonDocument::fromJson(result.body).object() : QJsonObject();
    }

    static RecordedRequest recorded(const QJsonObject &described)
    {
        RecordedRequest request;
        request.method = described.value("method").toString().toLatin1();
        request.target = described.value("rawPath").toString().toLatin1();
        const QString query = described.value("query").toString();
        if (!query.isEmpty())
            request.target += '?' + query.toLatin1();
        for (const QJsonValue &header : described.value("headers").toArray())
            request.headers.insert(header[0].toString().toLower().toUtf8(), header[1].toString().toUtf8());
        request.body = QByteArray::fromBase64(described.value("bodyBase64").toString().toLatin1());
        return request;
    }

    static QMap<QString, QJsonObject> partsByName(const QJsonObject &described)
    {
        QMap<QString, QJsonObject> parts;
        for (const QJsonValue &part : described.value("parts").toArray())
            parts.insert(part["name"].toString(), part.toObject());
        return parts;
    }

    QString createRecord(const QString &fileName)
    {
        std::optional<QVariantMap> reply;
        VelHttpRequestManager::sharedVelHttpRequestManager().addNew(
            {{"filename", fileName}, {"recordTitle", "t"}, {"content", "你好"}, {"attr2", "9"}, {"duration", "1"},
             {"channalname", "暂无经销商渠道"}, {"productname", "Travik Vazade"}},
            [&reply](bool success, const QVariant &result) { reply = success ? result.toMap() : QVariantMap(); });
        if (!QTest::qWaitFor([&reply] { return reply.has_value(); }, 5000))
            return QString();
        return VelJsonModel::textValue(reply->value("data").toMap().value("id"));
    }

    static std::pair<bool, QString> upload(const QString &fileName, const QString &path)
    {
        struct State {
            std::atomic<bool> done{false};
            bool success = false;
            QString text;
        };
        auto state = std::make_shared<State>();
        VelaliyunOSSUtil::sharedVelaliyunOSSUtil().uploadRecordWavFileWithFileName(
            fileName, path, [state](bool ok, const QString &result) {
                state->success = ok;
                state->text = result;
                state->done = true;
            });
        if (!QTest::qWaitFor([state] { return state->done.load(); }, 10000))
            return {false, QStringLiteral("the upload did not finish")};
        return {state->success, state->text};
    }

    QTemporaryDir m_data;
    LocalServiceProcess m_service;
    QString m_api;
};

QTEST_GUILESS_MAIN(tst_VelCloudLocalService)
#include "tst_VelCloudLocalService.moc"

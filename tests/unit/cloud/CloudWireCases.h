#pragma once

// The wire form of every request sent through a scene or addNew/version:
// one table shared by the canned-server test and the local-service test.

#include "CloudTestSupport.h"

#include "VelBuildConstants.h"
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

#include <QTest>
#include <QUrl>

#include <algorithm>
#include <functional>

using Issue = std::function<void()>;
Q_DECLARE_METATYPE(Issue)

namespace wire {

inline const QStringList kCommon = {"channelName", "clientversion", "macAddr", "pid", "sn", "vid"};
inline const QString kTrickyPassword = QStringLiteral("&=+# 中文%");

inline void send(std::shared_ptr<VelNetSceneInterface> scene)
{
    VelHttpRequestManager::sharedVelHttpRequestManager().httpRequestWithScene(scene, nullptr);
}

inline QList<std::pair<QString, QString>> queryPairs(const QByteArray &query)
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
inline QMap<QString, FormPart> formParts(const RecordedRequest &request)
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

} // namespace wire
using namespace wire;

// Columns: issue (sends the request), method, path, queryKeys (in order),
// queryValues (decoded, a subset), contentType, body. The mouse is expected
// to be vid 0x1234, pid 0xab, sn "SN 01"; the engine id the configured one.
inline void addWireFormRows()
{
    QTest::addColumn<Issue>("issue");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QStringList>("queryKeys"); // in order
    QTest::addColumn<QVariantMap>("queryValues"); // decoded, a subset
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");

    const QByteArray html = "text/html;charset=utf-8";
    const QString engine = VelServiceConfig::current().semanticEngineId;

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

// Checks one recorded request against the current row of addWireFormRows().
inline void verifyWireForm(const RecordedRequest &request)
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(QStringList, queryKeys);
    QFETCH(QVariantMap, queryValues);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);

    QCOMPARE(request.method, method);
    QCOMPARE(request.path(), path);
    const auto pairs = queryPairs(request.query());
    QStringList keys;
    for (const auto &pair : pairs)
        keys << pair.first;
    QCOMPARE(keys, queryKeys);
    for (auto it = queryValues.cbegin(); it != queryValues.cend(); ++it) {
        const auto found = std::find_if(pairs.cbegin(), pairs.cend(), [&](auto &p) { return p.first == it.key(); });
        QVERIFY2(found != pairs.cend(), qPrintable(it.key()));
        QCOMPARE(found->second, it.value().toString());
    }
    QCOMPARE(request.headers.value("content-type"), contentType);
    QCOMPARE(request.body, body);
}

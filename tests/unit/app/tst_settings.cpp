// Settings singletons: defaults of a fresh installation, what survives a
// restart, which setters write, and how damaged stored values read.

#include "app/VelLanguageManager.h"
#include "app/VelLangugeMKey.h"
#include "app/VelUserInfoData.h"
#include "platform/VelUserDefaults.h"
#include "speech/VelLanguageRecord.h"
#include "speech/VelLanguageZhimuUtils.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The constructors are protected: a fresh object stands for the next launch.
struct UserInfo : VelUserInfoData {};
struct MKey : VelLangugeMKey {};
struct Record : VelLanguageRecord {};
struct Zhimu : VelLanguageZhimuUtils {};
struct Language : VelLanguageManager {};
} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    VelUserDefaults &defaults() { return VelUserDefaults::standardUserDefaults(); }
    // A restart of the storage: everything in memory is dropped and the file read again.
    void restartStorage() { defaults().reloadForTesting(); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        const QString path = m_dir.filePath(QStringLiteral("%1.ini").arg(QTest::currentTestFunction()));
        QFile::remove(path);
        defaults().reloadForTesting(path);
    }

    void freshInstallationDefaults()
    {
        UserInfo user;
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(user.clientID()).hasMatch());
        QCOMPARE(user.bootUpSwitch(), false);
        QCOMPARE(user.recordWindowShow(), 1);
        QCOMPARE(user.zhimuWindowShow(), 1);
        QCOMPARE(user.accoutName(), QString());
        QVERIFY(!user.userInfoItem());
        QCOMPARE(user.mouseInfoItem().vid(), 0);
        QCOMPARE(user.mouseInfoItem().pid(), 0);
        QCOMPARE(user.mouseInfoItem().type(), 2);
        QCOMPARE(user.mouseInfoItem().dpi(), 0);

        MKey mkey;
        QCOMPARE(mkey.indexOfFunction(), 0u);
        QCOMPARE(mkey.indexOfCommandFunction(), 0u);
        QCOMPARE(mkey.magnifierSwitch(), true);
        QCOMPARE(mkey.elecMouseColor(), QColor(255, 59, 48));
        QCOMPARE(mkey.indexOfSource(), 0u);
        QCOMPARE(mkey.indexOfTransSource(), 0u);
        QCOMPARE(mkey.indexOfTransTarget(), 2u);
        QCOMPARE(mkey.indexOfSearch(), 0u);
        QCOMPARE(mkey.indexOfShumaguang(), 0u);
        QCOMPARE(mkey.indexOfJuguangdeng(), 0u);
        QCOMPARE(mkey.mKeyAllList(), (QStringList{"+", "FS飞鼠", "FS数码光", "FS聚光灯", "FS放大镜",
                                                  "FS语音打字", "FS语音翻译"}));

        Record record;
        QCOMPARE(record.languageIndexOfRecord(), 0u);
        QCOMPARE(record.getRecLanguageCodeWithIndex(record.languageIndexOfRecord()), QStringLiteral("main"));

        Zhimu zhimu;
        QCOMPARE(zhimu.languageIndexOfAiZhiMuSource(), 0u);
        QCOMPARE(zhimu.getTransLanguageCodeWithIndex(zhimu.languageIndexOfAiZhiMuTarget()), QStringLiteral("en"));
        QCOMPARE(zhimu.textFontTag(), 1u);
        QCOMPARE(zhimu.captionWordColor(), QColor(255, 149, 0));
        QCOMPARE(zhimu.captionBackgroundColor().rgb(), QColor(Qt::black).rgb());
        QVERIFY(qAbs(zhimu.captionBackgroundColor().alphaF() - 0.75) < 0.01);
        QVERIFY(!zhimu.getCaptionWordColor()); // nothing stored yet

        // The settings file holds account data: owner only.
        QVERIFY(QFile::permissions(defaults().filePath()).testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(QFileInfo(defaults().filePath()).permissions()
                     & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup
                        | QFileDevice::WriteOther),
                 QFileDevice::Permissions());
    }

    void valuesSurviveARestart()
    {
        QString clientID;
        {
            UserInfo user;
            clientID = user.clientID();
            user.setAccoutName(QStringLiteral("13800000000"));
            user.setRecordWindowShow(0); // stored as 0 …
            user.mouseInfoItem().setVid(0x1234);
            user.mouseInfoItem().setPid(0xCA01);
            user.mouseInfoItem().setType(7);
            VelUserInfoItem item;
            item.userid = QStringLiteral("42");
            item.nick_name = QStringLiteral("小明");
            item.sex = 2;
            item.serviceType = -1;
            user.setUserInfoItem(item);

            MKey mkey;
            mkey.setIndexOfFunction(3);
            mkey.setMagnifierSwitch(false);
            mkey.setElecMouseColor(QColor(0, 128, 255));
            mkey.setIndexOfTransTarget(1);

            Zhimu zhimu;
            zhimu.setLanguageIndexOfAiZhiMuTarget(1);
            zhimu.setTextFontTag(0);
            zhimu.setCaptionWordColor(QColor(10, 20, 30, 40));

            Language language;
            language.setUiLanguageIndex(1);
        }
        restartStorage();

        UserInfo user;
        QCOMPARE(user.clientID(), clientID);
        QCOMPARE(user.accoutName(), QStringLiteral("13800000000"));
        QCOMPARE(defaults().integerForKey(QStringLiteral("recordWindowShowKey1")), 0);
        QCOMPARE(user.recordWindowShow(), 1); // … but reads back as 1
        QCOMPARE(user.mouseInfoItem().vid(), 0x1234);
        QCOMPARE(user.mouseInfoItem().pid(), 0xCA01);
        QCOMPARE(user.mouseInfoItem().type(), 7); // stored sensor code while no mouse is connected
        QVERIFY(user.userInfoItem());
        QCOMPARE(user.userInfoItem()->userid, QStringLiteral("42"));
        QCOMPARE(user.userInfoItem()->nick_name, QStringLiteral("小明"));
        QCOMPARE(user.userInfoItem()->sex, 2);
        QCOMPARE(user.userInfoItem()->serviceType, -1);

        MKey mkey;
        QCOMPARE(mkey.indexOfFunction(), 3u);
        QCOMPARE(defaults().stringForKey(QStringLiteral("indexOfFunctionKey")), QStringLiteral("3"));
        QCOMPARE(mkey.magnifierSwitch(), false);
        QCOMPARE(defaults().stringForKey(QStringLiteral("magnifierSwitchKey")), QStringLiteral("0"));
        QCOMPARE(mkey.elecMouseColor(), QColor(0, 128, 255));
        QCOMPARE(mkey.indexOfTransTarget(), 1u);

        Zhimu zhimu;
        QCOMPARE(zhimu.languageIndexOfAiZhiMuTarget(), 1u);
        QCOMPARE(zhimu.textFontTag(), 0u);
        QCOMPARE(zhimu.captionWordColor(), QColor(10, 20, 30, 40));
        QCOMPARE(zhimu.getCaptionWordColor().value(), QColor(10, 20, 30, 40));

        Language language;
        QCOMPARE(language.uiLanguageIndex(), 1u);

        // Logging out removes the user.
        user.setUserInfoItem(std::nullopt);
        restartStorage();
        QVERIFY(!UserInfo().userInfoItem());
    }

    // Which setters write when handed the value they already hold.
    void settersWriteOnChangeOrOnEveryCall_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("writesWhenEqual");
        QTest::newRow("indexOfCommandFunction") << "indexOfCommandFunctionKey" << true;
        QTest::newRow("languageIndexOfRecord") << "languageIndexOfRecordKey" << true;
        QTest::newRow("recordWindowShow") << "recordWindowShowKey1" << true;
        QTest::newRow("zhimuWindowShow") << "zhimuWindowShowKey1" << true;
        QTest::newRow("accoutName") << "accoutNameKey" << true;
        QTest::newRow("indexOfFunction") << "indexOfFunctionKey" << false;
        QTest::newRow("indexOfTransTarget") << "indexOfTransTargetKey" << false;
        QTest::newRow("captionSource") << "languageIndexOfAiZhiMuSourceKey" << false;
        QTest::newRow("captionWordColor") << "captionWordColorKey" << false;
        QTest::newRow("elecMouseColor") << "elecMouseColorKey" << false;
        QTest::newRow("uiLanguageIndex") << "uilanguageStringKey1" << false;
        QTest::newRow("mouse vid") << "Vel_iMouse_Vid_Key" << false;
    }

    void settersWriteOnChangeOrOnEveryCall()
    {
        QFETCH(QString, key);
        QFETCH(bool, writesWhenEqual);
        UserInfo user;
        MKey mkey;
        Record record;
        Zhimu zhimu;
        Language language;
        const QHash<QString, std::function<void()>> setSameValue = {
            {"indexOfCommandFunctionKey", [&] { mkey.setIndexOfCommandFunction(mkey.indexOfCommandFunction()); }},
            {"languageIndexOfRecordKey", [&] { record.setLanguageIndexOfRecord(record.languageIndexOfRecord()); }},
            {"recordWindowShowKey1", [&] { user.setRecordWindowShow(user.recordWindowShow()); }},
            {"zhimuWindowShowKey1", [&] { user.setZhimuWindowShow(user.zhimuWindowShow()); }},
            {"accoutNameKey", [&] { user.setAccoutName(user.accoutName()); }},
            {"indexOfFunctionKey", [&] { mkey.setIndexOfFunction(mkey.indexOfFunction()); }},
            {"indexOfTransTargetKey", [&] { mkey.setIndexOfTransTarget(mkey.indexOfTransTarget()); }},
            {"languageIndexOfAiZhiMuSourceKey",
             [&] { zhimu.setLanguageIndexOfAiZhiMuSource(zhimu.languageIndexOfAiZhiMuSource()); }},
            {"captionWordColorKey", [&] { zhimu.setCaptionWordColor(zhimu.captionWordColor()); }},
            {"elecMouseColorKey", [&] { mkey.setElecMouseColor(mkey.elecMouseColor()); }},
            {"uilanguageStringKey1", [&] { language.setUiLanguageIndex(language.uiLanguageIndex()); }},
            {"Vel_iMouse_Vid_Key", [&] { user.mouseInfoItem().setVid(0); }},
        };
        QVERIFY(setSameValue.contains(key));
        QSignalSpy writes(&defaults(), &VelUserDefaults::didWrite);
        setSameValue.value(key)();
        QCOMPARE(writes.count() > 0, writesWhenEqual);
        if (writesWhenEqual)
            QCOMPARE(writes.first().first().toString(), key);
    }

    // Stored values of the wrong kind read as the default of their row.
    void damagedValuesReadAsDefaults()
    {
        defaults().setString(QStringLiteral("not a number"), QStringLiteral("indexOfFunctionKey"));
        defaults().setString(QStringLiteral("7"), QStringLiteral("languageIndexOfAiZhiMuTargetKey"));
        defaults().setString(QStringLiteral("5"), QStringLiteral("languageIndexOfAiZhiMuSourceKey"));
        defaults().setData(QByteArray("\xff\x00garbage", 9), QStringLiteral("elecMouseColorKey"));
        defaults().setData(QByteArray("bplist00"), QStringLiteral("captionbgColorKey"));
        defaults().setData(QByteArray("\xa1\x61x\x01", 4), QStringLiteral("userInfoItemKey2"));
        defaults().setInteger(0, QStringLiteral("zhimuWindowShowKey1"));
        defaults().synchronize();
        restartStorage();

        MKey mkey;
        QCOMPARE(mkey.indexOfFunction(), 0u);
        QCOMPARE(mkey.elecMouseColor(), VelLangugeMKey::defaultElecMouseColor());
        Zhimu zhimu;
        QCOMPARE(zhimu.languageIndexOfAiZhiMuTarget(), 2u); // above 2 reads as 2
        QCOMPARE(zhimu.languageIndexOfAiZhiMuSource(), 5u); // kept, and turned into the fallback code
        QCOMPARE(zhimu.getRecLanguageCodeWithIndex(zhimu.languageIndexOfAiZhiMuSource()),
                 QStringLiteral("简体中文 code"));
        QCOMPARE(zhimu.captionBackgroundColor(), VelLanguageZhimuUtils::defaultCaptionBackgroundColor());
        QVERIFY(!zhimu.getCaptionBackgroundColor());
        UserInfo user;
        QVERIFY(!user.userInfoItem()); // logged out, not a half-filled user
        QCOMPARE(user.zhimuWindowShow(), 1);
    }

    void languageGettersOutOfRange_data()
    {
        QTest::addColumn<QString>("getter");
        QTest::addColumn<quint64>("index");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rec code 0") << "recCode" << quint64(0) << "main";
        QTest::newRow("rec code 1") << "recCode" << quint64(1) << "english";
        QTest::newRow("rec code 2") << "recCode" << quint64(2) << "简体中文 code";
        QTest::newRow("rec name 9") << "recName" << quint64(9) << "简体中文 name";
        QTest::newRow("trans code 0") << "transCode" << quint64(0) << "no";
        QTest::newRow("trans code 2") << "transCode" << quint64(2) << "en";
        QTest::newRow("trans code 3") << "transCode" << quint64(3) << "简体中文 code";
        QTest::newRow("trans name 3") << "transName" << quint64(3) << "简体中文 name";
        QTest::newRow("huge index") << "transCode" << std::numeric_limits<quint64>::max() << "简体中文 code";
    }

    void languageGettersOutOfRange()
    {
        QFETCH(QString, getter);
        QFETCH(quint64, index);
        QFETCH(QString, expected);
        Record record;
        QString result;
        if (getter == "recCode")
            result = record.getRecLanguageCodeWithIndex(index);
        else if (getter == "recName")
            result = record.getRecLanguageNameWithIndex(index);
        else if (getter == "transCode")
            result = record.getTransLanguageCodeWithIndex(index);
        else
            result = record.getTransLanguageNameWithIndex(index);
        QCOMPARE(result, expected);
    }

    void createCUIDIsAnMd5OfPrefixAndUuid()
    {
        UserInfo user;
        const QString a = user.createCUID(QStringLiteral("p"));
        const QString b = user.createCUID(QStringLiteral("p"));
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(a).hasMatch());
        QVERIFY(a != b);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"

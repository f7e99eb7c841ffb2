// Report handling of the receiver link, pinned by tables of report bytes.
#include "FakeHidTransport.h"

#include "app/RakLocalizedString.h"
#include "app/VelUserInfoData.h"
#include "cloud/checkUpdateUtil.h"
#include "device/VelHidapiManager.h"
#include "overlays/VelVoiceHudHook.h"
#include "platform/VelUserDefaults.h"
#include "sim/VelSbcEncoder.h"
#include "util/VelNotificationCenter.h"
#include "util/VelNotificationNames.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

struct FreshManager : VelHidapiManager {
};

QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

VelMouseInfoItem &mouse()
{
    return VelUserInfoData::sharedVelUserInfoData().mouseInfoItem();
}

HidInterfaceInfo iface(const char *path, uint16_t page, uint16_t usage)
{
    return FakeHidTransport::interface(QString::fromLatin1(path), page, usage);
}

struct KeyRecord {
    QList<QPair<qint64, qint64>> calls;
    VelHidapiManager::KeyEventBlock block()
    {
        return [this](qint64 status, qint64 code) { calls.append({status, code}); };
    }
};

} // namespace

class tst_VelHidapiManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::shared_ptr<FakeHidScript> m_script;
    std::unique_ptr<FreshManager> m_hid;
    KeyRecord m_keys;
    int m_snNotifications = 0;

    // Opens the fake receiver with one vendor interface and nothing queued.
    void openFake()
    {
        m_script->interfaces = {iface("mouse", 0x0001, 2), iface("vendor", 0xFF03, 0)};
        m_script->openable = {QStringLiteral("vendor")};
        m_hid->hidRequestReadMouseInfoVid(0xABC8, 0xCA01, m_keys.block());
        QVERIFY(m_hid->isPolling());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        VelUserDefaults::standardUserDefaults().reloadForTesting(m_dir.filePath(QStringLiteral("defaults.ini")));
        VelNotificationCenter::defaultCenter().addObserver(
            QString::fromLatin1(VelNotification::HadDeviceSnInfoNotification), this, [this] { ++m_snNotifications; });
    }

    void init()
    {
        m_script = std::make_shared<FakeHidScript>();
        m_hid = std::make_unique<FreshManager>();
        m_hid->setTransport(std::make_unique<FakeHidTransport>(m_script));
        m_keys = {};
        m_snNotifications = 0;
        mouse().setSn(QString());
        mouse().setPower(11);
        mouse().setMousePowerOFF(false);
        mouse().setDevieType(0);
        checkUpdateUtil::sharedcheckUpdateUtil().setMustToUpdate(false);
    }

    void cleanup()
    {
        m_hid->hidRequestClose();
        m_hid.reset();
    }

    void informationReport_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<bool>("powerOff");
        QTest::addColumn<double>("battery");
        QTest::addColumn<qint64>("dpi");
        QTest::addColumn<bool>("led");
        QTest::addColumn<qint64>("sensor");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("sn");

        QTest::newRow("full report") << bytes("02 01 5a 50 03 00 01 12 07 00 12 34 56 78 9a bc") << true << false
                                     << 80.0 << qint64(3) << true << qint64(2) << "7" << "velo120056789abc";
        QTest::newRow("mouse off, LED 0x0a reads as 0") << bytes("02 00 00 1e 01 00 0a 07 0b 00 00 11 22 33 44 55")
                                                        << true << true << 30.0 << qint64(1) << false << qint64(7)
                                                        << "11" << "velo000022334455";
        QTest::newRow("LED 0x10 reads as 10, on") << bytes("02 01 00 64 02 00 10 31 01 00 aa bb cc dd ee ff") << true
                                                  << false << 100.0 << qint64(2) << true << qint64(1) << "1"
                                                  << "veloaa00ccddeeff";
        QTest::newRow("LED 0xa1 starts with a letter, off") << bytes("02 01 00 64 02 00 a1 06 01 00 00 00 00 00 00 00")
                                                            << true << false << 100.0 << qint64(2) << false
                                                            << qint64(6) << "1" << "velo000000000000";
        QTest::newRow("seven bytes: not yet the information") << bytes("02 01 00 2d 04 00 01") << false << false
                                                              << 45.0 << qint64(4) << true << qint64(-1) << ""
                                                              << "";
    }

    void informationReport()
    {
        QFETCH(QByteArray, report);
        QFETCH(bool, complete);
        mouse().setType(-1);
        mouse().setSoftwareVersion(QString());

        QCOMPARE(m_hid->handleInformationReport(reinterpret_cast<const uint8_t *>(report.constData()), int(report.size())),
                 complete);
        QTEST(mouse().mousePowerOFF(), "powerOff");
        QTEST(mouse().power(), "battery");
        QTEST(mouse().dpi(), "dpi");
        QTEST(mouse().led(), "led");
        QFETCH(qint64, sensor);
        if (sensor >= 0)
            QCOMPARE(mouse().type(), sensor);
        QTEST(mouse().softwareVersion(), "firmware");
        QTEST(mouse().sn(), "sn");
        QFETCH(QString, sn);
        QTRY_COMPARE(m_snNotifications, sn.isEmpty() ? 0 : 1);
    }

    void serialNumberIsTakenOnlyOnce()
    {
        mouse().setSn(QStringLiteral("velo000000000001"));
        const QByteArray report = bytes("02 01 5a 50 03 00 01 12 07 00 12 34 56 78 9a bc");
        m_hid->handleInformationReport(reinterpret_cast<const uint8_t *>(report.constData()), 16);
        QCOMPARE(mouse().sn(), QStringLiteral("velo000000000001"));
        QTest::qWait(20);
        QCOMPARE(m_snNotifications, 0);
    }

    void pollReport_data()
    {
        QTest::addColumn<QByteArray>("buffer"); // the 32-byte poll buffer as read
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("powerOff");
        QTest::addColumn<double>("battery");
        QTest::addColumn<qint64>("key"); // 0: none delivered

        QTest::newRow("status, mouse off, 80 %") << bytes("00 00 00 50 00 00") << 6 << true << 80.0 << qint64(0);
        QTest::newRow("status with key 0x85") << bytes("01 01 00 64 00 85") << 6 << false << 100.0 << qint64(0x85);
        QTest::newRow("four bytes never read byte 5") << bytes("01 00 00 37 00 85") << 4 << true << 55.0 << qint64(0);
        QTest::newRow("two bytes: power only") << bytes("01 00 00 37 00 85") << 2 << true << 11.0 << qint64(0);
        QTest::newRow("audio frame is no status") << bytes("9c 00 00 00 00 85") << 6 << false << 11.0 << qint64(0);
        QTest::newRow("short audio frame is no status") << bytes("9c 00 00 00") << 2 << false << 11.0 << qint64(0);
    }

    void pollReport()
    {
        QFETCH(QByteArray, buffer);
        QFETCH(int, length);
        QFETCH(qint64, key);
        openFake();
        buffer.resize(VelHidapiManager::kPollReportSize, '\0');

        m_hid->handlePollReport(reinterpret_cast<const uint8_t *>(buffer.constData()), length);

        QTEST(mouse().mousePowerOFF(), "powerOff");
        QTEST(mouse().power(), "battery");
        if (key) {
            QCOMPARE(m_keys.calls, (QList<QPair<qint64, qint64>>{{1, key}}));
            QCOMPARE(m_hid->pressType(), key);
        } else {
            QVERIFY(m_keys.calls.isEmpty());
        }
    }

    void mandatoryUpdateHoldsKeysBack()
    {
        QStringList shown;
        double dismissedAfter = -1;
        VelVoiceHudHook::install([&](const QString &text, qint64, qint64) { shown << text; },
                                 [&](double after) { dismissedAfter = after; });
        openFake();
        checkUpdateUtil::sharedcheckUpdateUtil().setMustToUpdate(true);
        QByteArray report = bytes("01 00 00 28 00 85");
        report.resize(32, '\0');

        m_hid->handlePollReport(reinterpret_cast<const uint8_t *>(report.constData()), 6);

        QVERIFY(m_keys.calls.isEmpty());
        QCOMPARE(shown, QStringList{RakLocalizedString::rakAppLocalizedString(QStringLiteral("请更新客户端"))});
        QCOMPARE(dismissedAfter, 2.5);
        // Status bytes still count.
        QCOMPARE(mouse().power(), 40.0);
        QVERIFY(mouse().mousePowerOFF());
        VelVoiceHudHook::install(nullptr, nullptr);
    }

    void openChoosesInterface_data()
    {
        QTest::addColumn<QList<HidInterfaceInfo>>("interfaces");
        QTest::addColumn<QStringList>("nodePaths");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<bool>("connected");

        QTest::newRow("vendor page after the mouse") << QList<HidInterfaceInfo>{iface("m", 0x0001, 2), iface("v", 0xFF03, 0)}
                                                     << QStringList() << "v" << true;
        QTest::newRow("first of two vendor pages") << QList<HidInterfaceInfo>{iface("f", 0xFF0F, 0), iface("g", 0xFF01, 0)}
                                                   << QStringList() << "f" << true;
        QTest::newRow("vendor page with usage 1 does not count")
            << QList<HidInterfaceInfo>{iface("a", 0xFF02, 1), iface("b", 0x000C, 1)} << QStringList() << "b" << false;
        QTest::newRow("empty list: device node look-up, last path")
            << QList<HidInterfaceInfo>{} << QStringList{QStringLiteral("n1"), QStringLiteral("n2")} << "n2" << false;
    }

    void openChoosesInterface()
    {
        QFETCH(QList<HidInterfaceInfo>, interfaces);
        QFETCH(QString, opened);
        QFETCH(bool, connected);
        m_script->interfaces = interfaces;
        QFETCH(QStringList, nodePaths);
        m_script->nodePaths = nodePaths;
        m_script->openable = {opened};

        m_hid->hidRequestReadMouseInfoVid(0xABC8, 0xCA01, m_keys.block());

        QCOMPARE(m_script->opened.last(), opened);
        QCOMPARE(m_hid->hidDeviceConnected(), connected);
        QCOMPARE(mouse().devieType(), connected ? qint64(2) : qint64(0));
        QVERIFY(m_hid->isPolling());
        QVERIFY(m_keys.calls.isEmpty());
        // The reload command goes out right after the open.
        QByteArray reload(16, '\0');
        reload[0] = 0x0F;
        reload[1] = 0x04;
        reload[2] = char(0xA0);
        QCOMPARE(m_script->written, QList<QByteArray>{reload});
    }

    void openFailureCallsBlockWithZero_data()
    {
        QTest::addColumn<bool>("initOk");
        QTest::addColumn<bool>("anyOpenable");
        QTest::newRow("library init fails") << false << true;
        QTest::newRow("nothing opens") << true << false;
    }

    void openFailureCallsBlockWithZero()
    {
        QFETCH(bool, initOk);
        QFETCH(bool, anyOpenable);
        m_script->initOk = initOk;
        m_script->interfaces = {iface("v", 0xFF03, 0)};
        if (anyOpenable)
            m_script->openable = {QStringLiteral("v")};

        m_hid->hidRequestReadMouseInfoVid(0xABC8, 0xCA01, m_keys.block());

        QCOMPARE(m_keys.calls, (QList<QPair<qint64, qint64>>{{0, 0}}));
        QVERIFY(!m_hid->isPolling());
        QVERIFY(m_script->written.isEmpty());
    }

    void pollDrainsQueueBounded()
    {
        VelSbcEncoder encoder;
        QByteArray pcm(VelSbcEncoder::kSamplesPerFrame * 2 * 40, '\0');
        for (int i = 0; i < pcm.size() / 2; ++i) {
            const qint16 s = qint16(8000 * std::sin(i * 0.2));
            memcpy(pcm.data() + 2 * i, &s, 2);
        }
        const QList<QByteArray> frames = encoder.encode(pcm);
        QCOMPARE(frames.size(), 40);
        openFake();
        m_script->reports.clear(); // nothing answers the open here
        int pcmChunks = 0;
        m_hid->rowdataPcmAudioCallBack([&](const QByteArray &chunk, qint64 second) {
            QCOMPARE(chunk.size(), 256);
            QCOMPARE(second, 0);
            ++pcmChunks;
        });
        for (const QByteArray &frame : frames)
            m_script->reports.push_back(frame);

        m_hid->timerRun();
        QCOMPARE(pcmChunks, VelHidapiManager::kMaxReportsPerPoll);
        m_hid->timerRun();
        QCOMPARE(pcmChunks, 40);

        // A read error ends that poll; the next one goes on.
        m_script->reports = {frames[0], QByteArray(), frames[1]};
        m_hid->timerRun();
        QCOMPARE(pcmChunks, 41);
        m_hid->timerRun();
        QCOMPARE(pcmChunks, 42);
        QVERIFY(m_hid->isPolling());
    }

    void informationReadRetriesUntilLongReport()
    {
        m_script->interfaces = {iface("v", 0xFF03, 0)};
        m_script->openable = {QStringLiteral("v")};
        m_script->reports = {bytes("01 01 00 50"), bytes("02 01 5a 50 03 00 01 12 07 00 12 34 56 78 9a bc")};
        m_hid->hidRequestReadMouseInfoVid(0xABC8, 0xCA01, m_keys.block());
        QTRY_COMPARE(mouse().sn(), QStringLiteral("velo120056789abc"));
    }

    void closeStopsPollingAndKeys()
    {
        openFake();
        m_hid->hidRequestClose();
        QVERIFY(!m_hid->isPolling());
        QVERIFY(!m_hid->hidDeviceConnected());
        QCOMPARE(m_script->exits, 1);
        QByteArray report = bytes("01 01 00 64 00 85");
        report.resize(32, '\0');
        m_hid->handlePollReport(reinterpret_cast<const uint8_t *>(report.constData()), 6);
        QVERIFY(m_keys.calls.isEmpty());
        // A pending information retry after the close reads nothing.
        m_hid->getHidInfo();
    }
};

QTEST_GUILESS_MAIN(tst_VelHidapiManager)
#include "tst_VelHidapiManager.moc"

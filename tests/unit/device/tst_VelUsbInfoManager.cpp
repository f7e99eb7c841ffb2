// The presence state machine: which arrivals begin monitoring, which removals
// end it.
#include "app/VelUserInfoData.h"
#include "device/VelDeviceIdentity.h"
#include "device/VelUsbInfoManager.h"
#include "platform/VelUserDefaults.h"
#include "util/VelNotificationCenter.h"
#include "util/VelNotificationNames.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A watcher the test drives by hand, with devices present at start.
class ScriptedWatcher : public HidPresenceWatcher
{
public:
    QList<HidDeviceInfo> present;
    Handler arrived;
    Handler removed;
    bool start(Handler a, Handler r) override
    {
        arrived = std::move(a);
        removed = std::move(r);
        for (const HidDeviceInfo &d : present)
            arrived(d);
        return true;
    }
};

HidDeviceInfo device(const QString &name, uint16_t vid, uint16_t pid, const QString &path)
{
    return {name, vid, pid, path};
}

const QString kName = VelDeviceIdentity::acceptedProductNames().constFirst();

QStringList &monitorLog()
{
    static QStringList log;
    return log;
}

struct RecordingManager : VelUsbInfoManager {
    explicit RecordingManager(std::unique_ptr<HidPresenceWatcher> watcher)
        : VelUsbInfoManager(std::move(watcher),
                            {[](uint16_t vid, uint16_t pid) {
                                 monitorLog() << QStringLiteral("begin %1:%2").arg(vid, 0, 16).arg(pid, 0, 16);
                             },
                             [] { monitorLog() << QStringLiteral("end"); }})
    {
    }
};

} // namespace

class tst_VelUsbInfoManager : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_snNotifications = 0;

    std::unique_ptr<RecordingManager> make(ScriptedWatcher **watcher, QList<HidDeviceInfo> present = {})
    {
        auto w = std::make_unique<ScriptedWatcher>();
        w->present = std::move(present);
        *watcher = w.get();
        return std::make_unique<RecordingManager>(std::move(w));
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
        monitorLog().clear();
        m_snNotifications = 0;
        VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().setSn(QStringLiteral("velo120056789abc"));
    }

    void productNameMatchesExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("mine");
        for (const QString &name : VelDeviceIdentity::acceptedProductNames())
            QTest::newRow(qPrintable(name)) << name << true;
        QTest::newRow("other case") << kName.toUpper() << false;
        QTest::newRow("prefix") << kName.left(5) << false;
        QTest::newRow("longer") << kName + QLatin1Char(' ') << false;
        QTest::newRow("empty") << QString() << false;
    }

    void productNameMatchesExactly()
    {
        QFETCH(QString, name);
        QTEST(VelUsbInfoManager::isMyProduct(device(name, 0xABC8, 0xCA01, QStringLiteral("p"))), "mine");
    }

    void receiverPresentAtStartBeginsMonitoring()
    {
        ScriptedWatcher *w = nullptr;
        auto manager = make(&w, {device(QStringLiteral("Keyboard"), 0x1234, 0x5678, QStringLiteral("k")),
                                 device(kName, 0xABC8, 0xCA01, QStringLiteral("r"))});
        QCOMPARE(monitorLog(), QStringList{QStringLiteral("begin abc8:ca01")});
        QCOMPARE(manager->deviceRef()->path, QStringLiteral("r"));
    }

    void secondReceiverIgnoredAndEitherRemovalEnds_data()
    {
        QTest::addColumn<QString>("removedPath");
        QTest::newRow("the one in use leaves") << "r1";
        QTest::newRow("the ignored one leaves") << "r2";
    }

    void secondReceiverIgnoredAndEitherRemovalEnds()
    {
        QFETCH(QString, removedPath);
        ScriptedWatcher *w = nullptr;
        auto manager = make(&w);
        w->arrived(device(kName, 0xABC8, 0xCA01, QStringLiteral("r1")));
        w->arrived(device(kName, 0xABC8, 0xCA08, QStringLiteral("r2")));
        QCOMPARE(monitorLog(), QStringList{QStringLiteral("begin abc8:ca01")});
        QCOMPARE(manager->deviceRef()->path, QStringLiteral("r1"));

        w->removed(device(kName, 0xABC8, removedPath == QLatin1String("r1") ? 0xCA01 : 0xCA08, removedPath));

        QCOMPARE(monitorLog(), (QStringList{QStringLiteral("begin abc8:ca01"), QStringLiteral("end")}));
        QVERIFY(!manager->deviceRef());
        QCOMPARE(VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().sn(), QString());
        QTRY_COMPARE(m_snNotifications, 1);

        // The other one leaving afterwards changes nothing.
        w->removed(device(kName, 0xABC8, 0xCA08, QStringLiteral("x")));
        QCOMPARE(monitorLog().size(), 2);
    }

    void lowVendorIdRememberedNotMonitored()
    {
        ScriptedWatcher *w = nullptr;
        auto manager = make(&w);
        w->arrived(device(kName, 0x0050, 0xCA01, QStringLiteral("low")));
        QVERIFY(manager->deviceRef());
        QVERIFY(monitorLog().isEmpty());
        // Held, so a proper receiver is now ignored too.
        w->arrived(device(kName, 0xABC8, 0xCA01, QStringLiteral("r")));
        QVERIFY(monitorLog().isEmpty());
        // Its own removal is not accepted (ids too low): still held.
        w->removed(device(kName, 0x0050, 0xCA01, QStringLiteral("low")));
        QVERIFY(manager->deviceRef());
        QVERIFY(monitorLog().isEmpty());
    }

    void foreignDevicesChangeNothing()
    {
        ScriptedWatcher *w = nullptr;
        auto manager = make(&w);
        w->arrived(device(kName, 0xABC8, 0xCA01, QStringLiteral("r")));
        w->removed(device(QStringLiteral("USB Keyboard"), 0xABC8, 0xCA01, QStringLiteral("k")));
        QCOMPARE(monitorLog().size(), 1);
        QVERIFY(manager->deviceRef());
        QCOMPARE(VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().sn(), QStringLiteral("velo120056789abc"));
    }
};

QTEST_GUILESS_MAIN(tst_VelUsbInfoManager)
#include "tst_VelUsbInfoManager.moc"

// Keystroke synthesis through the poster, and the permission alert.
#include "device/VelKeyboardEventManager.h"
#include "device/VelMyUtils.h"

#include <QTest>

namespace {

struct Recorded {
    uint16_t key;
    uint64_t flags;
    bool down;
    bool operator==(const Recorded &o) const { return key == o.key && flags == o.flags && down == o.down; }
};

class RecordingPoster : public KeyEventPoster
{
public:
    explicit RecordingPoster(QList<Recorded> *events, bool trusted)
        : m_events(events)
        , m_trusted(trusted)
    {
    }
    bool isTrusted() override { return m_trusted; }
    bool post(uint16_t keyCode, uint64_t flags, bool keyDown) override
    {
        m_events->append({keyCode, flags, keyDown});
        return true;
    }

private:
    QList<Recorded> *m_events;
    bool m_trusted;
};

struct Manager : VelKeyboardEventManager {
    Manager(QList<Recorded> *events, bool trusted)
        : VelKeyboardEventManager(std::make_unique<RecordingPoster>(events, trusted))
    {
    }
};

} // namespace

class tst_VelKeyboardEventManager : public QObject
{
    Q_OBJECT
private slots:
    void pastePostsExactlyVDownAndUpWithCommand()
    {
        QList<Recorded> events;
        Manager manager(&events, true);
        manager.postKeyboardEvent(KeyEventPoster::kKeyV, KeyEventPoster::kCommandFlag, true);
        manager.postKeyboardEvent(KeyEventPoster::kKeyV, KeyEventPoster::kCommandFlag, false);
        QCOMPARE(events, (QList<Recorded>{{9, 0x100000, true}, {9, 0x100000, false}}));
    }

    void withoutPermissionTwoCallsShowOneAlert()
    {
        QList<VelMyUtils::Alert> alerts;
        VelMyUtils::AlertCompletion answer;
        VelMyUtils::setAlertPresenter([&](const VelMyUtils::Alert &alert, VelMyUtils::AlertCompletion completion) {
            alerts << alert;
            answer = std::move(completion);
        });
        QList<Recorded> events;
        Manager manager(&events, false);

        manager.postKeyboardEvent(KeyEventPoster::kKeyV, KeyEventPoster::kCommandFlag, true);
        manager.postKeyboardEvent(KeyEventPoster::kKeyV, KeyEventPoster::kCommandFlag, false);

        QVERIFY(events.isEmpty());
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].style, VelMyUtils::Alert::Informational);
        QCOMPARE(alerts[0].buttons.size(), 2);
        QVERIFY(manager.showAlert());

        // Once answered, the next attempt asks again.
        answer(VelMyUtils::kAlertSecondButtonReturn);
        QVERIFY(!manager.showAlert());
        QVERIFY(!manager.systemAccessibilityStatus());
        QCOMPARE(alerts.size(), 2);
        VelMyUtils::setAlertPresenter(nullptr);
    }

    void standardAlertButtonOrder_data()
    {
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("informative");
        QTest::newRow("both buttons, cancel first") << "取消" << "确定" << "说明" << QStringList{"取消", "确定"} << "说明";
        QTest::newRow("only confirm") << "" << "确定" << "" << QStringList{"确定"} << "";
        QTest::newRow("no buttons") << "" << "" << "说明" << QStringList{} << "说明";
    }

    void standardAlertButtonOrder()
    {
        QFETCH(QString, cancel);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        VelMyUtils::Alert shown;
        qint64 received = 0;
        VelMyUtils::setAlertPresenter([&](const VelMyUtils::Alert &alert, VelMyUtils::AlertCompletion completion) {
            shown = alert;
            completion(VelMyUtils::kAlertSecondButtonReturn);
        });
        VelMyUtils::showMessgeWithTitle(QStringLiteral("标题"), cancel, confirm, message,
                                        [&](qint64 response) { received = response; });
        QCOMPARE(shown.style, VelMyUtils::Alert::Warning);
        QCOMPARE(shown.messageText, QStringLiteral("标题"));
        QTEST(shown.buttons, "buttons");
        QTEST(shown.informativeText, "informative");
        // The response reaches the caller unchanged.
        QCOMPARE(received, VelMyUtils::kAlertSecondButtonReturn);
        VelMyUtils::setAlertPresenter(nullptr);
    }
};

QTEST_GUILESS_MAIN(tst_VelKeyboardEventManager)
#include "tst_VelKeyboardEventManager.moc"

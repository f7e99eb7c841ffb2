// The app shell in one process on a real X display: start-up shows the main
// window with the home view, the tray menu is rebuilt in the interface
// language, closing the window keeps the app, and exitApp quits it.

#include "app/AppDelegate.h"
#include "app/VelLanguageManager.h"
#include "app/VelUserInfoData.h"
#include "platform/VelUserDefaults.h"
#include "util/VelNotificationCenter.h"
#include "util/VelNotificationNames.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

class TestAppDelegate : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    std::unique_ptr<AppDelegate> m_delegate;

    static QStringList menuTitles(AppDelegate &delegate)
    {
        QStringList titles;
        if (delegate.statusItem() && delegate.statusItem()->contextMenu())
            for (QAction *action : delegate.statusItem()->contextMenu()->actions())
                titles << action->text();
        return titles;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("HOME", m_home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        VelUserDefaults::standardUserDefaults().reloadForTesting(m_home.filePath("defaults.ini"));
        VelLanguageManager::sharedVelLanguageManager().setUiLanguageIndex(0);
        QApplication::setQuitOnLastWindowClosed(false);

        // Start-up reopens standard output on the log file; keep the test's
        // own output where ctest reads it.
        const int savedOut = ::dup(STDOUT_FILENO);
        const int savedErr = ::dup(STDERR_FILENO);
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->applicationDidFinishLaunching();
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(savedOut, STDOUT_FILENO);
        ::dup2(savedErr, STDERR_FILENO);
        ::close(savedOut);
        ::close(savedErr);
    }

    void startUpShowsTheMainWindowAndCreatesTheLog()
    {
        QVERIFY(m_delegate->window());
        QVERIFY(QTest::qWaitForWindowExposed(m_delegate->window()));
        QVERIFY(m_delegate->homeVC());
        QCOMPARE(m_delegate->homeVC()->window(), m_delegate->window());
        QVERIFY(m_delegate->window()->width() >= m_delegate->homeVC()->minimumSizeHint().width());

        const QString log = VelUserInfoData::sharedVelUserInfoData().logFilepath();
        QVERIFY(log.startsWith(m_home.path() + "/Documents/Log/TravikmacOS_"));
        QVERIFY(QFile::exists(log));
    }

    void trayMenuIsRebuiltInTheInterfaceLanguage()
    {
        QVERIFY(m_delegate->statusItem());
        QCOMPARE(m_delegate->statusItem()->toolTip(), QStringLiteral("TravikVazade"));
        QCOMPARE(menuTitles(*m_delegate), (QStringList{"打开 Travik Vazade", "退出 Travik Vazade"}));
        QVERIFY(!m_delegate->statusItem()->icon().isNull());

        const QSystemTrayIcon *before = m_delegate->statusItem();
        VelLanguageManager::sharedVelLanguageManager().setUiLanguageIndex(1);
        VelNotificationCenter::defaultCenter().post(QString::fromLatin1(VelNotification::kNotiChangeUILanguage));
        QVERIFY(m_delegate->statusItem() != before || menuTitles(*m_delegate).first() != "打开 Travik Vazade");
        QCOMPARE(menuTitles(*m_delegate), (QStringList{"Open Travik Vazade", "Quit Travik Vazade"}));
        VelLanguageManager::sharedVelLanguageManager().setUiLanguageIndex(0);
    }

    void closingTheWindowKeepsTheAppAndReopenShowsIt()
    {
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        QVERIFY(m_delegate->window()->close() == false || !m_delegate->window()->isVisible());
        QTRY_VERIFY(!m_delegate->window()->isVisible());
        QTest::qWait(100);
        QCOMPARE(quitting.count(), 0);

        QVERIFY(m_delegate->applicationShouldHandleReopen(false));
        QVERIFY(QTest::qWaitForWindowExposed(m_delegate->window()));
        QVERIFY(!m_delegate->applicationShouldHandleReopen(true)); // already visible: nothing more
        QVERIFY(m_delegate->window()->isVisible());
    }

    void openFromTheTrayMenu()
    {
        m_delegate->window()->hide();
        m_delegate->statusItem()->contextMenu()->actions().at(0)->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(m_delegate->window()));
    }

    void exitAppQuits()
    {
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, m_delegate.get(), [this] {
            m_delegate->statusItem()->contextMenu()->actions().at(1)->trigger(); // "退出 Travik Vazade"
        });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); }); // guard: must not be needed
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(quitting.count(), 1);
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_app_delegate.moc"

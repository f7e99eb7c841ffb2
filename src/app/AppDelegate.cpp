#include "AppDelegate.h"

#include "app/RakLocalizedString.h"
#include "app/VelLogRedirector.h"
#include "cloud/VelHttpRequestManager.h"
#include "ui/VelHomeViewController.h"
#include "ui/VelMainWindow.h"
#include "util/VelLog.h"
#include "util/VelNotificationCenter.h"
#include "util/VelNotificationNames.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {
AppDelegate *g_delegate = nullptr;
}

AppDelegate *AppDelegate::sharedAppDelegate()
{
    return g_delegate;
}

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
{
    g_delegate = this;
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    VelNotificationCenter::defaultCenter().addObserver(QString::fromLatin1(VelNotification::kNotiChangeUILanguage),
                                                       this, [this] { addStatusItem(); });
}

AppDelegate::~AppDelegate()
{
    if (g_delegate == this)
        g_delegate = nullptr;
    delete m_window;
}

void AppDelegate::applicationDidFinishLaunching()
{
    addStatusItem();

    m_window = new VelMainWindow;
    connect(m_window, &VelMainWindow::shown, this, &AppDelegate::mainWindowShown);
    connect(m_window, &VelMainWindow::firstPainted, this, [] { velLog(QStringLiteral("主窗口已显示")); });
    m_homeVC = new VelHomeViewController;
    m_window->setContentView(m_homeVC);

    openApp();

    m_window->setFrameAutosaveName(QStringLiteral("frameAutosaveName"));

    redirectNSlogToDocumentFolder();

    VelHttpRequestManager::sharedVelHttpRequestManager().networkReachabilityManager();
}

void AppDelegate::addStatusItem()
{
    // Rebuilt, never updated: the old item goes away with its menu.
    m_statusItem.reset();
    m_statusMenu.reset();

    m_statusItem = std::make_unique<QSystemTrayIcon>();
    m_statusItem->setToolTip(QStringLiteral("TravikVazade"));
    m_statusItem->setIcon(QIcon(QStringLiteral(":/images/Icon.png")));

    m_statusMenu = std::make_unique<QMenu>();
    QAction *open = m_statusMenu->addAction(RakLocalizedString::rakAppLocalizedString(QStringLiteral("打开 Travik Vazade")));
    open->setObjectName(QStringLiteral("openAppAction"));
    connect(open, &QAction::triggered, this, &AppDelegate::openApp);
    QAction *quit = m_statusMenu->addAction(RakLocalizedString::rakAppLocalizedString(QStringLiteral("退出 Travik Vazade")));
    quit->setObjectName(QStringLiteral("exitAppAction"));
    connect(quit, &QAction::triggered, this, &AppDelegate::exitApp);

    m_statusItem->setContextMenu(m_statusMenu.get());
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            openApp();
    });
    m_statusItem->show();

    static bool toldNoTray = false;
    if (!QSystemTrayIcon::isSystemTrayAvailable() && !toldNoTray) {
        toldNoTray = true;
        velLog(QStringLiteral("没有系统托盘：状态栏图标不可用，请通过再次启动 travik-vazade 打开主窗口"));
    }
}

void AppDelegate::openApp()
{
    if (!m_window)
        return;
    m_window->show();
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window->raise();
    m_window->activateWindow();
}

void AppDelegate::exitApp()
{
    // exit(), not quit(): quit() first asks every window to close, and the
    // main window refuses (closing it only hides it), which would cancel the quit.
    QCoreApplication::exit(0);
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    if (hasVisibleWindows)
        return false;
    openApp();
    return true;
}

void AppDelegate::applicationWillTerminate()
{
    if (m_terminating)
        return;
    m_terminating = true;
    velLog(QStringLiteral("程序即将关闭"));
    // A shown magnifier (fangdajingKai) is taken down here once the presenter tools exist.
}

void AppDelegate::redirectNSlogToDocumentFolder()
{
    VelLogRedirector::redirectNSlogToDocumentFolder(VelLogRedirector::standardOutputIsTerminal());
}

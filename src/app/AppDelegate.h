#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

#include "ui/VelHomeViewController.h"
#include "ui/VelMainWindow.h"

class QSystemTrayIcon;
class QMenu;

// Start-up and lifetime of the app: the tray (status) item and its menu, the
// main window, the per-launch log file and the start of reachability
// monitoring.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    static AppDelegate *sharedAppDelegate();

    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    // Builds the status item anew (also after a change of interface language).
    void addStatusItem();
    void openApp();
    void exitApp();
    // Shows the main window again when none of ours is visible; false when
    // one already is (nothing to do).
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    void applicationWillTerminate();
    void redirectNSlogToDocumentFolder();

    VelMainWindow *window() const { return m_window; }
    VelHomeViewController *homeVC() const { return m_homeVC; }
    QSystemTrayIcon *statusItem() const { return m_statusItem.get(); }

signals:
    void mainWindowShown();

private:
    QPointer<VelMainWindow> m_window;
    QPointer<VelHomeViewController> m_homeVC;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    std::unique_ptr<QMenu> m_statusMenu;
    bool m_terminating = false;
};

// Start at login through an XDG autostart entry: switching on twice makes one
// entry, switching off removes ours and leaves other programs' entries alone.

#include "app/VelUserInfoData.h"
#include "platform/VelUserDefaults.h"
#include "platform/linux/XdgAutostartLoginItems.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct UserInfo : VelUserInfoData {};
}

class TestLoginItems : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;
    QString autostart() const { return m_home.path() + "/.config/autostart"; }
    QStringList entries() const { return QDir(autostart()).entryList({"*.desktop"}, QDir::Files, QDir::Name); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("HOME", m_home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        VelUserDefaults::standardUserDefaults().reloadForTesting(m_home.filePath("defaults.ini"));
    }

    void onOnAgainOff()
    {
        // Somebody else's entry that must survive, even under our file name.
        QDir().mkpath(autostart());
        QFile other(autostart() + "/travik-vazade.desktop");
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("[Desktop Entry]\nType=Application\nExec=/usr/bin/other-program --flag\n");
        other.close();

        UserInfo user;
        QVERIFY(!user.isStartAtLogin());
        QVERIFY(user.setStartAtLogin(true));
        QVERIFY(user.isStartAtLogin());
        QCOMPARE(entries().size(), 2);

        QVERIFY(!user.setStartAtLogin(true)); // already there: refused, nothing added
        QCOMPARE(entries().size(), 2);

        // The entry starts this very program.
        QString ours;
        for (const QString &name : entries())
            if (name != "travik-vazade.desktop")
                ours = autostart() + "/" + name;
        QCOMPARE(XdgAutostartLoginItems::programOfEntry(ours),
                 QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());

        QVERIFY(user.setStartAtLogin(false));
        QVERIFY(!user.isStartAtLogin());
        QCOMPARE(entries(), QStringList{"travik-vazade.desktop"});
        QVERIFY(!user.setStartAtLogin(false)); // none of ours left
    }

    void bootUpSwitchFollowsAndPersists()
    {
        {
            UserInfo user;
            user.setBootUpSwitch(true);
            QVERIFY(user.isStartAtLogin());
        }
        VelUserDefaults::standardUserDefaults().reloadForTesting();
        UserInfo user;
        QVERIFY(user.bootUpSwitch());
        user.setBootUpSwitch(false);
        QVERIFY(!user.isStartAtLogin());
    }

    void execQuotingRoundTrips()
    {
        XdgAutostartLoginItems items(m_home.filePath("quoted"));
        const QString odd = m_home.filePath("dir with \"quotes\" $and `ticks`/app");
        QDir().mkpath(QFileInfo(odd).absolutePath());
        QFile(odd).open(QIODevice::WriteOnly);
        QVERIFY(items.insert(odd));
        QVERIFY(items.contains(odd));
        QVERIFY(items.remove(odd));
        QVERIFY(!items.contains(odd));
    }
};

QTEST_GUILESS_MAIN(TestLoginItems)
#include "tst_login_items.moc"

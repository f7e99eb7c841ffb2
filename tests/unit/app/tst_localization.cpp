// Localized text follows the interface-language setting, not the system
// locale, and every key the code uses has an English text.

#include "app/RakLocalizedString.h"
#include "app/VelLanguageManager.h"
#include "app/VelLangugeMKey.h"
#include "platform/VelUserDefaults.h"
#include "speech/VelLanguageRecord.h"

#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestLocalization : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    VelLanguageManager &language() { return VelLanguageManager::sharedVelLanguageManager(); }

    // Every literal key handed to rakAppLocalizedString in the sources.
    static QSet<QString> keysUsedInCode()
    {
        static const QRegularExpression call(QStringLiteral(
            "rakAppLocalizedString\\(\\s*(?:QStringLiteral\\(|QString::fromUtf8\\(|u)?\\s*\"((?:[^\"\\\\]|\\\\.)*)\""));
        QSet<QString> keys;
        QDirIterator it(QStringLiteral(VEL_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            auto matches = call.globalMatch(text);
            while (matches.hasNext())
                keys.insert(matches.next().captured(1));
        }
        return keys;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        VelUserDefaults::standardUserDefaults().reloadForTesting(m_dir.filePath("defaults.ini"));
        // The test runs with a Chinese system locale (see CMakeLists.txt).
        QVERIFY2(QLocale::system().uiLanguages().first().startsWith(QLatin1String("zh")),
                 qPrintable(QLocale::system().uiLanguages().join(',')));
    }

    void followsTheInterfaceLanguageSetting_data()
    {
        QTest::addColumn<quint64>("index");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("mkeyTitle");
        QTest::newRow("0 Chinese") << quint64(0) << "打开 Travik Vazade" << "聚光灯";
        QTest::newRow("1 English") << quint64(1) << "Open Travik Vazade" << "Spotlight";
        QTest::newRow("other: the key") << quint64(7) << "打开 Travik Vazade" << "FS聚光灯";
    }

    void followsTheInterfaceLanguageSetting()
    {
        QFETCH(quint64, index);
        QFETCH(QString, open);
        QFETCH(QString, mkeyTitle);
        language().setUiLanguageIndex(index);
        QCOMPARE(RakLocalizedString::rakAppLocalizedString(QStringLiteral("打开 Travik Vazade")), open);
        QCOMPARE(RakLocalizedString::rakAppLocalizedString(QStringLiteral("FS聚光灯")), mkeyTitle);
        // A key without a table entry is its own text.
        QCOMPARE(RakLocalizedString::rakAppLocalizedString(QStringLiteral("没有这个键")), QStringLiteral("没有这个键"));
    }

    void nameListsFollowALanguageChangeOnRefresh()
    {
        auto &record = VelLanguageRecord::sharedVelLanguageRecord();
        language().setUiLanguageIndex(0);
        record.shouldRefreshData();
        QCOMPARE(record.myRecognitionLanguageArrayName(), (QStringList{"普通话", "英语"}));
        language().setUiLanguageIndex(1);
        QCOMPARE(record.myRecognitionLanguageArrayName(), (QStringList{"普通话", "英语"})); // not yet rebuilt
        record.shouldRefreshData();
        QCOMPARE(record.myRecognitionLanguageArrayName(), (QStringList{"Mandarin", "English"}));
        QCOMPARE(record.myTransLanguageArrayName(), (QStringList{"No translation", "Simplified Chinese", "English"}));
        QCOMPARE(record.myTransLanguageArrayCode(), (QStringList{"no", "zh", "en"}));
        QCOMPARE(record.myRecognitionLanguageArrayCode(), (QStringList{"main", "english"}));
        language().setUiLanguageIndex(0);
    }

    void everyKeyHasAnEnglishText()
    {
        QSet<QString> keys = keysUsedInCode();
        QVERIFY2(keys.size() > 5, "the source scan found no keys: is the pattern still right?");
        // Keys that reach the loader through a list rather than a literal call.
        for (const QString &title : VelLangugeMKey::sharedVelLangugeMKey().readMkeyAllList())
            if (title != QLatin1String("+"))
                keys.insert(title);
        QStringList missing;
        for (const QString &key : std::as_const(keys))
            if (RakLocalizedString::lookup(QStringLiteral("en"), key).isEmpty())
                missing << key;
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no English text for: ") + missing.join(" | ")));
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"

// The paste keystroke through XTest reaches a real text field in another
// process, which takes the text from the clipboard.
#include "platform/linux/XTestKeyEventPoster.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QTest>

class tst_XTestPaste : public QObject
{
    Q_OBJECT
private slots:
    void pasteReachesAnotherProcess()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display (run under xvfb-run)");
        XTestKeyEventPoster poster;
        QVERIFY(poster.isTrusted());

        const QString text = QStringLiteral("粘贴 paste 123");
        QGuiApplication::clipboard()->setText(text);

        QProcess target;
        target.start(QStringLiteral(PASTE_TARGET_PATH), {});
        QVERIFY(target.waitForStarted());
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += target.readAllStandardOutput()).contains("ready\n"), 10000);

        QVERIFY(poster.post(KeyEventPoster::kKeyV, KeyEventPoster::kCommandFlag, true));
        QVERIFY(poster.post(KeyEventPoster::kKeyV, KeyEventPoster::kCommandFlag, false));

        // The clipboard is ours: keep the event loop running while the target
        // asks for it.
        QTRY_VERIFY_WITH_TIMEOUT((out += target.readAllStandardOutput()).contains(("text:" + text).toUtf8()), 10000);
        target.kill();
        target.waitForFinished();
    }

    void unknownShortcutsAreRefused()
    {
        XTestKeyEventPoster poster;
        if (!poster.isTrusted())
            QSKIP("needs an X display with XTest");
        QVERIFY(!poster.post(9, KeyEventPoster::kOptionFlag, true)); // Option alone means nothing here
        QVERIFY(!poster.post(99, KeyEventPoster::kCommandFlag, true));
    }
};

QTEST_MAIN(tst_XTestPaste)
#include "tst_XTestPaste.moc"

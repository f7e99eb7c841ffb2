// A plain text field in its own process: prints "ready" once it has the
// keyboard focus and "text:<content>" whenever its text changes.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setObjectName(QStringLiteral("target"));
    edit.resize(400, 40);
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    QObject::connect(&edit, &QLineEdit::textChanged, [](const QString &text) {
        std::printf("text:%s\n", text.toUtf8().constData());
        std::fflush(stdout);
    });
    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, [&] {
        if (!edit.hasFocus() || QApplication::focusWidget() != &edit || !edit.window()->isActiveWindow()) {
            edit.activateWindow();
            return;
        }
        ready.stop();
        std::printf("ready\n");
        std::fflush(stdout);
    });
    ready.start(50);
    QTimer::singleShot(30000, &app, &QCoreApplication::quit);
    return app.exec();
}

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Small device-side utilities shared by several windows: the connection mode,
// opening a web page and the standard alert. The alert itself is drawn by
// whoever installs a presenter (the GUI at start-up, a test double in tests);
// this class stays free of widgets.
class VelMyUtils
{
public:
    // Modal responses as the platform numbers them: the first button added
    // answers 1000, the second 1001.
    static constexpr qint64 kAlertFirstButtonReturn = 1000;
    static constexpr qint64 kAlertSecondButtonReturn = 1001;

    struct Alert {
        enum Style { Warning, Informational };
        Style style = Warning;
        QString messageText;
        QString informativeText;
        // In the order they are added.
        QStringList buttons;
    };
    using AlertCompletion = std::function<void(qint64 response)>;
    using AlertPresenter = std::function<void(const Alert &alert, AlertCompletion completion)>;

    // 1 while the receiver's vendor interface is open, else 0; also stored as
    // the mouse information's connection mode.
    static qint64 getsTheConnectionModeOfTheCurrentDevice();

    static void openWebPageWithUrlString(const QString &urlString);

    // The standard warning alert as a sheet on the main window. Texts are
    // localized here; a button is added only when its title is non-empty,
    // cancel first, then confirm. The callback gets the modal response.
    static void showMessgeWithTitle(const QString &title, const QString &cancelButton,
                                    const QString &confirmButton, const QString &message,
                                    AlertCompletion callback);

    // Shows an already-localized alert through the installed presenter (on the
    // main thread). Without a presenter the alert is logged and never answered.
    static void presentAlert(const Alert &alert, AlertCompletion completion);
    static void setAlertPresenter(AlertPresenter presenter);
};

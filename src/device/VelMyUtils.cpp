#include "VelMyUtils.h"

#include "app/RakLocalizedString.h"
#include "app/VelUserInfoData.h"
#include "device/VelHidapiManager.h"
#include "util/VelLog.h"
#include "util/VelMainThread.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
VelMyUtils::AlertPresenter &presenter()
{
    static VelMyUtils::AlertPresenter instance;
    return instance;
}
} // namespace

qint64 VelMyUtils::getsTheConnectionModeOfTheCurrentDevice()
{
    const qint64 mode = VelHidapiManager::sharedVelHidapiManager().hidDeviceConnected() ? 1 : 0;
    VelUserInfoData::sharedVelUserInfoData().mouseInfoItem().setDeviceConnectionMode(mode);
    return mode;
}

void VelMyUtils::openWebPageWithUrlString(const QString &urlString)
{
    // Until the command opener exists, the desktop's URL handler opens it.
    VelMainThread::run([urlString] { QDesktopServices::openUrl(QUrl::fromUserInput(urlString)); });
}

void VelMyUtils::showMessgeWithTitle(const QString &title, const QString &cancelButton,
                                     const QString &confirmButton, const QString &message,
                                     AlertCompletion callback)
{
    Alert alert;
    alert.style = Alert::Warning;
    alert.messageText = RakLocalizedString::rakAppLocalizedString(title);
    if (!message.isEmpty())
        alert.informativeText = RakLocalizedString::rakAppLocalizedString(message);
    if (!cancelButton.isEmpty())
        alert.buttons << RakLocalizedString::rakAppLocalizedString(cancelButton);
    if (!confirmButton.isEmpty())
        alert.buttons << RakLocalizedString::rakAppLocalizedString(confirmButton);
    presentAlert(alert, std::move(callback));
}

void VelMyUtils::presentAlert(const Alert &alert, AlertCompletion completion)
{
    VelMainThread::run([alert, completion = std::move(completion)]() mutable {
        if (!presenter()) {
            velLog(QStringLiteral("无法显示提示（没有窗口）：%1 %2").arg(alert.messageText, alert.informativeText));
            return;
        }
        presenter()(alert, std::move(completion));
    });
}

void VelMyUtils::setAlertPresenter(AlertPresenter alertPresenter)
{
    presenter() = std::move(alertPresenter);
}

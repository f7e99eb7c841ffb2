#include "VelKeyboardEventManager.h"

#include "app/RakLocalizedString.h"
#include "device/VelMyUtils.h"
#include "util/VelLog.h"

VelKeyboardEventManager &VelKeyboardEventManager::sharedVelKeyboardEventManager()
{
    static VelKeyboardEventManager instance;
    return instance;
}

VelKeyboardEventManager::VelKeyboardEventManager(std::unique_ptr<KeyEventPoster> poster)
    : m_poster(std::move(poster))
{
}

VelKeyboardEventManager::~VelKeyboardEventManager() = default;

KeyEventPoster &VelKeyboardEventManager::poster()
{
    if (!m_poster)
        m_poster = KeyEventPoster::create();
    return *m_poster;
}

void VelKeyboardEventManager::postKeyboardEvent(uint16_t keyCode, uint64_t combination, bool keyDown)
{
    if (!systemAccessibilityStatus()) {
        velLog(QStringLiteral("没有权限2"));
        return;
    }
    if (!poster().post(keyCode, combination, keyDown))
        velLog(QStringLiteral("键盘事件未能发送：按键 %1，修饰键 0x%2").arg(keyCode).arg(combination, 0, 16));
}

bool VelKeyboardEventManager::canSystemAccessibility()
{
    return poster().isTrusted();
}

bool VelKeyboardEventManager::systemAccessibilityStatus()
{
    if (canSystemAccessibility())
        return true;
    if (m_showAlert)
        return false;
    m_showAlert = true;

    VelMyUtils::Alert alert;
    alert.style = VelMyUtils::Alert::Informational;
    alert.messageText = RakLocalizedString::rakAppLocalizedString(
        QStringLiteral("抱歉，我们检测到您未授权辅助功能权限，键盘模拟功能将不能使用！"));
    alert.buttons << RakLocalizedString::rakAppLocalizedString(QStringLiteral("重新授权"))
                  << RakLocalizedString::rakAppLocalizedString(QStringLiteral("不使用"));
    alert.informativeText = RakLocalizedString::rakAppLocalizedString(
        QStringLiteral("请您在系统偏好设置-安全性与隐私-辅助功能权限中找到Travik Vazade并勾选进行授权"));
    VelMyUtils::presentAlert(alert, [this](qint64 response) {
        if (response == VelMyUtils::kAlertFirstButtonReturn) {
            // This desktop has no settings page that grants it: say what does.
            velLog(QStringLiteral("键盘模拟需要 X11 会话中的 XTest 扩展；请在 X11 会话中运行 Travik Vazade"));
        } else {
            velLog(QStringLiteral("All Other return code %1").arg(response));
        }
        m_showAlert = false;
    });
    return false;
}

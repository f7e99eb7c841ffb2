#include "XTestKeyEventPoster.h"

#include "util/VelLog.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

XTestKeyEventPoster::XTestKeyEventPoster() = default;

XTestKeyEventPoster::~XTestKeyEventPoster()
{
    if (m_display)
        XCloseDisplay(m_display);
}

bool XTestKeyEventPoster::openDisplay()
{
    if (m_triedOpen)
        return m_display && m_hasXTest;
    m_triedOpen = true;
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        velLog(QStringLiteral("键盘模拟不可用：无法连接 X 显示（在 Wayland 会话中请改用 X11 会话）"));
        return false;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    m_hasXTest = XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor);
    if (!m_hasXTest)
        velLog(QStringLiteral("键盘模拟不可用：X 服务器没有 XTest 扩展"));
    return m_hasXTest;
}

bool XTestKeyEventPoster::isTrusted()
{
    return openDisplay();
}

unsigned long XTestKeyEventPoster::keySymFor(uint16_t keyCode)
{
    switch (keyCode) {
    case kKeyV:
        return XK_v;
    case kKeyEqual:
        return XK_equal;
    case kKeyMinus:
        return XK_minus;
    case kKey8:
        return XK_8;
    default:
        return NoSymbol;
    }
}

std::vector<unsigned long> XTestKeyEventPoster::modifierKeySymsFor(uint64_t modifierFlags, bool *ok)
{
    *ok = true;
    if (modifierFlags == 0)
        return {};
    if (modifierFlags == kCommandFlag)
        return {XK_Control_L};
    if (modifierFlags == (kCommandFlag | kOptionFlag))
        return {XK_Super_L, XK_Alt_L};
    *ok = false;
    return {};
}

bool XTestKeyEventPoster::post(uint16_t keyCode, uint64_t modifierFlags, bool keyDown)
{
    if (!openDisplay())
        return false;
    bool modifiersOk = false;
    const std::vector<unsigned long> modifiers = modifierKeySymsFor(modifierFlags, &modifiersOk);
    const unsigned long keySym = keySymFor(keyCode);
    if (!modifiersOk || keySym == NoSymbol)
        return false;
    const KeyCode key = XKeysymToKeycode(m_display, keySym);
    if (key == 0)
        return false;

    // The modifiers go down before the key and come up after it, so the
    // receiving application sees exactly this combination.
    if (keyDown) {
        for (unsigned long modifier : modifiers)
            XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, modifier), True, CurrentTime);
        XTestFakeKeyEvent(m_display, key, True, CurrentTime);
    } else {
        XTestFakeKeyEvent(m_display, key, False, CurrentTime);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, *it), False, CurrentTime);
    }
    XFlush(m_display);
    return true;
}

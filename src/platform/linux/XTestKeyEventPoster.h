#pragma once

#include "platform/KeyEventPoster.h"

#include <vector>

struct _XDisplay;

// Keystrokes through the XTest extension on the X display. "Trusted" means the
// display is reachable and offers XTest; without it no keystroke can be made.
class XTestKeyEventPoster : public KeyEventPoster
{
public:
    XTestKeyEventPoster();
    ~XTestKeyEventPoster() override;

    bool isTrusted() override;
    bool post(uint16_t keyCode, uint64_t modifierFlags, bool keyDown) override;

    // The X key symbols of a key code and of a modifier set; empty when the
    // app gives them no meaning on this desktop.
    static unsigned long keySymFor(uint16_t keyCode);
    static std::vector<unsigned long> modifierKeySymsFor(uint64_t modifierFlags, bool *ok);

private:
    bool openDisplay();

    _XDisplay *m_display = nullptr;
    bool m_triedOpen = false;
    bool m_hasXTest = false;
};

#pragma once

#include "platform/KeyEventPoster.h"

#include <cstdint>
#include <memory>

// Synthesized keystrokes into other applications (paste, zoom shortcuts),
// guarded by the permission test; asks the user once when it is missing.
class VelKeyboardEventManager
{
public:
    static VelKeyboardEventManager &sharedVelKeyboardEventManager();
    virtual ~VelKeyboardEventManager();

    void postKeyboardEvent(uint16_t keyCode, uint64_t combination, bool keyDown);
    // Whether events may be posted; shows the permission alert when not.
    bool systemAccessibilityStatus();
    // The bare permission test.
    bool canSystemAccessibility();

    bool showAlert() const { return m_showAlert; }

protected:
    // Tests hand in a recording poster; the shared instance uses the
    // platform's, created on first use.
    explicit VelKeyboardEventManager(std::unique_ptr<KeyEventPoster> poster = nullptr);

private:
    KeyEventPoster &poster();

    std::unique_ptr<KeyEventPoster> m_poster;
    bool m_showAlert = false;
};

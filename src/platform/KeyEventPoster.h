#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// Synthesized keystrokes into whatever application has the focus. Key codes
// and modifier flags are the app's own (the mouse's original platform's
// virtual key codes and flags); each implementation maps them to shortcuts of
// its desktop:
//   9 "V" + Command                      -> Ctrl+V (paste)
//   24 "=" / 27 "-" / 28 "8" + Option+Command -> Super+Alt+= / - / 8 (zoom)
class KeyEventPoster
{
public:
    static constexpr uint64_t kCommandFlag = 0x100000;
    static constexpr uint64_t kOptionFlag = 0x080000;
    static constexpr uint16_t kKeyV = 9;
    static constexpr uint16_t kKeyEqual = 24;
    static constexpr uint16_t kKeyMinus = 27;
    static constexpr uint16_t kKey8 = 28;

    virtual ~KeyEventPoster() = default;

    // Whether this process may post events at all.
    virtual bool isTrusted() = 0;
    // Posts one key event with exactly the given modifiers held; false when
    // the key or a modifier has no meaning here or posting failed.
    virtual bool post(uint16_t keyCode, uint64_t modifierFlags, bool keyDown) = 0;

    static std::unique_ptr<KeyEventPoster> create();
    using Factory = std::function<std::unique_ptr<KeyEventPoster>()>;
    static void setFactory(Factory factory);
};

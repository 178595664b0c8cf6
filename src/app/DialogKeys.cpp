#include "DialogKeys.h"

namespace app {
namespace {

// The virtual-key codes, the same on every platform.
constexpr unsigned Return = 0x0D, Escape = 0x1B, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;

} // namespace

KeyAction DialogKeyAction(const KeyPress& key) {
    switch (key.virtualKey) {
    case Return:
        if (key.shift || key.ctrl || key.alt) {
            return KeyAction::Ignore;
        }
        return key.cancelFocused ? KeyAction::PressCancel : KeyAction::PressOK;
    case Escape:
        return KeyAction::Ignore; // Cancel is not bound to Escape
    case Right:
    case Down:
        return key.alt ? KeyAction::PassOn : KeyAction::FocusNext;
    case Left:
    case Up:
        return key.alt ? KeyAction::PassOn : KeyAction::FocusPrevious;
    default:
        return KeyAction::PassOn;
    }
}

} // namespace app

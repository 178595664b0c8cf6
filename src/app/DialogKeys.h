// What a key press does in the dialog, before the standard dialog keys apply.
#pragma once

namespace app {

enum class KeyAction { PassOn, Ignore, PressOK, PressCancel, FocusNext, FocusPrevious };

struct KeyPress {
    unsigned virtualKey;
    bool shift, ctrl, alt;
    bool cancelFocused; // ButtonCancel has the focus
};

KeyAction DialogKeyAction(const KeyPress& key);

} // namespace app

// The stored design of the main dialog: its frame, every control with its
// window class and style, in pixels at 96 dots per inch and a text height of
// 13; the component's properties are its own (association/ComponentProperties.h).
#pragma once

#include "TextIds.h"
#include "WindowStyles.h"

#include <vector>

namespace app {

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};

struct ControlDesign {
    const char* name;
    const char* className; // the standard control's window class
    DWORD style;           // its class style, and WS_TABSTOP for a tab stop
    int id;
    const char* parent;  // the control it lies inside, or null for the dialog
    Rect bounds;         // relative to the parent
    unsigned captionId;  // in the string tables (TextIds.h); 0: the caption below
    const char* caption; // the same in every language: a format's name
    bool checked;        // check boxes
};

struct FormDesign {
    const char* className;
    DWORD style, exStyle;
    unsigned captionId;
    int clientWidth, clientHeight;
    const char* fontName;
    int fontHeight;
    int designDpi;
    int designTextHeight;
    std::vector<ControlDesign> controls; // in creation and tab order
};

const FormDesign& MainFormDesign();

// Control identifiers; none is IDOK or IDCANCEL, so Escape presses nothing.
enum ControlId { CheckBoxRARId = 100, ButtonOKId, ButtonCancelId, GroupBoxMainId, LabelInfoId };

} // namespace app

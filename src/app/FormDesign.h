// The stored design of the main dialog: every control and the component with
// its properties, in pixels at 96 dots per inch and a text height of 13.
#pragma once

#include "association/RegArchive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace app {

struct Rect {
    int left, top, width, height;
    bool operator==(const Rect&) const = default;
};

enum class ControlKind { GroupBox, CheckBox, PushButton, Label };

struct ControlDesign {
    const char* name;
    ControlKind kind;
    const char* parent; // the control it lies inside, or null for the dialog
    Rect bounds;        // relative to the parent
    const char* caption;
    int id;
    bool tabStop;
    bool checked;       // check boxes
    bool defaultButton; // push buttons
};

struct RegArchiveDesign {
    bool activateOnStartup;
    std::vector<std::string> arcExtensions;
    const char* extDescription;
    const char* fileDescription;
    std::int32_t iconIndex;
    const char* paramString;
};

struct FormDesign {
    const char* caption;
    int clientWidth, clientHeight;
    const char* fontName;
    int fontHeight;
    int designDpi;
    int designTextHeight;
    std::vector<ControlDesign> controls; // in creation and tab order
    RegArchiveDesign regArchive;
};

const FormDesign& MainFormDesign();

// Reads the component's stored design into it, binds its confirmation to the
// handler, and tells it that it is loaded.
void ReadComponentDesign(association::TRegArchive& component, const RegArchiveDesign& design,
                         association::TOnAssociation onAssociation);

// Control identifiers; none is IDOK or IDCANCEL, so Escape presses nothing.
enum ControlId { CheckBoxRARId = 100, ButtonOKId, ButtonCancelId, GroupBoxMainId, LabelInfoId };

} // namespace app

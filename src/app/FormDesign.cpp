#include "FormDesign.h"

namespace app {

namespace {

// At namespace scope: made before the program starts, with no thread-safe guard.
// A dialog frame with a caption and a close box only, on top of other windows;
// no caption icon. The label is fixed in size and word-wrapped.
// clang-format off
const FormDesign Design{
    .className = "TFormMain",
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS,
    .exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_TOPMOST,
    .captionId = IDS_TITLE, .clientWidth = 276, .clientHeight = 162,
    .fontName = "Tahoma", .fontHeight = -11, .designDpi = 96, .designTextHeight = 13,
    .controls = {
        {.name = "GroupBoxMain", .className = "BUTTON", .style = BS_GROUPBOX,                   .id = GroupBoxMainId, .parent = nullptr,        .bounds = {8, 8, 257, 57},    .captionId = IDS_GROUP, .caption = nullptr, .checked = false},
        {.name = "CheckBoxRAR",  .className = "BUTTON", .style = BS_AUTOCHECKBOX | WS_TABSTOP,  .id = CheckBoxRARId,  .parent = "GroupBoxMain", .bounds = {16, 24, 97, 17},  .captionId = 0,         .caption = "RAR",   .checked = true},
        {.name = "ButtonOK",     .className = "BUTTON", .style = BS_DEFPUSHBUTTON | WS_TABSTOP, .id = ButtonOKId,     .parent = nullptr,        .bounds = {8, 72, 121, 25},   .captionId = IDS_OK,     .caption = nullptr, .checked = false},
        {.name = "ButtonCancel", .className = "BUTTON", .style = BS_PUSHBUTTON | WS_TABSTOP,    .id = ButtonCancelId, .parent = nullptr,        .bounds = {144, 72, 121, 25}, .captionId = IDS_CANCEL, .caption = nullptr, .checked = false},
        {.name = "LabelInfo",    .className = "STATIC", .style = SS_LEFT,                       .id = LabelInfoId,    .parent = nullptr,        .bounds = {8, 112, 257, 49},  .captionId = IDS_LABEL,  .caption = nullptr, .checked = false},
    },
};
// clang-format on

} // namespace

const FormDesign& MainFormDesign() {
    return Design;
}

} // namespace app

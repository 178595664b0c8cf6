#include "FormDesign.h"

namespace app {

namespace {

// At namespace scope: made before the program starts, with no thread-safe guard.
const FormDesign Design{
    "Associate with",
    276,
    162,
    "Tahoma",
    -11,
    96,
    13,
    {
        {"GroupBoxMain",
         ControlKind::GroupBox,
         nullptr,
         {8, 8, 257, 57},
         "Associate with",
         GroupBoxMainId,
         false,
         false,
         false},
        {"CheckBoxRAR",
         ControlKind::CheckBox,
         "GroupBoxMain",
         {16, 24, 97, 17},
         "RAR",
         CheckBoxRARId,
         true,
         true,
         false},
        {"ButtonOK",
         ControlKind::PushButton,
         nullptr,
         {8, 72, 121, 25},
         "OK",
         ButtonOKId,
         true,
         false,
         true},
        {"ButtonCancel",
         ControlKind::PushButton,
         nullptr,
         {144, 72, 121, 25},
         "Cancel",
         ButtonCancelId,
         true,
         false,
         false},
        {"LabelInfo",
         ControlKind::Label,
         nullptr,
         {8, 112, 257, 49},
         "The option control this app integration into Windows. This option allows to "
         "choose archive types to handle by the app.",
         LabelInfoId,
         false,
         false,
         false},
    },
    {false, {".rar"}, "[Appname]", "[Appname file]", 0, "%1"},
};

} // namespace

const FormDesign& MainFormDesign() {
    return Design;
}

} // namespace app

#include "FormDesign.h"

#include <utility>

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

void ReadComponentDesign(association::TRegArchive& component, const RegArchiveDesign& design,
                         association::TOnAssociation onAssociation) {
    component.BeginLoading();
    component.ActivateOnStartup = design.activateOnStartup;
    component.SetArcExtensions(design.arcExtensions);
    component.SetExtDescription(design.extDescription);
    component.SetFileDescription(design.fileDescription);
    component.IconIndex = design.iconIndex;
    component.SetParamString(design.paramString);
    component.OnAssociation = std::move(onAssociation);
    component.EndLoading();
}

} // namespace app

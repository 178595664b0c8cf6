#include "ComponentDesign.h"

#include <utility>

namespace association {
namespace {

// At namespace scope: made before the program starts, with no thread-safe guard.
const RegArchiveDesign Design{false, {".rar"}, "[Appname]", "[Appname file]", 0, "%1"};

} // namespace

const RegArchiveDesign& DialogRegArchiveDesign() {
    return Design;
}

void ReadComponentDesign(TRegArchive& component, const RegArchiveDesign& design,
                         TOnAssociation onAssociation) {
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

} // namespace association

#include "ComponentProperties.h"

#include <utility>

namespace association {
namespace {

// At namespace scope: made before the program starts, with no thread-safe guard.
const RegArchiveProperties Properties{false, {".rar"}, "[Appname]", "[Appname file]", 0, "%1"};

} // namespace

const RegArchiveProperties& DialogRegArchiveProperties() {
    return Properties;
}

void ReadComponentProperties(TRegArchive& component, const RegArchiveProperties& properties,
                             TOnAssociation onAssociation) {
    component.BeginLoading();
    component.ActivateOnStartup = properties.activateOnStartup;
    component.SetArcExtensions(properties.arcExtensions);
    component.SetExtDescription(properties.extDescription);
    component.SetFileDescription(properties.fileDescription);
    component.IconIndex = properties.iconIndex;
    component.SetParamString(properties.paramString);
    component.OnAssociation = std::move(onAssociation);
    component.EndLoading();
}

} // namespace association

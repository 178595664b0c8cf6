// The component's stored properties as the dialog's design holds them, and
// how a stored design is read into a component: its properties, its event,
// then its loaded notification.
#pragma once

#include "RegArchive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace association {

struct RegArchiveDesign {
    bool activateOnStartup;
    std::vector<std::string> arcExtensions;
    const char* extDescription;
    const char* fileDescription;
    std::int32_t iconIndex;
    const char* paramString;
};

// RegArchive's properties in the dialog's stored design.
const RegArchiveDesign& DialogRegArchiveDesign();

// Reads the design into the component, binds its confirmation to the handler,
// and tells it that it is loaded.
void ReadComponentDesign(TRegArchive& component, const RegArchiveDesign& design,
                         TOnAssociation onAssociation);

} // namespace association

// The component's stored properties as the dialog's program holds them, and
// how they are read into a component: its properties, its event, then its
// loaded notification.
#pragma once

#include "RegArchive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace association {

struct RegArchiveProperties {
    bool activateOnStartup;
    std::vector<std::string> arcExtensions;
    const char* extDescription;
    const char* fileDescription;
    std::int32_t iconIndex;
    const char* paramString;
};

// RegArchive's properties as the dialog's program stores them.
const RegArchiveProperties& DialogRegArchiveProperties();

// Reads the properties into the component, binds its event to the confirmation given,
// and tells it that it is loaded.
void ReadComponentProperties(TRegArchive& component, const RegArchiveProperties& properties,
                             TOnAssociation onAssociation);

} // namespace association

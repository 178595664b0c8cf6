// Where Windows lists Kavrex for an extension in one hive: in Default apps
// (the registered application records the extension) and in "Open with" (the
// extension lists our type); and what removing ours there would give back.
#pragma once

#include "association/AssociationLayout.h"
#include "association/ExtensionStatus.h"
#include "association/RegistrationJudge.h"
#include "platform/RegistryApi.h"

#include <optional>
#include <string>

namespace cli {

struct Listing {
    bool defaultApps = false;
    bool openWith = false;
    // What removal gives back; none: it leaves the extension without a default.
    std::optional<platform::RegistryValue> givesBack;
};

using association::Registration;

// Reads with read rights only; keys name the extension, our type and Kavrex.
Listing QueryListing(platform::RegistryApi& registry, HKEY hive,
                     const association::AssociationKeys& keys);

// Whether the hive's list of registered applications names Kavrex.
bool IsRegisteredApplication(platform::RegistryApi& registry, HKEY hive,
                             const std::string& application);

} // namespace cli

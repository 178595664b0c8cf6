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
#include <vector>

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

// The extensions that the hive's record for Default apps lists, in its order:
// what registering in that hive wrote, from any folder and any release. Only
// names that are one key's name (a dot first, no backslash) are taken.
std::vector<std::string> RecordedExtensions(platform::RegistryApi& registry, HKEY hive);

// Whether the hive's list of registered applications names Kavrex.
bool IsRegisteredApplication(platform::RegistryApi& registry, HKEY hive,
                             const std::string& application);

} // namespace cli

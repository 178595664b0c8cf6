// Where Windows lists Kavrex for an extension in one hive: in Default apps
// (the registered application records the extension) and in "Open with" (the
// extension lists our type); and what removing ours there would give back.
#pragma once

#include "association/AssociationLayout.h"
#include "association/ExtensionStatus.h"
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

// Our registration for an extension in one hive alone, as status --scope
// judges it: no user's choice and no other hive counts.
enum class Registration {
    Complete,   // the extension opens with Kavrex, listed in Default apps and "Open with"
    Absent,     // nothing of ours, and no other program's type
    Incomplete, // some of ours is there, not all, and no other program's type
    Other,      // the extension names another program's type
    // Complete for all users, with a Kavrex.exe that others could replace:
    // not compliant, unless the same override as register's is given.
    ReplaceableHandler
};

// Reads with read rights only; keys name the extension, our type and Kavrex.
Listing QueryListing(platform::RegistryApi& registry, HKEY hive,
                     const association::AssociationKeys& keys);

// Whether the hive's list of registered applications names Kavrex.
bool IsRegisteredApplication(platform::RegistryApi& registry, HKEY hive,
                             const std::string& application);

Registration JudgeRegistration(const association::ClassesEntry& entry, const Listing& listing,
                               const std::string& typeName);

} // namespace cli

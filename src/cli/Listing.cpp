#include "Listing.h"

#include "association/PreviousType.h"
#include "platform/Registry.h"
#include "platform/RegistryNames.h"
#include "platform/ScopedRegistryApi.h"

namespace cli {
namespace {

using association::KeyRole;
using association::LayoutValue;

// A value below the hive: its text, and whether it is there at all (a value
// that is not text, such as REG_NONE, is there too).
bool ReadValue(platform::RegistryApi& registry, HKEY hive, const std::string& key,
               const std::string& name, std::string& text) {
    platform::TRegistry reader(registry, KEY_READ);
    reader.SetRoot(hive);
    if (reader.OpenPathStatus("\\" + key, false) != ERROR_SUCCESS) {
        return false;
    }
    const LONG read = reader.ReadTextStatus(name, text);
    return read == ERROR_SUCCESS || read == ERROR_INVALID_DATATYPE;
}

} // namespace

bool IsRegisteredApplication(platform::RegistryApi& registry, HKEY hive,
                             const std::string& application) {
    const association::LayoutPlace place =
        LayoutValue(KeyRole::RegisteredApplication, {"", "", application});
    std::string capabilities;
    return ReadValue(registry, hive, place.key, place.name, capabilities);
}

Listing QueryListing(platform::RegistryApi& registry, HKEY hive,
                     const association::AssociationKeys& keys) {
    Listing listing;
    std::string text;
    const association::LayoutPlace openWith = LayoutValue(KeyRole::OpenWith, keys);
    listing.openWith =
        ReadValue(registry, hive, platform::JoinPath(platform::ClassesPath, openWith.key),
                  openWith.name, text);
    // Windows follows the registered path, wherever it leads.
    const association::LayoutPlace registered = LayoutValue(KeyRole::RegisteredApplication, keys);
    std::string capabilities;
    if (ReadValue(registry, hive, registered.key, registered.name, capabilities)) {
        const std::string record =
            LayoutValue(KeyRole::FileAssociation, keys)
                .key.substr(association::CapabilitiesKey(keys.application).size());
        listing.defaultApps =
            ReadValue(registry, hive, capabilities + record, keys.extension, text) &&
            platform::SameName(text, keys.typeName);
    }
    platform::ScopedRegistryApi classes(registry, hive);
    listing.givesBack = association::TypeToGiveBack(classes, keys).value_or("");
    return listing;
}

} // namespace cli

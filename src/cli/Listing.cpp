#include "Listing.h"

#include "association/Handler.h"
#include "association/KeptValue.h"
#include "association/StoredValue.h"
#include "platform/KeyContents.h"
#include "platform/Registry.h"
#include "platform/RegistryNames.h"
#include "platform/ScopedRegistryApi.h"

namespace cli {

using association::KeyRole;
using association::LayoutValue;

std::vector<std::string> RecordedExtensions(platform::RegistryApi& registry, HKEY hive) {
    platform::TRegistry reader(registry, KEY_READ);
    reader.SetRoot(hive);
    std::vector<platform::NamedValue> values;
    const std::string record =
        LayoutValue(KeyRole::FileAssociation, {"", "", association::ApplicationName}).key;
    if (reader.OpenPathStatus("\\" + record, false) != ERROR_SUCCESS ||
        platform::KeyContents(registry, reader.CurrentHandle()).Values(false, values) !=
            ERROR_SUCCESS) {
        return {};
    }
    std::vector<std::string> extensions;
    for (const platform::NamedValue& value : values) {
        if (value.name.size() > 1 && value.name[0] == '.' &&
            value.name.find('\\') == std::string::npos) {
            extensions.push_back(value.name);
        }
    }
    return extensions;
}

bool IsRegisteredApplication(platform::RegistryApi& registry, HKEY hive,
                             const std::string& application) {
    const association::LayoutPlace place =
        LayoutValue(KeyRole::RegisteredApplication, {"", "", application});
    return association::ReadStored(registry, hive, place.key, place.name).ValueFound();
}

Listing QueryListing(platform::RegistryApi& registry, HKEY hive,
                     const association::AssociationKeys& keys) {
    using association::ReadStored;
    Listing listing;
    const association::LayoutPlace openWith = LayoutValue(KeyRole::OpenWith, keys);
    listing.openWith =
        ReadStored(registry, hive, association::KeyInApplicationHive(openWith), openWith.name)
            .ValueFound();
    // Windows follows the registered path, wherever it leads.
    const association::LayoutPlace registered = LayoutValue(KeyRole::RegisteredApplication, keys);
    const std::string capabilities =
        ReadStored(registry, hive, registered.key, registered.name).text;
    if (!capabilities.empty()) {
        const std::string record =
            LayoutValue(KeyRole::FileAssociation, keys)
                .key.substr(association::CapabilitiesKey(keys.application).size());
        listing.defaultApps = platform::SameName(
            ReadStored(registry, hive, capabilities + record, keys.extension).text, keys.typeName);
    }
    platform::ScopedRegistryApi classes(registry, hive);
    listing.givesBack = association::KeptValueToGiveBack(classes, keys).value;
    return listing;
}

} // namespace cli

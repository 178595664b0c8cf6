#include "TypeOwner.h"

#include "StartedProgram.h"
#include "StoredValue.h"
#include "platform/KeyContents.h"
#include "platform/Registry.h"
#include "platform/RegistryNames.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace association {
namespace {

// The places our layout writes in the type key, named from the root.
std::vector<LayoutPlace> OurPlaces(const AssociationKeys& keys) {
    std::vector<LayoutPlace> places;
    for (const TakeBackRow& row : TakeBackLayout(keys)) {
        if (row.takeBack == TakeBack::TypeKey || row.takeBack == TakeBack::WithTypeKey) {
            places.push_back(row.place);
        }
    }
    return places;
}

struct KeyNames {
    std::vector<std::string> values;
    std::vector<std::string> subkeys;
};

// The names of a key's values and subkeys; none when the registry refuses.
std::optional<KeyNames> NamesIn(platform::RegistryApi& api, const std::string& key) {
    platform::TRegistry reader(api, KEY_READ);
    reader.SetRoot(HKEY_CLASSES_ROOT);
    if (reader.OpenPathStatus("\\" + key, false) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    KeyNames contents;
    platform::KeyContents listed(api, reader.CurrentHandle());
    std::vector<platform::NamedValue> values;
    if (listed.Values(false, values) != ERROR_SUCCESS ||
        listed.Subkeys(contents.subkeys) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    for (const platform::NamedValue& value : values) {
        contents.values.push_back(value.name);
    }
    return contents;
}

// Whether every key below it lies on the way to one of our places and every
// value is at one of them.
Answer HoldsOnlyOurPlaces(platform::RegistryApi& api, const std::string& key,
                          const std::vector<LayoutPlace>& places) {
    const std::optional<KeyNames> contents = NamesIn(api, key);
    if (!contents) {
        return Answer::Refused;
    }
    const auto onTheWay = [&key](const LayoutPlace& place) {
        return platform::IsWithinPath(place.key, key);
    };
    const auto ourValue = [&](const std::string& name) {
        return std::any_of(places.begin(), places.end(), [&](const LayoutPlace& place) {
            return platform::SameName(place.key, key) && platform::SameName(place.name, name);
        });
    };
    if (std::none_of(places.begin(), places.end(), onTheWay) ||
        !std::all_of(contents->values.begin(), contents->values.end(), ourValue)) {
        return Answer::No;
    }
    for (const std::string& subkey : contents->subkeys) {
        const Answer ours = HoldsOnlyOurPlaces(api, platform::JoinPath(key, subkey), places);
        if (ours != Answer::Yes) {
            return ours;
        }
    }
    return Answer::Yes;
}

TypeOwner OwnerOf(Answer ours) {
    return ours == Answer::Yes  ? TypeOwner::Ours
           : ours == Answer::No ? TypeOwner::Another
                                : TypeOwner::Unknown;
}

} // namespace

TypeOwner OwnerOfType(platform::RegistryApi& registry, platform::SystemApi& system,
                      const AssociationKeys& keys, const Handler& handler,
                      const std::string& description) {
    if (keys.typeName.empty()) {
        return TypeOwner::Absent; // it names no key: the root is never read as one
    }
    const StoredText type = ReadStored(registry, HKEY_CLASSES_ROOT, keys.typeName);
    if (!type.keyFound) {
        return TypeOwner::Absent;
    }
    const auto stored = [&](KeyRole role) {
        const LayoutPlace place = LayoutValue(role, keys);
        return ReadStored(registry, HKEY_CLASSES_ROOT, place.key, place.name);
    };
    const StoredText command = stored(KeyRole::Command);
    const StoredText icon = stored(KeyRole::Icon);
    if (!type.Known() || !command.Known() || !icon.Known()) {
        return TypeOwner::Unknown;
    }
    if (command.ValueFound()) {
        const std::string read = ExpandedCommand(system, command);
        if (command.status == ERROR_SUCCESS &&
            (OpensHandler(system, read, handler) ||
             OpensHandler(system, read, RunningProgramNames(system)))) {
            return TypeOwner::Ours;
        }
        if (command.status != ERROR_SUCCESS || !KavrexInAnotherFolder(system, read, handler)) {
            return TypeOwner::Another;
        }
        const TypeOwner rows =
            OwnerOf(HoldsOnlyOurPlaces(registry, keys.typeName, OurPlaces(keys)));
        return rows == TypeOwner::Ours ? TypeOwner::OursElsewhere : rows;
    }
    // Without a command only our own description makes it ours: another
    // program's type may hold a name alone, its verbs elsewhere.
    if (type.ValueFound() && (type.status != ERROR_SUCCESS || type.text != description)) {
        return TypeOwner::Another;
    }
    // "H,N": the handler's path, quoted as a command names it.
    if (icon.ValueFound() &&
        (icon.status != ERROR_SUCCESS ||
         !OpensHandler(system, "\"" + icon.text.substr(0, icon.text.rfind(',')) + "\"", handler))) {
        return TypeOwner::Another;
    }
    return OwnerOf(HoldsOnlyOurPlaces(registry, keys.typeName, OurPlaces(keys)));
}

} // namespace association

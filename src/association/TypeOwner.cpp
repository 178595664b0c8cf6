#include "TypeOwner.h"

#include "StartedProgram.h"
#include "platform/ProcessPaths.h"
#include "platform/RegistryNames.h"
#include "platform/RegistryTree.h"

#include <algorithm>
#include <vector>

namespace association {
namespace {

using platform::RegistryTree;

// The place with its key named from the type key.
LayoutPlace FromTypeKey(LayoutPlace place, const AssociationKeys& keys) {
    place.key = place.key.size() > keys.typeName.size() ? place.key.substr(keys.typeName.size() + 1)
                                                        : std::string();
    return place;
}

// The places in the type key that our layout writes.
std::vector<LayoutPlace> OurPlaces(const AssociationKeys& keys) {
    std::vector<LayoutPlace> places;
    for (const TakeBackRow& row : TakeBackLayout(keys)) {
        if (row.takeBack == TakeBack::TypeKey || row.takeBack == TakeBack::WithTypeKey) {
            places.push_back(FromTypeKey(row.place, keys));
        }
    }
    return places;
}

// The value at a place below the tree's top; none when it is not there.
const platform::RegistryValue* ValueAt(const RegistryTree& top, const LayoutPlace& place) {
    const RegistryTree* key = &top;
    for (std::string rest = place.key; !rest.empty();) {
        const auto cut = rest.find('\\');
        const auto found = key->subkeys.find(rest.substr(0, cut));
        if (found == key->subkeys.end()) {
            return nullptr;
        }
        key = &found->second;
        rest = cut == std::string::npos ? std::string() : rest.substr(cut + 1);
    }
    const auto value = key->values.find(place.name);
    return value == key->values.end() ? nullptr : &value->second;
}

// The running program, which the component's own check, IsAssociated, finds
// in the commands it calls ours.
Handler RunningProgram(platform::SystemApi& system) {
    const std::wstring path = platform::RunningProgramPath(system);
    return {platform::ToAnsi(system, platform::ShortPath(system, path)).value_or(""),
            platform::ToAnsi(system, path).value_or(""), true};
}

// Every key of the tree lies on the way to one of our places, and every value
// is at one of them.
bool HoldsOnlyOurPlaces(const RegistryTree& tree, const std::string& path,
                        const std::vector<LayoutPlace>& places) {
    const auto onTheWay = [&path](const LayoutPlace& place) {
        return path.empty() || platform::IsWithinPath(place.key, path);
    };
    if (std::none_of(places.begin(), places.end(), onTheWay)) {
        return false;
    }
    for (const auto& [name, value] : tree.values) {
        if (std::none_of(places.begin(), places.end(), [&](const LayoutPlace& place) {
                return platform::SameName(place.key, path) && platform::SameName(place.name, name);
            })) {
            return false;
        }
    }
    return std::all_of(tree.subkeys.begin(), tree.subkeys.end(), [&](const auto& subkey) {
        return HoldsOnlyOurPlaces(subkey.second,
                                  path.empty() ? subkey.first : path + "\\" + subkey.first, places);
    });
}

} // namespace

TypeOwner OwnerOfType(platform::RegistryApi& registry, platform::SystemApi& system,
                      const AssociationKeys& keys, const Handler& handler) {
    if (keys.typeName.empty()) {
        return TypeOwner::Absent; // it names no key: the root is never read as one
    }
    RegistryTree tree;
    switch (platform::ReadTree(registry, HKEY_CLASSES_ROOT, keys.typeName, tree)) {
    case platform::TreeReading::Absent:
        return TypeOwner::Absent;
    case platform::TreeReading::Unreadable:
        return TypeOwner::Unknown;
    case platform::TreeReading::Read:
        break;
    }
    const auto placeOf = [&keys](KeyRole role) {
        return FromTypeKey(LayoutValue(role, keys), keys);
    };
    if (const auto* command = ValueAt(tree, placeOf(KeyRole::Command))) {
        const std::optional<std::string> text = platform::TextOf(*command);
        const std::string read = text && command->type == REG_EXPAND_SZ
                                     ? ExpandedCommand(system, *text)
                                     : text.value_or(std::string());
        return text && (OpensHandler(system, read, handler) ||
                        OpensHandler(system, read, RunningProgram(system)))
                   ? TypeOwner::Ours
                   : TypeOwner::Another;
    }
    if (const auto* icon = ValueAt(tree, placeOf(KeyRole::Icon))) {
        const std::string text = platform::TextOf(*icon).value_or(std::string());
        // "H,N": the handler's path, quoted as a command names it.
        if (!OpensHandler(system, "\"" + text.substr(0, text.rfind(',')) + "\"", handler)) {
            return TypeOwner::Another;
        }
    }
    return HoldsOnlyOurPlaces(tree, "", OurPlaces(keys)) ? TypeOwner::Ours : TypeOwner::Another;
}

} // namespace association

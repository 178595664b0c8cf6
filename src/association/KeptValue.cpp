#include "KeptValue.h"

#include "StoredValue.h"
#include "platform/RegistryNames.h"

namespace association {
namespace {

StoredText Stored(platform::RegistryApi& registry, KeyRole role, const AssociationKeys& keys) {
    const LayoutPlace place = LayoutValue(role, keys);
    return ReadStored(registry, HKEY_CLASSES_ROOT, place.key, place.name);
}

// A type is a key below the classes: a name of one level, not empty, and no
// longer than the registry allows ("Registry Element Size Limits").
bool CanNameType(const std::string& name) {
    return !name.empty() && name.size() < platform::LongestKeyName &&
           name.find('\\') == std::string::npos;
}

} // namespace

std::optional<std::string> CurrentType(platform::RegistryApi& registry,
                                       const AssociationKeys& keys) {
    StoredText stored = Stored(registry, KeyRole::Extension, keys);
    return stored.Known() ? std::optional(std::move(stored.text)) : std::nullopt;
}

bool NamesType(const platform::RegistryValue& value, const std::string& typeName) {
    const std::optional<std::string> text = platform::TextOf(value);
    return text && platform::SameName(*text, typeName);
}

bool OursToReplace(const platform::RegistryValue& value, const std::string& typeName) {
    const std::optional<std::string> text = platform::TextOf(value);
    return text && (text->empty() || platform::SameName(*text, typeName));
}

Kept ValueToKeep(platform::RegistryApi& registry, const AssociationKeys& keys) {
    const StoredText kept = Stored(registry, KeyRole::KeptValue, keys);
    const StoredText current = Stored(registry, KeyRole::Extension, keys);
    if (!kept.Known() || !current.Known()) {
        return {false, std::nullopt};
    }
    if (current.ValueFound() && !OursToReplace(current.value, keys.typeName)) {
        return {true, current.value};
    }
    if (NamesType(current.value, keys.typeName) && kept.ValueFound()) {
        return {true, kept.value};
    }
    return {};
}

std::optional<bool> TypeKeyExists(platform::RegistryApi& registry, const std::string& typeName) {
    if (typeName.empty()) {
        return false;
    }
    const std::optional<bool> inClasses = KeyIsThere(registry, HKEY_CLASSES_ROOT, typeName);
    const std::optional<bool> inMachine =
        KeyIsThere(registry, HKEY_LOCAL_MACHINE, platform::ClassesKey(typeName));
    if (inClasses == true || inMachine == true) {
        return true;
    }
    if (!inClasses || !inMachine) {
        return std::nullopt; // absent from one, and the other could not be read
    }
    return false;
}

Kept KeptValueToGiveBack(platform::RegistryApi& registry, const AssociationKeys& keys) {
    const StoredText current = Stored(registry, KeyRole::Extension, keys);
    if (!current.Known() || !current.ValueFound() || !NamesType(current.value, keys.typeName)) {
        return {current.Known(), std::nullopt}; // not ours now
    }
    const StoredText kept = Stored(registry, KeyRole::KeptValue, keys);
    if (!kept.Known() || !kept.ValueFound()) {
        return {kept.Known(), std::nullopt};
    }
    const std::optional<std::string> type = platform::TextOf(kept.value);
    if (!type) {
        return {true, kept.value}; // not a type: the value as it was
    }
    if (!CanNameType(*type) || platform::SameName(*type, keys.typeName)) {
        return {};
    }
    const std::optional<bool> exists = TypeKeyExists(registry, *type);
    if (!exists) {
        return {false, std::nullopt};
    }
    return {true, *exists ? kept.value : std::optional<platform::RegistryValue>()};
}

} // namespace association

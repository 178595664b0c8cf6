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
        return KeptNothing(false);
    }
    if (current.ValueFound() && !OursToReplace(current.value, keys.typeName)) {
        return KeptAs(current.value);
    }
    if (NamesType(current.value, keys.typeName) && kept.ValueFound()) {
        return KeptAs(kept.value);
    }
    return {};
}

Answer TypeKeyExists(platform::RegistryApi& registry, const std::string& typeName) {
    if (typeName.empty()) {
        return Answer::No;
    }
    const Answer inClasses = KeyIsThere(registry, HKEY_CLASSES_ROOT, typeName);
    const Answer inMachine =
        KeyIsThere(registry, HKEY_LOCAL_MACHINE, platform::ClassesKey(typeName));
    if (inClasses == Answer::Yes || inMachine == Answer::Yes) {
        return Answer::Yes;
    }
    // Absent from one, and the other could not be read: not known.
    return inClasses == Answer::Refused || inMachine == Answer::Refused ? Answer::Refused
                                                                        : Answer::No;
}

Kept KeptValueToGiveBack(platform::RegistryApi& registry, const AssociationKeys& keys) {
    const StoredText current = Stored(registry, KeyRole::Extension, keys);
    if (!current.Known() || !current.ValueFound() || !NamesType(current.value, keys.typeName)) {
        return KeptNothing(current.Known()); // not ours now
    }
    const StoredText kept = Stored(registry, KeyRole::KeptValue, keys);
    if (!kept.Known() || !kept.ValueFound()) {
        return KeptNothing(kept.Known());
    }
    const std::optional<std::string> type = platform::TextOf(kept.value);
    if (!type) {
        return KeptAs(kept.value); // not a type: the value as it was
    }
    if (!CanNameType(*type) || platform::SameName(*type, keys.typeName)) {
        return {};
    }
    const Answer exists = TypeKeyExists(registry, *type);
    if (exists == Answer::Refused) {
        return KeptNothing(false);
    }
    return exists == Answer::Yes ? KeptAs(kept.value) : KeptNothing(true);
}

} // namespace association

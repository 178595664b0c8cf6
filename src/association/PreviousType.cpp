#include "PreviousType.h"

#include "StoredValue.h"
#include "platform/Registry.h"
#include "platform/RegistryNames.h"

namespace association {
namespace {

// A text value of a key below root; empty when either is not there or the
// value is not text; nullopt when the registry refuses to tell.
std::optional<std::string> KnownText(platform::RegistryApi& registry, HKEY root,
                                     const LayoutPlace& place) {
    StoredText stored = ReadStored(registry, root, place.key, place.name);
    return stored.Known() ? std::optional(std::move(stored.text)) : std::nullopt;
}

} // namespace

std::optional<std::string> CurrentType(platform::RegistryApi& registry,
                                       const AssociationKeys& keys) {
    return KnownText(registry, HKEY_CLASSES_ROOT, LayoutValue(KeyRole::Extension, keys));
}

std::optional<std::string> TypeToKeep(platform::RegistryApi& registry,
                                      const AssociationKeys& keys) {
    std::optional<std::string> current = CurrentType(registry, keys);
    if (current && platform::SameName(*current, keys.typeName)) {
        current->clear();
    }
    return current;
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

std::optional<std::string> TypeToGiveBack(platform::RegistryApi& registry,
                                          const AssociationKeys& keys) {
    const std::optional<std::string> current = CurrentType(registry, keys);
    if (!current || !platform::SameName(*current, keys.typeName)) {
        return current ? std::optional<std::string>("") : std::nullopt; // not ours now
    }
    std::optional<std::string> kept =
        KnownText(registry, HKEY_CLASSES_ROOT, LayoutValue(KeyRole::PreviousType, keys));
    if (!kept || kept->empty()) {
        return kept;
    }
    const std::optional<bool> exists = TypeKeyExists(registry, *kept);
    if (!exists) {
        return std::nullopt;
    }
    return *exists ? *kept : std::string();
}

} // namespace association

// The type an extension named before ours: kept when registering takes the
// extension over, given back when removing lets it go. Each read that the
// registry refuses is told apart (nullopt) from one that finds nothing.
#pragma once

#include "AssociationLayout.h"
#include "platform/RegistryApi.h"

#include <optional>
#include <string>

namespace association {

// The type the extension names in HKEY_CLASSES_ROOT; empty when none.
std::optional<std::string> CurrentType(platform::RegistryApi& registry,
                                       const AssociationKeys& keys);

// The type to keep when registering: the extension's current type when it is
// another program's; empty when it is ours (so a second registration never
// keeps our own name) or there is none.
std::optional<std::string> TypeToKeep(platform::RegistryApi& registry, const AssociationKeys& keys);

// Whether a type's key is there: in HKEY_CLASSES_ROOT, or in the machine's
// classes, which the merged view shows where the user's classes lack the key.
std::optional<bool> TypeKeyExists(platform::RegistryApi& registry, const std::string& typeName);

// What removing ours gives back: the kept type, when the extension still
// names ours and the kept type's key is still there; else empty, and removal
// leaves the extension without a type.
std::optional<std::string> TypeToGiveBack(platform::RegistryApi& registry,
                                          const AssociationKeys& keys);

} // namespace association

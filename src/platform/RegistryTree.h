// A key with its whole subtree, read through the registry seam, and the changes
// that turn one such tree into another: what a dry run finds.
#pragma once

#include "RegistryApi.h"
#include "RegistryNames.h"
#include "RegistryValue.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct RegistryTree {
    std::map<std::string, RegistryValue, NameLess> values; // "" is the default value
    std::map<std::string, RegistryTree, NameLess> subkeys;
};

enum class TreeReading { Read, Absent, Unreadable };

// Reads the key at path below root with everything in it into tree. Absent
// only when the key is not there; Unreadable when it is but some part of it
// cannot be read (a refused call, a subkey whose name the ANSI code page
// cannot spell), which is never taken for absent.
TreeReading ReadTree(RegistryApi& api, HKEY root, const std::string& path, RegistryTree& tree);

enum class ChangeKind { KeyCreated, ValueSet, ValueDeleted, KeyDeleted };

struct RegistryChange {
    ChangeKind kind;
    std::string key;   // the key's full path
    std::string value; // the value's name, for value changes ("" is the default)
    std::optional<RegistryValue> before, after;
    bool operator==(const RegistryChange&) const = default;
};

// What turns before into after at the key path: a new key with its values and
// subkeys; values set or deleted; keys deleted with their subtrees, deepest first.
std::vector<RegistryChange> Difference(const std::string& path,
                                       const std::optional<RegistryTree>& before,
                                       const std::optional<RegistryTree>& after);

} // namespace platform

// A key with its whole subtree, read through the registry seam, and the changes
// that turn one such tree into another: what a dry run reports.
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

// One change as a line of text, e.g.
//   set value     HKEY_CLASSES_ROOT\.rar [(default)] = "KavrexAssoc" (was "WinRAR")
std::string Describe(const RegistryChange& change);

// A value's data as text: strings up to their NUL, a DWORD in decimal, other
// data in hexadecimal bytes.
std::string ValueText(const RegistryValue& value);
// A value with its type, as a person reads it: "text", expandable "text",
// dword 1234, binary de,ad,be,ef, multi-string "a" "b", ... so that no value
// of another type reads as a string, and none with no data as nothing.
std::string Readable(const RegistryValue& value);
// The name of a value's type, as the SDK spells it: REG_SZ, REG_BINARY, ...
std::string TypeName(DWORD type);

} // namespace platform

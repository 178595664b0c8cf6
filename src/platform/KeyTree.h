// Keys and values held in memory, and what the registry's calls answer about
// one key: the dry run's store and the emulation of Windows both keep their
// keys so, each adding only what it is for.
#pragma once

#include "WinTypes.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct KeyNode {
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };

    std::string name;
    std::string enumerated; // the name as RegEnumKeyExA spells it, when it differs
    std::string path;       // folded, from the root's name
    bool isRoot = false;
    bool deleted = false;
    std::weak_ptr<KeyNode> parent;
    std::vector<std::shared_ptr<KeyNode>> subkeys; // in enumeration order
    std::vector<Value> values;
};
using KeyRef = std::shared_ptr<KeyNode>;

// How many UTF-16 units a name in the ANSI code page is: the registry keeps
// names in UTF-16, and its limits and RegQueryInfoKeyA count those.
using NameLength = std::function<std::size_t(const std::string&)>;

KeyRef NewRootKey(const std::string& name);
KeyRef FindSubkey(const KeyNode& key, const std::string& name);
KeyRef AddSubkey(const KeyRef& parent, const std::string& name);
// The existing key the levels lead to, or null.
KeyRef FindLevels(const KeyRef& base, const std::vector<std::string>& levels);
// The path of the key the levels lead to from a key at parentPath.
std::string ChildPath(const std::string& parentPath, const std::vector<std::string>& levels);

// Splits a sub-path into its levels. A leading backslash is refused as Windows
// refuses it; empty levels elsewhere are passed over, as Windows does.
LONG SplitPath(LPCSTR subKey, std::vector<std::string>& levels);
// ERROR_INVALID_PARAMETER when a level is longer than a key's name may be.
LONG CheckKeyNames(const std::vector<std::string>& levels, const NameLength& length);

// The calls on one key, with their answers in Windows' codes.
LONG QueryValue(const KeyNode& key, LPCSTR name, DWORD* type, BYTE* data, DWORD* dataSize);
LONG SetValue(KeyNode& key, LPCSTR name, DWORD type, const BYTE* data, DWORD dataSize,
              const NameLength& length);
// The bytes as they are: a string without its terminating NUL stays so.
LONG StoreValueAsIs(KeyNode& key, const std::string& name, DWORD type, const std::string& data,
                    const NameLength& length);
void QueryInfo(const KeyNode& key, const NameLength& length, DWORD* subKeys, DWORD* maxSubKeyLength,
               DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
               DWORD* maxValueLength, DWORD* securityDescriptorSize, FILETIME* lastWriteTime);
LONG EnumKey(const KeyNode& key, DWORD index, LPSTR name, DWORD* nameLength);
LONG EnumValue(const KeyNode& key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* type,
               BYTE* data, DWORD* dataSize);
// A key goes only when nothing is below it, as RegDeleteKey has it.
LONG DeleteLeafKey(const KeyRef& key);
LONG DeleteValue(KeyNode& key, LPCSTR name);

template <typename T> void Put(T* out, T value) {
    if (out) {
        *out = value;
    }
}

} // namespace platform

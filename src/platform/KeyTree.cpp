#include "KeyTree.h"

#include "RegistryNames.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// "Registry Element Size Limits" (learn.microsoft.com/windows/win32/sysinfo/
// registry-element-size-limits), in characters.
constexpr std::size_t MaxKeyName = 255;
constexpr std::size_t MaxValueName = 16383;

std::string Text(LPCSTR text) {
    return text ? text : "";
}

// The value of that name in a key, or its values' end.
template <typename Key> auto FindValue(Key& key, const std::string& name) {
    return std::find_if(key.values.begin(), key.values.end(),
                        [&](const KeyNode::Value& value) { return SameName(value.name, name); });
}

} // namespace

KeyRef NewRootKey(const std::string& name) {
    auto root = std::make_shared<KeyNode>();
    root->name = name;
    root->path = name;
    root->isRoot = true;
    return root;
}

KeyRef FindSubkey(const KeyNode& key, const std::string& name) {
    for (const auto& subkey : key.subkeys) {
        if (SameName(subkey->name, name)) {
            return subkey;
        }
    }
    return nullptr;
}

KeyRef AddSubkey(const KeyRef& parent, const std::string& name) {
    auto key = std::make_shared<KeyNode>();
    key->name = name;
    key->path = JoinPath(parent->path, FoldedName(name));
    key->parent = parent;
    auto place = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                              [&](const auto& other) { return NameLess()(name, other->name); });
    parent->subkeys.insert(place, key);
    return key;
}

KeyRef FindLevels(const KeyRef& base, const std::vector<std::string>& levels) {
    KeyRef key = base;
    for (const std::string& level : levels) {
        key = FindSubkey(*key, level);
        if (!key) {
            break;
        }
    }
    return key;
}

std::string ChildPath(const std::string& parentPath, const std::vector<std::string>& levels) {
    std::string path = parentPath;
    for (const std::string& level : levels) {
        path = JoinPath(path, FoldedName(level));
    }
    return path;
}

LONG SplitPath(LPCSTR subKey, std::vector<std::string>& levels) {
    const std::string path = Text(subKey);
    if (!path.empty() && path.front() == '\\') {
        return ERROR_BAD_PATHNAME;
    }
    levels = PathLevels(path);
    return ERROR_SUCCESS;
}

LONG CheckKeyNames(const std::vector<std::string>& levels, const NameLength& length) {
    const bool tooLong = std::any_of(levels.begin(), levels.end(), [&](const std::string& level) {
        return length(level) > MaxKeyName;
    });
    return tooLong ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

LONG QueryValue(const KeyNode& key, LPCSTR name, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (data && !dataSize) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto value = FindValue(key, Text(name));
    if (value == key.values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    Put(type, value->type);
    const auto size = static_cast<DWORD>(value->data.size());
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data) {
        std::copy(value->data.begin(), value->data.end(), data);
    }
    Put(dataSize, size);
    return ERROR_SUCCESS;
}

LONG SetValue(KeyNode& key, LPCSTR name, DWORD type, const BYTE* data, DWORD dataSize,
              const NameLength& length) {
    if (dataSize && !data) {
        return ERROR_NOACCESS;
    }
    if (length(Text(name)) > MaxValueName) {
        return ERROR_INVALID_PARAMETER;
    }
    std::vector<BYTE> bytes(data, data + dataSize);
    // String data is stored terminated, whether or not the caller counted the NUL.
    const bool isString = type == REG_SZ || type == REG_EXPAND_SZ;
    if (isString && !bytes.empty() && bytes.back() != 0) {
        bytes.push_back(0);
    }
    if (const auto value = FindValue(key, Text(name)); value != key.values.end()) {
        value->type = type;
        value->data = std::move(bytes);
    } else {
        key.values.push_back({Text(name), type, std::move(bytes)});
    }
    return ERROR_SUCCESS;
}

LONG StoreValueAsIs(KeyNode& key, const std::string& name, DWORD type, const std::string& data,
                    const NameLength& length) {
    const auto* bytes = reinterpret_cast<const BYTE*>(data.data());
    const auto size = static_cast<DWORD>(data.size());
    if (const LONG status = SetValue(key, name.c_str(), type, bytes, size, length)) {
        return status;
    }
    FindValue(key, name)->data.assign(bytes, bytes + size);
    return ERROR_SUCCESS;
}

void QueryInfo(const KeyNode& key, const NameLength& length, DWORD* subKeys, DWORD* maxSubKeyLength,
               DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
               DWORD* maxValueLength, DWORD* securityDescriptorSize, FILETIME* lastWriteTime) {
    DWORD longestSubkey = 0;
    for (const auto& subkey : key.subkeys) {
        longestSubkey = std::max(longestSubkey, static_cast<DWORD>(length(subkey->name)));
    }
    DWORD longestName = 0;
    DWORD largestData = 0;
    for (const auto& value : key.values) {
        longestName = std::max(longestName, static_cast<DWORD>(length(value.name)));
        largestData = std::max(largestData, static_cast<DWORD>(value.data.size()));
    }
    Put(subKeys, static_cast<DWORD>(key.subkeys.size()));
    Put(maxSubKeyLength, longestSubkey);
    Put(maxClassLength, DWORD{0});
    Put(values, static_cast<DWORD>(key.values.size()));
    Put(maxValueNameLength, longestName);
    Put(maxValueLength, largestData);
    Put(securityDescriptorSize, DWORD{0});
    Put(lastWriteTime, FILETIME{0, 0});
}

LONG EnumKey(const KeyNode& key, DWORD index, LPSTR name, DWORD* nameLength) {
    if (index >= key.subkeys.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const KeyNode& subkey = *key.subkeys[index];
    const std::string& found = subkey.enumerated.empty() ? subkey.name : subkey.enumerated;
    if (*nameLength <= found.size()) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, found.c_str(), found.size() + 1);
    *nameLength = static_cast<DWORD>(found.size());
    return ERROR_SUCCESS;
}

LONG EnumValue(const KeyNode& key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* type,
               BYTE* data, DWORD* dataSize) {
    if (index >= key.values.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const KeyNode::Value& value = key.values[index];
    const auto size = static_cast<DWORD>(value.data.size());
    if (*nameLength <= value.name.size() || (data && dataSize && *dataSize < size)) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameLength = static_cast<DWORD>(value.name.size());
    Put(type, value.type);
    if (data) {
        std::copy(value.data.begin(), value.data.end(), data);
    }
    Put(dataSize, size);
    return ERROR_SUCCESS;
}

LONG DeleteLeafKey(const KeyRef& key) {
    if (key->isRoot || !key->subkeys.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    auto& siblings = key->parent.lock()->subkeys;
    siblings.erase(std::find(siblings.begin(), siblings.end(), key));
    key->deleted = true;
    return ERROR_SUCCESS;
}

LONG DeleteValue(KeyNode& key, LPCSTR name) {
    const auto value = FindValue(key, Text(name));
    if (value == key.values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    key.values.erase(value);
    return ERROR_SUCCESS;
}

} // namespace platform

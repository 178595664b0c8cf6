#include "MemoryRegistryApi.h"

#include "RegistryNames.h"

namespace platform {

MemoryRegistryApi::MemoryRegistryApi(SystemApi& system) {
    const UINT codePage = system.GetACP();
    length_ = [&system, codePage](const std::string& name) -> std::size_t {
        if (name.empty()) {
            return 0;
        }
        const int units = system.MultiByteToWideChar(codePage, 0, name.data(),
                                                     static_cast<int>(name.size()), nullptr, 0);
        return units > 0 ? static_cast<std::size_t>(units) : name.size();
    };
    for (const auto& [key, name] : PredefinedRoots()) {
        roots_[key] = NewRootKey(name);
    }
}

LONG MemoryRegistryApi::KeyOf(HKEY key, KeyRef& found) const {
    if (const auto root = roots_.find(key); root != roots_.end()) {
        found = root->second;
        return ERROR_SUCCESS;
    }
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) {
        return ERROR_INVALID_HANDLE;
    }
    found = handle->second;
    return found->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

LONG MemoryRegistryApi::Below(HKEY key, LPCSTR subKey, KeyRef& base,
                              std::vector<std::string>& levels) const {
    if (const LONG status = KeyOf(key, base)) {
        return status;
    }
    return SplitPath(subKey, levels);
}

HKEY MemoryRegistryApi::NewHandle(const KeyRef& key) {
    nextHandle_ += 4;
    const auto handle = reinterpret_cast<HKEY>(nextHandle_);
    handles_[handle] = key;
    return handle;
}

LONG MemoryRegistryApi::RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, void*,
                                        HKEY* result, DWORD* disposition) {
    KeyRef node;
    std::vector<std::string> levels;
    if (const LONG status = Below(key, subKey, node, levels)) {
        return status;
    }
    if (const LONG status = CheckKeyNames(levels, length_)) {
        return status;
    }
    DWORD how = REG_OPENED_EXISTING_KEY;
    for (const std::string& level : levels) {
        KeyRef next = FindSubkey(*node, level);
        if (!next) {
            next = AddSubkey(node, level);
            how = REG_CREATED_NEW_KEY;
        }
        node = next;
    }
    Put(result, NewHandle(node));
    Put(disposition, how);
    return ERROR_SUCCESS;
}

LONG MemoryRegistryApi::RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, HKEY* result) {
    KeyRef base;
    std::vector<std::string> levels;
    if (const LONG status = Below(key, subKey, base, levels)) {
        return status;
    }
    if (levels.empty() && base->isRoot) {
        *result = key; // an empty sub-path below a root hands the root back
        return ERROR_SUCCESS;
    }
    const KeyRef found = FindLevels(base, levels);
    if (!found) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = NewHandle(found);
    return ERROR_SUCCESS;
}

LONG MemoryRegistryApi::RegCloseKey(HKEY key) {
    if (roots_.count(key)) {
        return ERROR_SUCCESS;
    }
    return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG MemoryRegistryApi::RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD*, DWORD* type,
                                         BYTE* data, DWORD* dataSize) {
    KeyRef node;
    if (const LONG status = KeyOf(key, node)) {
        return status;
    }
    return QueryValue(*node, valueName, type, data, dataSize);
}

LONG MemoryRegistryApi::RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type,
                                       const BYTE* data, DWORD dataSize) {
    KeyRef node;
    if (const LONG status = KeyOf(key, node)) {
        return status;
    }
    return SetValue(*node, valueName, type, data, dataSize, length_);
}

LONG MemoryRegistryApi::StoreValueAsIs(HKEY key, const std::string& name, DWORD type,
                                       const std::string& data) {
    KeyRef node;
    if (const LONG status = KeyOf(key, node)) {
        return status;
    }
    return platform::StoreValueAsIs(*node, name, type, data, length_);
}

LONG MemoryRegistryApi::RegQueryInfoKeyA(HKEY key, LPSTR, DWORD*, DWORD*, DWORD* subKeys,
                                         DWORD* maxSubKeyLength, DWORD* maxClassLength,
                                         DWORD* values, DWORD* maxValueNameLength,
                                         DWORD* maxValueLength, DWORD* securityDescriptorSize,
                                         FILETIME* lastWriteTime) {
    KeyRef node;
    if (const LONG status = KeyOf(key, node)) {
        return status;
    }
    QueryInfo(*node, length_, subKeys, maxSubKeyLength, maxClassLength, values, maxValueNameLength,
              maxValueLength, securityDescriptorSize, lastWriteTime);
    return ERROR_SUCCESS;
}

LONG MemoryRegistryApi::RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD*,
                                      LPSTR, DWORD*, FILETIME*) {
    KeyRef node;
    if (const LONG status = KeyOf(key, node)) {
        return status;
    }
    return EnumKey(*node, index, name, nameLength);
}

LONG MemoryRegistryApi::RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD*,
                                      DWORD* type, BYTE* data, DWORD* dataSize) {
    KeyRef node;
    if (const LONG status = KeyOf(key, node)) {
        return status;
    }
    return EnumValue(*node, index, name, nameLength, type, data, dataSize);
}

LONG MemoryRegistryApi::RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    return RegDeleteKeyExA(key, subKey, 0, 0);
}

LONG MemoryRegistryApi::RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM, DWORD) {
    KeyRef base;
    std::vector<std::string> levels;
    if (const LONG status = Below(key, subKey, base, levels)) {
        return status;
    }
    const KeyRef found = FindLevels(base, levels);
    return found ? DeleteLeafKey(found) : ERROR_FILE_NOT_FOUND;
}

LONG MemoryRegistryApi::RegDeleteValueA(HKEY key, LPCSTR valueName) {
    KeyRef node;
    if (const LONG status = KeyOf(key, node)) {
        return status;
    }
    return DeleteValue(*node, valueName);
}

} // namespace platform

#include "OverlayRegistryApi.h"

#include "KeyHandle.h"

#include <algorithm>

namespace platform {
namespace {

// The path with its levels joined by one backslash.
std::string Normalized(LPCSTR subKey) {
    std::string path;
    for (const std::string& level : PathLevels(subKey ? subKey : "")) {
        path = JoinPath(path, level);
    }
    return path;
}

} // namespace

bool OverlayRegistryApi::IsCopied(HKEY root, const std::string& path) const {
    return std::any_of(copied_.begin(), copied_.end(), [&](const Copied& copied) {
        return copied.root == root && IsWithinPath(path, copied.path);
    });
}

LONG OverlayRegistryApi::CopyIn(HKEY key, LPCSTR subKey) {
    const std::string path = Normalized(subKey);
    if (!IsPredefinedKey(key) || IsCopied(key, path)) {
        return ERROR_SUCCESS;
    }
    // Keys copied before, below this one, may have changed since: they stay.
    RegistryTree tree;
    switch (ReadTree(below_, key, path, tree)) {
    case TreeReading::Unreadable:
        return ERROR_CANTREAD;
    case TreeReading::Read:
        WriteCopy(key, path, tree);
        break;
    case TreeReading::Absent:
        break;
    }
    copied_.erase(std::remove_if(
                      copied_.begin(), copied_.end(),
                      [&](const Copied& c) { return c.root == key && IsWithinPath(c.path, path); }),
                  copied_.end());
    copied_.push_back({key, path});
    return ERROR_SUCCESS;
}

// The copy holds the data byte for byte: a dry run must not report a change of
// a value that it only copied.
void OverlayRegistryApi::WriteCopy(HKEY root, const std::string& path, const RegistryTree& tree) {
    HKEY created = nullptr;
    if (copy_.RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &created, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const KeyHandle key(copy_, created);
    for (const auto& [name, value] : tree.values) {
        copy_.StoreValueAsIs(key.Get(), name, value.type, value.data);
    }
    for (const auto& [name, subtree] : tree.subkeys) {
        const std::string subPath = JoinPath(path, name);
        if (!IsCopied(root, Normalized(subPath.c_str()))) {
            WriteCopy(root, subPath, subtree);
        }
    }
}

LONG OverlayRegistryApi::RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                         DWORD options, REGSAM access, void* security, HKEY* result,
                                         DWORD* disposition) {
    if (const LONG status = CopyIn(key, subKey)) {
        return status;
    }
    return copy_.RegCreateKeyExA(key, subKey, reserved, keyClass, options, access, security, result,
                                 disposition);
}

LONG OverlayRegistryApi::RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                                       HKEY* result) {
    if (const LONG status = CopyIn(key, subKey)) {
        return status;
    }
    return copy_.RegOpenKeyExA(key, subKey, options, access, result);
}

LONG OverlayRegistryApi::RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type,
                                          BYTE* data, DWORD* dataSize) {
    if (const LONG status = CopyIn(key, nullptr)) {
        return status;
    }
    return copy_.RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG OverlayRegistryApi::RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type,
                                        const BYTE* data, DWORD dataSize) {
    if (const LONG status = CopyIn(key, nullptr)) {
        return status;
    }
    return copy_.RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG OverlayRegistryApi::RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength,
                                          DWORD* reserved, DWORD* subKeys, DWORD* maxSubKeyLength,
                                          DWORD* maxClassLength, DWORD* values,
                                          DWORD* maxValueNameLength, DWORD* maxValueLength,
                                          DWORD* securityDescriptorSize, FILETIME* lastWriteTime) {
    if (const LONG status = CopyIn(key, nullptr)) {
        return status;
    }
    return copy_.RegQueryInfoKeyA(key, keyClass, classLength, reserved, subKeys, maxSubKeyLength,
                                  maxClassLength, values, maxValueNameLength, maxValueLength,
                                  securityDescriptorSize, lastWriteTime);
}

LONG OverlayRegistryApi::RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                       DWORD* reserved, LPSTR keyClass, DWORD* classLength,
                                       FILETIME* lastWriteTime) {
    if (const LONG status = CopyIn(key, nullptr)) {
        return status;
    }
    return copy_.RegEnumKeyExA(key, index, name, nameLength, reserved, keyClass, classLength,
                               lastWriteTime);
}

LONG OverlayRegistryApi::RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                       DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (const LONG status = CopyIn(key, nullptr)) {
        return status;
    }
    return copy_.RegEnumValueA(key, index, name, nameLength, reserved, type, data, dataSize);
}

LONG OverlayRegistryApi::RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    if (const LONG status = CopyIn(key, subKey)) {
        return status;
    }
    return copy_.RegDeleteKeyA(key, subKey);
}

LONG OverlayRegistryApi::RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved) {
    if (const LONG status = CopyIn(key, subKey)) {
        return status;
    }
    return copy_.RegDeleteKeyExA(key, subKey, view, reserved);
}

LONG OverlayRegistryApi::RegDeleteValueA(HKEY key, LPCSTR valueName) {
    if (const LONG status = CopyIn(key, nullptr)) {
        return status;
    }
    return copy_.RegDeleteValueA(key, valueName);
}

} // namespace platform

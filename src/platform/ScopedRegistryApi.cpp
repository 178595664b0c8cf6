#include "ScopedRegistryApi.h"

#include "KeyHandle.h"

namespace platform {

std::string ScopedRegistryApi::ClassesPathOf(LPCSTR subKey) const {
    return JoinPath(classesPath_, subKey ? subKey : "");
}

LONG ScopedRegistryApi::Redirect(HKEY& key, LPCSTR& subKey, std::string& path) const {
    if (key != from_) {
        return ERROR_SUCCESS;
    }
    if (subKey && *subKey == '\\') {
        return ERROR_BAD_PATHNAME; // as the classes root itself answers
    }
    path = ClassesPathOf(subKey);
    key = root_;
    subKey = path.c_str();
    return ERROR_SUCCESS;
}

template <typename Call> LONG ScopedRegistryApi::OnKey(HKEY key, REGSAM access, Call call) {
    if (key != from_) {
        return call(key);
    }
    HKEY opened = nullptr;
    if (const LONG status = inner_.RegOpenKeyExA(root_, classesPath_.c_str(), 0, access, &opened)) {
        return status;
    }
    const KeyHandle classes(inner_, opened);
    return call(classes.Get());
}

LONG ScopedRegistryApi::RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                        DWORD options, REGSAM access, void* security, HKEY* result,
                                        DWORD* disposition) {
    std::string path;
    if (const LONG status = Redirect(key, subKey, path)) {
        return status;
    }
    return inner_.RegCreateKeyExA(key, subKey, reserved, keyClass, options, access, security,
                                  result, disposition);
}

LONG ScopedRegistryApi::RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                                      HKEY* result) {
    std::string path;
    if (const LONG status = Redirect(key, subKey, path)) {
        return status;
    }
    return inner_.RegOpenKeyExA(key, subKey, options, access, result);
}

LONG ScopedRegistryApi::RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type,
                                         BYTE* data, DWORD* dataSize) {
    return OnKey(key, KEY_READ, [&](HKEY on) {
        return inner_.RegQueryValueExA(on, valueName, reserved, type, data, dataSize);
    });
}

LONG ScopedRegistryApi::RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type,
                                       const BYTE* data, DWORD dataSize) {
    return OnKey(key, KEY_ALL_ACCESS, [&](HKEY on) {
        return inner_.RegSetValueExA(on, valueName, reserved, type, data, dataSize);
    });
}

LONG ScopedRegistryApi::RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength,
                                         DWORD* reserved, DWORD* subKeys, DWORD* maxSubKeyLength,
                                         DWORD* maxClassLength, DWORD* values,
                                         DWORD* maxValueNameLength, DWORD* maxValueLength,
                                         DWORD* securityDescriptorSize, FILETIME* lastWriteTime) {
    return OnKey(key, KEY_READ, [&](HKEY on) {
        return inner_.RegQueryInfoKeyA(on, keyClass, classLength, reserved, subKeys,
                                       maxSubKeyLength, maxClassLength, values, maxValueNameLength,
                                       maxValueLength, securityDescriptorSize, lastWriteTime);
    });
}

LONG ScopedRegistryApi::RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                      DWORD* reserved, LPSTR keyClass, DWORD* classLength,
                                      FILETIME* lastWriteTime) {
    return OnKey(key, KEY_READ, [&](HKEY on) {
        return inner_.RegEnumKeyExA(on, index, name, nameLength, reserved, keyClass, classLength,
                                    lastWriteTime);
    });
}

LONG ScopedRegistryApi::RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                      DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
    return OnKey(key, KEY_READ, [&](HKEY on) {
        return inner_.RegEnumValueA(on, index, name, nameLength, reserved, type, data, dataSize);
    });
}

LONG ScopedRegistryApi::RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    return RegDeleteKeyExA(key, subKey, 0, 0);
}

LONG ScopedRegistryApi::RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved) {
    // The predefined key itself is never deleted.
    if (key == from_ && (!subKey || !*subKey)) {
        return ERROR_ACCESS_DENIED;
    }
    std::string path;
    if (const LONG status = Redirect(key, subKey, path)) {
        return status;
    }
    return view ? inner_.RegDeleteKeyExA(key, subKey, view, reserved)
                : inner_.RegDeleteKeyA(key, subKey);
}

LONG ScopedRegistryApi::RegDeleteValueA(HKEY key, LPCSTR valueName) {
    return OnKey(key, KEY_ALL_ACCESS,
                 [&](HKEY on) { return inner_.RegDeleteValueA(on, valueName); });
}

} // namespace platform

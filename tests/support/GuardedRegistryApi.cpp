#include "support/GuardedRegistryApi.h"

namespace testing_support {

using platform::RegistryCall;

bool Changes(RegistryCall call) {
    return call == RegistryCall::CreateKey || call == RegistryCall::SetValue ||
           call == RegistryCall::DeleteKey || call == RegistryCall::DeleteValue;
}

// Each call asks first, then goes to the registry underneath as it came.
#define KAVREX_GUARDED(call, forwarded)                                                            \
    if (const LONG refused = Before(RegistryCall::call)) {                                         \
        return refused;                                                                            \
    }                                                                                              \
    return inner_.forwarded

LONG GuardedRegistryApi::RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                         DWORD options, REGSAM access, void* security, HKEY* result,
                                         DWORD* disposition) {
    KAVREX_GUARDED(CreateKey, RegCreateKeyExA(key, subKey, reserved, keyClass, options, access,
                                              security, result, disposition));
}

LONG GuardedRegistryApi::RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                                       HKEY* result) {
    KAVREX_GUARDED(OpenKey, RegOpenKeyExA(key, subKey, options, access, result));
}

LONG GuardedRegistryApi::RegCloseKey(HKEY key) {
    KAVREX_GUARDED(CloseKey, RegCloseKey(key));
}

LONG GuardedRegistryApi::RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type,
                                          BYTE* data, DWORD* dataSize) {
    KAVREX_GUARDED(QueryValue, RegQueryValueExA(key, valueName, reserved, type, data, dataSize));
}

LONG GuardedRegistryApi::RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type,
                                        const BYTE* data, DWORD dataSize) {
    KAVREX_GUARDED(SetValue, RegSetValueExA(key, valueName, reserved, type, data, dataSize));
}

LONG GuardedRegistryApi::RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength,
                                          DWORD* reserved, DWORD* subKeys, DWORD* maxSubKeyLength,
                                          DWORD* maxClassLength, DWORD* values,
                                          DWORD* maxValueNameLength, DWORD* maxValueLength,
                                          DWORD* securityDescriptorSize, FILETIME* lastWriteTime) {
    KAVREX_GUARDED(QueryInfoKey,
                   RegQueryInfoKeyA(key, keyClass, classLength, reserved, subKeys, maxSubKeyLength,
                                    maxClassLength, values, maxValueNameLength, maxValueLength,
                                    securityDescriptorSize, lastWriteTime));
}

LONG GuardedRegistryApi::RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                       DWORD* reserved, LPSTR keyClass, DWORD* classLength,
                                       FILETIME* lastWriteTime) {
    KAVREX_GUARDED(EnumKey, RegEnumKeyExA(key, index, name, nameLength, reserved, keyClass,
                                          classLength, lastWriteTime));
}

LONG GuardedRegistryApi::RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                                       DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
    KAVREX_GUARDED(EnumValue,
                   RegEnumValueA(key, index, name, nameLength, reserved, type, data, dataSize));
}

LONG GuardedRegistryApi::RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    KAVREX_GUARDED(DeleteKey, RegDeleteKeyA(key, subKey));
}

LONG GuardedRegistryApi::RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved) {
    KAVREX_GUARDED(DeleteKey, RegDeleteKeyExA(key, subKey, view, reserved));
}

LONG GuardedRegistryApi::RegDeleteValueA(HKEY key, LPCSTR valueName) {
    KAVREX_GUARDED(DeleteValue, RegDeleteValueA(key, valueName));
}

#undef KAVREX_GUARDED

} // namespace testing_support

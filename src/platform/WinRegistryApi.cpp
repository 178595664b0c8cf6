// The registry seam on Windows: every call goes straight to advapi32.
#include "RegistryApi.h"

namespace platform {
namespace {

class WinRegistryApi final : public RegistryApi {
  public:
    LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, void* security, HKEY* result, DWORD* disposition) override {
        return ::RegCreateKeyExA(key, subKey, reserved, keyClass, options, access,
                                 static_cast<LPSECURITY_ATTRIBUTES>(security), result, disposition);
    }
    LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                       HKEY* result) override {
        return ::RegOpenKeyExA(key, subKey, options, access, result);
    }
    LONG RegCloseKey(HKEY key) override { return ::RegCloseKey(key); }
    LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                          DWORD* dataSize) override {
        return ::RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
    }
    LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD dataSize) override {
        return ::RegSetValueExA(key, valueName, reserved, type, data, dataSize);
    }
    LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength, DWORD* reserved,
                          DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* maxClassLength,
                          DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                          DWORD* securityDescriptorSize, FILETIME* lastWriteTime) override {
        return ::RegQueryInfoKeyA(key, keyClass, classLength, reserved, subKeys, maxSubKeyLength,
                                  maxClassLength, values, maxValueNameLength, maxValueLength,
                                  securityDescriptorSize, lastWriteTime);
    }
    LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved,
                       LPSTR keyClass, DWORD* classLength, FILETIME* lastWriteTime) override {
        return ::RegEnumKeyExA(key, index, name, nameLength, reserved, keyClass, classLength,
                               lastWriteTime);
    }
    LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved,
                       DWORD* type, BYTE* data, DWORD* dataSize) override {
        return ::RegEnumValueA(key, index, name, nameLength, reserved, type, data, dataSize);
    }
    LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) override { return ::RegDeleteKeyA(key, subKey); }
    LONG RegDeleteValueA(HKEY key, LPCSTR valueName) override {
        return ::RegDeleteValueA(key, valueName);
    }

    bool IsDoubleByteCodePage() override {
        CPINFO info{};
        return ::GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    }
};

// At namespace scope, so that no thread-safe guard (and no thread library with
// it) is needed to make it.
WinRegistryApi systemRegistry;

} // namespace

RegistryApi& SystemRegistry() {
    return systemRegistry;
}

} // namespace platform

// The registry seam on Windows: every call goes to advapi32, which is loaded
// when the registry is first used, so that a command that never touches it
// (--version, --help) starts without it.
#include "LateBinding.h"
#include "RegistryApi.h"

namespace platform {
namespace {

class WinRegistryApi final : public RegistryApi {
  public:
    LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, void* security, HKEY* result, DWORD* disposition) override {
        return Call(createKey_, "RegCreateKeyExA", key, subKey, reserved, keyClass, options, access,
                    static_cast<LPSECURITY_ATTRIBUTES>(security), result, disposition);
    }
    LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                       HKEY* result) override {
        return Call(openKey_, "RegOpenKeyExA", key, subKey, options, access, result);
    }
    LONG RegCloseKey(HKEY key) override { return Call(closeKey_, "RegCloseKey", key); }
    LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                          DWORD* dataSize) override {
        return Call(queryValue_, "RegQueryValueExA", key, valueName, reserved, type, data,
                    dataSize);
    }
    LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD dataSize) override {
        return Call(setValue_, "RegSetValueExA", key, valueName, reserved, type, data, dataSize);
    }
    LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength, DWORD* reserved,
                          DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* maxClassLength,
                          DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                          DWORD* securityDescriptorSize, FILETIME* lastWriteTime) override {
        return Call(queryInfoKey_, "RegQueryInfoKeyA", key, keyClass, classLength, reserved,
                    subKeys, maxSubKeyLength, maxClassLength, values, maxValueNameLength,
                    maxValueLength, securityDescriptorSize, lastWriteTime);
    }
    LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved,
                       LPSTR keyClass, DWORD* classLength, FILETIME* lastWriteTime) override {
        return Call(enumKey_, "RegEnumKeyExA", key, index, name, nameLength, reserved, keyClass,
                    classLength, lastWriteTime);
    }
    LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved,
                       DWORD* type, BYTE* data, DWORD* dataSize) override {
        return Call(enumValue_, "RegEnumValueA", key, index, name, nameLength, reserved, type, data,
                    dataSize);
    }
    LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) override {
        return Call(deleteKey_, "RegDeleteKeyA", key, subKey);
    }
    LONG RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved) override {
        return Call(deleteKeyEx_, "RegDeleteKeyExA", key, subKey, view, reserved);
    }
    LONG RegDeleteValueA(HKEY key, LPCSTR valueName) override {
        return Call(deleteValue_, "RegDeleteValueA", key, valueName);
    }

  private:
    // The function's result, or the reason it could not be called.
    template <typename Function, typename... Arguments>
    LONG Call(Function& function, const char* name, Arguments... arguments) {
        return advapi32_.Bind(function, name) ? function(arguments...) : ERROR_PROC_NOT_FOUND;
    }

    SystemLibrary advapi32_{L"advapi32.dll"};
    decltype(&::RegCreateKeyExA) createKey_ = nullptr;
    decltype(&::RegOpenKeyExA) openKey_ = nullptr;
    decltype(&::RegCloseKey) closeKey_ = nullptr;
    decltype(&::RegQueryValueExA) queryValue_ = nullptr;
    decltype(&::RegSetValueExA) setValue_ = nullptr;
    decltype(&::RegQueryInfoKeyA) queryInfoKey_ = nullptr;
    decltype(&::RegEnumKeyExA) enumKey_ = nullptr;
    decltype(&::RegEnumValueA) enumValue_ = nullptr;
    decltype(&::RegDeleteKeyA) deleteKey_ = nullptr;
    decltype(&::RegDeleteKeyExA) deleteKeyEx_ = nullptr;
    decltype(&::RegDeleteValueA) deleteValue_ = nullptr;
};

// At namespace scope, so that no thread-safe guard (and no thread library with
// it) is needed to make it.
WinRegistryApi systemRegistry;

} // namespace

RegistryApi& SystemRegistry() {
    return systemRegistry;
}

} // namespace platform

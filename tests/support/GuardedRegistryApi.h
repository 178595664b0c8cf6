// A registry that asks before each call whether it may go on: the base of the
// test decorators that stop a run dead and that interleave two runs.
#pragma once

#include "platform/EmulatedRegistryApi.h"

namespace testing_support {

class GuardedRegistryApi : public platform::RegistryApi {
  public:
    explicit GuardedRegistryApi(platform::RegistryApi& inner) : inner_(inner) {}

    LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, void* security, HKEY* result, DWORD* disposition) override;
    LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                       HKEY* result) override;
    LONG RegCloseKey(HKEY key) override;
    LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                          DWORD* dataSize) override;
    LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                        DWORD dataSize) override;
    LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength, DWORD* reserved,
                          DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* maxClassLength,
                          DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                          DWORD* securityDescriptorSize, FILETIME* lastWriteTime) override;
    LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved,
                       LPSTR keyClass, DWORD* classLength, FILETIME* lastWriteTime) override;
    LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength, DWORD* reserved,
                       DWORD* type, BYTE* data, DWORD* dataSize) override;
    LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) override;
    LONG RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved) override;
    LONG RegDeleteValueA(HKEY key, LPCSTR valueName) override;

  protected:
    // ERROR_SUCCESS lets the call through; any other code is its answer.
    virtual LONG Before(platform::RegistryCall call) = 0;

  private:
    platform::RegistryApi& inner_;
};

// Whether the call may change the registry: create, set or delete.
bool Changes(platform::RegistryCall call);

} // namespace testing_support

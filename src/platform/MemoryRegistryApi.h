// The dry run's store: a registry in memory that answers the calls a dry run
// makes as Windows would, naming in the system's own ANSI code page. It checks
// no rights and knows no views: it holds what the overlay copied into it.
#pragma once

#include "KeyTree.h"
#include "RegistryApi.h"
#include "SystemApi.h"

#include <map>
#include <string>

namespace platform {

class MemoryRegistryApi final : public RegistryApi {
  public:
    explicit MemoryRegistryApi(SystemApi& system);

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

    LONG StoreValueAsIs(HKEY key, const std::string& name, DWORD type, const std::string& data);

  private:
    // The key a handle names, or the error a call with it answers.
    LONG KeyOf(HKEY key, KeyRef& found) const;
    // The key below a handle that a sub-path leads to; null when not there.
    LONG Below(HKEY key, LPCSTR subKey, KeyRef& base, std::vector<std::string>& levels) const;
    HKEY NewHandle(const KeyRef& key);

    NameLength length_;
    std::map<HKEY, KeyRef> roots_;
    std::map<HKEY, KeyRef> handles_;
    ULONG_PTR nextHandle_ = 0x100;
};

} // namespace platform

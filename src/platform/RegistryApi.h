// The registry seam: exactly the advapi32 calls the registry wrapper makes, in
// their Windows shapes and with Windows result codes. One implementation calls
// the platform, the other emulates it in memory.
#pragma once

#include "WinTypes.h"

namespace platform {

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;

    virtual LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                 DWORD options, REGSAM access, void* security, HKEY* result,
                                 DWORD* disposition) = 0;
    virtual LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                               HKEY* result) = 0;
    virtual LONG RegCloseKey(HKEY key) = 0;
    virtual LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type,
                                  BYTE* data, DWORD* dataSize) = 0;
    virtual LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type,
                                const BYTE* data, DWORD dataSize) = 0;
    virtual LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, DWORD* classLength, DWORD* reserved,
                                  DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* maxClassLength,
                                  DWORD* values, DWORD* maxValueNameLength, DWORD* maxValueLength,
                                  DWORD* securityDescriptorSize, FILETIME* lastWriteTime) = 0;
    virtual LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                               DWORD* reserved, LPSTR keyClass, DWORD* classLength,
                               FILETIME* lastWriteTime) = 0;
    virtual LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameLength,
                               DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) = 0;
    virtual LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) = 0;
    // view: KEY_WOW64_64KEY or KEY_WOW64_32KEY, the registry view to delete in.
    virtual LONG RegDeleteKeyExA(HKEY key, LPCSTR subKey, REGSAM view, DWORD reserved) = 0;
    virtual LONG RegDeleteValueA(HKEY key, LPCSTR valueName) = 0;
};

// True for the platform's predefined root keys, which are never closed.
bool IsPredefinedKey(HKEY key);
// True for the codes that say a key or value is not there.
bool IsNotFound(LONG status);

// The registry the program uses: the platform's on Windows, an emulation elsewhere.
RegistryApi& SystemRegistry();

} // namespace platform

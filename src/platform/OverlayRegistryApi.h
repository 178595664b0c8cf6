// A registry seam for dry runs: it reads through to another registry and keeps
// every write and deletion to itself. A key is copied from the registry below
// the first time a call names it from a predefined root; from then on the copy
// answers, so that reading through the overlay shows what the registry would
// hold.
#pragma once

#include "MemoryRegistryApi.h"
#include "RegistryTree.h"

#include <string>
#include <utility>
#include <vector>

namespace platform {

class OverlayRegistryApi final : public RegistryApi {
  public:
    // Names are counted in the system's ANSI code page, as below.
    OverlayRegistryApi(RegistryApi& below, SystemApi& system) : below_(below), copy_(system) {}

    LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, void* security, HKEY* result, DWORD* disposition) override;
    LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                       HKEY* result) override;
    LONG RegCloseKey(HKEY key) override { return copy_.RegCloseKey(key); }
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

  private:
    struct Copied {
        HKEY root;
        std::string path; // levels joined by one backslash
    };

    // Copies the key from below before a call names it from a predefined root.
    // ERROR_CANTREAD when it is there but cannot be read whole: the copy would
    // show it absent or incomplete, so the call is refused instead.
    LONG CopyIn(HKEY key, LPCSTR subKey);
    // Writes the tree into the copy at path below root, exactly as read, but
    // for the subkeys copied before.
    void WriteCopy(HKEY root, const std::string& path, const RegistryTree& tree);
    bool IsCopied(HKEY root, const std::string& path) const;

    RegistryApi& below_;
    MemoryRegistryApi copy_;
    std::vector<Copied> copied_;
};

} // namespace platform

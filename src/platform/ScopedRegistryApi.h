// A registry seam that gives HKEY_CLASSES_ROOT another place: the classes of the
// machine (HKEY_LOCAL_MACHINE\Software\Classes) or of the current user
// (HKEY_CURRENT_USER\Software\Classes). Everything else passes through, so code
// written for the merged classes root works on one scope unchanged. Given
// another predefined key, it places that one: HKEY_CURRENT_USER as another
// user's hive below HKEY_USERS, which HKEY_CURRENT_USER points at for its own
// user ("HKEY_CURRENT_USER", Windows Server 2003 registry reference).
#pragma once

#include "RegistryApi.h"
#include "RegistryNames.h"

#include <string>
#include <utility>

namespace platform {

class ScopedRegistryApi final : public RegistryApi {
  public:
    // root is HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; tests give another path.
    ScopedRegistryApi(RegistryApi& inner, HKEY root, std::string classesPath = ClassesPath,
                      HKEY from = HKEY_CLASSES_ROOT)
        : inner_(inner), root_(root), classesPath_(std::move(classesPath)), from_(from) {}

    LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                         REGSAM access, void* security, HKEY* result, DWORD* disposition) override;
    LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                       HKEY* result) override;
    LONG RegCloseKey(HKEY key) override { return inner_.RegCloseKey(key); }
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
    // The classes key's path below the scope's root, with the sub-path after it.
    std::string ClassesPathOf(LPCSTR subKey) const;
    // Points a call with a sub-path on the classes root at the scope's classes
    // key (path keeps the text); ERROR_BAD_PATHNAME for a leading backslash.
    LONG Redirect(HKEY& key, LPCSTR& subKey, std::string& path) const;
    // Runs call on the key, with the classes root opened in the scope for it.
    template <typename Call> LONG OnKey(HKEY key, REGSAM access, Call call);

    RegistryApi& inner_;
    HKEY root_;
    std::string classesPath_;
    HKEY from_;
};

} // namespace platform

// The process, file-system and shell seam: the three services the association
// component needs, in their Windows shapes.
#pragma once

#include "WinTypes.h"

#ifdef _WIN32
#include <shlobj.h> // SHCNE_ and SHCNF_ codes
#endif

namespace platform {

class SystemApi {
  public:
    virtual ~SystemApi() = default;

    virtual DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) = 0;
    virtual DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) = 0;
    virtual void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) = 0;
};

// The services the program uses: the platform's on Windows, an emulation elsewhere.
SystemApi& SystemServices();

} // namespace platform

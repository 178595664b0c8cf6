// The process and shell seam on Windows: kernel32 and shell32.
#include "SystemApi.h"

#include <shlobj.h>

namespace platform {
namespace {

class WinSystemApi final : public SystemApi {
  public:
    DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) override {
        return ::GetModuleFileNameA(module, fileName, size);
    }
    DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) override {
        return ::GetShortPathNameA(longPath, shortPath, size);
    }
    void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override {
        ::SHChangeNotify(eventId, flags, item1, item2);
    }
};

} // namespace

SystemApi& SystemServices() {
    static WinSystemApi api;
    return api;
}

} // namespace platform

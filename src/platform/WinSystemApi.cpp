// The process and shell seam on Windows: kernel32 and shell32.
#include "SystemApi.h"

#include <shlobj.h>

namespace platform {
namespace {

class WinSystemApi final : public SystemApi {
  public:
    DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) override {
        return ::GetModuleFileNameW(module, fileName, size);
    }
    DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) override {
        return ::GetShortPathNameW(longPath, shortPath, size);
    }
    UINT GetACP() override { return ::GetACP(); }
    int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                            int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault) override {
        return ::WideCharToMultiByte(codePage, flags, wide, wideLength, narrow, narrowSize,
                                     defaultChar, usedDefault);
    }
    void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override {
        ::SHChangeNotify(eventId, flags, item1, item2);
    }
};

WinSystemApi systemServices; // at namespace scope: no thread-safe guard

} // namespace

SystemApi& SystemServices() {
    return systemServices;
}

} // namespace platform

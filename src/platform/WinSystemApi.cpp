// The process and shell seam on Windows: kernel32, and shell32 loaded when the
// shell is first told something. A program that imported shell32 would load it,
// and everything it loads, at every start: that doubles a console program's
// start-up time, for a call made once, after the work is done.
#include "LateBinding.h"
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
    DWORD GetFileAttributesW(LPCWSTR path) override { return ::GetFileAttributesW(path); }
    DWORD GetFileAttributesA(LPCSTR path) override { return ::GetFileAttributesA(path); }
    DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD size) override {
        return ::ExpandEnvironmentStringsA(source, expanded, size);
    }
    UINT GetACP() override { return ::GetACP(); }
    int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                            int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault) override {
        return ::WideCharToMultiByte(codePage, flags, wide, wideLength, narrow, narrowSize,
                                     defaultChar, usedDefault);
    }
    bool SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override {
        if (!shell_.Bind(changeNotify_, "SHChangeNotify")) {
            return false;
        }
        changeNotify_(eventId, flags, item1, item2);
        return true;
    }

  private:
    SystemLibrary shell_{L"shell32.dll"};
    decltype(&::SHChangeNotify) changeNotify_ = nullptr;
};

WinSystemApi systemServices; // at namespace scope: no thread-safe guard

} // namespace

SystemApi& SystemServices() {
    return systemServices;
}

} // namespace platform

// The process and shell seam on Windows: kernel32, and shell32 (with ole32)
// loaded when the shell is first told or asked something. A program that imported shell32 would
// load it, and everything it loads, at every start: that doubles a console program's start-up time,
// for a call made once, after the work is done.
#include "LateBinding.h"
#include "SystemApi.h"

#include <objbase.h>
#include <shellapi.h>
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
    // The shell may hand the link to a handler activated through COM, so COM
    // is initialised around the call, as the ShellExecute page asks.
    bool ShellExecuteA(LPCSTR verb, LPCSTR file, int showCommand) override {
        if (!shell_.Bind(execute_, "ShellExecuteA")) {
            return false;
        }
        const bool com =
            com_.Bind(initialize_, "CoInitializeEx") &&
            com_.Bind(uninitialize_, "CoUninitialize") &&
            SUCCEEDED(initialize_(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        const auto result =
            reinterpret_cast<INT_PTR>(execute_(nullptr, verb, file, nullptr, nullptr, showCommand));
        if (com) {
            uninitialize_();
        }
        return result > 32;
    }

  private:
    SystemLibrary shell_{L"shell32.dll"};
    SystemLibrary com_{L"ole32.dll"};
    decltype(&::SHChangeNotify) changeNotify_ = nullptr;
    decltype(&::ShellExecuteA) execute_ = nullptr;
    decltype(&::CoInitializeEx) initialize_ = nullptr;
    decltype(&::CoUninitialize) uninitialize_ = nullptr;
};

WinSystemApi systemServices; // at namespace scope: no thread-safe guard

} // namespace

SystemApi& SystemServices() {
    return systemServices;
}

} // namespace platform

// The process and shell seam on Windows: kernel32, and shell32 loaded when the
// shell is first told something. A program that imported shell32 would load it,
// and everything it loads, at every start: that doubles a console program's
// start-up time, for a call made once, after the work is done.
#include "SystemApi.h"

#include <memory>
#include <type_traits>

namespace platform {
namespace {

struct LibraryFreer {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

// A function of a system library, found when first asked for.
template <typename Function> class LateBound {
  public:
    LateBound(const wchar_t* library, const char* name) : library_(library), name_(name) {}

    Function Get() {
        if (!function_ && !tried_) {
            tried_ = true;
            // From the system folder only, never from beside the program.
            module_.reset(::LoadLibraryExW(library_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
            if (module_) {
                // Through the generic function type, which any function type may be cast from.
                function_ = reinterpret_cast<Function>(
                    reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), name_)));
            }
        }
        return function_;
    }

  private:
    const wchar_t* library_;
    const char* name_;
    UniqueLibrary module_;
    Function function_ = nullptr;
    bool tried_ = false;
};

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
    bool SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) override {
        const auto notify = changeNotify_.Get();
        if (!notify) {
            return false;
        }
        notify(eventId, flags, item1, item2);
        return true;
    }

  private:
    LateBound<void(WINAPI*)(LONG, UINT, LPCVOID, LPCVOID)> changeNotify_{L"shell32.dll",
                                                                         "SHChangeNotify"};
};

WinSystemApi systemServices; // at namespace scope: no thread-safe guard

} // namespace

SystemApi& SystemServices() {
    return systemServices;
}

} // namespace platform

// A system library loaded when a function of it is first asked for, so that a
// program does not load it, and all it loads, at every start. Windows only.
#pragma once

#include "WinTypes.h"

#include <memory>
#include <type_traits>

namespace platform {

class SystemLibrary {
  public:
    explicit SystemLibrary(const wchar_t* name) : name_(name) {}

    // Points function at the library's function of that name, once; false when
    // the library or the function cannot be had.
    template <typename Function> bool Bind(Function& function, const char* name) {
        if (!function) {
            // Through the generic function type, which any function type may be cast from.
            function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(Find(name)));
        }
        return function != nullptr;
    }

  private:
    FARPROC Find(const char* name) {
        if (!module_ && !tried_) {
            tried_ = true;
            // From the system folder only, never from beside the program.
            module_.reset(::LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        }
        return module_ ? ::GetProcAddress(module_.get(), name) : nullptr;
    }

    struct Freer {
        void operator()(HMODULE module) const { ::FreeLibrary(module); }
    };

    const wchar_t* name_;
    std::unique_ptr<std::remove_pointer_t<HMODULE>, Freer> module_;
    bool tried_ = false;
};

// From now on the process, and the system libraries that load others late,
// look for libraries in the system folder only, never beside the program,
// where a download may have put one of a system library's name ("Dynamic-Link
// Library Security"). Called first thing. Late-bound: Windows 7 has it only
// with its update KB2533623, and without it nothing changes.
inline void LoadLibrariesFromSystemOnly() {
    using Setter = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<Setter>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set) {
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

// From now on the process does not follow junctions that accounts other than
// administrators made ("RedirectionGuard": SetProcessMitigationPolicy with
// ProcessRedirectionTrustPolicy, PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY's
// EnforceRedirectionTrust), so a privileged run cannot be led into a folder a
// user chose. Called first thing. Late-bound, and quietly absent where Windows
// lacks it (before Windows 10 22H2 and 11); it does not cover hard links.
inline void FollowOnlyAdministratorsJunctions() {
    constexpr int ProcessRedirectionTrustPolicy = 16; // PROCESS_MITIGATION_POLICY
    struct {
        DWORD flags;
    } policy{0x1}; // EnforceRedirectionTrust
    using Setter = BOOL(WINAPI*)(int, PVOID, SIZE_T);
    const auto set = reinterpret_cast<Setter>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetProcessMitigationPolicy")));
    if (set) {
        set(ProcessRedirectionTrustPolicy, &policy, sizeof policy);
    }
}

} // namespace platform

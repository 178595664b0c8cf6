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

} // namespace platform

// One owner for each window, font and device context the program creates.
#pragma once

#include "platform/WinTypes.h"

#include <memory>
#include <type_traits>

namespace app {

struct WindowDestroyer {
    void operator()(HWND window) const { ::DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct FontDeleter {
    void operator()(HFONT font) const { ::DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The screen's device context, released again.
class ScreenDC {
  public:
    ScreenDC() : dc_(::GetDC(nullptr)) {}
    ~ScreenDC() { ::ReleaseDC(nullptr, dc_); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

} // namespace app

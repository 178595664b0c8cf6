// The message-box seam: the program's message boxes go through it, so that
// tests can see what would be shown without a box on the screen.
#pragma once

#include "platform/WinTypes.h"

namespace app {

class MessageBoxApi {
  public:
    virtual ~MessageBoxApi() = default;
    virtual int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) = 0;
};

MessageBoxApi& SystemMessageBoxes();

} // namespace app

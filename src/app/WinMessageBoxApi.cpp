#include "MessageBoxApi.h"

namespace app {
namespace {

class WinMessageBoxApi final : public MessageBoxApi {
  public:
    int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) override {
        return ::MessageBoxA(owner, text, caption, flags);
    }
};

WinMessageBoxApi systemBoxes; // at namespace scope: no thread-safe guard

} // namespace

MessageBoxApi& SystemMessageBoxes() {
    return systemBoxes;
}

} // namespace app

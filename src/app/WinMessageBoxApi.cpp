#include "MessageBoxApi.h"

namespace app {
namespace {

class WinMessageBoxApi final : public MessageBoxApi {
  public:
    int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) override {
        return ::MessageBoxA(owner, text, caption, flags);
    }
};

} // namespace

MessageBoxApi& SystemMessageBoxes() {
    static WinMessageBoxApi boxes;
    return boxes;
}

} // namespace app

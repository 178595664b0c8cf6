#include "Application.h"

#include "DialogTexts.h"
#include "Outcome.h"

#include <vector>

namespace app {
namespace {

constexpr const char* WindowClass = "KavrexAssocApplication";
constexpr std::size_t MaxCaption = 255;

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM windows) {
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    }
    return TRUE;
}

// Right-to-left reading: a Middle East system with a right-to-left process layout.
bool RightToLeftReading() {
    DWORD layout = 0;
    return ::GetSystemMetrics(SM_MIDEASTENABLED) != 0 && ::GetProcessDefaultLayout(&layout) &&
           (layout & LAYOUT_RTL) != 0;
}

void SetTopmost(HWND window, bool topmost) {
    ::SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WindowClass;
    ::RegisterClassA(&windowClass);
}

} // namespace

// While a message box is up: the thread's windows are disabled, the stay-on-top
// dialog steps back so the box is not hidden behind it, and the application
// window stands on the active window's monitor so the box opens there.
class TApplication::MessageBoxScope {
  public:
    explicit MessageBoxScope(TApplication& application)
        : application_(application), active_(::GetActiveWindow()) {
        ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow,
                            reinterpret_cast<LPARAM>(&disabled_));
        for (HWND window : disabled_) {
            ::EnableWindow(window, FALSE);
        }
        if (application_.mainForm_) {
            SetTopmost(application_.mainForm_, false);
        }
        MoveToActiveMonitor();
    }
    ~MessageBoxScope() {
        for (HWND window : disabled_) {
            ::EnableWindow(window, TRUE);
        }
        if (moved_) {
            ::SetWindowPos(application_.Handle(), nullptr, home_.left, home_.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (application_.mainForm_) {
            SetTopmost(application_.mainForm_, true);
        }
        if (active_) {
            ::SetActiveWindow(active_);
        }
    }
    MessageBoxScope(const MessageBoxScope&) = delete;
    MessageBoxScope& operator=(const MessageBoxScope&) = delete;

  private:
    void MoveToActiveMonitor() {
        if (!active_) {
            return;
        }
        const HWND window = application_.Handle();
        const HMONITOR monitor = ::MonitorFromWindow(active_, MONITOR_DEFAULTTONEAREST);
        if (monitor == ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)) {
            return;
        }
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!::GetMonitorInfoA(monitor, &info) || !::GetWindowRect(window, &home_)) {
            return;
        }
        const int x = (info.rcMonitor.left + info.rcMonitor.right) / 2;
        const int y = (info.rcMonitor.top + info.rcMonitor.bottom) / 2;
        moved_ = ::SetWindowPos(window, nullptr, x, y, 0, 0,
                                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
    }

    TApplication& application_;
    HWND active_;
    std::vector<HWND> disabled_;
    RECT home_{};
    bool moved_ = false;
};

TApplication::TApplication(std::string title, MessageBoxApi& boxes)
    : title_(std::move(title)), boxes_(boxes) {
    RegisterWindowClass(WindowProc);
    // Zero size at the screen's centre: it carries the taskbar button only.
    window_.reset(
        ::CreateWindowExA(0, WindowClass, title_.c_str(),
                          WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                          ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2,
                          0, 0, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
    ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TApplication::SetMainForm(HWND form, MessageFilter* filter) {
    mainForm_ = form;
    filter_ = filter;
    ::ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
}

void TApplication::ShowText(const std::string& text, UINT icon) {
    Box(text, MB_OK | icon);
}

bool TApplication::Ask(const std::string& question) {
    return Box(question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

int TApplication::Box(const std::string& text, UINT buttonsAndIcon) {
    UINT flags = buttonsAndIcon;
    if (RightToLeftReading() || TextsReadRightToLeft()) {
        flags |= MB_RTLREADING;
    }
    if (TextsReadRightToLeft()) {
        flags |= MB_RIGHT;
    }
    const std::string caption = title_.substr(0, MaxCaption);
    MessageBoxScope scope(*this);
    return boxes_.MessageBoxA(window_.get(), text.c_str(), caption.c_str(), flags);
}

void TApplication::ShowException(const std::exception& error) {
    ShowText(ErrorText(error.what()), MB_ICONERROR);
}

int TApplication::Run() {
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ProcessMessage(message);
    }
    return static_cast<int>(message.wParam);
}

void TApplication::ProcessMessage(MSG& message) {
    if (filter_ && filter_->PreTranslate(message)) {
        return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* application = reinterpret_cast<TApplication*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    const HWND form = application ? application->mainForm_ : nullptr;
    switch (message) {
    case WM_CLOSE: // the taskbar button's Close closes the dialog
        if (form) {
            ::PostMessageA(form, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_ACTIVATE: // a click on the taskbar button brings the dialog forward
        if (LOWORD(wParam) != WA_INACTIVE && form && ::IsWindowEnabled(form)) {
            ::SetActiveWindow(form);
        }
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace app

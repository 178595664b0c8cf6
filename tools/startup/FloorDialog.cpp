// The floor for the dialog's start-up: a bare program with the dialog's
// manifest, its five standard controls and the menu font, and nothing else.
// With --application-window, the form is owned by a hidden zero-size window
// that carries the taskbar button, as the dialog's design asks.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

namespace {

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefDlgProcA(window, message, wParam, lParam);
}

struct Control {
    const char* className;
    DWORD style;
    const char* caption;
    int left, top, width, height;
};
constexpr Control Controls[] = {
    {"BUTTON", BS_GROUPBOX, "Associate with", 8, 8, 257, 57},
    {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, "RAR", 24, 32, 97, 17},
    {"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 8, 72, 121, 25},
    {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 144, 72, 121, 25},
    {"STATIC", SS_LEFT, "The option control this app integration into Windows.", 8, 112, 257, 49},
};

// The dialog's application window, bare: zero size at the screen's centre.
HWND CreateApplicationWindow(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "FloorApplication";
    ::RegisterClassA(&windowClass);
    return ::CreateWindowExA(0, "FloorApplication", "Associate with",
                             WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                             ::GetSystemMetrics(SM_CXSCREEN) / 2,
                             ::GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, instance,
                             nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT font = ::CreateFontIndirectA(&metrics.lfMenuFont);

    const HWND owner = std::strstr(commandLine, "--application-window")
                           ? CreateApplicationWindow(instance)
                           : nullptr;
    WNDCLASSA formClass{};
    formClass.lpfnWndProc = FloorProc;
    formClass.cbWndExtra = DLGWINDOWEXTRA;
    formClass.hInstance = instance;
    formClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    formClass.lpszClassName = "Floor";
    ::RegisterClassA(&formClass);
    const HWND form = ::CreateWindowExA(WS_EX_DLGMODALFRAME, "Floor", "Associate with",
                                        WS_POPUP | WS_CAPTION | WS_SYSMENU, 100, 100, 282, 190,
                                        owner, nullptr, instance, nullptr);
    for (const Control& c : Controls) {
        const HWND control =
            ::CreateWindowExA(0, c.className, c.caption, WS_CHILD | WS_VISIBLE | c.style, c.left,
                              c.top, c.width, c.height, form, nullptr, instance, nullptr);
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (owner) {
        ::ShowWindow(owner, SW_SHOWNOACTIVATE);
    }
    ::ShowWindow(form, SW_SHOW);
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageA(form, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    ::DeleteObject(font);
    return 0;
}

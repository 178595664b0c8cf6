// The floor for the dialog's start-up: a bare program with the dialog's
// manifest, its five standard controls and the menu font, and nothing else.
#include <windows.h>

#include <commctrl.h>

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

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT font = ::CreateFontIndirectA(&metrics.lfMenuFont);

    WNDCLASSA formClass{};
    formClass.lpfnWndProc = FloorProc;
    formClass.cbWndExtra = DLGWINDOWEXTRA;
    formClass.hInstance = instance;
    formClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    formClass.lpszClassName = "Floor";
    ::RegisterClassA(&formClass);
    const HWND form = ::CreateWindowExA(WS_EX_DLGMODALFRAME, "Floor", "Associate with",
                                        WS_POPUP | WS_CAPTION | WS_SYSMENU, 100, 100, 282, 190,
                                        nullptr, nullptr, instance, nullptr);
    for (const Control& c : Controls) {
        const HWND control =
            ::CreateWindowExA(0, c.className, c.caption, WS_CHILD | WS_VISIBLE | c.style, c.left,
                              c.top, c.width, c.height, form, nullptr, instance, nullptr);
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
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

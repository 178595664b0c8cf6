#include "FormMain.h"

#include "DialogKeys.h"
#include "DialogTexts.h"
#include "Scaling.h"

#include "association/ComponentProperties.h"
#include "association/ExtensionStatus.h"
#include "association/ReplaceableHandler.h"
#include "platform/Exception.h"

#include <utility>

namespace app {
namespace {

using association::AssociationResult;

// The height of "0" in the designed font at that resolution.
int DesignTextHeight(const FormDesign& design, int dpi, const ScreenDC& screen) {
    const UniqueFont font(::CreateFontA(FontHeightAt(design, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                        FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_DONTCARE, design.fontName));
    const HGDIOBJ previous = ::SelectObject(screen.Get(), font.get());
    SIZE size{0, design.designTextHeight};
    ::GetTextExtentPoint32A(screen.Get(), "0", 1, &size);
    ::SelectObject(screen.Get(), previous);
    return size.cy;
}

const char* CaptionOf(const ControlDesign& control) {
    return control.captionId ? DialogText(control.captionId).c_str() : control.caption;
}

void RegisterFormClass(const char* className, WNDPROC procedure) {
    WNDCLASSA formClass{};
    formClass.lpfnWndProc = procedure;
    formClass.cbWndExtra = DLGWINDOWEXTRA; // the dialog manager keeps its state there
    formClass.hInstance = ::GetModuleHandleA(nullptr);
    formClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    formClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    formClass.lpszClassName = className;
    ::RegisterClassA(&formClass);
}

// The note, and then whether to register all the same: the note's texts serve
// both, so that each language holds them once.
std::string ReplaceableQuestion() {
    return DialogText(IDS_REPLACEABLE_NOTE) + "\n\n" + DialogText(IDS_REPLACEABLE_QUESTION);
}

} // namespace

TFormMain::TFormMain(TApplication& application, association::Platform platform)
    : TComponent(nullptr), application_(application), platform_(platform),
      machine_(platform.registry, platform.system, platform.applicationHive) {
    const FormDesign& design = MainFormDesign();
    // The machine's classes by name, not HKEY_CLASSES_ROOT: where the user's
    // classes hold a key, the merged view would store our values there, in the
    // elevating account's own hive ("HKEY_CLASSES_ROOT Key": a process running
    // under another account should not use HKEY_CLASSES_ROOT).
    RegArchive = &CreateOwned<association::TRegArchive>(machine_.Get());
    RegArchive->Name = "RegArchive";
    association::ReadComponentProperties(
        *RegArchive, association::DialogRegArchiveProperties(),
        [this](association::TComponent* sender, const std::string& appname, bool& cancel) {
            RegArchiveAssociation(sender, appname, cancel);
        });
    const ScreenDC screen; // one for the resolution and the text height
    startDpi_ = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    FormCreate();
    CreateWindows(design, DesignTextHeight(design, startDpi_, screen));
    application_.SetMainForm(Handle(), this);
}

void TFormMain::FormCreate() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        menuFont_ = metrics.lfMenuFont;
        ownedFont_.reset(::CreateFontIndirectA(&metrics.lfMenuFont));
    }
    font_ = ownedFont_ ? ownedFont_.get() : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
}

void TFormMain::CreateWindows(const FormDesign& design, int textHeight) {
    RegisterFormClass(design.className, WindowProc);
    const ScaledForm scaled = ScaledFor(design, textHeight);
    RECT frame{0, 0, scaled.clientWidth, scaled.clientHeight};
    ::AdjustWindowRectEx(&frame, design.style, FALSE, design.exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Made centred, where it is shown, in place of the design's 578, 245: a
    // move after making it would slow the start.
    const Point at = CentredPosition(::GetSystemMetrics(SM_CXSCREEN),
                                     ::GetSystemMetrics(SM_CYSCREEN), width, height);
    // Mirrored where the texts read right to left: the controls swap sides.
    const DWORD exStyle = design.exStyle | (TextsReadRightToLeft() ? WS_EX_LAYOUTRTL : 0);
    window_.reset(::CreateWindowExA(exStyle, design.className, DialogText(design.captionId).c_str(),
                                    design.style, at.x, at.y, width, height, application_.Handle(),
                                    nullptr, ::GetModuleHandleA(nullptr), this));
    ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // Each control in its place and font at once: the dialog is not shown yet,
    // so nothing is drawn twice.
    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const ControlDesign& control = design.controls[i];
        const Rect& at = scaled.bounds[i];
        const HWND handle = ::CreateWindowExA(
            0, control.className, CaptionOf(control), WS_CHILD | WS_VISIBLE | control.style,
            at.left, at.top, at.width, at.height, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), ::GetModuleHandleA(nullptr),
            nullptr);
        ::SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (control.checked) {
            ::SendMessageA(handle, BM_SETCHECK, BST_CHECKED, 0);
        }
    }
    GroupBoxMain = ::GetDlgItem(Handle(), GroupBoxMainId);
    CheckBoxRAR = ::GetDlgItem(Handle(), CheckBoxRARId);
    ButtonOK = ::GetDlgItem(Handle(), ButtonOKId);
    ButtonCancel = ::GetDlgItem(Handle(), ButtonCancelId);
    LabelInfo = ::GetDlgItem(Handle(), LabelInfoId);
    ::SendMessageA(Handle(), DM_SETDEFID, ButtonOKId, 0);
}

void TFormMain::PlaceControls(const FormDesign& design, const ScaledForm& scaled) {
    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const HWND control = ::GetDlgItem(Handle(), design.controls[i].id);
        const Rect& at = scaled.bounds[i];
        ::MoveWindow(control, at.left, at.top, at.width, at.height, TRUE);
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
}

// The dialog moved to a monitor of another resolution: the start-up scaling
// again, from the stored design, so that scaling twice is scaling once; the
// menu font at that resolution; and the rectangle Windows suggests ("WM_DPICHANGED").
void TFormMain::ScaleTo(int dpi, const RECT& suggested) {
    const FormDesign& design = MainFormDesign();
    UniqueFont previous;
    if (menuFont_) {
        LOGFONTA font = *menuFont_;
        font.lfHeight = ::MulDiv(font.lfHeight, dpi, startDpi_);
        previous = std::exchange(ownedFont_, UniqueFont(::CreateFontIndirectA(&font)));
        font_ = ownedFont_.get();
    }
    ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ::SetWindowPos(Handle(), nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls(design, ScaledFor(design, DesignTextHeight(design, dpi, ScreenDC())));
}

void TFormMain::Show() {
    ::ShowWindow(Handle(), SW_SHOW);
    ::SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(CheckBoxRAR), TRUE);
}

void TFormMain::Close() {
    ::PostQuitMessage(0);
}

// Registered for every account, a Kavrex.exe that others could replace would
// run whatever they put there: asked before anything is written, No the default.
void TFormMain::RegArchiveAssociation(association::TComponent*, const std::string&, bool& Cancel) {
    declined_ = association::HandlerSafetyBesideProgram(platform_.system).replaceable !=
                    association::Replaceable::No &&
                !application_.Ask(ReplaceableQuestion());
    Cancel = declined_;
}

void TFormMain::ButtonOKClick() {
    if (::SendMessageA(CheckBoxRAR, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        const AssociationResult result = RegArchive->Associate();
        if (declined_) {
            Close(); // No wrote nothing, and ends as Cancel does
            return;
        }
        const bool associated = result == AssociationResult::Registered ||
                                result == AssociationResult::AlreadyAssociated;
        if (const auto outcome = RegistrationOutcome(result)) {
            ShowOutcome(*outcome, associated ? UserChoiceNotes() + ReplaceableNote() : "");
        }
    } else {
        ShowOutcome(RemovalOutcome(RegArchive->Unassociate()));
    }
    Close();
}

void TFormMain::ButtonCancelClick() {
    Close();
}

void TFormMain::ShowOutcome(const Outcome& outcome, const std::string& note) {
    application_.ShowText(DialogText(outcome.textId) + note,
                          outcome.icon == OutcomeIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
}

// A note for each extension that the user's own choice still opens elsewhere:
// since Windows 8 that choice wins over what was registered.
std::string TFormMain::UserChoiceNotes() const {
    std::string notes;
    for (const association::ExtensionStatus& status : association::ChosenElsewhere(
             platform_.registry, platform_.system,
             association::WithoutExeExtensions(RegArchive->ArcExtensions()))) {
        notes += "\n\n" + platform::FilledText(DialogText(IDS_USER_CHOICE_NOTE),
                                               {status.extension, status.openedBy});
    }
    return notes;
}

// Registered for every account, a handler that others could replace would run
// whatever they put in its place.
std::string TFormMain::ReplaceableNote() const {
    const association::HandlerSafety safety =
        association::HandlerSafetyBesideProgram(platform_.system);
    return safety.replaceable == association::Replaceable::No
               ? ""
               : "\n\n" + DialogText(IDS_REPLACEABLE_NOTE);
}

void TFormMain::Click(int controlId) {
    ::SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(Handle(), controlId)));
}

bool TFormMain::PreTranslate(MSG& message) {
    const HWND form = Handle();
    if (message.hwnd != form && !::IsChild(form, message.hwnd)) {
        return false;
    }
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        const KeyPress key{static_cast<unsigned>(message.wParam), ::GetKeyState(VK_SHIFT) < 0,
                           ::GetKeyState(VK_CONTROL) < 0, message.message == WM_SYSKEYDOWN,
                           ::GetFocus() == ButtonCancel};
        const KeyAction action = DialogKeyAction(key);
        switch (action) {
        case KeyAction::PressOK:
            Click(ButtonOKId);
            return true;
        case KeyAction::PressCancel:
            Click(ButtonCancelId);
            return true;
        case KeyAction::FocusNext:
        case KeyAction::FocusPrevious:
            ::SendMessageA(form, WM_NEXTDLGCTL, action == KeyAction::FocusPrevious, FALSE);
            return true;
        case KeyAction::Ignore:
            return true;
        case KeyAction::PassOn:
            break;
        }
    }
    return ::IsDialogMessageA(form, &message) != FALSE;
}

LRESULT TFormMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            try {
                if (LOWORD(wParam) == ButtonOKId) {
                    ButtonOKClick();
                } else if (LOWORD(wParam) == ButtonCancelId) {
                    ButtonCancelClick();
                }
            } catch (const std::exception& error) {
                application_.ShowException(error);
            }
        }
        return 0;
    case WM_DPICHANGED:
        ScaleTo(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE: // the close box, Alt+F4 and the taskbar's Close
        Close();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_MENUTEXT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
        return ::DefDlgProcA(Handle(), message, wParam, lParam);
    }
}

LRESULT CALLBACK TFormMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* form = reinterpret_cast<TFormMain*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!form || !form->Handle()) { // still being created
        return ::DefDlgProcA(window, message, wParam, lParam);
    }
    return form->HandleMessage(message, wParam, lParam);
}

} // namespace app

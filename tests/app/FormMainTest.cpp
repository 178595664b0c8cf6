// The dialog in process, under Wine or Windows: its window tree, its keys, and
// what it shows after OK, with message boxes captured instead of shown.
#include "app/FormMain.h"
#include "app/DialogTexts.h"
#include "app/Scaling.h"
#include "emulation/EmulatedRegistryApi.h"
#include "emulation/EmulatedSystemApi.h"
#include "platform/Exception.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing_support::DefaultText;
using testing_support::GetRawValue;
using testing_support::KeyExists;

struct CapturedBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
    bool dialogEnabled;
    bool applicationEnabled;
};

class CapturingBoxes final : public app::MessageBoxApi {
  public:
    int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) override {
        boxes.push_back({owner, text, caption, flags, ::IsWindowEnabled(dialog) != FALSE,
                         ::IsWindowEnabled(owner) != FALSE});
        return (flags & MB_YESNO) ? answer : IDOK;
    }
    std::vector<CapturedBox> boxes;
    int answer = IDNO; // to a question
    HWND dialog = nullptr;
};

std::string ClassName(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Text(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

int ScreenDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// The height of "0" in the designed font at that resolution: the dialog is
// scaled by it.
int MeasuredTextHeight(int dpi = ScreenDpi()) {
    const HDC screen = ::GetDC(nullptr);
    const HFONT font = ::CreateFontA(::MulDiv(-11, dpi, 96), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                     DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    const HGDIOBJ previous = ::SelectObject(screen, font);
    SIZE size{};
    ::GetTextExtentPoint32A(screen, "0", 1, &size);
    ::SelectObject(screen, previous);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, screen);
    return size.cy;
}

RECT ClientBounds(HWND control) {
    RECT bounds{};
    ::GetWindowRect(control, &bounds);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

class FormMain : public ::testing::Test {
  protected:
    void SetUp() override {
        system.SetModuleFileName(L"C:\\Tools\\KavrexAssoc.exe");
        system.AddFile(L"C:\\Tools\\KavrexAssoc.exe");
        system.AddFile(L"C:\\Tools\\Kavrex.exe");
        application = std::make_unique<app::TApplication>("Associate with", boxes);
        form =
            std::make_unique<app::TFormMain>(*application, association::Platform{registry, system});
        boxes.dialog = form->Handle();
        form->Show();
        Pump();
    }

    void Pump() {
        MSG message{};
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitCode = static_cast<int>(message.wParam);
                continue;
            }
            application->ProcessMessage(message);
        }
    }

    // A key press as the message loop receives it, at the focused control.
    void Press(unsigned key) {
        for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
            const auto flags = static_cast<LPARAM>(message == WM_KEYUP ? 0xC0000001u : 1u);
            MSG msg{::GetFocus(), message, key, flags, 0, {}};
            application->ProcessMessage(msg);
            Pump();
        }
    }

    std::string Registered(const std::string& key) {
        return DefaultText(registry, HKEY_CLASSES_ROOT, key);
    }

    emulation::EmulatedRegistryApi registry;
    emulation::EmulatedSystemApi system;
    CapturingBoxes boxes;
    std::unique_ptr<app::TApplication> application;
    std::unique_ptr<app::TFormMain> form;
    int quitCode = -1; // no quit message yet
};

TEST_F(FormMain, TheDialogIsAFixedStayOnTopFrameOwnedByTheApplication) {
    const HWND dialog = form->Handle();
    EXPECT_EQ("TFormMain", ClassName(dialog));
    EXPECT_EQ("Associate with", Text(dialog));
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(dialog, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrA(dialog, GWL_EXSTYLE));
    EXPECT_EQ(static_cast<DWORD>(WS_CAPTION), style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME) << "no caption icon";
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ(application->Handle(), ::GetWindow(dialog, GW_OWNER));

    const HWND owner = application->Handle();
    EXPECT_EQ("Associate with", Text(owner));
    RECT ownerBounds{};
    ::GetWindowRect(owner, &ownerBounds);
    EXPECT_EQ(0, ownerBounds.right - ownerBounds.left);
    EXPECT_EQ(0, ownerBounds.bottom - ownerBounds.top);
    EXPECT_TRUE(::IsWindowVisible(owner)) << "it carries the taskbar button";
}

TEST_F(FormMain, TheControlsFollowTheDesignAtTheScreensTextHeight) {
    if (const char* dpi = std::getenv("KAVREX_EXPECT_DPI")) {
        EXPECT_EQ(std::atoi(dpi), ScreenDpi());
    }
    const app::FormDesign& design = app::MainFormDesign();
    const app::ScaledForm scaled = app::ScaledFor(design, MeasuredTextHeight());
    RECT client{};
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(scaled.clientWidth, client.right);
    EXPECT_EQ(scaled.clientHeight, client.bottom);

    HWND child = ::GetWindow(form->Handle(), GW_CHILD);
    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const app::ControlDesign& control = design.controls[i];
        SCOPED_TRACE(control.name);
        ASSERT_EQ(::GetDlgItem(form->Handle(), control.id), child) << "creation order";
        EXPECT_STRCASEEQ(control.className, ClassName(child).c_str());
        EXPECT_EQ(control.captionId ? app::DialogText(control.captionId) : control.caption,
                  Text(child));
        const auto style = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE));
        EXPECT_EQ(control.style & 0x1F, style & 0x1F);
        EXPECT_EQ(control.style & WS_TABSTOP, style & WS_TABSTOP);
        const RECT at = ClientBounds(child);
        const app::Rect& designed = scaled.bounds[i];
        EXPECT_EQ((app::Rect{designed.left, designed.top, designed.width, designed.height}),
                  (app::Rect{at.left, at.top, at.right - at.left, at.bottom - at.top}));
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(BST_CHECKED, ::SendMessageA(form->CheckBoxRAR, BM_GETCHECK, 0, 0));
}

// Moved to a monitor of another resolution, the dialog is laid out from its
// design as at start-up for that resolution, however often it moves, in the
// menu font at that resolution, and takes the rectangle Windows suggests.
TEST_F(FormMain, ADpiChangeLaysTheDesignOutAsAtStartUp) {
    const app::FormDesign& design = app::MainFormDesign();
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    for (const int dpi : {120, 144, 192, 120}) {
        SCOPED_TRACE(dpi);
        RECT suggested{10, 20, 10 + 3 * dpi, 20 + 2 * dpi};
        ::SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        RECT frame{};
        ::GetWindowRect(form->Handle(), &frame);
        EXPECT_EQ(
            (app::Rect{10, 20, 3 * dpi, 2 * dpi}),
            (app::Rect{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top}));
        const app::ScaledForm scaled = app::ScaledFor(design, MeasuredTextHeight(dpi));
        for (std::size_t i = 0; i < design.controls.size(); ++i) {
            const HWND control = ::GetDlgItem(form->Handle(), design.controls[i].id);
            const RECT at = ClientBounds(control);
            EXPECT_EQ(scaled.bounds[i],
                      (app::Rect{at.left, at.top, at.right - at.left, at.bottom - at.top}))
                << design.controls[i].name;
            const auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
            LOGFONTA used{};
            ASSERT_TRUE(::GetObjectA(font, sizeof used, &used));
            EXPECT_EQ(::MulDiv(metrics.lfMenuFont.lfHeight, dpi, ScreenDpi()), used.lfHeight);
        }
    }
}

TEST_F(FormMain, EveryControlUsesTheMenuFont) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    for (HWND control : {form->GroupBoxMain, form->CheckBoxRAR, form->ButtonOK, form->ButtonCancel,
                         form->LabelInfo}) {
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
        LOGFONTA used{};
        ASSERT_TRUE(::GetObjectA(font, sizeof used, &used)) << Text(control);
        EXPECT_STREQ(metrics.lfMenuFont.lfFaceName, used.lfFaceName) << Text(control);
        EXPECT_EQ(metrics.lfMenuFont.lfHeight, used.lfHeight) << Text(control);
    }
}

TEST_F(FormMain, TheDialogIsCentredOnTheScreenOrAtItsCorner) {
    RECT frame{};
    ::GetWindowRect(form->Handle(), &frame);
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const char* small = std::getenv("KAVREX_EXPECT_SMALL_SCREEN");
    if (small && *small) {
        EXPECT_LT(screenWidth, frame.right - frame.left) << small;
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    EXPECT_EQ(screenWidth < width ? 0 : (screenWidth - width) / 2, frame.left);
    EXPECT_EQ(screenHeight < height ? 0 : (screenHeight - height) / 2, frame.top);
}

TEST_F(FormMain, TabAndArrowsWalkTheCheckBoxOkAndCancel) {
    ASSERT_EQ(form->CheckBoxRAR, ::GetFocus());
    const std::vector<std::pair<unsigned, HWND>> walk = {
        {VK_TAB, form->ButtonOK},      {VK_TAB, form->ButtonCancel},  {VK_TAB, form->CheckBoxRAR},
        {VK_RIGHT, form->ButtonOK},    {VK_DOWN, form->ButtonCancel}, {VK_RIGHT, form->CheckBoxRAR},
        {VK_LEFT, form->ButtonCancel}, {VK_UP, form->ButtonOK},
    };
    for (const auto& [key, focus] : walk) {
        Press(key);
        EXPECT_EQ(focus, ::GetFocus()) << "after key " << key;
    }
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(-1, quitCode);
}

TEST_F(FormMain, EnterAtStartRegistersAndCloses) {
    Press(VK_RETURN);
    ASSERT_EQ(1u, boxes.boxes.size());
    const CapturedBox& box = boxes.boxes[0];
    EXPECT_EQ("Associations with this application have been registered.", box.text);
    EXPECT_EQ("Associate with", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), box.flags);
    EXPECT_EQ(application->Handle(), box.owner);
    EXPECT_FALSE(box.dialogEnabled);
    EXPECT_FALSE(box.applicationEnabled);
    EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
    EXPECT_TRUE(::GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(0, quitCode);
    EXPECT_TRUE(::IsWindow(form->Handle())) << "the dialog goes with the message loop";
    EXPECT_EQ("KavrexAssoc", Registered(".rar"));
    EXPECT_EQ("\"C:\\Tools\\Kavrex.exe\" \"%1\"", Registered("KavrexAssoc\\Shell\\Open\\Command"));
    EXPECT_EQ(1u, system.Notifications().size());
}

TEST_F(FormMain, ClearingTheBoxAndPressingOkRemoves) {
    Press(VK_RETURN); // registered
    boxes.boxes.clear();
    quitCode = -1;
    Press(VK_SPACE);
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageA(form->CheckBoxRAR, BM_GETCHECK, 0, 0));
    Press(VK_RETURN);
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("Associations with this application have been removed", boxes.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), boxes.boxes[0].flags);
    EXPECT_EQ(0, quitCode);
    EXPECT_EQ(testing_support::NoValue, Registered(".rar"));
    EXPECT_EQ(testing_support::NoValue, Registered("KavrexAssoc"));
    EXPECT_EQ(2u, system.Notifications().size()) << "the shell hears of each";
}

// Machine-wide means machine-wide: where the elevating account's own classes
// hold .rar (a per-user archive program), registering and removing change the
// machine's classes alone, and the user's keys stay byte for byte.
TEST_F(FormMain, TheUsersOwnClassesAreNeverWritten) {
    const std::string user = "Software\\Classes\\.rar";
    testing_support::SetRawValue(registry, HKEY_CURRENT_USER, user, "", REG_SZ,
                                 std::string("WinArc.rar") + '\0');
    testing_support::SetRawValue(registry, HKEY_CURRENT_USER, user + "\\OpenWithProgids",
                                 "WinArc.rar", REG_NONE, "");
    const auto userKeys = [this] {
        return std::vector<testing_support::RawValue>{
            GetRawValue(registry, HKEY_CURRENT_USER, "Software\\Classes\\.rar", ""),
            GetRawValue(registry, HKEY_CURRENT_USER, "Software\\Classes\\.rar\\OpenWithProgids",
                        "WinArc.rar"),
            GetRawValue(registry, HKEY_CURRENT_USER, "Software\\Classes\\.rar\\OpenWithProgids",
                        "KavrexAssoc")};
    };
    const auto before = userKeys();
    Press(VK_RETURN);
    EXPECT_EQ("KavrexAssoc", DefaultText(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar"));
    EXPECT_EQ(before, userKeys());
    EXPECT_EQ(std::vector<std::string>{"OpenWithProgids"},
              testing_support::SubkeyNames(registry, HKEY_CURRENT_USER, user));

    form.reset(); // a second run of the program
    application = std::make_unique<app::TApplication>("Associate with", boxes);
    form = std::make_unique<app::TFormMain>(*application, association::Platform{registry, system});
    boxes.dialog = form->Handle();
    form->Show();
    Pump();
    Press(VK_SPACE);
    Press(VK_RETURN);
    EXPECT_FALSE(KeyExists(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\KavrexAssoc"));
    EXPECT_EQ(before, userKeys());
}

TEST_F(FormMain, EscapeDoesNothingAndEnterOnCancelChangesNothing) {
    Press(VK_ESCAPE);
    EXPECT_EQ(-1, quitCode);
    Press(VK_TAB);
    Press(VK_TAB);
    ASSERT_EQ(form->ButtonCancel, ::GetFocus());
    Press(VK_RETURN);
    EXPECT_EQ(0, quitCode);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(0, registry.CallCount(emulation::RegistryCall::OpenKey) +
                     registry.CallCount(emulation::RegistryCall::CreateKey));
}

// The program runs elevated; the user's choice still denies setting values.
TEST_F(FormMain, TheUsersOtherChoiceIsNamedAfterRegistering) {
    testing_support::SetRawValue(
        registry, HKEY_CURRENT_USER,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.rar\\UserChoice",
        "ProgId", REG_SZ, std::string("WinArc.rar") + '\0');
    registry.ApplyProfile(emulation::RightsProfile::ElevatedAdministrator);
    Press(VK_RETURN);
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("Associations with this application have been registered.\n\n.rar files still open "
              "with WinArc.rar, because that is your choice in Windows. To open them with Kavrex, "
              "choose it in Settings > Apps > Default apps.",
              boxes.boxes[0].text);
}

// A Kavrex.exe that others could replace is registered for every account only
// when the question before any write is answered Yes (No is the default): then
// with a note of what that means; No writes nothing and closes as Cancel does.
class ReplaceableHandler : public FormMain {
  protected:
    void Answer(int answer) {
        system.SetFileSecurity(L"C:\\Tools", L"O:BAD:(A;;FA;;;BA)(A;;0x1301bf;;;BU)");
        boxes.answer = answer;
        Press(VK_RETURN);
        ASSERT_EQ(answer == IDYES ? 2u : 1u, boxes.boxes.size());
        EXPECT_EQ(app::DialogText(IDS_REPLACEABLE_NOTE) + "\n\n" +
                      app::DialogText(IDS_REPLACEABLE_QUESTION),
                  boxes.boxes[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2),
                  boxes.boxes[0].flags);
        EXPECT_EQ(answer == IDYES,
                  KeyExists(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar"));
        EXPECT_EQ(0, quitCode) << "closed either way";
    }
};

TEST_F(ReplaceableHandler, NoWritesNothing) {
    Answer(IDNO);
}

TEST_F(ReplaceableHandler, YesRegistersWithANote) {
    Answer(IDYES);
    EXPECT_EQ("Associations with this application have been registered.\n\n" +
                  app::DialogText(IDS_REPLACEABLE_NOTE),
              boxes.boxes.back().text);
}

// Started without elevation, where Windows lets it: the machine's classes are read-only.
TEST_F(FormMain, ARefusedRegistrationIsShownAsAnError) {
    registry.ApplyProfile(emulation::RightsProfile::StandardUser);
    Press(VK_RETURN);
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("Associations with this application could not be registered.", boxes.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes.boxes[0].flags);
    EXPECT_EQ(0, quitCode);
}

TEST_F(FormMain, AnEscapedErrorIsShownAndTheDialogStaysOpen) {
    form->RegArchive->OnAssociation = [](association::TComponent*, const std::string&, bool&) {
        throw platform::Exception("Disk full");
    };
    Press(VK_RETURN);
    ASSERT_EQ(1u, boxes.boxes.size());
    EXPECT_EQ("Disk full.", boxes.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes.boxes[0].flags);
    EXPECT_EQ(application->Handle(), boxes.boxes[0].owner);
    EXPECT_EQ(-1, quitCode);
    EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
}

TEST_F(FormMain, EveryWayOfClosingEndsTheLoop) {
    ::SendMessageA(form->Handle(), WM_CLOSE, 0, 0); // the close box and Alt+F4
    Pump();
    EXPECT_EQ(0, quitCode);
    quitCode = -1;
    ::SendMessageA(application->Handle(), WM_CLOSE, 0, 0); // the taskbar button's Close
    Pump();
    EXPECT_EQ(0, quitCode);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(FormMain, TheComponentIsReadFromTheDesign) {
    const association::TRegArchive& component = *form->RegArchive;
    EXPECT_EQ("RegArchive", component.Name);
    EXPECT_EQ(1u, form->ComponentCount());
    EXPECT_FALSE(component.ActivateOnStartup);
    EXPECT_EQ((association::TStringList{".rar"}), form->RegArchive->ArcExtensions());
    EXPECT_EQ("[Appname]", component.ExtDescription());
    EXPECT_EQ("[Appname file]", component.FileDescription());
    EXPECT_EQ("%1", component.ParamString());
    EXPECT_EQ(0u, system.Notifications().size()) << "nothing happens at start";
}

} // namespace

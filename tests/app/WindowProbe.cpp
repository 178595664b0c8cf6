// A helper for the end-to-end test, run in the same Wine prefix as the program:
// reads another process's message box and the registry, with plain Win32 calls.
//   ready                       does nothing (prepares the prefix)
//   box-text                    waits for the program's message box, prints its text (UTF-8)
//   box-layout                  the same, then whether it reads right to left and is right-aligned
//   dialog-texts                waits for the dialog, prints its title, each control's text and
//                               whether it is mirrored
//   press-ok, dismiss-box       clicks the dialog's OK button, or the box's
//   answer-yes                  clicks the question box's Yes
//   activate-dialog, -box       makes the dialog, or the box, the foreground window
//   short-path PATH             prints the short form of PATH
//   dump KEY...                 prints each key below HKEY_CLASSES_ROOT as path=default value,
//                               and its named values as path[name]=value
//   handler EXT                 prints, in UTF-8, the long path of the program that the
//                               extension's open command names, or why there is none
//   delete KEY...               deletes each key below HKEY_CLASSES_ROOT with its subtree
//   -a                          as winemenubuilder.exe, which Wine starts for each
//                               SHCNE_ASSOCCHANGED: adds a line to notified.txt beside itself
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

// A value as text: strings as they are, other types by their type.
std::string ValueText(DWORD type, const char* data) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return data;
    case REG_DWORD:
        return "(REG_DWORD)";
    default:
        return "(type " + std::to_string(type) + ")";
    }
}

void Dump(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    std::string defaultValue = "(none)";
    std::string named;
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        char data[1024] = {};
        DWORD nameLength = sizeof name;
        DWORD size = sizeof data - 1;
        DWORD type = 0;
        if (::RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
            break;
        }
        if (*name) {
            named += path + "[" + name + "]=" + ValueText(type, data) + "\n";
        } else {
            defaultValue = ValueText(type, data);
        }
    }
    std::printf("%s=%s\n%s", path.c_str(), defaultValue.c_str(), named.c_str());
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        Dump(path + "\\" + name);
    }
    ::RegCloseKey(key);
}

std::string DefaultValue(const std::string& path) {
    char value[1024] = {};
    LONG size = sizeof value - 1;
    return ::RegQueryValueA(HKEY_CLASSES_ROOT, path.c_str(), value, &size) == ERROR_SUCCESS ? value
                                                                                            : "";
}

// The UTF-8 form of a wide text.
std::string Utf8(const wchar_t* text) {
    char utf8[16384] = {}; // every note a box may hold
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

std::string TextOf(HWND window) {
    wchar_t text[4096] = {};
    ::GetWindowTextW(window, text, 4096);
    return Utf8(text);
}

struct Search {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindWindowOfClass(HWND window, LPARAM search) {
    auto& wanted = *reinterpret_cast<Search*>(search);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (std::wcscmp(name, wanted.className) == 0 && process != ::GetCurrentProcessId() &&
        ::IsWindowVisible(window)) {
        wanted.found = window;
        return FALSE;
    }
    return TRUE;
}

// Another program's visible window of that class, waited for up to 10 s.
HWND WaitForWindow(const wchar_t* className) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        Search search{className, nullptr};
        ::EnumWindows(FindWindowOfClass, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        ::Sleep(50);
    }
    std::printf("<no window of class %ls>\n", className);
    return nullptr;
}

bool Has(HWND window, int which, LONG_PTR bits) {
    return (::GetWindowLongPtrW(window, which) & bits) != 0;
}

// The message box's text; with "layout", also how it reads.
int BoxText(bool layout) {
    const HWND box = WaitForWindow(L"#32770");
    if (!box) {
        return 1;
    }
    const HWND message = ::GetDlgItem(box, 0xFFFF);
    std::printf("%s\n", TextOf(message).c_str());
    if (layout) {
        const bool rtl = Has(box, GWL_EXSTYLE, WS_EX_RTLREADING | WS_EX_LAYOUTRTL) ||
                         Has(message, GWL_EXSTYLE, WS_EX_RTLREADING | WS_EX_LAYOUTRTL);
        // A mirrored control's left edge is on the right: Wine mirrors the box
        // where Windows gives its text SS_RIGHT.
        const bool rightAligned = ((::GetWindowLongPtrW(message, GWL_STYLE) & SS_TYPEMASK) ==
                                   SS_RIGHT) != Has(message, GWL_EXSTYLE, WS_EX_LAYOUTRTL);
        std::printf("%s %s\n", rtl ? "right-to-left" : "left-to-right",
                    rightAligned ? "right-aligned" : "left-aligned");
    }
    return 0;
}

// The dialog's title, each control's text, and whether it is mirrored.
int DialogTexts() {
    const HWND dialog = WaitForWindow(L"TFormMain");
    if (!dialog) {
        return 1;
    }
    std::printf("%s\n", TextOf(dialog).c_str());
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        std::printf("%s\n", TextOf(child).c_str());
    }
    std::printf("%s\n", Has(dialog, GWL_EXSTYLE, WS_EX_LAYOUTRTL) ? "mirrored" : "not mirrored");
    return 0;
}

// Clicks the dialog's OK button, or the box's.
int Click(const wchar_t* className, int control) {
    const HWND window = WaitForWindow(className);
    return window && ::PostMessageW(::GetDlgItem(window, control), BM_CLICK, 0, 0) ? 0 : 1;
}

// Makes the window of that class Wine's foreground window, where key presses
// go: X's focus alone does not move it for windows that no manager handles.
int Activate(const wchar_t* className) {
    const HWND window = WaitForWindow(className);
    for (int attempt = 0; window && attempt < 200; ++attempt) {
        if (::GetForegroundWindow() == window) {
            return 0;
        }
        ::SetForegroundWindow(window);
        ::Sleep(50);
    }
    std::printf("<not in the foreground: %ls>\n", className);
    return 1;
}

int Handler(const std::string& extension) {
    const std::string type = DefaultValue(extension);
    const std::string command = DefaultValue(type + "\\Shell\\Open\\Command");
    const auto closing = command.find('"', 1);
    if (type.empty() || command.empty() || command[0] != '"' || closing == std::string::npos) {
        std::printf("<no quoted command: %s>\n", command.c_str());
        return 1;
    }
    const std::string program = command.substr(1, closing - 1);
    wchar_t wide[MAX_PATH] = {};
    wchar_t full[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, program.c_str(), -1, wide, MAX_PATH);
    if (!::GetLongPathNameW(wide, full, MAX_PATH)) {
        std::printf("<no such file: %s>\n", program.c_str());
        return 1;
    }
    std::printf("%s\n", Utf8(full).c_str());
    return 0;
}

} // namespace

// Notes the text in the file beside itself, replacing or adding to it, in
// UTF-8, wherever it lies.
int Note(const wchar_t* fileName, const std::string& text, const wchar_t* mode) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, folder, MAX_PATH);
    std::wstring note(folder, length);
    note = note.substr(0, note.rfind(L'\\') + 1) + fileName;
    FILE* file = ::_wfopen(note.c_str(), mode);
    if (!file) {
        return 1;
    }
    std::fprintf(file, "%s\n", text.c_str());
    std::fclose(file);
    return 0;
}

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "ready";
    // Started by the shell as the handler of an archive: the path it was given.
    if (command.size() > 4 && command.compare(command.size() - 4, 4, ".rar") == 0) {
        int count = 0;
        wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
        const int noted = Note(L"opened.txt", count > 1 ? Utf8(wide[1]) : argv[1], L"w");
        ::LocalFree(wide);
        return noted;
    }
    // "-a -r" is Wine's own start-up; "-a" alone answers a notification.
    if (command == "-a") {
        return argc == 2 ? Note(L"notified.txt", "notified", L"a") : 0;
    }
    if (command == "box-text" || command == "box-layout") {
        return BoxText(command == "box-layout");
    }
    if (command == "dialog-texts") {
        return DialogTexts();
    }
    if (command == "press-ok") {
        return Click(L"TFormMain", 101); // the dialog's OK button
    }
    if (command == "dismiss-box") {
        return Click(L"#32770", IDOK);
    }
    if (command == "answer-yes") {
        return Click(L"#32770", IDYES);
    }
    if (command == "activate-dialog" || command == "activate-box") {
        return Activate(command == "activate-dialog" ? L"TFormMain" : L"#32770");
    }
    if (command == "short-path" && argc > 2) {
        char shortPath[MAX_PATH] = {};
        const DWORD length = ::GetShortPathNameA(argv[2], shortPath, sizeof shortPath);
        std::printf("%s\n", length ? shortPath : argv[2]);
        return length ? 0 : 1;
    }
    if (command == "handler" && argc > 2) {
        return Handler(argv[2]);
    }
    for (int i = 2; i < argc; ++i) {
        if (command == "dump") {
            Dump(argv[i]);
        } else if (command == "delete") {
            ::RegDeleteTreeA(HKEY_CLASSES_ROOT, argv[i]);
        }
    }
    return 0;
}

// A helper for the end-to-end test, run in the same Wine prefix as the program:
// reads another process's message box and the registry, with plain Win32 calls.
//   ready                       does nothing (prepares the prefix)
//   box-text                    waits for the "Associate with" message box, prints its text
//   short-path PATH             prints the short form of PATH
//   dump KEY...                 prints each key below HKEY_CLASSES_ROOT as path=default value
//   delete KEY...               deletes each key below HKEY_CLASSES_ROOT with its subtree
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    char name[64] = {};
    char title[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    ::GetWindowTextA(window, title, sizeof title);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (std::strcmp(name, "#32770") == 0 && std::strcmp(title, "Associate with") == 0 &&
        process != ::GetCurrentProcessId() && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

int BoxText() {
    for (int attempt = 0; attempt < 200; ++attempt) {
        HWND box = nullptr;
        ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
        if (box) {
            char text[512] = {};
            ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // the message's static
            std::printf("%s\n", text);
            return 0;
        }
        ::Sleep(50);
    }
    std::printf("<no message box>\n");
    return 1;
}

void Dump(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    const bool hasValue =
        ::RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
        ERROR_SUCCESS;
    std::printf("%s=%s\n", path.c_str(), hasValue ? value : "(none)");
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

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "ready";
    if (command == "box-text") {
        return BoxText();
    }
    if (command == "short-path" && argc > 2) {
        char shortPath[MAX_PATH] = {};
        const DWORD length = ::GetShortPathNameA(argv[2], shortPath, sizeof shortPath);
        std::printf("%s\n", length ? shortPath : argv[2]);
        return length ? 0 : 1;
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

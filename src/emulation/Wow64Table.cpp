#include "EmulatedRegistryApi.h"

#include "platform/RegistryNames.h"

#include <string_view>

namespace emulation {

using namespace platform;

namespace {

// "Registry Keys Affected by WOW64" (learn.microsoft.com/windows/win32/
// winprog64/shared-registry-keys), the column for Windows 7 and later: a key
// takes the state of the longest row it lies within, and a key no row names is
// shared. A 32-bit process's call on a redirected key lands below the row's
// Wow6432Node: HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node for the machine's
// software, Software\Classes\Wow6432Node for the COM keys of the classes.
struct Wow64Row {
    const char* key;
    bool redirected;
    std::size_t after = 0; // redirected: Wow6432Node goes after this many levels below the root
};
// clang-format off
constexpr Wow64Row Wow64Rows[] = {
    {"HKEY_LOCAL_MACHINE\\SOFTWARE", true, 1},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Appid", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\DirectShow", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\HCP", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Interface", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Media Type", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MediaFoundation", true, 2},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\COM3", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Calais\\Current", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Calais\\Readers", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Cryptography\\Services", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\CTF\\SystemShared", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\CTF\\TIP", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DFS", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Driver Signing", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\EnterpriseCertificates", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\EventSystem", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSMQ", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Non-Driver Signing", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Notepad\\DefaultFonts", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\OLE", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\RAS", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\RPC", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\SOFTWARE\\Microsoft\\Shared Tools\\MSInfo", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\SystemCertificates", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\TermServLicensing", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\TransactionServer", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cursors\\Schemes", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\KindMap", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Group Policy", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\PreviewHandlers", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Telephony\\Locations", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Console", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontDpi", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontLink", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontMapper", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Gre_Initialize", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Language Pack", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies", false},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\RegisteredApplications", false},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\CLSID", true, 2},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\DirectShow", true, 2},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Interface", true, 2},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Media Type", true, 2},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Classes\\MediaFoundation", true, 2},
};
// clang-format on
constexpr const char* Wow64Node = "Wow6432Node";

// The row a key takes its state from; null when none names it (shared).
const Wow64Row* Wow64RowOf(const std::string& keyPath) {
    const Wow64Row* found = nullptr;
    for (const Wow64Row& row : Wow64Rows) {
        if (IsWithinPath(keyPath, row.key) &&
            (!found || std::string_view(row.key).size() > std::string_view(found->key).size())) {
            found = &row;
        }
    }
    return found;
}

} // namespace

// A 32-bit process's call (or one that asks for KEY_WOW64_32KEY) on a
// redirected key reaches it below Wow6432Node; KEY_WOW64_64KEY reaches the
// 64-bit view ("Accessing an Alternate Registry View"). A handle already in
// Wow6432Node stands for its logical key, which is mapped anew.
void EmulatedRegistryApi::ApplyView(Target& target, REGSAM access) {
    const bool view32 = (access & KEY_WOW64_32KEY) || (wow64_ && !(access & KEY_WOW64_64KEY));
    if (!view32) {
        return;
    }
    std::vector<std::string> names = target.levels;
    KeyRef root = target.base;
    for (; !root->isRoot; root = root->parent.lock()) {
        if (!SameName(root->name, Wow64Node)) {
            names.insert(names.begin(), root->name);
        }
    }
    std::string logical = root->path;
    for (const std::string& name : names) {
        logical = JoinPath(logical, name);
    }
    const Wow64Row* row = Wow64RowOf(logical);
    if (row && row->redirected) {
        names.insert(names.begin() + static_cast<std::ptrdiff_t>(row->after), Wow64Node);
    }
    target.base = root;
    target.levels = std::move(names);
    target.path = ChildPath(root->path, target.levels);
}

} // namespace emulation

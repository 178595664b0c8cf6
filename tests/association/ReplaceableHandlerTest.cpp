// Whether accounts other than administrators could replace the handler, read
// from the descriptors of the file and of each folder on its path.
#include "association/ReplaceableHandler.h"
#include "emulation/EmulatedSystemApi.h"
#include "platform/ProcessPaths.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

using association::Replaceable;

// A drive's root as Windows sets it: authenticated users may make folders
// there, and what they make gives them the right to change it.
constexpr const wchar_t* DriveRoot =
    L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
    L"D:PAI(A;OICIIO;SDGXGWGR;;;AU)(A;;LC;;;AU)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
    L"(A;OICI;0x1200a9;;;BU)";
// A folder made at the root, and its file, with what the root gave them.
constexpr const wchar_t* FolderAtRoot =
    L"O:BAD:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)"
    L"(A;OICIIOID;SDGXGWGR;;;AU)";
constexpr const wchar_t* FileAtRoot =
    L"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)";
constexpr const wchar_t* InProfile =
    L"O:S-1-5-21-1-2-3-1001D:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;FA;;;S-1-5-21-1-2-3-1001)";

using Descriptors = std::vector<std::pair<std::wstring, std::optional<std::wstring>>>;

struct Case {
    const char* name;
    const wchar_t* handler;
    bool exists;
    Descriptors descriptors; // a path without one is protected as Program Files is
    Replaceable expected;
    const char* who;
    const char* where;
};

const Case Cases[] = {
    {"an installer's folder below a root where anyone may make folders",
     L"C:\\Program Files\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\", DriveRoot}},
     Replaceable::No,
     "",
     ""},
    {"a folder made at the root: its file",
     L"C:\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Kavrex\\Kavrex.exe", FileAtRoot}, {L"C:\\Kavrex", FolderAtRoot}, {L"C:\\", DriveRoot}},
     Replaceable::ByFileRights,
     "Authenticated Users",
     "C:\\Kavrex\\Kavrex.exe"},
    {"a folder made at the root, without the file yet",
     L"C:\\Kavrex\\Kavrex.exe",
     false,
     {{L"C:\\Kavrex", FolderAtRoot}},
     Replaceable::ByFolderRights,
     "Authenticated Users",
     "C:\\Kavrex"},
    {"a folder in a profile",
     L"C:\\Users\\Ann\\Downloads\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Users\\Ann\\Downloads\\Kavrex\\Kavrex.exe", InProfile}},
     Replaceable::ByFileRights,
     "the account S-1-5-21-1-2-3-1001",
     "C:\\Users\\Ann\\Downloads\\Kavrex\\Kavrex.exe"},
    {"a file a standard user owns",
     L"C:\\Program Files\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Program Files\\Kavrex\\Kavrex.exe",
       L"O:S-1-5-21-1-2-3-1001D:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)"}},
     Replaceable::ByOwner,
     "the account S-1-5-21-1-2-3-1001",
     "C:\\Program Files\\Kavrex\\Kavrex.exe"},
    {"a descriptor that cannot be read",
     L"C:\\Program Files\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Program Files", std::nullopt}},
     Replaceable::Unreadable,
     "",
     "C:\\Program Files"},
    {"a right this reader does not know",
     L"C:\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Kavrex\\Kavrex.exe", L"O:BAD:(A;;ZZ;;;BU)"}},
     Replaceable::Unreadable,
     "",
     "C:\\Kavrex\\Kavrex.exe"},
    {"no access list at all",
     L"C:\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Kavrex\\Kavrex.exe", L"O:BAD:NO_ACCESS_CONTROL"}},
     Replaceable::ByFileRights,
     "Everyone",
     "C:\\Kavrex\\Kavrex.exe"},
    {"a deny for everyone before an allow",
     L"C:\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Kavrex\\Kavrex.exe", L"O:BAD:(D;;FA;;;WD)(A;;FA;;;BU)"}},
     Replaceable::No,
     "",
     ""},
    {"an allow before a deny",
     L"C:\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Kavrex\\Kavrex.exe", L"O:BAD:(A;;FA;;;BU)(D;;FA;;;WD)"}},
     Replaceable::ByFileRights,
     "Users",
     "C:\\Kavrex\\Kavrex.exe"},
    {"entries for children only",
     L"C:\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Kavrex", L"O:BAD:PAI(A;OICIIO;GA;;;BU)(A;OICIIO;GA;;;CO)(A;;FA;;;BA)"}},
     Replaceable::No,
     "",
     ""},
    {"a mask spelled in rights' names",
     L"C:\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Kavrex\\Kavrex.exe", L"O:BAD:(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;IU)"}},
     Replaceable::ByFileRights,
     "INTERACTIVE",
     "C:\\Kavrex\\Kavrex.exe"},
    {"a folder above that users may rename",
     L"C:\\Tools\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Tools", L"O:BAD:(A;;FA;;;BA)(A;;0x10000;;;AU)"}},
     Replaceable::ByPathFolderRights,
     "Authenticated Users",
     "C:\\Tools"},
    {"a folder above that users may add to",
     L"C:\\Tools\\Kavrex\\Kavrex.exe",
     true,
     {{L"C:\\Tools", L"O:BAD:(A;;FA;;;BA)(A;;0x6;;;AU)"}},
     Replaceable::No,
     "",
     ""},
    {"a folder that the ANSI code page cannot spell",
     L"C:\\\x0395\x03C1\x03B3\\Kavrex.exe",
     false,
     {{L"C:\\\x0395\x03C1\x03B3", FolderAtRoot}},
     Replaceable::ByFolderRights,
     "Authenticated Users",
     "a folder whose name this code page cannot spell"},
    {"a share",
     L"\\\\server\\apps\\Kavrex\\Kavrex.exe",
     true,
     {},
     Replaceable::OnShare,
     "",
     "\\\\server\\apps\\Kavrex\\Kavrex.exe"},
    {"a network drive",
     L"N:\\Kavrex\\Kavrex.exe",
     true,
     {},
     Replaceable::OnShare,
     "",
     "N:\\Kavrex\\Kavrex.exe"},
    {"a long path's prefix",
     L"\\\\?\\C:\\Kavrex\\Kavrex.exe",
     false,
     {{L"C:\\Kavrex", FolderAtRoot}},
     Replaceable::ByFolderRights,
     "Authenticated Users",
     "C:\\Kavrex"},
};

TEST(ReplaceableHandler, TheFileAndEachFolderOnItsPathAreWeighed) {
    for (const Case& c : Cases) {
        emulation::EmulatedSystemApi system;
        system.SetDriveType(L'N', DRIVE_REMOTE);
        if (c.exists) {
            system.AddFile(c.handler);
        }
        for (const auto& [path, descriptor] : c.descriptors) {
            system.SetFileSecurity(path, descriptor);
        }
        const association::HandlerSafety safety =
            association::CheckHandlerSafety(system, c.handler);
        EXPECT_EQ(c.expected, safety.replaceable) << c.name;
        EXPECT_EQ(c.who, safety.who) << c.name;
        EXPECT_EQ(c.where, safety.where) << c.name;
    }
}

// A junction on the way: the path the registry names is judged level by level
// as it is named (the junction itself, and the folders it stands in), and the
// folders the file really lies in too.
TEST(ReplaceableHandler, ThePathAsNamedAndAsResolvedAreJudged) {
    const struct {
        const char* name;
        const wchar_t* junction;
        const wchar_t* target;
        Descriptors descriptors;
        Replaceable expected;
        const char* where;
    } cases[] = {
        {"a junction to a folder users may change",
         L"C:\\Kavrex Link",
         L"C:\\Kavrex",
         {{L"C:\\Kavrex", FolderAtRoot}},
         Replaceable::ByFolderRights,
         "C:\\Kavrex"},
        {"a user's junction to Program Files",
         L"C:\\Users\\Ann\\Downloads\\K",
         L"C:\\Program Files\\Kavrex",
         {{L"C:\\Users\\Ann\\Downloads\\K", InProfile}},
         Replaceable::ByFolderRights,
         "C:\\Users\\Ann\\Downloads\\K"},
        {"an administrator's junction in a folder made at the root",
         L"C:\\Tools\\Kavrex",
         L"C:\\Program Files\\Kavrex",
         {{L"C:\\Tools", FolderAtRoot}},
         Replaceable::ByPathFolderRights,
         "C:\\Tools"},
        {"a junction inside a protected folder",
         L"C:\\Program Files\\Kavrex",
         L"D:\\Kavrex",
         {},
         Replaceable::No,
         ""},
    };
    for (const auto& c : cases) {
        emulation::EmulatedSystemApi system;
        const std::wstring handler = std::wstring(c.junction) + L"\\Kavrex.exe";
        system.AddFile(handler);
        system.SetLink(c.junction, c.target);
        for (const auto& [path, descriptor] : c.descriptors) {
            system.SetFileSecurity(path, descriptor);
        }
        const association::HandlerSafety safety = association::CheckHandlerSafety(system, handler);
        EXPECT_EQ(c.expected, safety.replaceable) << c.name;
        EXPECT_EQ(c.where, safety.where) << c.name;
    }
}

#ifdef _WIN32
bool RunsUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
#endif

// The platform's own descriptors are read: under Wine every file belongs to
// the Wine account, which may change it. On Windows the build folder's rights
// are the machine's: they are read, and whoever the verdict names is named.
TEST(ReplaceableHandler, ThisSystemsDescriptorsAreRead) {
    platform::SystemApi& system = platform::SystemServices();
    const auto safety =
        association::CheckHandlerSafety(system, platform::RunningProgramPath(system));
#ifdef _WIN32
    if (RunsUnderWine()) {
        EXPECT_EQ(Replaceable::ByFileRights, safety.replaceable) << safety.where;
        EXPECT_EQ("the account S-1-5-21-0-0-0-1000", safety.who);
        return;
    }
    EXPECT_NE(Replaceable::Unreadable, safety.replaceable) << safety.where;
    EXPECT_NE(Replaceable::OnShare, safety.replaceable) << safety.where;
    EXPECT_EQ(safety.replaceable == Replaceable::No, safety.who.empty()) << safety.where;
#else
    EXPECT_EQ(Replaceable::No, safety.replaceable) << safety.where;
#endif
}

} // namespace

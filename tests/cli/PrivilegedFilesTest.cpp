// What a standard user could plant where a privileged run writes: the audit
// log and the exported file are never written through a link, the log never
// where another account could change it; a user's own run writes as asked.
#include "cli/Machine.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace testing_support;
using emulation::RightsProfile;

constexpr const wchar_t* Folder = L"C:\\Data\\Logs";
constexpr const wchar_t* Log = L"C:\\Data\\Logs\\kavrex.jsonl";
constexpr const wchar_t* Xml = L"C:\\Data\\Logs\\kavrex.xml";
constexpr const wchar_t* Target = L"C:\\Windows\\system32\\config\\important";
// A folder in ProgramData as a standard user makes it: theirs, and Users may add files.
constexpr const wchar_t* UsersFolder =
    L"O:S-1-5-21-1-2-3-1002D:(A;OICI;FA;;;S-1-5-21-1-2-3-1002)(A;OICI;FA;;;SY)"
    L"(A;OICI;FA;;;BA)(A;CI;0x100116;;;BU)";
constexpr const wchar_t* UsersFile = L"O:S-1-5-21-1-2-3-1002D:(A;;FA;;;S-1-5-21-1-2-3-1002)";

struct Plant {
    const char* what;
    std::function<void(emulation::EmulatedSystemApi&, const std::wstring& file)> plant;
    bool refused;   // as a privileged run
    bool logWarned; // an --output there is written, with a warning
};

const Plant Plants[] = {
    {"nothing: an ordinary file", [](auto&, const std::wstring&) {}, false, false},
    {"a junction on the folder",
     [](auto& s, const std::wstring&) { s.SetLink(Folder, L"C:\\Windows\\system32\\config"); },
     true, false},
    {"a junction on a folder above",
     [](auto& s, const std::wstring&) { s.SetLink(L"C:\\Data", L"C:\\Windows\\system32"); }, true,
     false},
    {"a hard link to another file",
     [](auto& s, const std::wstring& file) { s.AddHardLink(file, Target); }, true, false},
    {"a symbolic link at the file's name",
     [](auto& s, const std::wstring& file) { s.SetLink(file, Target); }, true, false},
    {"a folder Users may add files to",
     [](auto& s, const std::wstring&) { s.SetFileSecurity(Folder, UsersFolder); }, true, true},
    // Made by this run's open, then refused: deleted again through its handle.
    {"a name whose file others could change once made",
     [](auto& s, const std::wstring& file) { s.SetFileSecurity(file, UsersFile); }, true, false},
    {"a folder above that a user made, and so may rename",
     [](auto& s, const std::wstring&) { s.SetFileSecurity(L"C:\\Data", UsersFolder); }, true, true},
    {"a log file a user made first",
     [](auto& s, const std::wstring& file) {
         s.PutFile(file, "");
         s.SetFileSecurity(file, UsersFile);
     },
     true, false},
};

void Prepare(Machine& machine, const char* sid, RightsProfile profile) {
    machine.system.SetProcessUser(sid);
    machine.registry.ApplyProfile(profile);
    machine.system.PutFile(Target, "what the system keeps");
}

// As an administrator and as LocalSystem: refused with a warning that says
// why, the run itself unchanged; the linked file untouched; anything this
// open made is deleted again.
TEST(PrivilegedFiles, TheLogIsNeverWrittenThroughALinkNorWhereOthersCouldChangeIt) {
    for (const char* sid : {"S-1-5-21-1-2-3-1001", "S-1-5-18"}) {
        for (const Plant& p : Plants) {
            SCOPED_TRACE(std::string(sid) + ": " + p.what);
            Machine machine;
            Prepare(machine, sid, RightsProfile::ElevatedAdministrator);
            p.plant(machine.system, Log);
            const std::optional<std::string> before = machine.system.FileContents(Log);
            EXPECT_EQ(0, machine.Cli({"register", "--log", Narrow(Log).c_str()}));
            EXPECT_TRUE(machine.OpensWithKavrex());
            EXPECT_EQ("what the system keeps", machine.system.FileContents(Target));
            const bool warned =
                machine.console.err.find("Warning: the audit log") != std::string::npos;
            EXPECT_EQ(p.refused, warned) << machine.console.err;
            if (p.refused) {
                EXPECT_EQ(before, machine.system.FileContents(Log)) << "left as it was";
            }
            EXPECT_EQ(!p.refused, machine.system.FileContents(Log).value_or("").find("register") !=
                                      std::string::npos);
        }
    }
}

// --output: a link is refused (exit 3); a folder others could change is
// written, with a warning; --force renames a new file over a hard link's
// name, and the other file keeps its bytes.
TEST(PrivilegedFiles, AnOutputFileIsNeverWrittenThroughALink) {
    for (const Plant& p : Plants) {
        SCOPED_TRACE(p.what);
        Machine machine;
        Prepare(machine, "S-1-5-18", RightsProfile::LocalSystem);
        p.plant(machine.system, Xml);
        const int exitCode =
            machine.Cli({"export-defaults", "--output", Narrow(Xml).c_str(), "--force"});
        const bool linked = std::string(p.what).find("junction") != std::string::npos;
        EXPECT_EQ(linked ? 3 : 0, exitCode) << machine.console.err;
        EXPECT_EQ("what the system keeps", machine.system.FileContents(Target));
        EXPECT_EQ(!linked, machine.system.FileContents(Xml).value_or("").find("<?xml") == 0);
        EXPECT_EQ(p.logWarned, machine.console.err.find("could change") != std::string::npos)
            << machine.console.err;
    }
}

// The folder is held from its check to the end of the write: swapped for a
// junction meanwhile (renamed away, a link made in its place) it is refused,
// and --force's new file is renamed by its handle into the folder checked.
// A stream's name (a ":" after the drive) is no file to write.
TEST(PrivilegedFiles, TheCheckedFolderIsHeldUntilTheWriteEnds) {
    for (const wchar_t* swapped : {Folder, L"C:\\Data"}) {
        Machine machine;
        Prepare(machine, "S-1-5-18", RightsProfile::LocalSystem);
        machine.system.PutFile(Xml, "old");
        bool swappedMeanwhile = true;
        machine.system.OnWrite([&] {
            swappedMeanwhile = machine.system.SwapForLink(swapped, L"C:\\Windows\\system32");
        });
        EXPECT_EQ(0, machine.Cli({"export-defaults", "--output", Narrow(Xml).c_str(), "--force"}));
        EXPECT_FALSE(swappedMeanwhile) << Narrow(swapped);
        EXPECT_EQ(0u, machine.system.FileContents(Xml).value_or("").find("<?xml"));
        EXPECT_EQ("what the system keeps", machine.system.FileContents(Target));
    }
    Machine machine;
    Prepare(machine, "S-1-5-18", RightsProfile::LocalSystem);
    EXPECT_EQ(3, machine.Cli({"export-defaults", "--output", "C:\\Data\\Logs:kavrex.xml"}));
    EXPECT_NE(std::string::npos, machine.console.err.find("names a file's stream"));
    EXPECT_EQ(1, machine.Cli({"status", "--log", "C:\\Data:kavrex.jsonl"}));
    EXPECT_NE(std::string::npos, machine.console.err.find("names a file's stream"));
}

// A standard user's own run writes where it is told, through its own links.
TEST(PrivilegedFiles, AStandardUsersRunFollowsItsOwnLinks) {
    Machine machine;
    Prepare(machine, "S-1-5-21-1-2-3-1001", RightsProfile::StandardUser);
    machine.system.SetLink(Folder, L"D:\\Mine");
    machine.Cli({"status", "--log", Narrow(Log).c_str()});
    EXPECT_NE(std::string::npos,
              machine.system.FileContents(L"D:\\Mine\\kavrex.jsonl").value_or("").find("status"));
}

} // namespace

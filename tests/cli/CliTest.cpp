// kavrex-assoc on the emulated registry: verdicts, exit codes, argument errors,
// scopes, dry runs, JSON and the default-associations XML.
#include "cli/Cli.h"
#include "Version.h"
#include "cli/CapturingConsole.h"
#include "emulation/EmulatedSystemApi.h"
#include "platform/OverlayRegistryApi.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace testing_support;
using nlohmann::json;

constexpr const char* HandlerShort = "C:\\PROGRA~1\\Kavrex\\Kavrex.exe";
constexpr const char* HandlerLong = "C:\\Program Files\\Kavrex\\Kavrex.exe";

class KavrexAssocCli : public ::testing::Test {
  protected:
    void SetUp() override {
        system.SetModuleFileName(L"C:\\Program Files\\Kavrex\\kavrex-assoc.exe");
        system.AddFile(Wide(HandlerLong), Wide(HandlerShort));
        system.AddFile(L"C:\\other.exe");
    }
    int Run(std::vector<const char*> arguments) {
        console.out.clear(); // the files stay
        console.err.clear();

        arguments.insert(arguments.begin(), "kavrex-assoc");
        cli::Environment environment{registry, system, console};
        return cli::RunCommandLine(static_cast<int>(arguments.size()), arguments.data(),
                                   environment);
    }
    void Set(HKEY root, const std::string& key, const std::string& text,
             const std::string& name = "") {
        SetRawValue(registry, root, key, name, REG_SZ, text + '\0');
    }
    // An entry of one hive's classes: extension -> type -> command.
    void SetEntry(HKEY root, const std::string& type, const std::string& command) {
        Set(root, "Software\\Classes\\.rar", type);
        Set(root, "Software\\Classes\\" + type + "\\Shell\\Open\\Command", command);
    }
    json StatusJson() {
        Run({"status", "--json"});
        return json::parse(console.out)["extensions"][0];
    }

    emulation::EmulatedRegistryApi registry;
    emulation::EmulatedSystemApi system;
    CapturingConsole console;
};

const std::string Ours = std::string("\"") + HandlerShort + "\" \"%1\"";
constexpr const char* UserChoice =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.rar\\UserChoice";

TEST_F(KavrexAssocCli, TheVerdictWeighsMachineUserAndTheUsersChoice) {
    const struct {
        const char* what;
        const char* machine; // type: "KavrexAssoc" opens Kavrex, another type opens other.exe
        const char* user;
        const char* choice;
        const char* verdict;
        const char* openedBy;
    } cases[] = {
        {"nothing", nullptr, nullptr, nullptr, "not-associated", nullptr},
        {"machine", "KavrexAssoc", nullptr, nullptr, "opens-with-kavrex", nullptr},
        {"machine, another", "WinArc", nullptr, nullptr, "associated-with-other", "WinArc"},
        {"user over machine", "KavrexAssoc", "WinArc", nullptr, "associated-with-other", "WinArc"},
        {"user", "WinArc", "KavrexAssoc", nullptr, "opens-with-kavrex", nullptr},
        {"choice over both", "KavrexAssoc", "KavrexAssoc", "WinArc", "user-choice-other", "WinArc"},
        {"choice of ours", "WinArc", nullptr, "KavrexAssoc", "user-choice-other", "KavrexAssoc"},
        {"choice of ours, registered", "KavrexAssoc", nullptr, "KavrexAssoc", "opens-with-kavrex",
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registry = emulation::EmulatedRegistryApi();
        for (const auto& [root, type] :
             {std::pair(HKEY_LOCAL_MACHINE, c.machine), std::pair(HKEY_CURRENT_USER, c.user)}) {
            if (type) {
                SetEntry(root, type,
                         std::string(type) == "KavrexAssoc" ? Ours : "\"C:\\other.exe\" \"%1\"");
            }
        }
        if (c.choice) {
            Set(HKEY_CURRENT_USER, UserChoice, c.choice, "ProgId");
        }
        const json status = StatusJson();
        EXPECT_EQ(c.verdict, status["verdict"]);
        EXPECT_EQ(c.openedBy ? json(c.openedBy) : json(nullptr), status["openedBy"]);
        EXPECT_EQ(c.choice ? json(c.choice) : json(nullptr), status["userChoice"]);
        EXPECT_EQ(std::string(c.verdict) == "opens-with-kavrex" ? 0 : 1, Run({"status"}));
    }
}

// The program that Windows would start: quoted, or the shortest existing prefix
// of an unquoted command, with environment variables expanded in REG_EXPAND_SZ.
TEST_F(KavrexAssocCli, TheCommandIsReadAsWindowsStartsIt) {
    system.SetEnvironmentVariable("ProgramFiles", "C:\\Program Files");
    const struct {
        const char* command;
        DWORD type;
        bool shorterProgramExists; // C:\Program.exe
        const char* verdict;
    } cases[] = {
        {"\"C:\\PROGRA~1\\Kavrex\\Kavrex.exe\" \"%1\"", REG_SZ, false, "opens-with-kavrex"},
        {"\"c:\\program files\\kavrex\\KAVREX.EXE\" \"%1\"", REG_SZ, false, "opens-with-kavrex"},
        {"C:\\Program Files\\Kavrex\\Kavrex.exe %1", REG_SZ, false, "opens-with-kavrex"},
        {"C:\\Program Files\\Kavrex\\Kavrex %1", REG_SZ, false, "opens-with-kavrex"},
        {"C:\\Program Files\\Kavrex\\Kavrex.exe %1", REG_SZ, true, "associated-with-other"},
        {"\"%ProgramFiles%\\Kavrex\\Kavrex.exe\" \"%1\"", REG_EXPAND_SZ, false,
         "opens-with-kavrex"},
        {"\"%ProgramFiles%\\Kavrex\\Kavrex.exe\" \"%1\"", REG_SZ, false, "associated-with-other"},
        {"\"C:\\Program Files\\Kavrex\\Kavrex.exe %1", REG_SZ, false, "broken"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        registry = {};
        if (c.shorterProgramExists) {
            system.AddFile(L"C:\\Program.exe");
        }
        Set(HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar", "Kvx.Type");
        SetRawValue(registry, HKEY_LOCAL_MACHINE,
                    "Software\\Classes\\Kvx.Type\\Shell\\Open\\Command", "", c.type,
                    std::string(c.command) + '\0');
        // The x86 build on 64-bit Windows reads %ProgramFiles% as the 64-bit shell does.
        for (const char* x86Folder : {"C:\\Program Files", "C:\\Program Files (x86)"}) {
            system.SetEnvironmentVariable("ProgramFiles", x86Folder);
            const json status = StatusJson();
            EXPECT_EQ(c.verdict == std::string("opens-with-kavrex"),
                      status["machine"]["opensKavrex"])
                << x86Folder;
            EXPECT_EQ(c.verdict, status["verdict"]);
            system.SetEnvironmentVariable("ProgramW6432", "C:\\Program Files");
        }
    }
}

// A command's program off the local fixed drives is never looked up: a share,
// a device path or a network or removable drive would have the machine reach
// out to a host the command's writer chose. It is reported as not checked.
TEST_F(KavrexAssocCli, ACommandOffTheLocalFixedDrivesIsNeverLookedUp) {
    system.SetDriveType(L'N', DRIVE_REMOTE);
    system.SetDriveType(L'R', DRIVE_REMOVABLE);
    const char* commands[] = {
        "\"\\\\host\\share\\x.exe\" \"%1\"",
        "\\\\host\\share\\x.exe %1",
        "\\\\?\\UNC\\host\\share\\x.exe %1",
        "\\\\.\\pipe\\x %1",
        "\\??\\C:\\x.exe %1",
        "N:\\x.exe %1",
        "\"R:\\x.exe\" \"%1\"",
    };
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        registry = {};
        SetEntry(HKEY_LOCAL_MACHINE, "Kvx.Type", command);
        const std::size_t before = system.LookedUp().size();
        const json status = StatusJson();
        EXPECT_EQ("associated-with-other", status["verdict"]);
        EXPECT_FALSE(status["programChecked"]);
        for (std::size_t i = before; i < system.LookedUp().size(); ++i) {
            EXPECT_EQ(0u, system.LookedUp()[i].rfind(L"C:\\", 0)) << Narrow(system.LookedUp()[i]);
        }
        Run({"status"});
        EXPECT_NE(std::string::npos, console.out.find("was not checked"));
    }
}

// HKEY_CLASSES_ROOT reads a key from the user's classes where they hold it,
// and then not from the machine's, not even a value the user's key lacks.
TEST_F(KavrexAssocCli, TheMergedClassesAreReadKeyByKey) {
    const std::string command = "Software\\Classes\\KavrexAssoc\\Shell\\Open\\Command";
    const struct {
        const char* what;
        bool userExtensionKey; // empty, without a default value
        bool userTypeKey;      // KavrexAssoc, without a command
        bool userCommandKey;   // empty, without a default value
        const char* verdict;
    } cases[] = {
        {"the machine's alone", false, false, false, "opens-with-kavrex"},
        {"the user's extension key, without a type", true, false, false, "not-associated"},
        {"the user's type key, without a command key", false, true, false, "opens-with-kavrex"},
        {"the user's command key, without a command", false, true, true, "broken"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registry = {};
        SetEntry(HKEY_LOCAL_MACHINE, "KavrexAssoc", Ours);
        if (c.userExtensionKey) {
            CreateKey(registry, HKEY_CURRENT_USER, "Software\\Classes\\.rar\\OpenWithProgids");
        }
        if (c.userTypeKey) {
            Set(HKEY_CURRENT_USER, "Software\\Classes\\KavrexAssoc", "Kavrex archive");
        }
        if (c.userCommandKey) {
            CreateKey(registry, HKEY_CURRENT_USER, command);
        }
        EXPECT_EQ(c.verdict, StatusJson()["verdict"]);
    }
}

TEST_F(KavrexAssocCli, ExitCodesAndArgumentErrors) {
    const struct {
        std::vector<const char*> arguments;
        int code;
        const char* said; // in the output or the error stream
    } cases[] = {
        {{}, 2, "A subcommand is required"},
        {{"frobnicate"}, 2, "'frobnicate' is not a command"},
        {{"register", "--ext", ".exe"}, 2, "programs (.exe) are never associated"},
        {{"register", "--ext", ".rar,.EXE"}, 2, "never associated"},
        {{"register", "--ext", "rar"}, 2, "'rar' is refused: not an extension"},
        {{"register", "--scope", "everyone"},
         2,
         "'everyone' is not a scope: --scope takes machine or user"},
        {{"register", "--scope", "1"}, 2, "'1' is not a scope"},
        {{"register", "--scope", "USER", "--dry-run"}, 0, "HKEY_CURRENT_USER\\Software\\Classes"},
        {{"register", "--scope", "Machine", "--dry-run"}, 0, "HKEY_LOCAL_MACHINE\\Software"},
        {{"status", "--dry-run"}, 2, "--dry-run"},
        {{"--help"}, 0, "Exit codes:"},
        {{"register", "--help"}, 0, "--scope machine|user"},
        {{"status", "--help"}, 0, "--ext .ext[,.ext...] "},
        {{"--version"}, 0, "kavrex-assoc " KAVREX_VERSION "\n"},
        {{"status"}, 1, ".rar: not associated"},
        {{"register", "--dry-run"}, 0, "Dry run: nothing was changed."},
        {{"remove"}, 0, "Nothing changed."},
    };
    for (const auto& c : cases) {
        const int code = Run(c.arguments);
        SCOPED_TRACE(std::string(c.said) + " <- " + console.out + console.err);
        EXPECT_EQ(c.code, code);
        EXPECT_NE(std::string::npos, (console.out + console.err).find(c.said));
    }
}

// Nothing is written for a list that holds one refused name or type.
TEST_F(KavrexAssocCli, RefusesNamesThatAreNoExtensionAndTypesThatRunCode) {
    const std::string longest = "." + std::string(221, 'x');
    const std::string tooLong = longest + "x";
    const char* const forbidden = "does not allow in a file name";
    const struct {
        const char* extension;
        const char* said;
    } cases[] = {
        {".r*r", forbidden},
        {".r?r", forbidden},
        {".r\\r", forbidden},
        {".r/r", forbidden},
        {".r r", forbidden},
        {".r\tr", forbidden},
        {".r\x7fr", forbidden},
        {".rar;.zip", forbidden},
        {".r:r", forbidden},
        {".r|r", forbidden},
        {".", "not an extension"},
        {"rar", "not an extension"},
        {"..", "dots alone"},
        {"...", "dots alone"},
        {".a.b.", "trailing dot"},
        {".exe.", "trailing dot"},
        {".tar.gz", "a second dot"},
        {tooLong.c_str(), "longer than 222 characters"},
        {".LNK", "shortcuts"},
        {".bat", "batch files"},
        {".scr", "screen savers"},
        {".url", "internet shortcuts"},
        {".msi", "installer packages"},
        {".vbs", "scripts"},
        {".ps1", "PowerShell scripts"},
        {".cmd", "command files"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        const std::string list = std::string(".zip,") + c.extension;
        EXPECT_EQ(2, Run({"register", "--scope", "user", "--ext", list.c_str()}));
        EXPECT_NE(std::string::npos, console.err.find(c.said)) << console.err;
        EXPECT_FALSE(KeyExists(registry, HKEY_CURRENT_USER, "Software\\Classes\\.zip"));
    }
    for (const char* archive : {".jar", ".cab", ".tar", ".7z", ".é", longest.c_str()}) {
        EXPECT_EQ(1, Run({"status", "--ext", archive})) << archive << console.err;
    }
    // The longest that is taken is written and taken back whole.
    EXPECT_EQ(0, Run({"register", "--scope", "user", "--ext", longest.c_str()})) << console.err;
    EXPECT_EQ(0, Run({"status", "--ext", longest.c_str()}));
    EXPECT_EQ(0, Run({"remove", "--scope", "user"}));
    EXPECT_TRUE(SubkeyNames(registry, HKEY_CURRENT_USER, "Software\\Classes").empty());
}

TEST_F(KavrexAssocCli, RegistryDataCannotFakeALineOfTheReport) {
    SetEntry(HKEY_LOCAL_MACHINE, "Evil\n.zip: opens with Kavrex", "x.exe\r\n%1");
    EXPECT_EQ(1, Run({"status"}));
    EXPECT_NE(std::string::npos,
              console.out.find("Evil\\x0A.zip: opens with Kavrex -> x.exe\\x0D\\x0A%1"))
        << console.out;
    EXPECT_EQ(9, std::count(console.out.begin(), console.out.end(), '\n')) << console.out;
}

// A key that is there, but holds a subkey whose name the code page cannot
// spell, is never taken for a key that is not there.
TEST_F(KavrexAssocCli, AKeyThatCannotBeReadWholeIsNotTakenForAbsent) {
    Set(HKEY_CURRENT_USER, "Software\\Classes\\.rar", "WinArc");
    CreateKey(registry, HKEY_CURRENT_USER, "Software\\Classes\\.rar\\Kavr");
    registry.SetEnumeratedName("HKEY_CURRENT_USER\\Software\\Classes\\.rar\\Kavr", "????");
    platform::OverlayRegistryApi overlay(registry, system);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_CANTREAD, overlay.RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\.rar", 0,
                                                    KEY_READ, &key));
    for (const char* dryRun : {"--dry-run", "--json"}) {
        EXPECT_EQ(3, Run({"register", "--scope", "user", dryRun})) << dryRun;
        EXPECT_NE(std::string::npos, console.err.find("could not be read whole")) << console.err;
        EXPECT_EQ(std::string::npos, console.out.find("create key")) << console.out;
    }
}

// Each registry call of a dry run refused in turn: it changes nothing, and it
// either lists exactly what a clean dry run lists or says that it failed.
TEST_F(KavrexAssocCli, ADryRunWithARefusedCallNeverListsWrongChanges) {
    const auto prepare = [&] {
        registry = {};
        Set(HKEY_CURRENT_USER, "Software\\Classes\\.rar", "WinArc");
        Set(HKEY_CURRENT_USER, "Software\\Classes\\.rar", "x/rar", "Content Type");
        SetEntry(HKEY_CURRENT_USER, "KavrexAssoc", std::string(HandlerLong) + " %1");
    };
    const emulation::RegistryCall calls[] = {
        emulation::RegistryCall::OpenKey,    emulation::RegistryCall::CloseKey,
        emulation::RegistryCall::QueryValue, emulation::RegistryCall::QueryInfoKey,
        emulation::RegistryCall::EnumKey,    emulation::RegistryCall::EnumValue};
    prepare();
    std::map<emulation::RegistryCall, int> before;
    for (const auto call : calls) {
        before[call] = registry.CallCount(call);
    }
    ASSERT_EQ(0, Run({"register", "--scope", "user", "--dry-run", "--json"}));
    const json clean = json::parse(console.out)["changes"];
    for (const auto call : calls) {
        const int count = registry.CallCount(call) - before[call];
        ASSERT_LT(0, count) << static_cast<int>(call);
        for (int n = 1; n <= count; ++n) {
            SCOPED_TRACE(std::to_string(static_cast<int>(call)) + " #" + std::to_string(n));
            prepare();
            const std::string stored =
                DefaultText(registry, HKEY_CURRENT_USER,
                            "Software\\Classes\\KavrexAssoc\\Shell\\Open\\Command");
            registry.FailNthCall(call, n, ERROR_ACCESS_DENIED);
            const int code = Run({"register", "--scope", "user", "--dry-run", "--json"});
            if (code == 0) {
                EXPECT_EQ(clean, json::parse(console.out)["changes"]);
            }
            registry.ClearFaults();
            EXPECT_EQ(stored, DefaultText(registry, HKEY_CURRENT_USER,
                                          "Software\\Classes\\KavrexAssoc\\Shell\\Open\\Command"));
        }
    }
}

// A refused write is said as registering met it: the row, its key and the
// Windows error, without reading the registry again.
TEST_F(KavrexAssocCli, ARefusedWriteNamesItsRowAndError) {
    const std::string command =
        "HKEY_CURRENT_USER\\Software\\Classes\\KavrexAssoc\\Shell\\Open\\Command";
    registry.FailCallOnKey(emulation::RegistryCall::SetValue, command, ERROR_ACCESS_DENIED);
    EXPECT_EQ(3, Run({"register", "--scope", "user", "--ext", ".rar,.zip", "--json"}));
    EXPECT_EQ("partly-failed", json::parse(console.out)["reason"]);
    for (const char* extension : {".rar", ".zip"}) {
        EXPECT_NE(std::string::npos,
                  console.err.find(command +
                                   " [(default)] could not be written (Windows error 5), "
                                   "so " +
                                   extension + " is not registered whole."))
            << console.err;
    }
}

TEST_F(KavrexAssocCli, ADuplicateCountsOnce) {
    EXPECT_EQ(0, Run({"register", "--scope", "user", "--ext", ".rar,.RAR,.zip,.Rar", "--json"}));
    EXPECT_EQ(0, Run({"status", "--ext", ".rar,.RAR,.zip", "--json"}));
    EXPECT_EQ(2u, json::parse(console.out)["extensions"].size());
}

// The command line as Windows hands it over: an argument that the ANSI code
// page cannot spell exactly (a best fit or a "?") is refused, not registered;
// the program's own path, from whatever folder, never is.
TEST_F(KavrexAssocCli, WideArgumentsAreTakenOnlyWhenSpelledExactly) {
    const struct {
        const wchar_t* extension;
        UINT codePage;
        int code;
    } cases[] = {
        {L".r\u00e4r", 1252, 1},           // spelled exactly: status runs
        {L".\uff52\uff41\uff52", 1252, 2}, // full-width letters: a best fit would be ".rar"
        {L".\u043a\u0430\u0432", 1252, 2}, // Cyrillic, which 1252 lacks
        {L".\u043a\u0430\u0432", 1251, 1}, {L".\u043a\u0430\u0432", CP_UTF8, 1},
    };
    for (const auto& c : cases) {
        system.SetAnsiCodePage(c.codePage);
        const wchar_t* arguments[] = {
            L"D:\\\u0395\u03c1\u03b3\u03b1\u03bb\u03b5\u03af\u03b1\\kavrex-assoc.exe", L"status",
            L"--ext", c.extension, L"--json"};
        cli::Environment environment{registry, system, console};
        console = {};
        // --json only where the output is ASCII: the test's console keeps the code page's bytes.
        const int count = c.code == 2 ? 5 : 4;
        EXPECT_EQ(c.code, cli::RunWideCommandLine(count, arguments, environment)) << console.err;
        EXPECT_EQ(c.code == 2, console.err.find("cannot spell exactly") != std::string::npos);
        if (c.code == 2) {
            EXPECT_EQ("usage", json::parse(console.out)["reason"]);
        }
    }
}

TEST_F(KavrexAssocCli, RegisterAndRemoveInEachScope) {
    const struct {
        const char* scope;
        HKEY root;
        HKEY other;
    } scopes[] = {{"machine", HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER},
                  {"user", HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}};
    for (const auto& s : scopes) {
        SCOPED_TRACE(s.scope);
        EXPECT_EQ(0, Run({"register", "--scope", s.scope, "--ext", ".rar,.zip"}));
        EXPECT_EQ("KavrexAssoc", DefaultText(registry, s.root, "Software\\Classes\\.zip"));
        EXPECT_EQ(Ours, DefaultText(registry, s.root,
                                    "Software\\Classes\\KavrexAssoc\\Shell\\Open\\Command"));
        EXPECT_EQ("KavrexAssoc", DefaultText(registry, s.root, "Software\\Classes\\.rar"));
        EXPECT_EQ((RawValue{REG_SZ, std::string("KavrexAssoc") + '\0'}),
                  GetRawValue(registry, s.root, "Software\\Kavrex\\Capabilities\\FileAssociations",
                              ".zip"));
        EXPECT_EQ((RawValue{REG_SZ, std::string("Software\\Kavrex\\Capabilities") + '\0'}),
                  GetRawValue(registry, s.root, "Software\\RegisteredApplications", "Kavrex"));
        EXPECT_FALSE(KeyExists(registry, s.other, "Software\\Classes\\.rar"));
        EXPECT_FALSE(KeyExists(registry, s.other, "Software\\Kavrex"));
        // The classes root shows the scope's classes, and no more.
        EXPECT_EQ((std::vector<std::string>{".rar", ".zip", "KavrexAssoc"}),
                  SubkeyNames(registry, HKEY_CLASSES_ROOT, ""));
        EXPECT_EQ(0, Run({"status", "--ext", ".rar,.zip"}));
        const json listed = StatusJson()["listed"];
        EXPECT_EQ((json{{"defaultApps", true}, {"openWith", true}, {"givesBack", nullptr}}),
                  listed[s.scope]);
        EXPECT_EQ((json{{"defaultApps", false}, {"openWith", false}, {"givesBack", nullptr}}),
                  listed[s.root == HKEY_LOCAL_MACHINE ? "user" : "machine"]);
        EXPECT_EQ(0, Run({"remove", "--scope", s.scope, "--ext", ".rar,.zip"}));
        EXPECT_EQ(std::vector<std::string>{}, SubkeyNames(registry, s.root, "Software\\Classes"));
        EXPECT_EQ((std::vector<std::string>{"Classes", "RegisteredApplications"}),
                  SubkeyNames(registry, s.root, "Software")); // both are Windows' own
        EXPECT_EQ(
            NoValue,
            GetRawValue(registry, s.root, "Software\\RegisteredApplications", "Kavrex").bytes);
    }
}

TEST_F(KavrexAssocCli, WithoutTheRightsForTheMachineNothingIsWritten) {
    CreateKey(registry, HKEY_LOCAL_MACHINE, "Software\\Classes");
    registry.MakeReadOnly("HKEY_LOCAL_MACHINE\\Software\\Classes");
    EXPECT_EQ(4, Run({"register"}));
    EXPECT_NE(std::string::npos, console.err.find("--scope user"));
    EXPECT_TRUE(SubkeyNames(registry, HKEY_LOCAL_MACHINE, "Software\\Classes").empty());
    EXPECT_EQ(4, Run({"remove"}));
    EXPECT_EQ(0, Run({"register", "--scope", "user"}));
}

TEST_F(KavrexAssocCli, WithoutTheHandlerNothingIsRegistered) {
    system.SetModuleFileName(L"C:\\Elsewhere\\kavrex-assoc.exe");
    for (const char* dryRun : {"--json", "--dry-run"}) {
        EXPECT_EQ(3, Run({"register", "--scope", "user", dryRun}));
        EXPECT_NE(std::string::npos, console.err.find("(C:\\Elsewhere\\Kavrex.exe)"))
            << console.err;
    }
    EXPECT_FALSE(KeyExists(registry, HKEY_CURRENT_USER, "Software\\Classes\\.rar"));
    EXPECT_EQ(0, Run({"remove", "--scope", "user"})) << "removing needs no handler";
}

// Registered for everyone, a handler that others could replace would run
// whatever they put there, for every account.
TEST_F(KavrexAssocCli, AHandlerOthersCouldReplaceIsNotRegisteredForEveryone) {
    system.SetFileSecurity(Wide(HandlerLong), L"O:BAD:(A;;FA;;;BA)(A;;0x1301bf;;;AU)");
    const char* const refused[][4] = {{"register", "", "", ""},
                                      {"register", "--dry-run", "--json", ""},
                                      {"register", "--scope", "machine", "--dry-run"}};
    for (const auto& arguments : refused) {
        std::vector<const char*> line(std::begin(arguments), std::end(arguments));
        line.erase(std::remove(line.begin(), line.end(), std::string_view()), line.end());
        EXPECT_EQ(3, Run(line)) << arguments[1];
        EXPECT_EQ(arguments[2] == std::string("--json") ? "replaceable-handler" : "",
                  console.out.empty() ? "" : json::parse(console.out)["reason"]);
        for (const char* said : {"Authenticated Users may change or delete C:\\Program "
                                 "Files\\Kavrex\\Kavrex.exe",
                                 "Program Files", "--scope user", "--allow-replaceable-handler"}) {
            EXPECT_NE(std::string::npos, console.err.find(said)) << console.err;
        }
    }
    EXPECT_FALSE(KeyExists(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar"));

    EXPECT_EQ(1, Run({"status"}));
    EXPECT_NE(std::string::npos, console.out.find("replaceable: yes, Authenticated Users may"));
    EXPECT_EQ(0, Run({"register", "--scope", "user"})) << console.err;
    EXPECT_EQ(0, Run({"register", "--allow-replaceable-handler", "--json"})) << console.err;
    const json report = json::parse(console.out);
    EXPECT_EQ("file", report["replaceableAllowed"]["by"]);
    EXPECT_EQ("Authenticated Users", report["replaceableAllowed"]["who"]);
    EXPECT_TRUE(KeyExists(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar"));
    EXPECT_EQ(0, Run({"status", "--json"}));
    EXPECT_EQ(HandlerLong, json::parse(console.out)["replaceable"]["where"]);
}

TEST_F(KavrexAssocCli, ADryRunPrintsTheChangesAndMakesNone) {
    Set(HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar", "WinArc");
    EXPECT_EQ(0, Run({"register", "--dry-run", "--json"}));
    const json report = json::parse(console.out);
    EXPECT_TRUE(report["dryRun"]);
    EXPECT_FALSE(report["done"]) << "a dry run does nothing";
    EXPECT_TRUE(report["complete"]);
    const json expected = {
        {"kind", "set-value"},  {"key", "HKEY_LOCAL_MACHINE\\Software\\Classes\\.rar"},
        {"value", ""},          {"old", "WinArc"},
        {"new", "KavrexAssoc"}, {"oldType", "REG_SZ"},
        {"newType", "REG_SZ"}};
    EXPECT_EQ(expected, report["changes"][0]);
    // In the classes 6 new keys and 6 values, the type kept among them; for
    // Default apps 4 new keys and 5 values.
    EXPECT_EQ(21u, report["changes"].size()) << report.dump(2);
    const json kept = {{"kind", "set-value"},
                       {"key", "HKEY_LOCAL_MACHINE\\Software\\Classes\\.rar"},
                       {"value", "KavrexAssoc.Previous"},
                       {"old", nullptr},
                       {"new", "WinArc"},
                       {"oldType", nullptr},
                       {"newType", "REG_SZ"}};
    EXPECT_EQ(kept, report["changes"][1]);
    EXPECT_EQ("WinArc", DefaultText(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar"));
    EXPECT_FALSE(KeyExists(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\KavrexAssoc"));
    EXPECT_TRUE(system.Notifications().empty()) << "the shell hears of nothing";

    EXPECT_EQ(0, Run({"register", "--json"}));
    EXPECT_EQ(report["changes"], json::parse(console.out)["changes"]);
    EXPECT_EQ(1u, system.Notifications().size());
}

// The x86 build on 64-bit Windows sees the machine's software through
// Wow6432Node, but writes, reads and removes its registration in the 64-bit
// view, where the 64-bit shell follows RegisteredApplications: either build
// takes back what the other registered, and nothing is left in Wow6432Node.
TEST_F(KavrexAssocCli, EitherBuildRemovesWhatTheOtherRegistered) {
    for (const bool registeredBy32 : {true, false}) {
        SCOPED_TRACE(registeredBy32 ? "x86 registers, x64 removes" : "x64 registers, x86 removes");
        registry.SetWow64Process(registeredBy32);
        EXPECT_EQ(0, Run({"register"}));
        registry.SetWow64Process(!registeredBy32);
        EXPECT_EQ(0, Run({"status", "--json"}));
        EXPECT_EQ(true,
                  json::parse(console.out)["extensions"][0]["listed"]["machine"]["defaultApps"]);
        EXPECT_EQ(0, Run({"remove"}));
        registry.SetWow64Process(false);
        for (const char* key :
             {"Software\\Kavrex", "Software\\Wow6432Node\\Kavrex", "Software\\Classes\\.rar"}) {
            EXPECT_FALSE(KeyExists(registry, HKEY_LOCAL_MACHINE, key)) << key;
        }
        EXPECT_EQ(NoValue, GetRawValue(registry, HKEY_LOCAL_MACHINE,
                                       "Software\\RegisteredApplications", "Kavrex")
                               .bytes);
    }
}

// Windows' default rights: a standard user may read the machine's classes but
// not change them; nobody may set values in UserChoice.
class UnderEachProfile : public KavrexAssocCli,
                         public ::testing::WithParamInterface<emulation::RightsProfile> {};

TEST_P(UnderEachProfile, StatusSeesTheMachinesClassesAndTheUsersChoice) {
    SetEntry(HKEY_LOCAL_MACHINE, "KavrexAssoc", Ours);
    Set(HKEY_CURRENT_USER, UserChoice, "WinArc", "ProgId");
    registry.ApplyProfile(GetParam());
    EXPECT_EQ(1, Run({"status", "--json"}));
    const json status = json::parse(console.out)["extensions"][0];
    EXPECT_EQ(true, status["machine"]["opensKavrex"]);
    EXPECT_EQ("user-choice-other", status["verdict"]);
    EXPECT_EQ("WinArc", status["userChoice"]);
}

TEST_P(UnderEachProfile, ChangesAreMadeWhereTheAccountMayMakeThem) {
    const bool standard = GetParam() == emulation::RightsProfile::StandardUser;
    const struct {
        std::vector<const char*> arguments;
        int standard, elevated; // exit codes
        HKEY changed;           // where the real run writes, when it may
    } cases[] = {
        {{"register"}, 4, 0, HKEY_LOCAL_MACHINE},
        {{"register", "--dry-run"}, 4, 0, nullptr},
        {{"register", "--scope", "user"}, 0, 0, HKEY_CURRENT_USER},
        {{"register", "--scope", "user", "--dry-run"}, 0, 0, nullptr},
        {{"remove"}, 4, 0, nullptr},
        {{"remove", "--scope", "user", "--dry-run"}, 0, 0, nullptr},
    };
    CreateKey(registry, HKEY_LOCAL_MACHINE, "Software\\Classes");
    registry.ApplyProfile(GetParam());
    for (const auto& c : cases) {
        const bool dryRun = std::string(c.arguments.back()) == "--dry-run";
        SCOPED_TRACE(std::string(c.arguments[0]) + (c.changed ? "" : " (changes nothing)"));
        const int code = Run(c.arguments);
        EXPECT_EQ(standard ? c.standard : c.elevated, code) << console.out << console.err;
        for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            const bool written = KeyExists(registry, root, "Software\\Classes\\KavrexAssoc");
            EXPECT_EQ(root == c.changed && code == 0, written) << platform::RootName(root);
            DeleteKeyTree(registry, root, "Software\\Classes\\KavrexAssoc");
            DeleteKeyTree(registry, root, "Software\\Classes\\.rar");
        }
        if (dryRun && code == 4) {
            EXPECT_NE(std::string::npos, console.out.find("create key    HKEY_LOCAL_MACHINE"))
                << "the changes the real run would make are still listed";
            EXPECT_NE(std::string::npos, console.out.find("exit with 4"));
        }
    }
}

// The Default apps registration is written and taken back with only the
// rights each command asks for.
TEST_P(UnderEachProfile, TheRegistrationForDefaultAppsComesAndGoesWhereItMay) {
    const bool standard = GetParam() == emulation::RightsProfile::StandardUser;
    CreateKey(registry, HKEY_LOCAL_MACHINE, "Software\\Classes");
    registry.ApplyProfile(GetParam());
    for (const auto& [scope, root] :
         {std::pair{"user", HKEY_CURRENT_USER}, std::pair{"machine", HKEY_LOCAL_MACHINE}}) {
        SCOPED_TRACE(scope);
        const int expected = standard && root == HKEY_LOCAL_MACHINE ? 4 : 0;
        EXPECT_EQ(expected, Run({"register", "--scope", scope})) << console.err;
        EXPECT_EQ(expected == 0, KeyExists(registry, root, "Software\\Kavrex\\Capabilities"));
        EXPECT_EQ(expected, Run({"remove", "--scope", scope})) << console.err;
        EXPECT_FALSE(KeyExists(registry, root, "Software\\Kavrex"));
        EXPECT_EQ(NoValue,
                  GetRawValue(registry, root, "Software\\RegisteredApplications", "Kavrex").bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, UnderEachProfile,
                         ::testing::Values(emulation::RightsProfile::StandardUser,
                                           emulation::RightsProfile::ElevatedAdministrator),
                         [](const auto& info) {
                             return info.param == emulation::RightsProfile::StandardUser
                                        ? "StandardUser"
                                        : "ElevatedAdministrator";
                         });

TEST_F(KavrexAssocCli, AfterRegisteringTheUsersOtherChoiceIsNamed) {
    Set(HKEY_CURRENT_USER, UserChoice, "WinArc.rar", "ProgId");
    EXPECT_EQ(0, Run({"register"}));
    EXPECT_NE(std::string::npos, console.out.find(".rar files still open with WinArc.rar"));
    EXPECT_NE(std::string::npos, console.out.find("Settings > Apps > Default apps"));
    Run({"register", "--json"});
    EXPECT_EQ((json{{{"extension", ".rar"}, {"progId", "WinArc.rar"}}}),
              json::parse(console.out)["userChoiceElsewhere"]);
}

TEST_F(KavrexAssocCli, StatusNamesTheTypeThatRemovalGivesBack) {
    SetEntry(HKEY_LOCAL_MACHINE, "WinArc.rar", "winarc.exe %1");
    ASSERT_EQ(0, Run({"register"}));
    EXPECT_EQ("WinArc.rar", StatusJson()["listed"]["machine"]["givesBack"]);
    Run({"status"});
    EXPECT_NE(std::string::npos,
              console.out.find("machine listing: Default apps and \"Open with\"; removal gives "
                               "back WinArc.rar"))
        << console.out;
    ASSERT_EQ(0, Run({"remove"}));
    EXPECT_EQ("WinArc.rar", DefaultText(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar"));
}

// The Settings link for the scope's registration, then the general page, then
// a clear failure where no Settings app answers (as on Wine).
// Kavrex's own page where this Windows opens it (Windows 11 21H2 and 22H2 from
// their 2023-04 updates, 23H2 on), the page's start elsewhere, and the text
// says which.
TEST_F(KavrexAssocCli, SettingsOpensDefaultAppsAtKavrexWhereWindowsCan) {
    const std::string machinePage = "open ms-settings:defaultapps?registeredAppMachine=Kavrex";
    const std::string userPage = "open ms-settings:defaultapps?registeredAppUser=Kavrex";
    const std::string general = "open ms-settings:defaultapps";
    const struct {
        const char* what;
        std::vector<const char*> registerArguments; // empty: not registered
        const char* scope;
        const char* build;
        DWORD revision;
        int exitCode;
        std::vector<std::string> asked; // each answers but the last of "no Settings app"
        const char* said;
    } cases[] = {
        {"machine, 23H2", {"register"}, "machine", "22631", 2861, 0, {machinePage}, "at Kavrex"},
        {"user, 22H2 updated",
         {"register", "--scope", "user"},
         "user",
         "22621",
         1555,
         0,
         {userPage},
         "at Kavrex"},
        {"22H2 before the update",
         {"register"},
         "machine",
         "22621",
         1554,
         0,
         {general},
         "at its start"},
        {"21H2 updated", {"register"}, "machine", "22000", 1817, 0, {machinePage}, "at Kavrex"},
        {"Windows 10", {"register"}, "machine", "19045", 3803, 0, {general}, "Set defaults by app"},
        {"not registered", {}, "user", "22631", 2861, 0, {general}, "register first"},
        {"no Settings app",
         {"register"},
         "machine",
         "22631",
         2861,
         3,
         {machinePage, general},
         "No Settings app answered"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        emulation::EmulatedRegistryApi fresh;
        std::swap(registry, fresh);
        emulation::EmulatedSystemApi shell;
        std::swap(system, shell);
        SetUp();
        const char* version = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
        Set(HKEY_LOCAL_MACHINE, version, c.build, "CurrentBuildNumber");
        SetRawValue(registry, HKEY_LOCAL_MACHINE, version, "UBR", REG_DWORD,
                    std::string(reinterpret_cast<const char*>(&c.revision), sizeof c.revision));
        if (!c.registerArguments.empty()) {
            ASSERT_EQ(0, Run(c.registerArguments));
        }
        for (const std::string& link : c.asked) {
            if (c.exitCode == 0) {
                system.AnswerLink(link);
            }
        }
        EXPECT_EQ(c.exitCode, Run({"settings", "--scope", c.scope}));
        EXPECT_EQ(c.asked, system.ExecutedLinks());
        EXPECT_NE(std::string::npos, (console.out + console.err).find(c.said))
            << console.out << console.err;
    }
}

TEST_F(KavrexAssocCli, ExportsTheDefaultAssociationsFile) {
    EXPECT_EQ(0, Run({"export-defaults", "--ext", ".rar,.7z"}));
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<DefaultAssociations>\n"
        "  <Association Identifier=\".rar\" ProgId=\"KavrexAssoc\" ApplicationName=\"Kavrex\" />\n"
        "  <Association Identifier=\".7z\" ProgId=\"KavrexAssoc\" ApplicationName=\"Kavrex\" />\n"
        "</DefaultAssociations>\n",
        console.out);

    // Into a file, as it is; a file that is there stays, unless --force.
    const std::string printed = console.out;
    const char* file = "C:\\Defaults\\kavrex.xml";
    EXPECT_EQ(0, Run({"export-defaults", "--ext", ".rar,.7z", "--output", file}));
    EXPECT_EQ(printed, system.FileContents(Wide(file)));
    system.PutFile(Wide(file), "kept");
    EXPECT_EQ(3, Run({"export-defaults", "--ext", ".rar,.7z", "--output", file}));
    EXPECT_EQ("kept", system.FileContents(Wide(file)));
    EXPECT_NE(std::string::npos, console.err.find("--force")) << console.err;
    EXPECT_EQ(0, Run({"export-defaults", "--ext", ".rar,.7z", "--output", file, "--force"}));
    EXPECT_EQ(printed, system.FileContents(Wide(file)));
}

// Whatever .rar's default held is kept with its type and bytes, shown as what
// it is, and given back exactly.
TEST_F(KavrexAssocCli, AnyDefaultIsKeptExactlyAndShownAsItIs) {
    const std::string extension = "Software\\Classes\\.rar";
    const struct {
        DWORD type;
        std::string bytes;
        const char* shown; // in the change report and status
    } cases[] = {
        {REG_BINARY, std::string("\xde\xad\xbe\xef\0\x01", 6), "binary de,ad,be,ef,00,01"},
        {REG_DWORD, std::string("\x2a\0\0\0", 4), "dword 42"},
        {REG_MULTI_SZ, std::string("a\0b\0\0", 5), "multi-string \"a\" \"b\""},
        {REG_NONE, "", "REG_NONE (no data)"},
        {REG_BINARY, std::string(1 << 20, '\x7f'), "binary 7f,7f,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        registry = {};
        SetRawValue(registry, HKEY_LOCAL_MACHINE, extension, "", c.type, c.bytes);
        EXPECT_EQ(1, Run({"status"}));
        EXPECT_NE(std::string::npos, console.out.find(std::string("machine classes: ") + c.shown))
            << console.out.substr(0, 300);
        EXPECT_EQ(0, Run({"register"}));
        EXPECT_NE(std::string::npos, console.out.find(std::string("(was ") + c.shown))
            << console.out.substr(0, 300);
        EXPECT_EQ((RawValue{c.type, c.bytes}),
                  GetRawValue(registry, HKEY_LOCAL_MACHINE, extension, "KavrexAssoc.Previous"));
        EXPECT_EQ(0, Run({"remove"}));
        EXPECT_EQ((RawValue{c.type, c.bytes}),
                  GetRawValue(registry, HKEY_LOCAL_MACHINE, extension, ""));
    }
}

TEST_F(KavrexAssocCli, ADefaultThatCannotBeReadIsLeftAndSaidSo) {
    Set(HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar", "WinArc");
    registry.FailCallOnKey(emulation::RegistryCall::QueryValue,
                           "HKEY_LOCAL_MACHINE\\Software\\Classes\\.rar", ERROR_ACCESS_DENIED);
    EXPECT_EQ(3, Run({"register"}));
    EXPECT_NE(std::string::npos, console.err.find("default value of .rar could not be read"))
        << console.err;
    registry.ClearFaults();
    EXPECT_EQ("WinArc", DefaultText(registry, HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar"));
}

// An extension that names a type which cannot open it is broken, not another
// program's; register repairs it.
TEST_F(KavrexAssocCli, ABrokenAssociationIsToldAndRepaired) {
    const std::string type = "Software\\Classes\\Kvx.Type";
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> values; // key below the type, name
        const char* command;                                     // of Shell\Open\Command
        const char* verdict;
    } cases[] = {
        {"no such type", {}, nullptr, "broken"},
        {"a type without a way to open", {{"DefaultIcon", ""}}, nullptr, "broken"},
        {"a command naming a program that is not there",
         {},
         "\"C:\\Gone\\Kavrex.exe\" \"%1\"",
         "broken"},
        {"an unquoted one", {}, "C:\\Gone\\Kavrex.exe %1", "broken"},
        {"one found along the search path",
         {},
         "rundll32.exe zipfldr.dll",
         "associated-with-other"},
        {"a handler that Windows starts",
         {{"Shell\\Open\\Command", "DelegateExecute"}},
         nullptr,
         "associated-with-other"},
        {"another verb", {{"Shell\\Play\\Command", ""}}, nullptr, "associated-with-other"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registry = {};
        Set(HKEY_LOCAL_MACHINE, "Software\\Classes\\.rar", "Kvx.Type");
        for (const auto& [key, name] : c.values) {
            Set(HKEY_LOCAL_MACHINE, JoinPath(type, key), "x", name);
        }
        if (c.command) {
            Set(HKEY_LOCAL_MACHINE, type + "\\Shell\\Open\\Command", c.command);
        }
        EXPECT_EQ(c.verdict, StatusJson()["verdict"]);
        EXPECT_EQ(1, Run({"status"}));
        EXPECT_EQ(0, Run({"register"}));
        EXPECT_EQ("opens-with-kavrex", StatusJson()["verdict"]);
    }
}

} // namespace

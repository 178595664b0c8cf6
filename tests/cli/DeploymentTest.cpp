// kavrex-assoc as deployment engines run it: as LocalSystem and the other
// service accounts, with several people's hives loaded, asked the exact
// question of a detection rule, and keeping an audit log.
#include "Version.h"
#include "cli/Machine.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testing_support;
using emulation::RightsProfile;
using nlohmann::json;

constexpr const char* Person = "S-1-5-21-1-2-3-1001";
const std::string UserChoiceKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.rar\\UserChoice";

void RunAs(Machine& machine, const char* sid) {
    machine.system.SetProcessUser(sid);
    machine.registry.ApplyProfile(std::string(sid) == Person ? RightsProfile::ElevatedAdministrator
                                                             : RightsProfile::LocalSystem);
}

// What only a person's account may ask is refused to the service accounts,
// with nothing written; what is for all users works as for an administrator.
TEST(Deployment, ServiceAccountsHaveNoPersonsHiveAndNoDesktop) {
    const struct {
        const char* sid;
        std::vector<const char*> arguments;
        int exitCode;
    } cases[] = {
        {"S-1-5-18", {"register", "--scope", "user"}, 2},
        {"S-1-5-18", {"remove", "--scope", "user"}, 2},
        {"S-1-5-18", {"status", "--scope", "user"}, 2},
        {"S-1-5-18", {"settings"}, 3},
        {"S-1-5-19", {"register", "--scope", "user"}, 2},
        {"S-1-5-20", {"register", "--scope", "USER", "--dry-run"}, 2},
        {"S-1-5-18", {"register"}, 0},
        {Person, {"register", "--scope", "user"}, 0},
    };
    for (const auto& c : cases) {
        Machine machine;
        RunAs(machine, c.sid);
        const FlatTree users = Snapshot(machine.registry, {{HKEY_USERS, "HKU"}});
        const std::string what = std::string(c.sid) + " " + c.arguments[0];
        EXPECT_EQ(c.exitCode, machine.Cli(c.arguments)) << what << machine.console.err;
        EXPECT_EQ(users, Snapshot(machine.registry, {{HKEY_USERS, "HKU"}})) << what;
        if (c.exitCode != 0) {
            EXPECT_NE(std::string::npos, machine.console.err.find("a service account")) << what;
        }
    }
}

// Elevated or as LocalSystem, status reports each person whose hive is
// loaded, their own classes and choice, and a hive it cannot read; not the
// default user, the service accounts or the classes hives. A standard user
// reads no one else's.
TEST(Deployment, StatusReportsEverySignedInUser) {
    const char* readers[] = {Person, "S-1-5-18"};
    for (const char* reader : readers) {
        Machine machine;
        ASSERT_EQ(0, machine.Cli({"register"}));
        const std::string anna = std::string(Person), ben = "S-1-5-21-1-2-3-1002",
                          carl = "S-1-5-21-1-2-3-1003", dora = "S-1-5-21-1-2-3-1004";
        SetRawValue(machine.registry, HKEY_USERS, anna + UserChoiceKey, "ProgId", REG_SZ,
                    std::string("WinArc.rar") + '\0');
        SetRawValue(machine.registry, HKEY_USERS, ben + "\\Software\\Classes\\.rar", "", REG_SZ,
                    std::string("Other.Archive") + '\0');
        SetRawValue(machine.registry, HKEY_USERS,
                    ben + "\\Software\\Classes\\Other.Archive\\Shell\\Open\\Command", "", REG_SZ,
                    std::string("\"C:\\Other\\other.exe\" \"%1\"") + '\0');
        for (const std::string& key :
             {carl, dora, std::string(".DEFAULT"), std::string("S-1-5-18"), anna + "_Classes"}) {
            CreateKey(machine.registry, HKEY_USERS, key + "\\Software");
        }
        machine.registry.FailCallOnKey(emulation::RegistryCall::OpenKey, "HKEY_USERS\\" + dora,
                                       ERROR_ACCESS_DENIED);
        machine.system.NameAccount(anna, "PC\\anna");
        RunAs(machine, reader);
        machine.Cli({"status", "--json"});
        const json status = json::parse(machine.console.out);
        std::vector<std::string> seen;
        for (const json& user : status["users"]) {
            const json& rar = user["extensions"].empty() ? json() : user["extensions"][0];
            seen.push_back(
                user["sid"].get<std::string>() + " " + user["name"].dump() + " " +
                (rar.is_null() ? "unreadable"
                               : rar["verdict"].get<std::string>() + " " + rar["openedBy"].dump()));
        }
        EXPECT_EQ((std::vector<std::string>{
                      anna + " \"PC\\\\anna\" user-choice-other \"WinArc.rar\"",
                      ben + " null associated-with-other \"Other.Archive\"",
                      carl + " null opens-with-kavrex null", dora + " null unreadable"}),
                  seen)
            << reader;
        machine.Cli({"status"});
        EXPECT_NE(std::string::npos,
                  machine.console.out.find(dora + ": its hive could not be read"));
    }
    Machine standard;
    standard.registry.ApplyProfile(RightsProfile::StandardUser);
    standard.Cli({"status", "--json"});
    EXPECT_FALSE(json::parse(standard.console.out).contains("users"));
}

// Registered for all users, after which the handler's folder lets Users add files.
void WeakenedAfterRegistering(Machine& machine) {
    machine.Cli({"register"});
    machine.system.SetFileSecurity(L"C:\\Program Files\\Kavrex",
                                   L"O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;CI;0x100116;;;BU)");
}

// A signed-in user points their own .rar at a share; status, as LocalSystem,
// reads that user's classes and never looks the program up there, which
// would have the machine account reach the user's host.
// Nor through a link on a local drive that leads there: a link in a path
// another account wrote is not followed, and is "not checked".
TEST(Deployment, AUsersCommandOnAShareIsNotLookedUpAsSystem) {
    const struct {
        const char* command;
        const char* verdict;
    } cases[] = {
        {"\\\\host\\share\\x.exe %1", "associated-with-other"},
        {"C:\\Users\\Ann\\Link\\x.exe %1", "associated-with-other"},
        {"\"C:\\Users\\Ann\\x.exe\" \"%1\"", "associated-with-other"},
        {"\"C:\\Users\\Ann\\Link\\Kavrex.exe\" \"%1\"", "kavrex-elsewhere"},
    };
    for (const auto& [command, verdict] : cases) {
        SCOPED_TRACE(command);
        Machine machine;
        const std::string classes = std::string(Person) + "\\Software\\Classes\\";
        SetRawValue(machine.registry, HKEY_USERS, classes + ".rar", "", REG_SZ,
                    std::string("Their.Type") + '\0');
        SetRawValue(machine.registry, HKEY_USERS, classes + "Their.Type\\Shell\\Open\\Command", "",
                    REG_SZ, std::string(command) + '\0');
        machine.system.SetLink(L"C:\\Users\\Ann\\Link", L"\\\\host\\share");
        machine.system.SetLink(L"C:\\Users\\Ann\\x.exe", L"\\\\host\\share\\x.exe");
        RunAs(machine, "S-1-5-18");
        machine.Cli({"status", "--json"});
        const json user = json::parse(machine.console.out)["users"][0]["extensions"][0];
        EXPECT_EQ(verdict, user["verdict"]);
        EXPECT_FALSE(user["programChecked"]);
        for (const std::wstring& path : machine.system.LookedUp()) {
            EXPECT_NE(0u, path.rfind(L"\\\\", 0)) << Narrow(path);
        }
    }
}

// The override that registers such a handler accepts it in detection too.
TEST(Deployment, AReplaceableHandlerIsCompliantOnlyWithTheOverride) {
    Machine machine;
    WeakenedAfterRegistering(machine);
    EXPECT_EQ(1, machine.Cli({"status", "--scope", "machine"}));
    EXPECT_NE(std::string::npos, machine.console.out.find("--allow-replaceable-handler"));
    EXPECT_EQ(0, machine.Cli({"status", "--scope", "machine", "--allow-replaceable-handler"}));
}

// status --scope judges our registration in that hive alone: the question a
// remediation can answer, with no user's choice mixed in.
TEST(Deployment, StatusInAScopeJudgesOnlyOurRegistrationThere) {
    const std::string fileAssociations = "Software\\Kavrex\\Capabilities\\FileAssociations";
    const struct {
        const char* name;
        std::function<void(Machine&)> arrange;
        const char* scope;
        int exitCode;
        const char* registration;
    } cases[] = {
        {"nothing", [](Machine&) {}, "machine", 1, "absent"},
        {"registered", [](Machine& m) { m.Cli({"register"}); }, "machine", 0, "complete"},
        {"registered, the user chose another",
         [](Machine& m) {
             m.Cli({"register"});
             SetRawValue(m.registry, HKEY_CURRENT_USER, UserChoiceKey.substr(1), "ProgId", REG_SZ,
                         std::string("WinArc.rar") + '\0');
         },
         "machine", 0, "complete"},
        {"registered for all users, asked of the user's", [](Machine& m) { m.Cli({"register"}); },
         "user", 1, "absent"},
        {"registered for the user",
         [](Machine& m) {
             m.Cli({"register", "--scope", "user"});
         },
         "user", 0, "complete"},
        {"Default apps entry gone",
         [&](Machine& m) {
             m.Cli({"register"});
             m.registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, fileAssociations.c_str());
         },
         "machine", 1, "incomplete"},
        {"another program's", [](Machine& m) { m.AddOtherProgram(HKEY_LOCAL_MACHINE); }, "machine",
         1, "another-program"},
        {"registered, then the handler's folder opened to Users", WeakenedAfterRegistering,
         "machine", 1, "replaceable-handler"},
        {"the same, for the user alone, whom it does not expose", WeakenedAfterRegistering, "user",
         1, "absent"},
    };
    for (const auto& c : cases) {
        Machine machine;
        c.arrange(machine);
        EXPECT_EQ(c.exitCode, machine.Cli({"status", "--scope", c.scope, "--json"})) << c.name;
        const json status = json::parse(machine.console.out);
        EXPECT_EQ(c.scope, status["scope"]) << c.name;
        EXPECT_EQ(c.registration, status["extensions"][0]["registration"]) << c.name;
    }
}

std::vector<json> LogLines(Machine& machine, const std::string& path) {
    std::vector<json> lines;
    std::istringstream log(machine.system.FileContents(Wide(path)).value_or(""));
    for (std::string line; std::getline(log, line);) {
        lines.push_back(json::parse(line));
    }
    return lines;
}

// One line per run, appended: who ran what, its exit code and each change it
// made; a log that cannot be written never fails the run.
TEST(Deployment, EachRunAppendsOneAuditLine) {
    const std::string path = "C:\\Logs\\kavrex.jsonl";
    Machine machine;
    machine.system.NameAccount(Person, "PC\\anna");
    EXPECT_EQ(0, machine.Cli({"register", "--log", path.c_str()}));
    EXPECT_EQ(0, machine.Cli({"remove", "--dry-run", "--log", path.c_str()}));
    RunAs(machine, "S-1-5-18");
    EXPECT_EQ(2, machine.Cli({"remove", "--scope", "user", "--log", path.c_str()}));
    const std::string logEquals = "--log=" + path;
    EXPECT_EQ(2, machine.Cli({"remove", "--ext", "..", logEquals.c_str()}));
    const std::vector<json> lines = LogLines(machine, path);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(2, lines[3]["exitCode"]) << "a wrong command line is logged too";
    EXPECT_EQ("KAVREX-PC", lines[3]["computer"]);
    const json& first = lines[0];
    EXPECT_TRUE(std::regex_match(first["time"].get<std::string>(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));
    EXPECT_EQ(KAVREX_VERSION, first["version"]);
    EXPECT_EQ((json{{"sid", Person}, {"name", "PC\\anna"}}), first["account"]);
    EXPECT_EQ("register", first["command"]);
    EXPECT_EQ((json{"register", "--log", path}), first["arguments"]);
    EXPECT_EQ(0, first["exitCode"]);
    EXPECT_FALSE(first["changes"].empty());
    EXPECT_EQ("create-key", first["changes"][0]["kind"]);
    EXPECT_TRUE(lines[1]["changes"].empty()) << "a dry run makes none";
    EXPECT_EQ((json{{"sid", "S-1-5-18"}, {"name", nullptr}}), lines[2]["account"]);
    EXPECT_EQ(2, lines[2]["exitCode"]);

    EXPECT_EQ(0, machine.Cli({"register", "--log", "C:\\Logs\\no*such.jsonl"}));
    EXPECT_TRUE(machine.OpensWithKavrex());
    EXPECT_NE(std::string::npos, machine.console.err.find("Warning: the audit log"));
}

} // namespace

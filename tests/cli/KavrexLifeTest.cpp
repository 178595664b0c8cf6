// Kavrex's life on a machine: installed in one folder, upgraded into another,
// uninstalled. What Kavrex wrote from any folder is Kavrex's; a Kavrex.exe
// that is gone opens nothing; remove takes back every extension it recorded.
#include "cli/Machine.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;
using nlohmann::json;

const std::wstring OldFolder = L"C:\\Program Files (x86)\\Kavrex\\";
constexpr const char* OldHandlerShort = "C:\\PROGRA~2\\Kavrex\\Kavrex.exe";
constexpr const char* OldHandlerLong = "C:\\Program Files (x86)\\Kavrex\\Kavrex.exe";
constexpr const char* Command = "Software\\Classes\\KavrexAssoc\\Shell\\Open\\Command";

const char* ScopeOf(Way way) {
    return way == Way::User ? "user" : "machine";
}

json StatusJson(Machine& machine, std::vector<const char*> arguments = {}) {
    arguments.insert(arguments.begin(), {"status", "--json"});
    machine.Cli(arguments);
    return json::parse(machine.console.out);
}

// Registered by an install in another folder, then run from this one: status
// names the other Kavrex, register points it here, and remove, with or
// without that, takes all of it back and gives the other program its type.
TEST(KavrexLife, AnInstallInAnotherFolderIsKavrexs) {
    for (const Way way : AllWays) {
        for (const bool repointFirst : {false, true}) {
            SCOPED_TRACE(std::string(WayName(way)) + (repointFirst ? ", re-pointed" : ""));
            Machine machine;
            machine.AddOtherProgram(HiveOf(way));
            machine.system.AddFile(Wide(OldHandlerLong), Wide(OldHandlerShort));
            const FlatTree start = machine.Everything();
            machine.folder = OldFolder;
            ASSERT_TRUE(machine.Run(way, false));
            machine.folder = L"C:\\Program Files\\Kavrex\\";

            const json status = StatusJson(machine)["extensions"][0];
            EXPECT_EQ("kavrex-elsewhere", status["verdict"]);
            EXPECT_EQ(OldHandlerShort, status["kavrexElsewhere"]);
            EXPECT_EQ(1, machine.Cli({"status"}));
            EXPECT_NE(std::string::npos,
                      machine.console.out.find(std::string("Kavrex in another folder (") +
                                               OldHandlerShort + "); register points it"));
            EXPECT_EQ(
                "kavrex-elsewhere",
                StatusJson(machine, {"--scope", ScopeOf(way)})["extensions"][0]["registration"]);
            if (repointFirst) {
                ASSERT_TRUE(machine.Run(way, false)) << machine.console.err;
                EXPECT_TRUE(machine.OpensWithKavrex());
                EXPECT_EQ(0, machine.Cli({"status", "--scope", ScopeOf(way)}));
            }
            ASSERT_TRUE(machine.Run(way, true)) << machine.console.err;
            EXPECT_EQ(start, machine.Everything());
        }
    }
}

// Kavrex.exe deleted: whatever names it, by its short or long path, from this
// folder or another, is broken, and status says so in both scopes.
TEST(KavrexLife, AKavrexThatIsGoneIsBroken) {
    for (const Way way : {Way::Machine, Way::User}) {
        for (const bool fromElsewhere : {false, true}) {
            for (const bool longPath : {false, true}) {
                SCOPED_TRACE(std::string(WayName(way)) + (fromElsewhere ? ", elsewhere" : "") +
                             (longPath ? ", long path" : ""));
                Machine machine;
                machine.system.AddFile(Wide(OldHandlerLong), Wide(OldHandlerShort));
                machine.folder = fromElsewhere ? OldFolder : machine.folder;
                ASSERT_TRUE(machine.Run(way, false));
                if (longPath) {
                    const std::string path = Narrow(machine.folder) + "Kavrex.exe";
                    SetRawValue(machine.registry, HiveOf(way), Command, "", REG_SZ,
                                "\"" + path + "\" \"%1\"" + '\0');
                }
                machine.system.DeleteFileW((machine.folder + L"Kavrex.exe").c_str());
                machine.folder = L"C:\\Program Files\\Kavrex\\";

                EXPECT_EQ("broken", machine.Verdict());
                EXPECT_EQ(1, machine.Cli({"status"}));
                const json judged = StatusJson(machine, {"--scope", ScopeOf(way)});
                EXPECT_EQ("broken", judged["extensions"][0]["registration"]);
                EXPECT_EQ(1, judged["exitCode"]);
            }
        }
    }
}

// Without --ext, status reports and remove takes back every extension the
// scope's record lists; --ext narrows both; the dialog takes back .rar alone.
TEST(KavrexLife, RemoveTakesBackEveryRecordedExtension) {
    for (const Way way : {Way::Machine, Way::User}) {
        SCOPED_TRACE(WayName(way));
        Machine machine;
        const char* scope = ScopeOf(way);
        ASSERT_EQ(0, machine.Cli({"register", "--scope", scope, "--ext", ".zip,.7z,.rar"}));
        json listed = json::array();
        const json status = StatusJson(machine);
        for (const json& extension : status["extensions"]) {
            listed.push_back(extension["extension"]);
        }
        EXPECT_EQ((json{".rar", ".zip", ".7z"}), listed);
        EXPECT_EQ(1u, StatusJson(machine, {"--ext", ".7z"})["extensions"].size());
        if (way == Way::Machine) {
            ASSERT_TRUE(machine.Run(Way::Dialog, true));
            EXPECT_FALSE(KeyExists(machine.registry, HiveOf(way), "Software\\Classes\\.rar"));
            EXPECT_TRUE(KeyExists(machine.registry, HiveOf(way), "Software\\Classes\\.zip"));
        }
        EXPECT_EQ(0, machine.Cli({"remove", "--scope", scope, "--ext", ".zip"}));
        EXPECT_TRUE(KeyExists(machine.registry, HiveOf(way), "Software\\Classes\\.7z"));
        EXPECT_EQ(0, machine.Cli({"remove", "--scope", scope}));
        EXPECT_TRUE(SubkeyNames(machine.registry, HiveOf(way), "Software\\Classes").empty());
        EXPECT_FALSE(KeyExists(machine.registry, HiveOf(way), "Software\\Kavrex"));
    }
}

} // namespace

// The JSON that scripts read, held against docs/json.md: one object for every
// run with --json, refusals and wrong command lines included, each field it
// prints documented there, and each reason in its table.
#include "cli/Machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {

using namespace testing_support;
using nlohmann::json;

// The text of each table's first cell that is in backquotes: the field paths,
// and in the table of exit codes the reasons.
std::string Documented() {
    std::ifstream doc(KAVREX_JSON_DOC);
    std::stringstream text;
    text << doc.rdbuf();
    return text.str();
}

bool IsDocumented(const std::string& doc, const std::string& cell) {
    return doc.find("| `" + cell + "` |") != std::string::npos;
}

// Every field's path: a.b inside objects, a[].b inside arrays' objects.
void FieldPaths(const json& value, const std::string& path, std::set<std::string>& paths) {
    if (value.is_object()) {
        for (const auto& [name, field] : value.items()) {
            std::string inner = path;
            if (!inner.empty()) {
                inner += '.';
            }
            inner += name;
            paths.insert(inner);
            FieldPaths(field, inner, paths);
        }
    } else if (value.is_array()) {
        for (const json& element : value) {
            FieldPaths(element, path + "[]", paths);
        }
    }
}

TEST(JsonContract, EveryRunPrintsOneDocumentedObject) {
    const std::string doc = Documented();
#ifdef _WIN32
    if (doc.empty()) {
        GTEST_SKIP() << "the sources' docs are not reachable from here";
    }
#endif
    ASSERT_FALSE(doc.empty()) << KAVREX_JSON_DOC;
    Machine machine;
    machine.AddOtherProgram(HKEY_LOCAL_MACHINE);
    SetRawValue(machine.registry, HKEY_CURRENT_USER, "Software\\Classes\\.zip", "", REG_DWORD,
                std::string("\1\0\0\0", 4));
    SetRawValue(machine.registry, HKEY_CURRENT_USER,
                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.7z\\UserChoice",
                "ProgId", REG_SZ, std::string("Other.Archive") + '\0');
    // A type of our name that another program's command fills, in the user's classes.
    SetRawValue(machine.registry, HKEY_CURRENT_USER,
                "Software\\Classes\\KavrexAssoc\\Shell\\Open\\Command", "", REG_SZ,
                std::string("\"C:\\Other\\other.exe\" \"%1\"") + '\0');
    const struct {
        std::vector<const char*> arguments;
        int exitCode;
        const char* reason; // null: none
    } runs[] = {
        {{"status", "--ext", ".rar,.zip,.7z"}, 1, nullptr},
        {{"register", "--dry-run", "--ext", ".rar,.7z"}, 0, nullptr},
        {{"register", "--ext", ".rar,.7z"}, 0, nullptr},
        {{"status", "--scope", "machine"}, 0, nullptr},
        {{"remove"}, 0, nullptr},
        {{"export-defaults"}, 0, nullptr},
        {{"export-defaults", "--output", "C:\\Defaults.xml"}, 0, nullptr},
        {{"export-defaults", "--output", "C:\\Defaults.xml"}, 3, "file-exists"},
        {{"register", "--ext", ".a.b"}, 2, "usage"},
        {{"frobnicate"}, 2, "usage"},
        {{"register", "--scope", "user"}, 3, "type-of-another-program"},
        {{"remove", "--scope", "user", "--dry-run"}, 0, nullptr},
    };
    std::set<std::string> undocumented;
    for (const auto& run : runs) {
        std::vector<const char*> arguments = run.arguments;
        arguments.push_back("--json");
        SCOPED_TRACE(std::string(arguments[0]) + " " + (arguments.size() > 2 ? arguments[1] : ""));
        EXPECT_EQ(run.exitCode, machine.Cli(arguments)) << machine.console.err;
        const json out = json::parse(machine.console.out, nullptr, false);
        ASSERT_TRUE(out.is_object()) << machine.console.out;
        EXPECT_EQ(run.exitCode, out["exitCode"]);
        EXPECT_EQ(run.reason ? json(run.reason) : json(nullptr), out["reason"]);
        EXPECT_TRUE(!run.reason || IsDocumented(doc, run.reason)) << run.reason;
        std::set<std::string> paths;
        FieldPaths(out, "", paths);
        for (const std::string& path : paths) {
            if (!IsDocumented(doc, path)) {
                undocumented.insert(path);
            }
        }
    }
    EXPECT_TRUE(undocumented.empty()) << json(undocumented).dump();
}

} // namespace

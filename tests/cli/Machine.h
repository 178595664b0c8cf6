// One machine on the emulation, with KavrexAssoc.exe and kavrex-assoc.exe
// beside Kavrex.exe in Program Files, and another archive program that owns
// .rar: what the stopped, concurrent and generated runs start from.
#pragma once

#include "cli/CapturingConsole.h"
#include "emulation/EmulatedWindows.h"
#include "support/RegistryFixture.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace testing_support {

// The ways a registration is made: the dialog's (the machine's classes), and
// the command line's for each scope.
enum class Way { Dialog, Machine, User };
constexpr Way AllWays[] = {Way::Dialog, Way::Machine, Way::User};
const char* WayName(Way way);
// The hive whose classes the way changes.
HKEY HiveOf(Way way);

constexpr const char* HandlerShortPath = "C:\\PROGRA~1\\Kavrex\\Kavrex.exe";
constexpr const char* OtherType = "Other.Archive";

class Machine {
  public:
    Machine();

    // Registers or removes .rar (and .zip from the command line) the way
    // given; true when the run says it did.
    bool Run(Way way, bool remove);
    // The component on the hive's classes, as the dialog runs it on the machine's.
    bool RunComponent(HKEY hive, bool remove);
    // kavrex-assoc with these arguments; its exit code.
    int Cli(std::vector<const char*> arguments);
    // status --json of .rar; the verdict ("" when the output does not parse).
    std::string Verdict();
    // Both hives whole.
    FlatTree Everything() {
        return Snapshot(registry, {{HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CURRENT_USER, "HKCU"}});
    }

    // Another archive program in the hive's classes: its type owns .rar, with
    // a content type, an "Open with" entry, a ShellNew key and its
    // registration for Default apps beside ours.
    void AddOtherProgram(HKEY hive);
    // What HKEY_CLASSES_ROOT opens .rar with, read as Windows reads it.
    bool OpensWithKavrex();
    // The other program's type is still the hive's .rar's, or kept beside ours.
    bool KeepsOtherType(HKEY hive);

    // Where both programs run from, beside Kavrex.exe.
    std::wstring folder = L"C:\\Program Files\\Kavrex\\";
    emulation::EmulatedWindows windows;
    emulation::EmulatedRegistryApi& registry = windows.registry;
    emulation::EmulatedSystemApi& system = windows.system;
    CapturingConsole console;
};

} // namespace testing_support

// Runs stopped dead after each of their changing calls in turn, registering and
// removing, the dialog's way and the command line's for both scopes, with
// another archive program owning .rar: nothing of that program is lost, .rar
// never names our type before our type can open it, status says what Windows
// would do, and running either command again finishes the job.
#include "support/StoppedRun.h"
#include "cli/Machine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

using namespace testing_support;

// .rar names our type only once that type opens Kavrex. Removing, Windows
// opens it with Kavrex until the other program has it back; registering, the
// same but while the user's .rar key is made and given its type, two calls
// that no program can make one.
void ExpectNeverDangling(Machine& machine, bool removing) {
    const std::string type = DefaultText(machine.registry, HKEY_CLASSES_ROOT, ".rar");
    EXPECT_TRUE(type != "KavrexAssoc" || machine.OpensWithKavrex());
    if (removing) {
        EXPECT_TRUE(type == OtherType || machine.OpensWithKavrex()) << type;
    }
}

// A way of registering, and the hive whose classes hold the other program.
using Case = std::pair<Way, HKEY>;

class StoppedRuns : public ::testing::TestWithParam<Case> {};

TEST_P(StoppedRuns, NothingIsLostAndRunningAgainFinishes) {
    int states = 0;
    const Way way = GetParam().first;
    const HKEY hive = GetParam().second;
    Machine reference;
    reference.AddOtherProgram(hive);
    const FlatTree original = reference.Everything();
    ASSERT_TRUE(reference.Run(way, false));
    const FlatTree registered = reference.Everything();
    for (const bool removing : {false, true}) {
        SCOPED_TRACE(std::string(WayName(way)) + (removing ? ", removing" : ", registering") +
                     (hive == HKEY_CURRENT_USER ? ", the other's in the user's classes" : ""));
        // The machine as the run found it, the run stopped after that many changes.
        const auto stoppedAfter = [&](std::optional<int> changes) {
            auto machine = std::make_unique<Machine>();
            machine->AddOtherProgram(hive);
            if (removing) {
                EXPECT_TRUE(machine->Run(way, false));
            }
            const StoppedRun stopped(machine->registry, changes);
            machine->Run(way, removing);
            return std::make_pair(std::move(machine), stopped.ChangesMade());
        };
        const int changes = stoppedAfter(std::nullopt).second;
        for (int n = 0; n <= changes; ++n, ++states) {
            SCOPED_TRACE("stopped after " + std::to_string(n) + " of " + std::to_string(changes) +
                         " changes");
            auto machine = stoppedAfter(n).first;
            EXPECT_TRUE(machine->KeepsOtherType(hive));
            ExpectNeverDangling(*machine, removing);
            EXPECT_EQ(machine->OpensWithKavrex(), machine->Verdict() == "opens-with-kavrex");
            EXPECT_TRUE(machine->Run(way, true));
            EXPECT_EQ(original, machine->Everything()) << "undone";

            machine = stoppedAfter(n).first;
            EXPECT_TRUE(machine->Run(way, false));
            EXPECT_EQ(registered, machine->Everything()) << "finished";
            EXPECT_TRUE(machine->Run(way, true));
            EXPECT_EQ(original, machine->Everything()) << "finished, then removed";
        }
    }
    std::printf("[ stopped  ] %d stopped states checked\n", states);
}

// The other program in the classes the run changes, and, for a user's
// registration, in the machine's classes, which the user's then hide.
INSTANTIATE_TEST_SUITE_P(
    Ways, StoppedRuns,
    ::testing::Values(Case{Way::Dialog, HKEY_LOCAL_MACHINE}, Case{Way::Machine, HKEY_LOCAL_MACHINE},
                      Case{Way::User, HKEY_CURRENT_USER}, Case{Way::User, HKEY_LOCAL_MACHINE}),
    [](const ::testing::TestParamInfo<Case>& info) {
        return std::string(info.param.first == Way::Dialog    ? "Dialog"
                           : info.param.first == Way::Machine ? "Machine"
                                                              : "User") +
               (info.param.second == HKEY_CURRENT_USER ? "OverUsers" : "OverMachines");
    });

} // namespace

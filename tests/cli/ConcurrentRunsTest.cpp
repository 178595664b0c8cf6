// Two runs at once, as a deployment script and the dialog may be: registering
// with registering and with removing, on the machine's classes and on the
// user's beside them, the turn passing before any one changing call, or
// before one and again some calls later. Nothing of the other archive program
// is lost in any schedule, and one more run of each command leaves what it is
// asked for.
#include "cli/Machine.h"
#include "support/Interleaving.h"
#include "support/StoppedRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

namespace {

using namespace testing_support;

struct Side {
    HKEY hive; // whose classes the component changes
    bool remove;
};

const char* Described(const Side& side) {
    return side.hive == HKEY_CURRENT_USER
               ? (side.remove ? "the user's removing" : "the user's registering")
               : (side.remove ? "removing" : "registering");
}

// How many changing calls the run makes on its own.
int ChangesOf(const Side& side, const std::function<void(Machine&)>& prepare) {
    Machine machine;
    prepare(machine);
    const StoppedRun counting(machine.registry, std::nullopt);
    machine.RunComponent(side.hive, side.remove);
    return counting.ChangesMade();
}

// The turn passes before each changing call of the first run; the second
// then goes to its end, or back after 1, 2, 3, 5, 8, ... of its changes.
std::vector<std::deque<int>> Schedules(int first, int second) {
    std::vector<std::deque<int>> schedules;
    for (int a = 0; a <= first; ++a) {
        schedules.push_back({a});
        for (int b = 1, next = 2; b < second; std::tie(b, next) = std::pair(next, b + next)) {
            schedules.push_back({a, b});
        }
    }
    return schedules;
}

struct Pair {
    Side first, second;
    bool registered; // the machine's classes registered before they start
};

class ConcurrentRuns : public ::testing::TestWithParam<Pair> {};

TEST_P(ConcurrentRuns, NothingIsLostAndOneMoreRunSettlesIt) {
    const Pair& pair = GetParam();
    int schedules = 0;
    const auto prepare = [&](Machine& machine) {
        machine.AddOtherProgram(HKEY_LOCAL_MACHINE);
        if (pair.registered) {
            EXPECT_TRUE(machine.RunComponent(HKEY_LOCAL_MACHINE, false));
        }
        if (pair.first.hive == HKEY_CURRENT_USER && pair.first.remove) {
            EXPECT_TRUE(machine.RunComponent(HKEY_CURRENT_USER, false));
        }
    };
    Machine reference;
    reference.AddOtherProgram(HKEY_LOCAL_MACHINE);
    const FlatTree original = reference.Everything();
    for (const Side& side : {pair.first, pair.second}) {
        ASSERT_TRUE(reference.RunComponent(side.hive, false));
    }
    const FlatTree registered = reference.Everything();
    for (const std::deque<int>& turns :
         Schedules(ChangesOf(pair.first, prepare), ChangesOf(pair.second, prepare))) {
        SCOPED_TRACE("turns " + std::to_string(turns.front()) +
                     (turns.size() > 1 ? ", " + std::to_string(turns.back()) : ""));
        // Every other schedule is settled by removing, the others by registering.
        const bool finishByRemoving = schedules++ % 2 == 1;
        Machine machine;
        prepare(machine);
        Interleaving(machine.registry, turns)
            .Run([&] { machine.RunComponent(pair.first.hive, pair.first.remove); },
                 [&] { machine.RunComponent(pair.second.hive, pair.second.remove); });
        EXPECT_TRUE(machine.KeepsOtherType(HKEY_LOCAL_MACHINE));
        for (const Side& side : {pair.first, pair.second}) {
            EXPECT_TRUE(machine.RunComponent(side.hive, finishByRemoving));
        }
        EXPECT_EQ(finishByRemoving ? original : registered, machine.Everything());
    }
    std::printf("[ at once  ] %d schedules of %s with %s checked\n", schedules,
                Described(pair.first), Described(pair.second));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ConcurrentRuns,
    ::testing::Values(Pair{{HKEY_LOCAL_MACHINE, false}, {HKEY_LOCAL_MACHINE, false}, false},
                      Pair{{HKEY_LOCAL_MACHINE, false}, {HKEY_LOCAL_MACHINE, true}, true},
                      Pair{{HKEY_LOCAL_MACHINE, true}, {HKEY_LOCAL_MACHINE, false}, true},
                      Pair{{HKEY_LOCAL_MACHINE, false}, {HKEY_CURRENT_USER, false}, false},
                      Pair{{HKEY_CURRENT_USER, true}, {HKEY_LOCAL_MACHINE, false}, false}),
    [](const ::testing::TestParamInfo<Pair>& info) {
        const auto name = [](const Side& side) {
            return std::string(side.hive == HKEY_CURRENT_USER ? "Users" : "") +
                   (side.remove ? "Removing" : "Registering");
        };
        return name(info.param.first) + "With" + name(info.param.second);
    });

} // namespace

namespace {

// A registration switches the extension back to ours right after removal
// deleted the kept value, and the put-back of that value is refused: the
// other program's type is not lost, and removal says it did not finish.
TEST(ConcurrentRuns, ARefusedPutBackLosesNothing) {
    Machine machine;
    machine.AddOtherProgram(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.RunComponent(HKEY_LOCAL_MACHINE, false));
    const std::string extension = "Software\\Classes\\.rar";
    bool inGate = false;
    bool switched = false;
    bool refused = false;
    machine.registry.SetCallGate([&](emulation::RegistryCall call) -> LONG {
        if (inGate) {
            return ERROR_SUCCESS;
        }
        inGate = true;
        const bool keptGone =
            GetRawValue(machine.registry, HKEY_LOCAL_MACHINE, extension, "KavrexAssoc.Previous")
                .bytes == NoValue;
        if (!switched && keptGone) {
            SetRawValue(machine.registry, HKEY_LOCAL_MACHINE, extension, "", REG_SZ,
                        std::string("KavrexAssoc") + '\0');
            switched = true;
        }
        inGate = false;
        if (switched && !refused && call == emulation::RegistryCall::SetValue) {
            refused = true;
            return ERROR_ACCESS_DENIED;
        }
        return ERROR_SUCCESS;
    });
    EXPECT_FALSE(machine.RunComponent(HKEY_LOCAL_MACHINE, true));
    machine.registry.SetCallGate(nullptr);
    EXPECT_TRUE(switched && refused);
    EXPECT_TRUE(machine.KeepsOtherType(HKEY_LOCAL_MACHINE));
}

} // namespace

// Judging a registration reads every row the layout writes: with all of them
// it is complete, and with any one left unwritten it is incomplete.
#include "association/RegistrationJudge.h"
#include "association/ClassesFixture.h"
#include "emulation/EmulatedWindows.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

namespace {

using namespace association;

TEST(JudgedRegistration, IsCompleteOnlyWithEveryRowTheLayoutWrites) {
    const AssociationKeys keys{".kvxtest", "KvxTest", ApplicationName};
    for (const TakeBackRow& row : TakeBackLayout(keys)) {
        if (row.judged == Judged::NotJudged) {
            continue;
        }
        SCOPED_TRACE(row.place.key + " [" + row.place.name + "]");
        emulation::EmulatedWindows windows;
        testing_support::AddTestProgram(windows.system);
        const auto judge = [&] {
            return JudgeRegistration(windows.registry, windows.system, HKEY_LOCAL_MACHINE, keys,
                                     HandlerBesideProgram(windows.system));
        };
        EXPECT_EQ(Registration::Absent, judge());
        int confirmations = 0;
        ASSERT_EQ(
            AssociationResult::Registered,
            testing_support::DialogComponent({windows.registry, windows.system, HKEY_LOCAL_MACHINE},
                                             {".kvxtest"}, confirmations)
                ->Associate());
        EXPECT_EQ(Registration::Complete, judge());

        platform::TRegistry registry(windows.registry);
        registry.SetRoot(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(registry.OpenPath("\\" + KeyInApplicationHive(row.place), false));
        ASSERT_EQ(ERROR_SUCCESS, registry.DeleteValueStatus(row.place.name));
        EXPECT_EQ(Registration::Incomplete, judge());
    }
}

} // namespace

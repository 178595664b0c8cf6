// Every registry call of registering, checking and removing refused in turn, on
// the emulation: nothing lands outside the layout, no handle is left open, and
// the result tells the truth.
#include "association/ClassesFixture.h"

#include <algorithm>

namespace {

using namespace testing_support;
using association::AssociationResult;
using emulation::RegistryCall;

const std::pair<RegistryCall, const char*> AllCalls[] = {
    {RegistryCall::CreateKey, "RegCreateKeyExA"}, {RegistryCall::OpenKey, "RegOpenKeyExA"},
    {RegistryCall::CloseKey, "RegCloseKey"},      {RegistryCall::QueryValue, "RegQueryValueExA"},
    {RegistryCall::SetValue, "RegSetValueExA"},   {RegistryCall::QueryInfoKey, "RegQueryInfoKeyA"},
    {RegistryCall::EnumKey, "RegEnumKeyExA"},     {RegistryCall::DeleteKey, "RegDeleteKeyA"},
    {RegistryCall::EnumValue, "RegEnumValueA"},   {RegistryCall::DeleteValue, "RegDeleteValueA"},
};

struct World {
    emulation::EmulatedRegistryApi registry;
    emulation::EmulatedSystemApi system;
    int confirmations = 0;

    World() { AddTestProgram(system); }
    // Another program's value beside ours under one extension: removal then
    // deletes our default value alone.
    void AddForeignValue() {
        SetRawValue(registry, HKEY_CLASSES_ROOT, ".kvxtest2", "Content Type", REG_SZ,
                    std::string("application/x-kvx") + '\0');
    }
    // Another program's type on one extension before ours: removal gives it back.
    void AddOtherType() {
        SetRawValue(registry, HKEY_CLASSES_ROOT, ".kvxtest", "", REG_SZ,
                    std::string("Other.Type") + '\0');
        SetRawValue(registry, HKEY_CLASSES_ROOT, "Other.Type\\Shell\\Open\\Command", "", REG_SZ,
                    std::string("other.exe %1") + '\0');
    }
    std::unique_ptr<association::TRegArchive> Component() {
        return DialogComponent({registry, system}, {".kvxtest", ".kvxtest2"}, confirmations);
    }
    FlatTree Everything() { return testing_support::Everything(registry, HKEY_LOCAL_MACHINE); }
    [[nodiscard]] std::map<RegistryCall, int> Counts() const {
        std::map<RegistryCall, int> counts;
        for (const auto& [call, name] : AllCalls) {
            counts[call] = registry.CallCount(call);
        }
        return counts;
    }
};

// Each key and value is one the complete layout has, with its data.
void ExpectWithinLayout(const FlatTree& written, const FlatTree& complete) {
    for (const auto& [entry, value] : written) {
        const auto expected = complete.find(entry);
        ASSERT_NE(complete.end(), expected) << "outside the layout: " << entry;
        EXPECT_EQ(expected->second, value) << entry;
    }
}

bool IsValue(const std::string& entry) {
    return entry.back() == ']';
}

using Counts = std::map<RegistryCall, int>;

// Runs the case once for each call that a clean run made between the counts
// (none counted before: from the start), with that call refused.
template <typename Case> void EachRefusal(const Counts& before, const Counts& after, Case run) {
    for (const auto& [call, name] : AllCalls) {
        const int made = after.at(call) - (before.empty() ? 0 : before.at(call));
        for (int n = 1; n <= made; ++n) {
            SCOPED_TRACE(std::string(name) + " #" + std::to_string(n));
            run(call, n);
        }
    }
}

TEST(AssociationFaults, EachRefusedCallOfRegisteringIsReported) {
    World clean;
    ASSERT_EQ(AssociationResult::Registered, clean.Component()->Associate());
    const auto counts = clean.Counts();
    const FlatTree complete = clean.Everything();

    EachRefusal(Counts{}, counts, [&](RegistryCall call, int n) {
        World world;
        world.registry.FailNthCall(call, n, ERROR_ACCESS_DENIED);
        const AssociationResult result = world.Component()->Associate();
        const FlatTree written = world.Everything();
        ExpectWithinLayout(written, complete);
        // Another extension may complete the shared type key, so a refused
        // write fails the result even when the end state is whole; so does a
        // refused read of the type an extension had, which is then not written
        // over.
        if (call == RegistryCall::CreateKey || call == RegistryCall::SetValue) {
            EXPECT_EQ(AssociationResult::Failed, result);
        }
        if (result == AssociationResult::Registered) {
            EXPECT_EQ(complete, written);
        }
        EXPECT_EQ(1u, world.system.Notifications().size());
        if (call != RegistryCall::CloseKey) {
            EXPECT_EQ(0u, world.registry.OpenHandleCount());
        }
    });
}

TEST(AssociationFaults, EachRefusedCallOfRemovingIsReported) {
    World clean;
    ASSERT_EQ(AssociationResult::Registered, clean.Component()->Associate());
    clean.AddForeignValue();
    const FlatTree complete = clean.Everything();
    const auto before = clean.Counts();
    ASSERT_TRUE(clean.Component()->Unassociate());
    const auto after = clean.Counts();
    const std::string foreign = "Classes\\.kvxtest2 [Content Type]";
    const FlatTree end = clean.Everything();
    ASSERT_EQ((FlatTree{{"Classes", NoValue},
                        {"Classes\\.kvxtest2", NoValue},
                        {foreign, complete.at(foreign)},
                        {"Hive", NoValue},
                        {"Hive\\Software", NoValue},
                        {"Hive\\Software\\RegisteredApplications", NoValue}}),
              end);

    EachRefusal(before, after, [&](RegistryCall call, int n) {
        World world;
        ASSERT_EQ(AssociationResult::Registered, world.Component()->Associate());
        world.AddForeignValue();
        world.registry.FailNthCall(call, n, ERROR_ACCESS_DENIED);
        const bool removed = world.Component()->Unassociate();
        const FlatTree left = world.Everything();
        ExpectWithinLayout(left, complete);
        // Success is never claimed while something of ours is left.
        if (removed) {
            EXPECT_EQ(end, left);
        }
        if (call != RegistryCall::CloseKey) {
            EXPECT_EQ(0u, world.registry.OpenHandleCount());
        }
    });
}

// Whatever call of registering or removing is refused, the extension names
// the other type, or ours with the other type kept beside it: never nothing.
TEST(AssociationFaults, NoRefusedCallLosesAnotherProgramsType) {
    const auto typeKept = [](World& world) {
        const std::string type = DefaultText(world.registry, HKEY_CLASSES_ROOT, ".kvxtest");
        const std::string kept =
            GetRawValue(world.registry, HKEY_CLASSES_ROOT, ".kvxtest", "KvxTest.Previous").bytes;
        EXPECT_TRUE(type == "Other.Type" ||
                    (type == "KvxTest" && kept == std::string("Other.Type") + '\0'))
            << type << " / " << kept;
    };
    for (const bool removing : {false, true}) {
        SCOPED_TRACE(removing ? "removing" : "registering");
        const auto prepared = [removing](World& world) {
            world.AddOtherType();
            if (removing) {
                EXPECT_EQ(AssociationResult::Registered, world.Component()->Associate());
            }
        };
        const auto run = [removing](World& world) {
            return removing ? world.Component()->Unassociate()
                            : world.Component()->Associate() == AssociationResult::Registered;
        };
        World clean;
        prepared(clean);
        const auto before = clean.Counts();
        ASSERT_TRUE(run(clean));
        const auto after = clean.Counts();
        typeKept(clean);
        EachRefusal(before, after, [&](RegistryCall call, int n) {
            World world;
            prepared(world);
            world.registry.FailNthCall(call, n, ERROR_ACCESS_DENIED);
            run(world);
            typeKept(world);
        });
    }
}

TEST(AssociationFaults, ACheckThatCannotReadIsNotAssociated) {
    World clean;
    auto setUp = [](World& world) {
        for (const char* extension : {".kvxtest", ".kvxtest2"}) {
            SetRawValue(world.registry, HKEY_CLASSES_ROOT, extension, "", REG_SZ,
                        std::string("OtherType") + '\0');
        }
        SetRawValue(world.registry, HKEY_CLASSES_ROOT, "OtherType\\Shell\\Open\\Command", "",
                    REG_SZ, std::string(ProgramShort) + '\0');
    };
    setUp(clean);
    const FlatTree stored = clean.Everything();
    const auto before = clean.Counts();
    ASSERT_TRUE(clean.Component()->IsAssociated());
    const auto after = clean.Counts();

    EachRefusal(before, after, [&](RegistryCall call, int n) {
        World world;
        setUp(world);
        world.registry.FailNthCall(call, n, ERROR_ACCESS_DENIED);
        EXPECT_EQ(call == RegistryCall::CloseKey, world.Component()->IsAssociated());
        EXPECT_EQ(stored, world.Everything());
        if (call != RegistryCall::CloseKey) {
            EXPECT_EQ(0u, world.registry.OpenHandleCount());
        }
    });
}

TEST(AssociationFaults, WithoutTheRightToWriteClassesNothingChanges) {
    World world;
    world.registry.MakeReadOnly("HKEY_CLASSES_ROOT");
    EXPECT_EQ(AssociationResult::Failed, world.Component()->Associate());
    const FlatTree written = world.Everything();
    EXPECT_EQ(0, std::count_if(written.begin(), written.end(),
                               [](const auto& entry) { return IsValue(entry.first); }));
    EXPECT_EQ(1u, world.system.Notifications().size());

    World registered;
    ASSERT_EQ(AssociationResult::Registered, registered.Component()->Associate());
    const FlatTree complete = registered.Everything();
    registered.registry.MakeReadOnly("HKEY_CLASSES_ROOT");
    EXPECT_FALSE(registered.Component()->Unassociate());
    EXPECT_EQ(complete, registered.Everything());
    EXPECT_EQ(0u, registered.registry.OpenHandleCount());
}

// The extensions switch last: with the type key refused, no extension names it.
TEST(AssociationFaults, ARefusedTypeKeyLeavesTheExtensionsAsTheyWere) {
    World world;
    world.registry.FailCallOnKey(RegistryCall::CreateKey, "HKEY_CLASSES_ROOT\\KvxTest",
                                 ERROR_ACCESS_DENIED);
    EXPECT_EQ(AssociationResult::Failed, world.Component()->Associate());
    EXPECT_EQ((FlatTree{{"Classes", NoValue},
                        {"Hive", NoValue},
                        {"Hive\\Software", NoValue}}), // holding the classes
              world.Everything());
}

} // namespace

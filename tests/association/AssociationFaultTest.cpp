// Every registry call of registering, checking and removing refused in turn, on
// the emulation: nothing lands outside the layout, no handle is left open, and
// the result tells the truth.
#include "association/ClassesFixture.h"

#include <algorithm>

namespace {

using namespace testing_support;
using association::AssociationResult;
using platform::RegistryCall;

const std::pair<RegistryCall, const char*> AllCalls[] = {
    {RegistryCall::CreateKey, "RegCreateKeyExA"}, {RegistryCall::OpenKey, "RegOpenKeyExA"},
    {RegistryCall::CloseKey, "RegCloseKey"},      {RegistryCall::QueryValue, "RegQueryValueExA"},
    {RegistryCall::SetValue, "RegSetValueExA"},   {RegistryCall::QueryInfoKey, "RegQueryInfoKeyA"},
    {RegistryCall::EnumKey, "RegEnumKeyExA"},     {RegistryCall::DeleteKey, "RegDeleteKeyA"},
    {RegistryCall::EnumValue, "RegEnumValueA"},   {RegistryCall::DeleteValue, "RegDeleteValueA"},
};

struct World {
    platform::EmulatedRegistryApi registry;
    platform::EmulatedSystemApi system;
    int confirmations = 0;

    World() { AddTestProgram(system); }
    // Another program's value beside ours under one extension: removal then
    // deletes our default value alone.
    void AddForeignValue() {
        SetRawValue(registry, HKEY_CLASSES_ROOT, ".kvxtest2", "Content Type", REG_SZ,
                    std::string("application/x-kvx") + '\0');
    }
    std::unique_ptr<association::TRegArchive> Component() {
        return DialogComponent({registry, system}, {".kvxtest", ".kvxtest2"}, confirmations);
    }
    ClassesTree Everything() {
        ClassesTree all;
        for (const std::string& key : SubkeyNames(registry, HKEY_CLASSES_ROOT, "")) {
            all.merge(Tree(registry, key));
        }
        return all;
    }
    std::map<RegistryCall, int> Counts() const {
        std::map<RegistryCall, int> counts;
        for (const auto& [call, name] : AllCalls) {
            counts[call] = registry.CallCount(call);
        }
        return counts;
    }
};

// Each key is one the complete layout has, with its value or none yet.
void ExpectWithinLayout(const ClassesTree& written, const ClassesTree& complete) {
    for (const auto& [key, value] : written) {
        const auto expected = complete.find(key);
        ASSERT_NE(complete.end(), expected) << "outside the layout: " << key;
        EXPECT_TRUE(value == NoValue || value == expected->second) << key << " = " << value;
    }
}

TEST(AssociationFaults, EachRefusedCallOfRegisteringIsReported) {
    World clean;
    ASSERT_EQ(AssociationResult::Registered, clean.Component()->Associate());
    const auto counts = clean.Counts();
    const ClassesTree complete = clean.Everything();

    for (const auto& [call, name] : AllCalls) {
        for (int n = 1; n <= counts.at(call); ++n) {
            SCOPED_TRACE(std::string(name) + " #" + std::to_string(n));
            World world;
            world.registry.FailNthCall(call, n, ERROR_ACCESS_DENIED);
            const AssociationResult result = world.Component()->Associate();
            const ClassesTree written = world.Everything();
            ExpectWithinLayout(written, complete);
            // Another extension may complete the shared type key, so a refused
            // write fails the result even when the end state is whole.
            const bool writeRefused =
                call == RegistryCall::CreateKey || call == RegistryCall::SetValue;
            EXPECT_EQ(writeRefused, result == AssociationResult::Failed);
            if (result == AssociationResult::Registered) {
                EXPECT_EQ(complete, written);
            }
            EXPECT_EQ(1u, world.system.Notifications().size());
            if (call != RegistryCall::CloseKey) {
                EXPECT_EQ(0u, world.registry.OpenHandleCount());
            }
        }
    }
}

TEST(AssociationFaults, EachRefusedCallOfRemovingIsReported) {
    World clean;
    ASSERT_EQ(AssociationResult::Registered, clean.Component()->Associate());
    clean.AddForeignValue();
    const ClassesTree complete = clean.Everything();
    const auto before = clean.Counts();
    ASSERT_TRUE(clean.Component()->Unassociate());
    const auto after = clean.Counts();
    ASSERT_EQ((ClassesTree{{".kvxtest2", NoValue}}), clean.Everything());
    ASSERT_EQ(1, after.at(RegistryCall::DeleteValue) - before.at(RegistryCall::DeleteValue));

    for (const auto& [call, name] : AllCalls) {
        for (int n = 1; n <= after.at(call) - before.at(call); ++n) {
            SCOPED_TRACE(std::string(name) + " #" + std::to_string(n));
            World world;
            ASSERT_EQ(AssociationResult::Registered, world.Component()->Associate());
            world.AddForeignValue();
            world.registry.FailNthCall(call, n, ERROR_ACCESS_DENIED);
            const bool removed = world.Component()->Unassociate();
            const ClassesTree left = world.Everything();
            ExpectWithinLayout(left, complete);
            // An extension whose value cannot be read is not known to be ours: it
            // stays, and that is no failure. Our type key goes all the same.
            const bool unreadable = call == RegistryCall::QueryValue;
            const bool oursLeft = std::any_of(left.begin(), left.end(), [&](const auto& key) {
                return key.second != NoValue && !(unreadable && key.first[0] == '.');
            });
            EXPECT_EQ(removed, !oursLeft);
            if (call != RegistryCall::CloseKey) {
                EXPECT_EQ(0u, world.registry.OpenHandleCount());
            }
        }
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
    const ClassesTree stored = clean.Everything();
    const auto before = clean.Counts();
    ASSERT_TRUE(clean.Component()->IsAssociated());
    const auto after = clean.Counts();

    for (const auto& [call, name] : AllCalls) {
        for (int n = 1; n <= after.at(call) - before.at(call); ++n) {
            SCOPED_TRACE(std::string(name) + " #" + std::to_string(n));
            World world;
            setUp(world);
            world.registry.FailNthCall(call, n, ERROR_ACCESS_DENIED);
            EXPECT_EQ(call == RegistryCall::CloseKey, world.Component()->IsAssociated());
            EXPECT_EQ(stored, world.Everything());
            if (call != RegistryCall::CloseKey) {
                EXPECT_EQ(0u, world.registry.OpenHandleCount());
            }
        }
    }
}

TEST(AssociationFaults, WithoutTheRightToWriteClassesNothingChanges) {
    World world;
    world.registry.MakeReadOnly("HKEY_CLASSES_ROOT");
    EXPECT_EQ(AssociationResult::Failed, world.Component()->Associate());
    EXPECT_TRUE(world.Everything().empty());
    EXPECT_EQ(1u, world.system.Notifications().size());

    World registered;
    ASSERT_EQ(AssociationResult::Registered, registered.Component()->Associate());
    const ClassesTree complete = registered.Everything();
    registered.registry.MakeReadOnly("HKEY_CLASSES_ROOT");
    EXPECT_FALSE(registered.Component()->Unassociate());
    EXPECT_EQ(complete, registered.Everything());
    EXPECT_EQ(0u, registered.registry.OpenHandleCount());
}

TEST(AssociationFaults, ARefusedTypeKeyFailsAfterTheExtensionKeysWereWritten) {
    World world;
    world.registry.FailCallOnKey(RegistryCall::CreateKey, "HKEY_CLASSES_ROOT\\KvxTest",
                                 ERROR_ACCESS_DENIED);
    EXPECT_EQ(AssociationResult::Failed, world.Component()->Associate());
    EXPECT_EQ((ClassesTree{{".kvxtest", "KvxTest"}, {".kvxtest2", "KvxTest"}}), world.Everything());
}

} // namespace

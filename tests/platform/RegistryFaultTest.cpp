// The wrapper when the registry refuses, and the calls it makes, on the emulation.
#include "emulation/EmulatedRegistryApi.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

namespace {

using emulation::EmulatedRegistryApi;
using emulation::RegistryCall;
using platform::ERegistryException;
using platform::KeySummary;
using platform::TRegistry;

class RegistryFaults : public ::testing::Test {
  protected:
    EmulatedRegistryApi api;
};

TEST_F(RegistryFaults, ARefusedOpenLeavesTheCurrentKey) {
    TRegistry registry(api);
    ASSERT_TRUE(registry.OpenPath("Kept", true));
    const HKEY kept = registry.CurrentHandle();
    api.FailNthCall(RegistryCall::CreateKey, 1, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(registry.OpenPath("\\Other", true));
    EXPECT_EQ(kept, registry.CurrentHandle());
    EXPECT_EQ("Kept", registry.KeyPath());
}

TEST_F(RegistryFaults, RefusedReadsAndWritesRaiseWithTheValueName) {
    TRegistry registry(api);
    ASSERT_TRUE(registry.OpenPath("Key", true));
    registry.WriteText("Name", "text");

    api.FailNthCall(RegistryCall::SetValue, 1, ERROR_ACCESS_DENIED);
    try {
        registry.WriteText("Name", "other");
        FAIL() << "nothing raised";
    } catch (const ERegistryException& error) {
        EXPECT_STREQ("Failed to set data for 'Name'", error.what());
    }

    api.FailNthCall(RegistryCall::QueryValue, 2, ERROR_ACCESS_DENIED); // the fetch, not the size
    try {
        registry.ReadText("Name");
        FAIL() << "nothing raised";
    } catch (const ERegistryException& error) {
        EXPECT_STREQ("Failed to get data for 'Name'", error.what());
    }
    EXPECT_EQ("text", registry.ReadText("Name"));
}

TEST_F(RegistryFaults, RefusalsReachTheStatusForms) {
    TRegistry registry(api);
    ASSERT_TRUE(registry.OpenPath("Key", true));
    registry.WriteText("", "text");
    std::string text;
    api.FailNthCall(RegistryCall::QueryValue, 2, ERROR_ACCESS_DENIED); // the fetch
    EXPECT_EQ(ERROR_ACCESS_DENIED, registry.ReadTextStatus("", text));
    EXPECT_EQ("", text);
    api.FailNthCall(RegistryCall::DeleteValue, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(ERROR_ACCESS_DENIED, registry.DeleteValueStatus(""));
    api.FailNthCall(RegistryCall::DeleteKey, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(ERROR_ACCESS_DENIED, registry.DeleteTreeStatus("\\Key"));
    api.FailNthCall(RegistryCall::OpenKey, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(ERROR_ACCESS_DENIED, registry.OpenPathStatus("\\Key", false));
    EXPECT_EQ("Key", registry.KeyPath());
}

TEST_F(RegistryFaults, AFailedSizeQueryReadsAsEmpty) {
    TRegistry registry(api);
    ASSERT_TRUE(registry.OpenPath("Key", true));
    registry.WriteText("", "text");
    api.FailNthCall(RegistryCall::QueryValue, 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ("", registry.ReadText(""));
}

TEST_F(RegistryFaults, AnUndeletableSubkeyMakesDeleteTreeFalseAndKeepsState) {
    TRegistry registry(api);
    ASSERT_TRUE(registry.OpenPath("Top\\Stuck", true));
    ASSERT_TRUE(registry.OpenPath("\\Top\\Free", true));
    ASSERT_TRUE(registry.OpenPath("\\Top", false));
    api.FailCallOnKey(RegistryCall::DeleteKey, "HKEY_CURRENT_USER\\Top\\Stuck",
                      ERROR_ACCESS_DENIED);
    EXPECT_FALSE(registry.DeleteTree("\\Top"));
    EXPECT_EQ("Top", registry.KeyPath());
    EXPECT_TRUE(registry.OpenPath("Stuck", false));
    EXPECT_FALSE(registry.OpenPath("\\Top\\Free", false));
}

// A name longer than the buffer is read again into one that fits any name;
// a subkey that cannot be named at all is passed over, and then stays.
TEST_F(RegistryFaults, DeleteTreeRetriesALongNameAndPassesOverOneItCannotRead) {
    for (const LONG refusal : {ERROR_MORE_DATA, ERROR_ACCESS_DENIED}) {
        SCOPED_TRACE(refusal);
        TRegistry registry(api);
        ASSERT_TRUE(registry.OpenPath("Top\\A", true));
        ASSERT_TRUE(registry.OpenPath("\\Top\\B", true));
        registry.CloseCurrent();
        api.FailNthCall(RegistryCall::EnumKey, 1, refusal); // index 1, "B"
        const bool retried = refusal == ERROR_MORE_DATA;
        EXPECT_EQ(retried, registry.DeleteTree("Top"));
        EXPECT_EQ(!retried, registry.OpenPath("\\Top\\B", false));
        EXPECT_FALSE(registry.OpenPath("\\Top\\A", false));
        registry.DeleteTree("\\Top");
    }
}

TEST_F(RegistryFaults, ARootMadeCurrentIsNeverClosed) {
    {
        TRegistry registry(api);
        ASSERT_TRUE(registry.OpenPath("\\", false));
        EXPECT_EQ(HKEY_CURRENT_USER, registry.CurrentHandle());
        ASSERT_TRUE(registry.OpenPath("\\Key", true)); // closes the previous current key
        registry.SetRoot(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(registry.OpenPath("", false));
    }
    EXPECT_EQ(1, api.CallCount(RegistryCall::CloseKey)) << "only the handle of Key";
}

TEST_F(RegistryFaults, EveryHandleIsClosed) {
    {
        TRegistry registry(api);
        ASSERT_TRUE(registry.OpenPath("A\\B\\C", true));
        ASSERT_TRUE(registry.OpenPath("\\A", false));
        ASSERT_TRUE(registry.OpenPath("B", false));
        registry.WriteText("", "x");
        EXPECT_TRUE(registry.DeleteTree("\\A"));
        EXPECT_EQ(1u, api.OpenHandleCount());
    }
    EXPECT_EQ(0u, api.OpenHandleCount());
}

TEST_F(RegistryFaults, NameLengthsAllowForTheWidestAnsiEncoding) {
    TRegistry registry(api);
    ASSERT_TRUE(registry.OpenPath("Key\\Abcde", true));
    ASSERT_TRUE(registry.OpenPath("\\Key", false));
    registry.WriteText("Name", "x");
    KeySummary summary;
    ASSERT_TRUE(registry.QueryKeySummary(summary));
    EXPECT_EQ(1u, summary.SubKeyCount);
    EXPECT_EQ(15u, summary.MaxSubKeyLength);
    EXPECT_EQ(12u, summary.MaxValueNameLength);
    EXPECT_EQ(2u, summary.MaxValueSize);
}

TEST_F(RegistryFaults, AFailedSummaryIsZeroed) {
    TRegistry registry(api);
    KeySummary summary{7, 7, 7, 7, 7, {7, 7}};
    EXPECT_FALSE(registry.QueryKeySummary(summary)); // no current key
    EXPECT_EQ(0u, summary.SubKeyCount);
    EXPECT_EQ(0u, summary.LastWriteTime.dwLowDateTime);
}

TEST_F(RegistryFaults, ValueKindsMapByTableNotByNumber) {
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), platform::PlatformType(platform::ValueKind::Integer));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), platform::PlatformType(platform::ValueKind::Binary));
    EXPECT_EQ(platform::ValueKind::Integer, platform::KindOfPlatformType(REG_DWORD));
    EXPECT_EQ(platform::ValueKind::Binary, platform::KindOfPlatformType(REG_BINARY));
    EXPECT_EQ(platform::ValueKind::Other, platform::KindOfPlatformType(7 /*REG_MULTI_SZ*/));
}

} // namespace

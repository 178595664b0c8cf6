#include "platform/Registry.h"
#include "support/RegistryFixture.h"

namespace {

using namespace testing_support;
using platform::ERegistryException;
using platform::TRegistry;

class RegistryWrapper : public RegistryFixture {
  protected:
    [[nodiscard]] std::string Absolute(const std::string& child = "") const {
        return "\\" + (child.empty() ? Scratch() : ScratchPath(child));
    }
    RawValue Raw(const std::string& child, const std::string& name = "") {
        return GetRawValue(Api(), HKEY_CURRENT_USER, child.empty() ? Scratch() : ScratchPath(child),
                           name);
    }
};

template <typename Action> std::string RaisedMessage(Action action) {
    try {
        action();
    } catch (const ERegistryException& error) {
        return error.what();
    }
    return "<nothing raised>";
}

TEST_P(RegistryWrapper, ANewObjectHasTheUserRootAndNoCurrentKey) {
    TRegistry registry(Api());
    EXPECT_EQ(HKEY_CURRENT_USER, registry.RootHandle());
    EXPECT_EQ(nullptr, registry.CurrentHandle());
    EXPECT_EQ("", registry.KeyPath());
    EXPECT_EQ(0xF003Fu, registry.AccessMask());
    EXPECT_EQ("", registry.ReadText(""));
    EXPECT_EQ("Failed to set data for ''", RaisedMessage([&] { registry.WriteText("", "x"); }));
    EXPECT_EQ("Failed to set data for 'Name'",
              RaisedMessage([&] { registry.WriteText("Name", "x"); }));
}

TEST_P(RegistryWrapper, RelativePathsExtendTheCurrentKeyAndAbsoluteOnesStartAgain) {
    TRegistry registry(Api());
    ASSERT_TRUE(registry.OpenPath(Scratch() + "\\A", true));
    EXPECT_EQ(Scratch() + "\\A", registry.KeyPath());
    ASSERT_TRUE(registry.OpenPath("B", true));
    EXPECT_EQ(Scratch() + "\\A\\B", registry.KeyPath());
    registry.WriteText("", "in B");
    EXPECT_EQ("in B", DefaultText(Api(), HKEY_CURRENT_USER, ScratchPath("A\\B")));

    ASSERT_TRUE(registry.OpenPath(Absolute("C"), true));
    EXPECT_EQ(Scratch() + "\\C", registry.KeyPath());
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("C")));
}

TEST_P(RegistryWrapper, OpeningWithoutCreationNeedsEveryLevel) {
    TRegistry registry(Api());
    EXPECT_FALSE(registry.OpenPath(Absolute("X\\Y\\Z"), false));
    EXPECT_FALSE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("X")));
    ASSERT_TRUE(registry.OpenPath(Absolute("X\\Y\\Z"), true));
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("X\\Y\\Z")));
    EXPECT_TRUE(registry.OpenPath(Absolute("X\\Y"), false));
}

TEST_P(RegistryWrapper, AnEmptySubPathOpensTheBaseKeyItself) {
    TRegistry registry(Api());
    const auto before = SubkeyNames(Api(), HKEY_CURRENT_USER, "");
    ASSERT_TRUE(registry.OpenPath("\\", true));
    EXPECT_EQ(HKEY_CURRENT_USER, registry.CurrentHandle());
    EXPECT_EQ("", registry.KeyPath());
    // The root is now the current key, so the next path extends its empty KeyPath.
    ASSERT_TRUE(registry.OpenPath(Scratch(), true));
    EXPECT_EQ("\\" + Scratch(), registry.KeyPath());
    ASSERT_TRUE(registry.OpenPath("", true));
    EXPECT_EQ("\\" + Scratch() + "\\", registry.KeyPath());
    registry.WriteText("", "scratch itself");
    EXPECT_EQ("scratch itself", DefaultText(Api(), HKEY_CURRENT_USER, Scratch()));
    EXPECT_EQ(before, SubkeyNames(Api(), HKEY_CURRENT_USER, ""));
}

TEST_P(RegistryWrapper, ARootMadeCurrentIsNeverClosed) {
    {
        TRegistry registry(Api());
        ASSERT_TRUE(registry.OpenPath("", false));
        registry.CloseCurrent();
        ASSERT_TRUE(registry.OpenPath("\\", false));
    }
    TRegistry later(Api());
    EXPECT_TRUE(later.OpenPath(Scratch(), false));
}

TEST_P(RegistryWrapper, AFailedOpenKeepsThePreviousKeyCurrent) {
    TRegistry registry(Api());
    ASSERT_TRUE(registry.OpenPath(Absolute("Kept"), true));
    const HKEY kept = registry.CurrentHandle();
    EXPECT_FALSE(registry.OpenPath("Missing", false));
    EXPECT_EQ(kept, registry.CurrentHandle());
    EXPECT_EQ(Scratch() + "\\Kept", registry.KeyPath());
    registry.WriteText("", "still here");
    EXPECT_EQ("still here", DefaultText(Api(), HKEY_CURRENT_USER, ScratchPath("Kept")));
}

TEST_P(RegistryWrapper, SettingTheSameRootKeepsTheCurrentKey) {
    TRegistry registry(Api());
    ASSERT_TRUE(registry.OpenPath(Absolute(), false));
    registry.SetRoot(HKEY_CURRENT_USER);
    EXPECT_NE(nullptr, registry.CurrentHandle());
    EXPECT_EQ(Scratch(), registry.KeyPath());
    registry.SetRoot(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(HKEY_LOCAL_MACHINE, registry.RootHandle());
    EXPECT_EQ(nullptr, registry.CurrentHandle());
    EXPECT_EQ("", registry.KeyPath());
}

TEST_P(RegistryWrapper, TextsReadBackAsStored) {
    const std::string key = ScratchPath("Texts");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "expand", REG_EXPAND_SZ,
                std::string("%SystemRoot%\\x\0", 15));
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "inner", REG_SZ, std::string("ab\0cd\0", 6));
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "bare", REG_SZ, "abc");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "empty-binary", REG_BINARY, "");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "dword", REG_DWORD, std::string("\1\0\0\0", 4));
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "binary", REG_BINARY, "ab");

    TRegistry registry(Api());
    ASSERT_TRUE(registry.OpenPath(Absolute("Texts"), false));
    EXPECT_EQ("%SystemRoot%\\x", registry.ReadText("expand"));
    EXPECT_EQ("ab", registry.ReadText("inner"));
    EXPECT_EQ("abc", registry.ReadText("bare"));
    EXPECT_EQ("", registry.ReadText("empty-binary"));
    EXPECT_EQ("", registry.ReadText("absent"));
    EXPECT_EQ("Invalid data type for 'dword'", RaisedMessage([&] { registry.ReadText("dword"); }));
    EXPECT_EQ("Invalid data type for 'binary'",
              RaisedMessage([&] { registry.ReadText("binary"); }));
    // The object stays usable after an error, with its key still open.
    EXPECT_EQ("abc", registry.ReadText("bare"));
}

TEST_P(RegistryWrapper, WritingStoresTheTextAndOneNul) {
    TRegistry registry(Api());
    ASSERT_TRUE(registry.OpenPath(Absolute("Written"), true));
    registry.WriteText("", "");
    registry.WriteText("three", "abc");
    EXPECT_EQ((RawValue{REG_SZ, std::string(1, '\0')}), Raw("Written"));
    EXPECT_EQ((RawValue{REG_SZ, std::string("abc\0", 4)}), Raw("Written", "three"));
    EXPECT_EQ("abc", registry.ReadText("three"));
}

TEST_P(RegistryWrapper, DeleteTreeRemovesTheWholeSubtreeAndKeepsState) {
    for (const char* path : {"Tree\\A\\A1", "Tree\\A\\A2\\Deep", "Tree\\B", "Tree\\C"}) {
        CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath(path));
    }
    SetRawValue(Api(), HKEY_CURRENT_USER, ScratchPath("Tree\\A"), "v", REG_SZ, "x");
    CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath("Sibling"));

    TRegistry registry(Api());
    ASSERT_TRUE(registry.OpenPath(Absolute(), false));
    const HKEY current = registry.CurrentHandle();
    EXPECT_TRUE(registry.DeleteTree("Tree"));
    EXPECT_FALSE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("Tree")));
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("Sibling")));
    EXPECT_EQ(current, registry.CurrentHandle());
    EXPECT_EQ(Scratch(), registry.KeyPath());
    registry.WriteText("", "current still open");
    EXPECT_EQ("current still open", DefaultText(Api(), HKEY_CURRENT_USER, Scratch()));
}

TEST_P(RegistryWrapper, DeleteTreeOfAMissingKeyIsFalse) {
    TRegistry registry(Api());
    EXPECT_FALSE(registry.DeleteTree(Absolute("Missing")));
}

// The status forms keep the code of the call that decided, never raise, and
// tell a key or value that is not there from one that cannot be used.
TEST_P(RegistryWrapper, StatusFormsTellMissingFromUnusable) {
    const std::string key = ScratchPath("Status");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "text", REG_EXPAND_SZ, std::string("%x%\0y", 5));
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "dword", REG_DWORD, std::string(4, '\0'));
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "empty-binary", REG_BINARY, "");
    TRegistry registry(Api());
    std::string text = "stale";
    EXPECT_EQ(ERROR_INVALID_HANDLE, registry.ReadTextStatus("text", text)) << "no current key";
    EXPECT_EQ(ERROR_INVALID_HANDLE, registry.DeleteValueStatus("text"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.OpenPathStatus(Absolute("Missing"), false));
    ASSERT_EQ(ERROR_SUCCESS, registry.OpenPathStatus(Absolute("Status"), false));

    const struct {
        const char* name;
        LONG status;
        const char* text;
    } reads[] = {
        {"text", ERROR_SUCCESS, "%x%"},
        {"dword", ERROR_INVALID_DATATYPE, ""},
        {"empty-binary", ERROR_INVALID_DATATYPE, ""},
        {"absent", ERROR_FILE_NOT_FOUND, ""},
    };
    for (const auto& read : reads) {
        text = "stale";
        EXPECT_EQ(read.status, registry.ReadTextStatus(read.name, text)) << read.name;
        EXPECT_EQ(read.text, text) << read.name;
    }
    EXPECT_EQ(ERROR_SUCCESS, registry.DeleteValueStatus("dword"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.DeleteValueStatus("dword"));
    EXPECT_EQ(ERROR_SUCCESS, registry.DeleteTreeStatus(Absolute("Status")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.DeleteTreeStatus(Absolute("Status")));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, registry.DeleteTreeStatus("\\"));
}

TEST_P(RegistryWrapper, DeleteTreeNeverTakesTheBaseKeyItself) {
    CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath("Child"));
    TRegistry registry(Api());
    ASSERT_TRUE(registry.OpenPath(Absolute(), false));
    EXPECT_FALSE(registry.DeleteTree(""));
    EXPECT_FALSE(registry.DeleteTree("\\"));
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("Child")));
    EXPECT_EQ(Scratch(), registry.KeyPath());
}

KAVREX_ON_ALL_REGISTRIES(RegistryWrapper);

} // namespace

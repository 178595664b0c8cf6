// Removing: what goes, what stays, and what the result says.
#include "association/ClassesFixture.h"

#include <algorithm>

namespace {

using namespace testing_support;
using association::AssociationResult;

class Unassociate : public ClassesFixture {};

TEST_P(Unassociate, RemovesEverythingItRegistered) {
    auto component = DialogComponent({".kvxtest", ".kvxtest2"});
    component->MenuName = "Open";
    ASSERT_EQ(AssociationResult::Registered, component->Associate());
    const auto notified = system_.Notifications().size();
    EXPECT_TRUE(component->Unassociate());
    for (const char* key : {".kvxtest", ".kvxtest2", "KvxTest"}) {
        EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, key)) << key;
    }
    EXPECT_EQ(notified + 1, system_.Notifications().size()) << "the shell hears of it once";
}

TEST_P(Unassociate, SucceedsWhenNothingWasRegistered) {
    auto component = DialogComponent({".kvxtest", ".exe"});
    EXPECT_TRUE(component->Unassociate());
    EXPECT_TRUE(DialogComponent({})->Unassociate());
    EXPECT_TRUE(system_.Notifications().empty()) << "nothing changed, nothing to tell";
}

TEST_P(Unassociate, LeavesAnExtensionThatAnotherTypeOwns) {
    SetDefault(".kvxtest", "OtherType");
    SetDefault(".kvxtest\\ShellNew", "kept");
    SetDefault("OtherType\\Shell\\Open\\Command", "other.exe %1");
    auto component = DialogComponent({".kvxtest"});
    SetDefault("KvxTest", "KvxTest file"); // our description: ours
    EXPECT_TRUE(component->Unassociate());
    EXPECT_EQ((ClassesTree{{".kvxtest", "OtherType"}, {".kvxtest\\ShellNew", "kept"}}),
              Tree(".kvxtest"));
    EXPECT_EQ(4u, Tree("OtherType").size());
    EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, "KvxTest"));
}

// What other programs keep under an extension key stays; only our default value
// goes, and the key with it when nothing else is there.
TEST_P(Unassociate, TakesBackOnlyWhatItWroteUnderTheExtension) {
    struct Value {
        const char* key; // below .kvxtest
        const char* name;
        DWORD type;
        std::string bytes;
    };
    const std::string ours = std::string("KvxTest") + '\0';
    const Value dword{"", "", REG_DWORD, std::string("\1\0\0\0", 4)};
    const Value contentType{"", "Content Type", REG_SZ, std::string("application/x-kvx") + '\0'};
    const Value progId{"OpenWithProgids", "Other.Type", REG_NONE, ""};
    const Value ourProgId{"OpenWithProgids", "KvxTest", REG_SZ, std::string(1, '\0')};
    const Value shellNew{"ShellNew", "NullFile", REG_SZ, std::string(1, '\0')};
    const struct {
        const char* what;
        std::vector<Value> stored;
        std::vector<Value> kept; // the default value is listed when it stays
    } cases[] = {
        {"ours alone", {{"", "", REG_SZ, ours}}, {}},
        {"ours, listed in Open with", {{"", "", REG_SZ, ours}, ourProgId}, {}},
        {"ours, empty", {{"", "", REG_SZ, std::string(1, '\0')}}, {}},
        {"ours among others' data",
         {{"", "", REG_SZ, ours}, contentType, progId, ourProgId, shellNew},
         {contentType, progId, shellNew}},
        {"no default, a subkey", {shellNew}, {shellNew}},
        {"another type's",
         {{"", "", REG_SZ, std::string("OtherType") + '\0'}, contentType},
         {{"", "", REG_SZ, std::string("OtherType") + '\0'}, contentType}},
        {"not text", {dword, contentType}, {dword, contentType}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetDefault("KvxTest\\Shell\\Open\\Command", std::string("\"") + HandlerShort + "\" \"%1\"");
        for (const Value& v : c.stored) {
            SetRawValue(Api(), HKEY_CLASSES_ROOT, JoinPath(".kvxtest", v.key), v.name, v.type,
                        v.bytes);
        }
        EXPECT_TRUE(DialogComponent({".kvxtest"})->Unassociate());
        EXPECT_TRUE(Tree("KvxTest").empty());
        EXPECT_EQ(!c.kept.empty(), KeyExists(Api(), HKEY_CLASSES_ROOT, ".kvxtest"));
        for (const Value& v : c.kept) {
            EXPECT_EQ((RawValue{v.type, v.bytes}),
                      GetRawValue(Api(), HKEY_CLASSES_ROOT, JoinPath(".kvxtest", v.key), v.name))
                << v.key << "[" << v.name << "]";
        }
        const bool defaultKept = std::any_of(c.kept.begin(), c.kept.end(),
                                             [](const Value& v) { return !*v.key && !*v.name; });
        if (!defaultKept) {
            EXPECT_EQ(NoValue, GetRawValue(Api(), HKEY_CLASSES_ROOT, ".kvxtest", "").bytes);
        }
        DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, ".kvxtest");
    }
}

TEST_P(Unassociate, AStoredTypeNameIsRemovedByThatName) {
    auto component = DialogComponent();
    component->SetExtDescription("MyType");
    ASSERT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_TRUE(component->Unassociate());
    EXPECT_TRUE(Tree("MyType").empty());
    EXPECT_TRUE(Tree(".kvxtest").empty());
}

TEST_P(Unassociate, AnEmptyTypeNameNeverTouchesTheRoot) {
    system_.SetModuleFileName(L"C:\\Program Files\\Kvx Tool\\.kvx.exe");
    const auto rootBefore = RootKeys();
    SetDefault(".kvxtest", "");
    EXPECT_TRUE(DialogComponent({".kvxtest", ""})->Unassociate());
    EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, ".kvxtest"));
    EXPECT_TRUE(NewRootKeys(rootBefore).empty());
    EXPECT_EQ(rootBefore.size(), RootKeys().size());
}

// What cannot be spelled names no key of ours: the extension keys that are
// ours still go, and a type key that cannot be named is left.
TEST_P(Unassociate, AnUnspellableProgramStillRemovesWhatItCan) {
    const struct {
        const char* what;
        const wchar_t* program;
        std::vector<std::string> left;
    } cases[] = {
        {"folder", L"C:\\\u041a\u0430\u0432\u0440\\KvxTest.exe", {}},
        {"program name", L"C:\\Tools\\\u041a\u0430\u0432\u0440.exe", {".kvxtest", "KvxTest"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        system_.SetModuleFileName(c.program);
        SetDefault(".kvxtest", "KvxTest");
        SetDefault(".kvxtest2", "");
        SetDefault("KvxTest", "KvxTest file"); // no command: only what a run of ours writes
        EXPECT_TRUE(DialogComponent({".kvxtest", ".kvxtest2"})->Unassociate());
        EXPECT_EQ(c.left, RootKeys());
        for (const std::string& key : RootKeys()) {
            DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, key);
        }
    }
}

KAVREX_ON_ALL_CLASSES(Unassociate);

} // namespace

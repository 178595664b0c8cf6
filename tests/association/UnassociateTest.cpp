// Removing: what goes, what stays, and what the result says.
#include "association/ClassesFixture.h"

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
    EXPECT_EQ(notified, system_.Notifications().size()) << "removal does not notify";
}

TEST_P(Unassociate, SucceedsWhenNothingWasRegistered) {
    auto component = DialogComponent({".kvxtest", ".exe"});
    EXPECT_TRUE(component->Unassociate());
    EXPECT_TRUE(DialogComponent({})->Unassociate());
}

TEST_P(Unassociate, LeavesAnExtensionThatAnotherTypeOwns) {
    SetDefault(".kvxtest", "OtherType");
    SetDefault(".kvxtest\\ShellNew", "kept");
    SetDefault("OtherType\\Shell\\Open\\Command", "other.exe %1");
    auto component = DialogComponent({".kvxtest"});
    SetDefault("KvxTest", "ours");
    EXPECT_TRUE(component->Unassociate());
    EXPECT_EQ((ClassesTree{{".kvxtest", "OtherType"}, {".kvxtest\\ShellNew", "kept"}}),
              Tree(".kvxtest"));
    EXPECT_EQ(4u, Tree("OtherType").size());
    EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, "KvxTest"));
}

TEST_P(Unassociate, RemovesAnEmptyExtensionKeyWithItsSubkeys) {
    SetDefault(".kvxtest\\Deep\\Deeper", "x");
    SetDefault(".kvxtest2", "KvxTest");
    SetDefault(".kvxtest2\\OpenWithProgids", "");
    EXPECT_TRUE(DialogComponent({".kvxtest", ".kvxtest2"})->Unassociate());
    EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, ".kvxtest"));
    EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, ".kvxtest2"));
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
    system_.SetModuleFileName("C:\\Program Files\\Kvx Tool\\.kvx.exe");
    const auto rootBefore = RootKeys();
    SetDefault(".kvxtest", "");
    EXPECT_TRUE(DialogComponent({".kvxtest", ""})->Unassociate());
    EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, ".kvxtest"));
    EXPECT_TRUE(NewRootKeys(rootBefore).empty());
    EXPECT_EQ(rootBefore.size(), RootKeys().size());
}

KAVREX_ON_ALL_CLASSES(Unassociate);

} // namespace

// Registering and removing from the states a machine may be in: what another
// program had is given back byte for byte, and keys the extensions share stay
// while one of them still needs them.
#include "association/ClassesFixture.h"

namespace {

using namespace testing_support;
using association::AssociationResult;

struct Seed {
    HKEY root;
    std::string key;
    const char* name;
    DWORD type;
    std::string bytes;
};

std::string Text(const std::string& text) {
    return text + '\0';
}

// Windows keeps other programs in the list of registered applications.
const Seed OtherApplication{HKEY_LOCAL_MACHINE, "Software\\RegisteredApplications", "Other", REG_SZ,
                            Text("Software\\Other\\Capabilities")};

class StartingStates : public ClassesFixture {
  protected:
    void Plant(const std::vector<Seed>& seeds) {
        for (const Seed& seed : seeds) {
            SetRawValue(Api(), seed.root, seed.key, seed.name, seed.type, seed.bytes);
        }
    }
    std::string Value(HKEY root, const std::string& key, const std::string& name) {
        return GetRawValue(Api(), root, key, name).bytes;
    }
    // What registering .kvxtest left, with the value it keeps (none: REG_NONE, NoValue).
    void ExpectRegistered(const RawValue& kept) {
        EXPECT_EQ(Text("KvxTest"), Value(HKEY_CLASSES_ROOT, ".kvxtest", ""));
        EXPECT_EQ(kept, GetRawValue(Api(), HKEY_CLASSES_ROOT, ".kvxtest", "KvxTest.Previous"));
        EXPECT_EQ((RawValue{REG_SZ, Text("")}),
                  GetRawValue(Api(), HKEY_CLASSES_ROOT, ".kvxtest\\OpenWithProgids", "KvxTest"));
        EXPECT_EQ(Text("KvxTest"),
                  Value(hive_, "Software\\Kavrex\\Capabilities\\FileAssociations", ".kvxtest"));
        EXPECT_EQ(Text("Kavrex"),
                  Value(hive_, "Software\\Kavrex\\Capabilities", "ApplicationName"));
        EXPECT_EQ(Text("Software\\Kavrex\\Capabilities"),
                  Value(hive_, "Software\\RegisteredApplications", "Kavrex"));
    }
    // Everything but what lies below the given entries.
    static FlatTree Without(FlatTree tree, const std::vector<std::string>& gone) {
        std::erase_if(tree, [&](const auto& entry) {
            return std::any_of(gone.begin(), gone.end(), [&](const std::string& prefix) {
                return entry.first.rfind(prefix, 0) == 0;
            });
        });
        return tree;
    }
};

TEST_P(StartingStates, RemovingGivesBackWhatWasThere) {
    const RawValue none{REG_NONE, NoValue};
    const std::string longest(255, 'T'); // the longest name a key may have
    const std::string binary("\xde\xad\xbe\xef\0\x01", 6);
    const std::string garbage = Text("Other.Type") + std::string("more\0\x01\0", 7);
    const struct {
        const char* what;
        std::vector<Seed> seeds;
        RawValue kept;                 // what registering keeps
        std::vector<std::string> gone; // what removal leaves out of the seeds
    } cases[] = {
        {"nothing", {}, none, {}},
        {"another program's type",
         {{HKEY_CLASSES_ROOT, ".kvxtest", "", REG_SZ, Text("Other.Type")},
          {HKEY_CLASSES_ROOT, ".kvxtest\\OpenWithProgids", "Other.Type", REG_NONE, ""},
          {HKEY_CLASSES_ROOT, "Other.Type\\Shell\\Open\\Command", "", REG_EXPAND_SZ,
           Text("%ProgramFiles%\\Other\\other.exe \"%1\"")}},
         {REG_SZ, Text("Other.Type")},
         {}},
        {"the system's own type, in the machine's classes only",
         {{HKEY_CLASSES_ROOT, ".kvxtest", "", REG_SZ, Text("CompressedFolder")},
          {HKEY_LOCAL_MACHINE, "Software\\Classes\\CompressedFolder", "", REG_SZ, Text("Folder")}},
         {REG_SZ, Text("CompressedFolder")},
         {}},
        {"our type from the previous release",
         {{HKEY_CLASSES_ROOT, ".kvxtest", "", REG_SZ, Text("KvxTest")},
          {HKEY_CLASSES_ROOT, "KvxTest\\Shell\\Open\\Command", "", REG_SZ,
           Text(std::string("\"") + Handler + "\" \"%1\"")}},
         none,
         {"Classes\\.kvxtest", "Classes\\KvxTest"}},
        {"our type, with a record of ours that names it",
         {{HKEY_CLASSES_ROOT, ".kvxtest", "", REG_SZ, Text("KvxTest")},
          {HKEY_CLASSES_ROOT, ".kvxtest", "KvxTest.Previous", REG_SZ, Text("KvxTest")},
          {HKEY_CLASSES_ROOT, "KvxTest\\Shell\\Open\\Command", "", REG_SZ,
           Text(std::string(HandlerShort) + " %1")}},
         {REG_SZ, Text("KvxTest")},
         {"Classes\\.kvxtest", "Classes\\KvxTest"}},
        {"a kept type whose key has gone",
         {{HKEY_CLASSES_ROOT, ".kvxtest", "", REG_SZ, Text("Gone.Type")}},
         {REG_SZ, Text("Gone.Type")},
         {"Classes\\.kvxtest"}},
        {"another program's type with the longest name",
         {{HKEY_CLASSES_ROOT, ".kvxtest", "", REG_SZ, Text(longest)},
          {HKEY_CLASSES_ROOT, longest + "\\Shell\\Open\\Command", "", REG_SZ, Text("x.exe %1")}},
         {REG_SZ, Text(longest)},
         {}},
        {"a type with more after its NUL",
         {{HKEY_CLASSES_ROOT, ".kvxtest", "", REG_SZ, garbage},
          {HKEY_CLASSES_ROOT, "Other.Type\\Shell\\Open\\Command", "", REG_SZ, Text("x.exe %1")}},
         {REG_SZ, garbage},
         {}},
        {"a default that is no text",
         {{HKEY_CLASSES_ROOT, ".kvxtest", "", REG_BINARY, binary}},
         {REG_BINARY, binary},
         {}},
        {"another program's listing and registration, and Kavrex's own settings",
         {{HKEY_CLASSES_ROOT, ".kvxtest\\OpenWithProgids", "Other.Type", REG_SZ, Text("")},
          {HKEY_LOCAL_MACHINE, "Software\\Other\\Capabilities\\FileAssociations", ".kvxtest",
           REG_SZ, Text("Other.Type")},
          {HKEY_LOCAL_MACHINE, "Software\\Kavrex\\Settings", "Theme", REG_DWORD,
           std::string("\1\0\0\0", 4)}},
         none,
         {}},
        {"Kavrex's own registration for other types, beside ours",
         {{HKEY_LOCAL_MACHINE, "Software\\Kavrex\\Capabilities\\UrlAssociations", "kvx", REG_SZ,
           Text("Kavrex.Url")},
          {HKEY_LOCAL_MACHINE, "Software\\RegisteredApplications", "Kavrex", REG_SZ,
           Text("Software\\Kavrex\\Capabilities")}},
         none,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Plant({OtherApplication});
        Plant(c.seeds);
        const FlatTree before = Everything();
        ASSERT_EQ(AssociationResult::Registered, DialogComponent()->Associate());
        ExpectRegistered(c.kept);
        ASSERT_EQ(AssociationResult::Registered, DialogComponent()->Associate());
        ExpectRegistered(c.kept); // never our own name
        EXPECT_TRUE(DialogComponent()->Unassociate());
        EXPECT_EQ(Without(before, c.gone), Everything());
        for (const std::string& key :
             {std::string(".kvxtest"), std::string("KvxTest"), std::string("Other.Type"),
              std::string("CompressedFolder"), longest}) {
            DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, key);
        }
        DeleteKeyTree(Api(), hive_, "Software");
    }
}

TEST_P(StartingStates, SharedKeysStayWhileAnExtensionNeedsThem) {
    Plant({OtherApplication});
    const FlatTree before = Everything();
    ASSERT_EQ(AssociationResult::Registered,
              DialogComponent({".kvxtest", ".kvxtest2"})->Associate());
    EXPECT_TRUE(DialogComponent({".kvxtest"})->Unassociate());
    EXPECT_FALSE(KeyExists(Api(), HKEY_CLASSES_ROOT, ".kvxtest"));
    EXPECT_EQ(Text("KvxTest"), Value(HKEY_CLASSES_ROOT, ".kvxtest2", ""));
    EXPECT_TRUE(KeyExists(Api(), HKEY_CLASSES_ROOT, "KvxTest\\Shell\\Open\\Command"));
    EXPECT_EQ(NoValue,
              Value(hive_, "Software\\Kavrex\\Capabilities\\FileAssociations", ".kvxtest"));
    EXPECT_EQ(Text("KvxTest"),
              Value(hive_, "Software\\Kavrex\\Capabilities\\FileAssociations", ".kvxtest2"));
    EXPECT_EQ(Text("Software\\Kavrex\\Capabilities"),
              Value(hive_, "Software\\RegisteredApplications", "Kavrex"));

    EXPECT_TRUE(DialogComponent({".kvxtest2"})->Unassociate());
    EXPECT_EQ(before, Everything());
}

KAVREX_ON_ALL_CLASSES(StartingStates);

} // namespace

// What Windows does and Wine does not, as the emulation does it: the classes
// root as the merged view of the user's and the machine's classes, LocalSystem's
// user hive, and the registry views of a 32-bit process on 64-bit Windows.
#include "emulation/EmulatedRegistryApi.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;

constexpr const char* Machine = "Software\\Classes\\";

class MergedClasses : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRawValue(api, HKEY_LOCAL_MACHINE, std::string(Machine) + ".a", "", REG_SZ, "machine");
        SetRawValue(api, HKEY_LOCAL_MACHINE, std::string(Machine) + ".b", "", REG_SZ, "machine");
        SetRawValue(api, HKEY_LOCAL_MACHINE, std::string(Machine) + ".b\\Sub", "", REG_SZ, "m");
        SetRawValue(api, HKEY_CURRENT_USER, std::string(Machine) + ".b", "", REG_SZ, "user");
    }
    emulation::EmulatedRegistryApi api;
};

// Reading: every key of the user's classes and the machine's it does not
// duplicate; of a key in both, the user's alone.
TEST_F(MergedClasses, ReadsShowTheUsersKeyWhereItHasOne) {
    EXPECT_EQ((std::vector<std::string>{".a", ".b"}), SubkeyNames(api, HKEY_CLASSES_ROOT, ""));
    EXPECT_EQ("machine", DefaultText(api, HKEY_CLASSES_ROOT, ".a"));
    EXPECT_EQ("user", DefaultText(api, HKEY_CLASSES_ROOT, ".b"));
    EXPECT_FALSE(KeyExists(api, HKEY_CLASSES_ROOT, ".b\\Sub")) << "none of the machine's contents";
}

// Writing: a value of a key the user's classes hold goes there; a new key goes
// to the machine's classes, which a standard user may not change.
TEST_F(MergedClasses, WritesLandWhereTheKeyIsOrInTheMachinesClasses) {
    SetRawValue(api, HKEY_CLASSES_ROOT, ".b", "", REG_SZ, "written");
    SetRawValue(api, HKEY_CLASSES_ROOT, ".c", "", REG_SZ, "new");
    EXPECT_EQ("written", DefaultText(api, HKEY_CURRENT_USER, std::string(Machine) + ".b"));
    EXPECT_EQ("machine", DefaultText(api, HKEY_LOCAL_MACHINE, std::string(Machine) + ".b"));
    EXPECT_EQ("new", DefaultText(api, HKEY_LOCAL_MACHINE, std::string(Machine) + ".c"));

    api.ApplyProfile(emulation::RightsProfile::StandardUser);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, api.RegOpenKeyExA(HKEY_CLASSES_ROOT, ".b", 0, KEY_SET_VALUE, &key));
    api.RegCloseKey(key);
    EXPECT_EQ(ERROR_ACCESS_DENIED, api.RegCreateKeyExA(HKEY_CLASSES_ROOT, ".d", 0, nullptr, 0,
                                                       KEY_WRITE, nullptr, &key, nullptr));
}

// LocalSystem's HKEY_CURRENT_USER is the default user's hive, and it may
// change the machine's classes: the merged view is the default user's and the
// machine's.
TEST_F(MergedClasses, LocalSystemsUserIsTheDefaultUser) {
    api.ApplyProfile(emulation::RightsProfile::LocalSystem);
    SetRawValue(api, HKEY_CURRENT_USER, "Software\\System's", "", REG_SZ, "system");
    SetRawValue(api, HKEY_CLASSES_ROOT, ".c", "", REG_SZ, "new");
    EXPECT_EQ("system", DefaultText(api, HKEY_USERS, ".DEFAULT\\Software\\System's"));
    EXPECT_EQ("machine", DefaultText(api, HKEY_CLASSES_ROOT, ".b")) << "not the person's classes";
    EXPECT_EQ("new", DefaultText(api, HKEY_LOCAL_MACHINE, std::string(Machine) + ".c"));
}

// A 32-bit process on 64-bit Windows: the machine's software is redirected
// to Wow6432Node but for the shared keys (the classes, bar their COM keys;
// RegisteredApplications), KEY_WOW64_64KEY reaches the 64-bit view, and
// RegDeleteKeyA deletes in the process's own view alone.
TEST(Wow64Views, RedirectAndShareAsWindowsLists) {
    emulation::EmulatedRegistryApi api;
    api.SetWow64Process(true);
    const auto create = [&api](const char* path, REGSAM view) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS,
                  api.RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                                      KEY_ALL_ACCESS | view, nullptr, &key, nullptr));
        api.RegCloseKey(key);
    };
    const struct {
        const char* created;  // by the 32-bit process, without a view
        const char* physical; // where it is, as the 64-bit view names it
    } cases[] = {
        {"Software\\Kavrex", "Software\\Wow6432Node\\Kavrex"},
        {"Software\\Classes\\.kvx", "Software\\Classes\\.kvx"},
        {"Software\\Classes\\CLSID\\{1}", "Software\\Classes\\Wow6432Node\\CLSID\\{1}"},
        {"Software\\RegisteredApplications", "Software\\RegisteredApplications"},
        {"System\\Kvx", "System\\Kvx"},
    };
    for (const auto& c : cases) {
        create(c.created, 0);
        EXPECT_TRUE(KeyExists(api, HKEY_LOCAL_MACHINE, c.physical)) << c.created;
    }
    create("Software\\Kavrex\\Capabilities", KEY_WOW64_64KEY);
    api.SetWow64Process(false);
    EXPECT_TRUE(KeyExists(api, HKEY_LOCAL_MACHINE, "Software\\Kavrex\\Capabilities"));
    api.SetWow64Process(true);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              api.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Kavrex\\Capabilities"));
    EXPECT_EQ(ERROR_SUCCESS,
              api.RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\Kavrex\\Capabilities",
                                  KEY_WOW64_64KEY, 0));
    EXPECT_FALSE(KeyExists(api, HKEY_LOCAL_MACHINE, "Software\\Kavrex\\Capabilities"));
}

} // namespace

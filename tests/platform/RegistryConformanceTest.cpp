// What the registry wrapper relies on from the platform, asserted code by code,
// so that the emulation and the real registry are held to the same answers.
#include "support/RegistryFixture.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

using namespace testing_support;

class RegistryConformance : public RegistryFixture {
  protected:
    // Opens or creates below the scratch key; the test closes the handle.
    LONG Create(const std::string& child, HKEY& key, DWORD* disposition = nullptr) {
        return Api().RegCreateKeyExA(HKEY_CURRENT_USER, ScratchPath(child).c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                     disposition);
    }
    LONG Open(const std::string& child, HKEY& key) {
        return Api().RegOpenKeyExA(HKEY_CURRENT_USER, ScratchPath(child).c_str(), 0, KEY_ALL_ACCESS,
                                   &key);
    }
};

TEST_P(RegistryConformance, OpeningAMissingKeyFailsAndCreatesNothing) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open("Missing\\Deeper", key));
    EXPECT_FALSE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("Missing")));
}

TEST_P(RegistryConformance, CreatingMakesEveryMissingLevel) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, Create("A\\B\\C", key, &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    EXPECT_EQ(ERROR_SUCCESS, Api().RegCloseKey(key));
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("A\\B\\C")));

    ASSERT_EQ(ERROR_SUCCESS, Create("A\\B", key, &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
    Api().RegCloseKey(key);
}

TEST_P(RegistryConformance, EmptySubPathGivesTheRootItselfOrANewHandle) {
    HKEY root = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Api().RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_ALL_ACCESS, &root));
    EXPECT_EQ(HKEY_CURRENT_USER, root);

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Create("K", key));
    HKEY again = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Api().RegOpenKeyExA(key, "", 0, KEY_ALL_ACCESS, &again));
    EXPECT_NE(key, again);
    EXPECT_EQ(ERROR_SUCCESS, Api().RegCloseKey(again));
    // The first handle still works after the second was closed.
    EXPECT_EQ(ERROR_SUCCESS,
              Api().RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2));
    Api().RegCloseKey(key);
}

TEST_P(RegistryConformance, ALeadingBackslashIsABadPathname) {
    HKEY key = nullptr;
    const std::string path = "\\" + Scratch();
    EXPECT_EQ(ERROR_BAD_PATHNAME,
              Api().RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key));
    EXPECT_EQ(ERROR_BAD_PATHNAME,
              Api().RegCreateKeyExA(HKEY_CURRENT_USER, (path + "\\New").c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &key, nullptr));
}

TEST_P(RegistryConformance, DeletingNeedsAnExistingKeyWithoutSubkeys) {
    CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath("Parent\\Child"));
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              Api().RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath("Parent").c_str()));
    EXPECT_EQ(ERROR_SUCCESS,
              Api().RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath("Parent\\Child").c_str()));
    EXPECT_EQ(ERROR_SUCCESS, Api().RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath("Parent").c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              Api().RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath("Parent").c_str()));
}

TEST_P(RegistryConformance, AHandleOfADeletedKeyAnswersKeyDeleted) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Create("Gone", key));
    ASSERT_EQ(ERROR_SUCCESS, Api().RegDeleteKeyA(HKEY_CURRENT_USER, ScratchPath("Gone").c_str()));
    DWORD size = 0;
    EXPECT_EQ(ERROR_KEY_DELETED, Api().RegQueryValueExA(key, "", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_KEY_DELETED,
              Api().RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1));
    EXPECT_EQ(ERROR_SUCCESS, Api().RegCloseKey(key));
}

TEST_P(RegistryConformance, EnumerationNamesKeysInOrderWithTheirCase) {
    for (const char* name : {"beta", "Alpha", "GAMMA"}) {
        CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath(name));
    }
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "GAMMA"}),
              SubkeyNames(Api(), HKEY_CURRENT_USER, Scratch()));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open("", key));
    char name[8];
    std::memset(name, '#', sizeof name);
    DWORD length = 5; // "Alpha" needs 6 with its NUL
    EXPECT_EQ(ERROR_MORE_DATA,
              Api().RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    length = 6;
    ASSERT_EQ(ERROR_SUCCESS,
              Api().RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(5u, length);
    EXPECT_STREQ("Alpha", name);
    EXPECT_EQ('#', name[6]);
    length = sizeof name;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              Api().RegEnumKeyExA(key, 3, name, &length, nullptr, nullptr, nullptr, nullptr));
    Api().RegCloseKey(key);
}

TEST_P(RegistryConformance, NamesAreCaseInsensitive) {
    CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath("MixedCase"));
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, ScratchPath("mIXEDcASE")));
    SetRawValue(Api(), HKEY_CURRENT_USER, ScratchPath("MixedCase"), "Name", REG_SZ,
                std::string("a\0", 2));
    SetRawValue(Api(), HKEY_CURRENT_USER, ScratchPath("MIXEDCASE"), "NAME", REG_SZ,
                std::string("b\0", 2));
    EXPECT_EQ((RawValue{REG_SZ, std::string("b\0", 2)}),
              GetRawValue(Api(), HKEY_CURRENT_USER, ScratchPath("mixedcase"), "name"));
    EXPECT_EQ((std::vector<std::string>{"MixedCase"}),
              SubkeyNames(Api(), HKEY_CURRENT_USER, Scratch()));
}

TEST_P(RegistryConformance, ValuesKeepTheirTypeAndBytes) {
    const std::string key = ScratchPath("Values");
    const struct {
        const char* name;
        DWORD type;
        std::string bytes;
    } cases[] = {
        {"sz", REG_SZ, std::string("abc\0", 4)},
        {"inner-nul", REG_SZ, std::string("ab\0cd\0", 6)},
        {"expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)},
        {"dword", REG_DWORD, std::string("\x01\x02\x03\x04", 4)},
        {"binary-empty", REG_BINARY, ""},
        {"none", REG_NONE, "zz"},
    };
    for (const auto& c : cases) {
        SetRawValue(Api(), HKEY_CURRENT_USER, key, c.name, c.type, c.bytes);
    }
    for (const auto& c : cases) {
        EXPECT_EQ((RawValue{c.type, c.bytes}), GetRawValue(Api(), HKEY_CURRENT_USER, key, c.name))
            << c.name;
    }
}

TEST_P(RegistryConformance, UnterminatedStringsAreStoredWithANul) {
    const std::string key = ScratchPath("Strings");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "sz", REG_SZ, "abc");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "expand", REG_EXPAND_SZ, "abc");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "binary", REG_BINARY, "abc");
    EXPECT_EQ((RawValue{REG_SZ, std::string("abc\0", 4)}),
              GetRawValue(Api(), HKEY_CURRENT_USER, key, "sz"));
    EXPECT_EQ((RawValue{REG_EXPAND_SZ, std::string("abc\0", 4)}),
              GetRawValue(Api(), HKEY_CURRENT_USER, key, "expand"));
    EXPECT_EQ((RawValue{REG_BINARY, "abc"}), GetRawValue(Api(), HKEY_CURRENT_USER, key, "binary"));
}

TEST_P(RegistryConformance, TrailingAndDoubledBackslashesAreTolerated) {
    CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath("T\\\\U\\"));
    EXPECT_EQ((std::vector<std::string>{"U"}),
              SubkeyNames(Api(), HKEY_CURRENT_USER, ScratchPath("T")));
}

TEST_P(RegistryConformance, CreatingAnEmptySubPathGivesANewHandle) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Api().RegCreateKeyExA(HKEY_CURRENT_USER, "", 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_NE(HKEY_CURRENT_USER, key);
    EXPECT_EQ(ERROR_SUCCESS, Api().RegCloseKey(key));
    EXPECT_EQ(ERROR_ACCESS_DENIED, Api().RegDeleteKeyA(HKEY_CURRENT_USER, ""));
    EXPECT_EQ(ERROR_INVALID_HANDLE, Api().RegCloseKey(reinterpret_cast<HKEY>(0x12344)));
}

TEST_P(RegistryConformance, SizeQueriesCountTheTerminatingNul) {
    SetRawValue(Api(), HKEY_CURRENT_USER, Scratch(), "", REG_SZ, std::string("hello\0", 6));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open("", key));
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, Api().RegQueryValueExA(key, "", nullptr, &type, nullptr, &size));
    EXPECT_EQ(6u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    BYTE small[3];
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, Api().RegQueryValueExA(key, "", nullptr, &type, small, &size));
    EXPECT_EQ(6u, size);
    size = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              Api().RegQueryValueExA(key, "absent", nullptr, &type, nullptr, &size));
    Api().RegCloseKey(key);
}

TEST_P(RegistryConformance, KeyInformationCountsSubkeysAndValues) {
    CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath("Info\\Short"));
    CreateKey(Api(), HKEY_CURRENT_USER, ScratchPath("Info\\LongerName"));
    SetRawValue(Api(), HKEY_CURRENT_USER, ScratchPath("Info"), "Value", REG_BINARY, "12345678");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open("Info", key));
    DWORD subkeys = 99, longest = 99, values = 99, longestName = 99, largest = 99;
    FILETIME time{};
    ASSERT_EQ(ERROR_SUCCESS,
              Api().RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longest, nullptr,
                                     &values, &longestName, &largest, nullptr, &time));
    EXPECT_EQ(2u, subkeys);
    EXPECT_EQ(10u, longest);
    EXPECT_EQ(1u, values);
    EXPECT_EQ(5u, longestName);
    EXPECT_EQ(8u, largest);
    Api().RegCloseKey(key);
}

TEST_P(RegistryConformance, DeletingAValueLeavesTheOthers) {
    const std::string key = ScratchPath("Values");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "", REG_SZ, std::string("d\0", 2));
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "Named", REG_DWORD, std::string(4, '\1'));
    CreateKey(Api(), HKEY_CURRENT_USER, key + "\\Sub");
    HKEY handle = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open("Values", handle));
    EXPECT_EQ(ERROR_SUCCESS, Api().RegDeleteValueA(handle, ""));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Api().RegDeleteValueA(handle, ""));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Api().RegDeleteValueA(handle, "Sub"));
    EXPECT_EQ(ERROR_SUCCESS, Api().RegDeleteValueA(handle, "named"));
    Api().RegCloseKey(handle);
    EXPECT_EQ(NoValue, GetRawValue(Api(), HKEY_CURRENT_USER, key, "Named").bytes);
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, key + "\\Sub"));
}

TEST_P(RegistryConformance, ValuesEnumerateWithNameTypeAndData) {
    const std::string key = ScratchPath("Listed");
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "", REG_SZ, std::string("d\0", 2));
    SetRawValue(Api(), HKEY_CURRENT_USER, key, "Second", REG_DWORD, std::string("\1\2\3\4", 4));
    HKEY handle = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open("Listed", handle));
    std::map<std::string, RawValue> listed; // by name
    std::vector<std::string> names;
    DWORD secondAt = 0;
    for (DWORD index = 0;; ++index) {
        char name[16];
        BYTE data[16];
        DWORD nameLength = sizeof name;
        DWORD size = sizeof data;
        DWORD type = 0;
        const LONG status =
            Api().RegEnumValueA(handle, index, name, &nameLength, nullptr, &type, data, &size);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        ASSERT_EQ(ERROR_SUCCESS, status);
        names.emplace_back(name, nameLength);
        secondAt = names.back() == "Second" ? index : secondAt;
        listed[names.back()] = {type, std::string(reinterpret_cast<char*>(data), size)};
    }
    EXPECT_EQ(2u, names.size());
    const std::map<std::string, RawValue> expected = {
        {"", {REG_SZ, std::string("d\0", 2)}}, {"Second", {REG_DWORD, std::string("\1\2\3\4", 4)}}};
    EXPECT_EQ(expected, listed) << "each value with its type and data";

    char shortName[3];
    DWORD nameLength = sizeof shortName; // "Second" needs 7 with its NUL
    EXPECT_EQ(ERROR_MORE_DATA, Api().RegEnumValueA(handle, secondAt, shortName, &nameLength,
                                                   nullptr, nullptr, nullptr, nullptr));
    Api().RegCloseKey(handle);
}

TEST_P(RegistryConformance, ClosingAPredefinedKeySucceeds) {
    EXPECT_EQ(ERROR_SUCCESS, Api().RegCloseKey(HKEY_CURRENT_USER));
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, Scratch()));
}

KAVREX_ON_ALL_REGISTRIES(RegistryConformance);

} // namespace

namespace {

using namespace testing_support;

// "Registry Element Size Limits" (learn.microsoft.com/windows/win32/sysinfo/
// registry-element-size-limits): a key name of 255 characters, a value name of
// 16,383. A dry run's overlay must refuse what the registry refuses.
class RegistryLimits : public RegistryFixture {};

TEST_P(RegistryLimits, LongerKeyAndValueNamesAreRefused) {
    HKEY scratch = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Api().RegOpenKeyExA(HKEY_CURRENT_USER, Scratch().c_str(), 0,
                                                 KEY_ALL_ACCESS, &scratch));
    const auto create = [&](const std::string& level) {
        HKEY key = nullptr;
        const LONG status = Api().RegCreateKeyExA(scratch, level.c_str(), 0, nullptr, 0,
                                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS) {
            Api().RegCloseKey(key);
        }
        return status;
    };
    EXPECT_EQ(ERROR_SUCCESS, create(std::string(255, 'k')));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, create(std::string(257, 'k')));
    if (GetParam() != Backend::Windows) { // Wine takes one character more than Windows
        EXPECT_EQ(ERROR_INVALID_PARAMETER, create(std::string(256, 'k')));
    }
    const BYTE data[] = {'x', 0};
    const auto set = [&](std::size_t length) {
        return Api().RegSetValueExA(scratch, std::string(length, 'v').c_str(), 0, REG_SZ, data, 2);
    };
    EXPECT_EQ(ERROR_SUCCESS, set(16383));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, set(16384));
    Api().RegCloseKey(scratch);
}

KAVREX_ON_ALL_REGISTRIES(RegistryLimits);

} // namespace

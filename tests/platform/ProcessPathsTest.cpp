// Paths as the platform gives them, and their spelling in the ANSI code page:
// the same tests on the emulation and, on Windows, on the real system.
#include "platform/ProcessPaths.h"
#include "emulation/EmulatedSystemApi.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace testing_support;
using platform::ShortPath;
using platform::ToAnsi;

class ProcessPaths : public ::testing::TestWithParam<Backend> {
  protected:
    platform::SystemApi& System() {
        return GetParam() != Backend::Windows ? emulation : platform::SystemServices();
    }
    emulation::EmulatedSystemApi emulation;
};

TEST_P(ProcessPaths, OnlyAnExactSpellingConverts) {
    if (System().GetACP() != 1252) {
        GTEST_SKIP() << "the cases are spelled for code page 1252";
    }
    const struct {
        const wchar_t* wide;
        const char* ansi; // null: cannot be spelled
    } cases[] = {
        {L"C:\\Tools\\Kavrex.exe", "C:\\Tools\\Kavrex.exe"},
        {L"", ""},
        {L"C:\\Caf\u00e9\\x.exe", "C:\\Caf\xe9\\x.exe"},
        {L"C:\\\u041a\u0430\u0432\u0440\\x.exe", nullptr}, // Cyrillic
        {L"C:\\\u0391\u03b2\\x.exe", nullptr},             // Greek
        {L"C:\\\u0100\\x.exe", nullptr},                   // a best fit would give "A"
    };
    for (const auto& c : cases) {
        const auto converted = ToAnsi(System(), c.wide);
        EXPECT_EQ(c.ansi != nullptr, converted.has_value()) << c.ansi;
        if (c.ansi && converted) {
            EXPECT_EQ(c.ansi, *converted);
        }
    }
}

TEST_P(ProcessPaths, AFileWithoutAShortFormKeepsItsLongPath) {
    const std::wstring missing = L"C:\\No Such Folder\\Kavrex.exe";
    EXPECT_EQ(missing, ShortPath(System(), missing));
}

TEST(ProcessPathsEmulated, EveryCodePageSpellsWhatItHas) {
    emulation::EmulatedSystemApi system;
    const std::wstring cyrillic = L"C:\\\u041a\u0430\u0432\u0440\\x.exe";
    system.SetAnsiCodePage(1251);
    EXPECT_EQ("C:\\\xca\xe0\xe2\xf0\\x.exe", ToAnsi(system, cyrillic).value_or("<none>"));
    EXPECT_FALSE(ToAnsi(system, L"C:\\Caf\u00e9").has_value());
    system.SetAnsiCodePage(CP_UTF8);
    EXPECT_EQ("C:\\\xd0\x9a\xd0\xb0\xd0\xb2\xd1\x80\\x.exe",
              ToAnsi(system, cyrillic).value_or("<none>"));
}

#ifdef _WIN32
// A folder whose name the code page cannot spell still has a short form that it
// can, and that names the same file.
TEST(ProcessPathsWindows, AShortPathSpellsAFolderTheCodePageCannot) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, temp));
    const std::wstring folder =
        std::wstring(temp) + L"\u041a\u0430\u0432\u0440 \u0422\u0435\u0441\u0442";
    const std::wstring file = folder + L"\\Kavrex.exe";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const HANDLE created = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, created);
    ::CloseHandle(created);

    auto& system = platform::SystemServices();
    EXPECT_FALSE(ToAnsi(system, file).has_value());
    const auto spelled = ToAnsi(system, ShortPath(system, file));
    ASSERT_TRUE(spelled.has_value());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(spelled->c_str())) << *spelled;
    ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(folder.c_str());
}
#endif

INSTANTIATE_TEST_SUITE_P(System, ProcessPaths, ::testing::ValuesIn(AllBackends()), BackendName);

} // namespace

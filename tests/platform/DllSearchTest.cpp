// Windows only: once the process searches the system folder alone, a library
// planted beside the program is not loaded by name, though it is there.
#include "platform/LateBinding.h"

#include <gtest/gtest.h>

namespace {

TEST(DllSearch, ALibraryBesideTheProgramIsNeverLoaded) {
    const wchar_t* planted = L"kvx_planted.dll";
    const HMODULE there = ::LoadLibraryExW(planted, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    ASSERT_NE(nullptr, there) << "the library lies beside the test";
    ::FreeLibrary(there);
    platform::LoadLibrariesFromSystemOnly();
    const HMODULE loaded = ::LoadLibraryW(planted);
    EXPECT_EQ(nullptr, loaded);
    if (loaded) {
        ::FreeLibrary(loaded);
    }
}

} // namespace

// Component tests on every registry: the running program and its handler are
// emulated; the classes root and HKEY_LOCAL_MACHINE are the emulation's, or on
// Windows the real ones redirected to the test's scratch keys, so that a test
// run never touches the machine's associations and needs no rights.
#pragma once

#include "association/RegArchive.h"
#include "emulation/EmulatedSystemApi.h"
#include "support/RegistryFixture.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

// Every key below a classes key with its default value, by path from the root.
using ClassesTree = std::map<std::string, std::string>;

constexpr const char* Folder = "C:\\Program Files\\Kvx Tool\\";
constexpr const char* Program = "C:\\Program Files\\Kvx Tool\\KvxTest.exe";
constexpr const char* ProgramShort = "C:\\PROGRA~1\\KVXTOO~1\\KvxTest.exe";
constexpr const char* Handler = "C:\\Program Files\\Kvx Tool\\Kavrex.exe";
constexpr const char* HandlerShort = "C:\\PROGRA~1\\KVXTOO~1\\Kavrex.exe";

// The running program and its handler, with their short paths.
void AddTestProgram(emulation::EmulatedSystemApi& system);
// A component configured by the dialog's own design, but for these extensions;
// each confirmation counts and goes ahead.
std::unique_ptr<association::TRegArchive>
DialogComponent(association::Platform platform, const std::vector<std::string>& extensions,
                int& confirmations);
ClassesTree Tree(platform::RegistryApi& api, const std::string& key);
// The classes root and the hive that receives the program's registration.
FlatTree Everything(platform::RegistryApi& api, HKEY applicationHive);

class ClassesFixture : public RegistryFixture {
  protected:
    void SetUp() override;
    void TearDown() override;
    association::Platform Platform() { return {Api(), system_, hive_}; }
    // A component configured as the dialog configures it, for the given extensions.
    std::unique_ptr<association::TRegArchive>
    DialogComponent(const std::vector<std::string>& extensions = {".kvxtest"}) {
        return testing_support::DialogComponent(Platform(), extensions, confirmations_);
    }
    ClassesTree Tree(const std::string& key) { return testing_support::Tree(Api(), key); }
    FlatTree Everything() { return testing_support::Everything(Api(), hive_); }
    std::vector<std::string> RootKeys() { return SubkeyNames(Api(), HKEY_CLASSES_ROOT, ""); }
    std::set<std::string> NewRootKeys(const std::vector<std::string>& before);
    void SetDefault(const std::string& key, const std::string& text);

    emulation::EmulatedSystemApi system_;
    int confirmations_ = 0;
    // The hive that receives the program's registration; on Windows it is
    // redirected to a scratch key like the classes root.
    HKEY hive_ = HKEY_LOCAL_MACHINE;

#ifdef _WIN32
  private:
    std::unique_ptr<RootRedirect> classes_;
    std::unique_ptr<RootRedirect> machine_;
#endif
};

} // namespace testing_support

#define KAVREX_ON_ALL_CLASSES(Fixture)                                                             \
    INSTANTIATE_TEST_SUITE_P(Classes, Fixture,                                                     \
                             ::testing::ValuesIn(::testing_support::AllBackends()),                \
                             ::testing_support::BackendName)

// Runs a registry test against the emulation and, on Windows, against the real
// registry too, each under a scratch key of its own that is removed again.
#pragma once

#include "emulation/EmulatedRegistryApi.h"
#include "platform/RegistryNames.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// The emulation as a 64-bit process, as a 32-bit process on 64-bit Windows,
// and the platform's own registry.
enum class Backend { Emulated, Emulated32, Windows };

std::vector<Backend> AllBackends();
std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

// The ASCII text as a wide string.
std::wstring Wide(const std::string& ascii);
std::string Narrow(const std::wstring& ascii);

// Direct registry helpers that do not go through the code under test.
using platform::JoinPath;
bool KeyExists(platform::RegistryApi& api, HKEY root, const std::string& path);
void CreateKey(platform::RegistryApi& api, HKEY root, const std::string& path);
void DeleteKeyTree(platform::RegistryApi& api, HKEY root, const std::string& path);
std::vector<std::string> SubkeyNames(platform::RegistryApi& api, HKEY root,
                                     const std::string& path);
std::vector<std::string> ValueNames(platform::RegistryApi& api, HKEY root, const std::string& path);
void SetRawValue(platform::RegistryApi& api, HKEY root, const std::string& path,
                 const std::string& name, DWORD type, const std::string& bytes);
// What a value that is not there reads as.
constexpr const char* NoValue = "<missing>";
// The value's type and bytes; type REG_NONE and NoValue when it is absent.
struct RawValue {
    DWORD type;
    std::string bytes;
    bool operator==(const RawValue&) const = default;
};
inline void PrintTo(const RawValue& value, std::ostream* out) {
    *out << value.type << ":" << ::testing::PrintToString(value.bytes);
}
RawValue GetRawValue(platform::RegistryApi& api, HKEY root, const std::string& path,
                     const std::string& name);
std::string DefaultText(platform::RegistryApi& api, HKEY root, const std::string& path);
// Every key and value below some roots: "Name\\key" for a key (NoValue),
// "Name\\key [name]" for a value, with its type and bytes (Shown).
using FlatTree = std::map<std::string, std::string>;
FlatTree Snapshot(platform::RegistryApi& api,
                  const std::vector<std::pair<HKEY, std::string>>& roots);
std::string Shown(DWORD type, const std::string& bytes);

// The registry a test runs on: a fresh emulation, or the real one.
class RegistryUnderTest {
  public:
    explicit RegistryUnderTest(Backend backend);
    platform::RegistryApi& Api() { return *api_; }

  private:
    std::unique_ptr<emulation::EmulatedRegistryApi> emulation_;
    platform::RegistryApi* api_;
};

#ifdef _WIN32
// For its lifetime, the predefined root key of this process is the key at
// path below HKEY_CURRENT_USER (created empty), when Active() says so.
class RootRedirect {
  public:
    RootRedirect(HKEY root, const std::string& path);
    ~RootRedirect();
    RootRedirect(const RootRedirect&) = delete;
    RootRedirect& operator=(const RootRedirect&) = delete;
    bool Active() const { return active_; }

  private:
    HKEY root_;
    bool active_ = false;
};
#endif

class RegistryFixture : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    platform::RegistryApi& Api() { return registry_.Api(); }
    // The scratch key below HKEY_CURRENT_USER, without a leading backslash.
    [[nodiscard]] const std::string& Scratch() const { return scratch_; }
    [[nodiscard]] std::string ScratchPath(const std::string& child) const {
        return JoinPath(scratch_, child);
    }

  private:
    RegistryUnderTest registry_{GetParam()};
    std::string scratch_;
};

} // namespace testing_support

#define KAVREX_ON_ALL_REGISTRIES(Fixture)                                                          \
    INSTANTIATE_TEST_SUITE_P(Registry, Fixture,                                                    \
                             ::testing::ValuesIn(::testing_support::AllBackends()),                \
                             ::testing_support::BackendName)

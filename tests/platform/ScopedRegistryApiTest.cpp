// The scope seam on every registry: calls that name the classes root, by a
// sub-path or by its own handle, reach the scope's classes key; the classes root
// itself is never deleted; a leading backslash is refused as Windows refuses it.
#include "platform/ScopedRegistryApi.h"
#include "support/RegistryFixture.h"

namespace {

using namespace testing_support;
using platform::ScopedRegistryApi;

class ScopedSeam : public RegistryFixture {
  protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        CreateKey(Api(), HKEY_CURRENT_USER, classes_);
    }
    const std::string classes_ = ScratchPath("Classes");
    ScopedRegistryApi scope_{Api(), HKEY_CURRENT_USER, classes_};
};

TEST_P(ScopedSeam, CallsOnTheClassesRootReachTheScopesClassesKey) {
    const std::string data = std::string("x") + '\0';
    const auto* bytes = reinterpret_cast<const BYTE*>(data.data());
    ASSERT_EQ(ERROR_SUCCESS,
              scope_.RegSetValueExA(HKEY_CLASSES_ROOT, "Probe", 0, REG_SZ, bytes, 2));
    EXPECT_EQ((RawValue{REG_SZ, data}), GetRawValue(Api(), HKEY_CURRENT_USER, classes_, "Probe"));
    EXPECT_EQ(ERROR_SUCCESS, scope_.RegDeleteValueA(HKEY_CLASSES_ROOT, "Probe"));
    EXPECT_EQ(NoValue, GetRawValue(Api(), HKEY_CURRENT_USER, classes_, "Probe").bytes);

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, scope_.RegCreateKeyExA(HKEY_CLASSES_ROOT, ".kvxtest", 0, nullptr, 0,
                                                    KEY_READ, nullptr, &key, nullptr));
    scope_.RegCloseKey(key);
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, classes_ + "\\.kvxtest"));
    EXPECT_EQ(ERROR_SUCCESS, scope_.RegDeleteKeyA(HKEY_CLASSES_ROOT, ".kvxtest"));
    EXPECT_FALSE(KeyExists(Api(), HKEY_CURRENT_USER, classes_ + "\\.kvxtest"));
}

TEST_P(ScopedSeam, RefusesWhatTheClassesRootRefuses) {
    EXPECT_EQ(ERROR_ACCESS_DENIED, scope_.RegDeleteKeyA(HKEY_CLASSES_ROOT, ""));
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, classes_));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_BAD_PATHNAME,
              scope_.RegOpenKeyExA(HKEY_CLASSES_ROOT, "\\.kvxtest", 0, KEY_READ, &key));
}

KAVREX_ON_ALL_REGISTRIES(ScopedSeam);

} // namespace

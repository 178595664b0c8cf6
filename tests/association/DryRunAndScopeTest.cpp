// The component on one scope's classes and on a dry-run overlay, on every
// registry: every key lands below the scope's classes key and nowhere else; a
// dry run changes nothing, and lists exactly what the real run then changes.
#include "association/ClassesFixture.h"
#include "platform/OverlayRegistryApi.h"
#include "platform/ScopedRegistryApi.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using namespace testing_support;
using association::AssociationResult;
using platform::OverlayRegistryApi;
using platform::ScopedRegistryApi;

class Scoped : public ClassesFixture {};

TEST_P(Scoped, EveryKeyLandsBelowTheScopesClassesKey) {
    const std::string classes = ScratchPath("Scope");
    CreateKey(Api(), HKEY_CURRENT_USER, classes);
    ScopedRegistryApi scope(Api(), HKEY_CURRENT_USER, classes);
    auto component =
        testing_support::DialogComponent({scope, system_}, {".kvxtest"}, confirmations_);
    component->MenuName = "Open";
    ASSERT_EQ(AssociationResult::Registered, component->Associate());
    EXPECT_TRUE(RootKeys().empty()) << "nothing in the classes root itself";
    EXPECT_EQ((std::vector<std::string>{".kvxtest", "KvxTest"}),
              SubkeyNames(Api(), HKEY_CURRENT_USER, classes));
    EXPECT_EQ("KvxTest", DefaultText(Api(), HKEY_CURRENT_USER, classes + "\\.kvxtest"));
    EXPECT_EQ("Open", DefaultText(Api(), HKEY_CURRENT_USER, classes + "\\KvxTest\\Shell\\Open"));
    EXPECT_FALSE(component->IsAssociated()) << "it names the handler, not this program";

    EXPECT_TRUE(component->Unassociate());
    EXPECT_TRUE(SubkeyNames(Api(), HKEY_CURRENT_USER, classes).empty());
    EXPECT_TRUE(KeyExists(Api(), HKEY_CURRENT_USER, classes)) << "the classes key itself stays";
    EXPECT_EQ(ERROR_ACCESS_DENIED, scope.RegDeleteKeyA(HKEY_CLASSES_ROOT, ""));
    // Calls on the classes root's own handle reach the scope's classes key.
    const std::string data = std::string("x") + '\0';
    EXPECT_EQ(ERROR_SUCCESS, scope.RegSetValueExA(HKEY_CLASSES_ROOT, "Probe", 0, REG_SZ,
                                                  reinterpret_cast<const BYTE*>(data.data()), 2));
    EXPECT_EQ((RawValue{REG_SZ, data}), GetRawValue(Api(), HKEY_CURRENT_USER, classes, "Probe"));
    EXPECT_EQ(ERROR_SUCCESS, scope.RegDeleteValueA(HKEY_CLASSES_ROOT, "Probe"));
    EXPECT_EQ(NoValue, GetRawValue(Api(), HKEY_CURRENT_USER, classes, "Probe").bytes);
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_BAD_PATHNAME,
              scope.RegOpenKeyExA(HKEY_CLASSES_ROOT, "\\.kvxtest", 0, KEY_READ, &key));
}

// The same operations, each from a state a machine may be in.
TEST_P(Scoped, ADryRunListsWhatTheRealRunThenChanges) {
    const std::string contentType = std::string("application/x-kvx") + '\0';
    const struct {
        const char* what;
        bool registerFirst;
        bool remove;
        bool foreignData;
    } cases[] = {
        {"register on a clean machine", false, false, false},
        {"register over another program's data", false, false, true},
        {"register again", true, false, false},
        {"remove", true, true, false},
        {"remove beside another program's data", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.foreignData) {
            SetRawValue(Api(), HKEY_CLASSES_ROOT, ".kvxtest", "Content Type", REG_SZ, contentType);
            SetDefault(".kvxtest\\ShellNew", "");
        }
        if (c.registerFirst) {
            ASSERT_EQ(AssociationResult::Registered, DialogComponent()->Associate());
        }
        const auto run = [&](platform::RegistryApi& registry) {
            auto component =
                testing_support::DialogComponent({registry, system_}, {".kvxtest"}, confirmations_);
            return c.remove ? component->Unassociate()
                            : component->Associate() == AssociationResult::Registered;
        };
        const char* const keys[] = {".kvxtest", "KvxTest"};
        const auto state = [&] { return std::pair(Tree(keys[0]), Tree(keys[1])); };
        const auto before = state();
        std::vector<std::optional<platform::RegistryTree>> snapshot;
        for (const char* key : keys) {
            snapshot.push_back(platform::ReadTree(Api(), HKEY_CLASSES_ROOT, key));
        }
        const auto lines = [](const std::vector<platform::RegistryChange>& changes,
                              std::vector<std::string>& into) {
            for (const auto& change : changes) {
                into.push_back(platform::Describe(change));
            }
            std::sort(into.begin(), into.end());
        };

        OverlayRegistryApi overlay(Api());
        EXPECT_TRUE(run(overlay));
        std::vector<std::string> dry;
        lines(overlay.Changes(), dry);
        EXPECT_EQ(before, state()) << "a dry run changes nothing";

        EXPECT_TRUE(run(Api()));
        std::vector<std::string> real;
        for (std::size_t i = 0; i < snapshot.size(); ++i) {
            lines(platform::Difference(std::string("HKEY_CLASSES_ROOT\\") + keys[i], snapshot[i],
                                       platform::ReadTree(Api(), HKEY_CLASSES_ROOT, keys[i])),
                  real);
        }
        EXPECT_EQ(real, dry);
        for (const char* key : keys) {
            DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, key);
        }
    }
}

KAVREX_ON_ALL_CLASSES(Scoped);

} // namespace

// The component on one scope's classes and on a dry-run overlay, on every
// registry: every key lands below the scope's classes key and nowhere else; a
// dry run changes nothing, and records exactly what the real run then changes.
#include "association/ClassesFixture.h"
#include "cli/ChangeWording.h"
#include "emulation/EmulatedWindows.h"
#include "platform/ChangeRecorder.h"
#include "platform/OverlayRegistryApi.h"
#include "platform/ScopedRegistryApi.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using namespace testing_support;
using association::AssociationResult;
using platform::OverlayRegistryApi;
using platform::RegistryChange;
using platform::ScopedRegistryApi;

class Scoped : public ClassesFixture {};

const std::vector<std::string> ClassesKeys = {".kvxtest", "KvxTest"};
const std::vector<std::string> HiveKeys = {"Software\\Kavrex", "Software\\RegisteredApplications"};

// The recorders of the classes keys and of the hive's keys.
std::pair<platform::ChangeRecorder, platform::ChangeRecorder>
Recorders(platform::RegistryApi& registry, HKEY hive) {
    return {platform::ChangeRecorder(registry, HKEY_CLASSES_ROOT, ClassesKeys),
            platform::ChangeRecorder(registry, hive, HiveKeys)};
}

std::optional<std::vector<RegistryChange>>
Changes(const std::pair<platform::ChangeRecorder, platform::ChangeRecorder>& recorders,
        platform::RegistryApi& after) {
    auto classes = recorders.first.Changes(after);
    const auto hive = recorders.second.Changes(after);
    if (!classes || !hive) {
        return std::nullopt;
    }
    classes->insert(classes->end(), hive->begin(), hive->end());
    return classes;
}

// The tree with the changes made to it, as Everything() names its entries.
FlatTree Applied(FlatTree tree, const std::vector<RegistryChange>& changes, HKEY hive) {
    for (const RegistryChange& change : changes) {
        std::string key = change.key;
        for (const auto& [root, name] : {std::pair{HKEY_CLASSES_ROOT, "Classes"}, {hive, "Hive"}}) {
            const std::string prefix = platform::RootName(root);
            if (key.rfind(prefix, 0) == 0) {
                key = name + key.substr(prefix.size());
            }
        }
        const std::string value = key + " [" + change.value + "]";
        switch (change.kind) {
        case platform::ChangeKind::KeyCreated:
            tree[key] = NoValue;
            break;
        case platform::ChangeKind::ValueSet:
            tree[value] = testing_support::Shown(change.after->type, change.after->data);
            break;
        case platform::ChangeKind::ValueDeleted:
            tree.erase(value);
            break;
        case platform::ChangeKind::KeyDeleted:
            std::erase_if(tree, [&key](const auto& entry) {
                return entry.first == key || entry.first.rfind(key + "\\", 0) == 0 ||
                       entry.first.rfind(key + " [", 0) == 0;
            });
            break;
        }
    }
    return tree;
}

// The change lines of a dry run that registers .kvxtest as the dialog does.
std::vector<std::string> DryRunLines(platform::RegistryApi& registry,
                                     emulation::EmulatedSystemApi& system, HKEY hive) {
    const auto recorders = Recorders(registry, hive);
    OverlayRegistryApi overlay(registry, system);
    int confirmations = 0;
    EXPECT_EQ(AssociationResult::Registered,
              DialogComponent({overlay, system, hive}, {".kvxtest"}, confirmations)->Associate());
    std::vector<std::string> lines;
    for (const auto& change : Changes(recorders, overlay).value_or(std::vector<RegistryChange>{})) {
        lines.push_back(cli::Describe(change));
    }
    return lines;
}

TEST_P(Scoped, EveryKeyLandsBelowTheScopesClassesKey) {
    const std::string classes = ScratchPath("Scope");
    CreateKey(Api(), HKEY_CURRENT_USER, classes);
    ScopedRegistryApi scope(Api(), HKEY_CURRENT_USER, classes);
    auto component =
        testing_support::DialogComponent({scope, system_, hive_}, {".kvxtest"}, confirmations_);
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
}

// The same operations, each from a state a machine may be in: a dry run changes
// nothing, and what it records turns the tree before into the tree that the
// real run leaves, both read with the fixture's own helpers.
TEST_P(Scoped, ADryRunRecordsWhatTheRealRunThenChanges) {
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
    CreateKey(Api(), hive_, "Software"); // as on every machine
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
            auto component = testing_support::DialogComponent({registry, system_, hive_},
                                                              {".kvxtest"}, confirmations_);
            return c.remove ? component->Unassociate()
                            : component->Associate() == AssociationResult::Registered;
        };
        const auto before = Everything();

        const auto dryRecorders = Recorders(Api(), hive_);
        OverlayRegistryApi overlay(Api(), system_);
        EXPECT_TRUE(run(overlay));
        const auto dry = Changes(dryRecorders, overlay);
        ASSERT_TRUE(dry);
        EXPECT_EQ(before, Everything()) << "a dry run changes nothing";

        EXPECT_TRUE(run(Api()));
        EXPECT_EQ(Applied(before, *dry, hive_), Everything());
        for (const std::string& key : ClassesKeys) {
            DeleteKeyTree(Api(), HKEY_CLASSES_ROOT, key);
        }
        for (const std::string& key : HiveKeys) {
            DeleteKeyTree(Api(), hive_, key);
        }
    }
}

TEST_P(Scoped, ADryRunOnACleanMachineListsEveryKeyAndValue) {
    const std::vector<std::string> expected = {
        R"(create key    HKEY_CLASSES_ROOT\.kvxtest)",
        R"(set value     HKEY_CLASSES_ROOT\.kvxtest [(default)] = "KvxTest")",
        R"(create key    HKEY_CLASSES_ROOT\.kvxtest\OpenWithProgids)",
        R"(set value     HKEY_CLASSES_ROOT\.kvxtest\OpenWithProgids [KvxTest] = "")",
        R"(create key    HKEY_CLASSES_ROOT\KvxTest)",
        R"(set value     HKEY_CLASSES_ROOT\KvxTest [(default)] = "KvxTest file")",
        R"(create key    HKEY_CLASSES_ROOT\KvxTest\DefaultIcon)",
        R"(set value     HKEY_CLASSES_ROOT\KvxTest\DefaultIcon [(default)] = "C:\PROGRA~1\KVXTOO~1\Kavrex.exe,0")",
        R"(create key    HKEY_CLASSES_ROOT\KvxTest\Shell)",
        R"(create key    HKEY_CLASSES_ROOT\KvxTest\Shell\Open)",
        R"(create key    HKEY_CLASSES_ROOT\KvxTest\Shell\Open\Command)",
        R"(set value     HKEY_CLASSES_ROOT\KvxTest\Shell\Open\Command [(default)] = ""C:\PROGRA~1\KVXTOO~1\Kavrex.exe" "%1"")",
        R"(create key    HKEY_LOCAL_MACHINE\Software\Kavrex)",
        R"(create key    HKEY_LOCAL_MACHINE\Software\Kavrex\Capabilities)",
        R"(set value     HKEY_LOCAL_MACHINE\Software\Kavrex\Capabilities [ApplicationDescription] = "Opens and extracts archives.")",
        R"(set value     HKEY_LOCAL_MACHINE\Software\Kavrex\Capabilities [ApplicationIcon] = "C:\PROGRA~1\KVXTOO~1\Kavrex.exe,0")",
        R"(set value     HKEY_LOCAL_MACHINE\Software\Kavrex\Capabilities [ApplicationName] = "Kavrex")",
        R"(create key    HKEY_LOCAL_MACHINE\Software\Kavrex\Capabilities\FileAssociations)",
        R"(set value     HKEY_LOCAL_MACHINE\Software\Kavrex\Capabilities\FileAssociations [.kvxtest] = "KvxTest")",
        R"(create key    HKEY_LOCAL_MACHINE\Software\RegisteredApplications)",
        R"(set value     HKEY_LOCAL_MACHINE\Software\RegisteredApplications [Kavrex] = "Software\Kavrex\Capabilities")",
    };
    EXPECT_EQ(expected, DryRunLines(Api(), system_, hive_));
}

KAVREX_ON_ALL_CLASSES(Scoped);

} // namespace

namespace {

// Another program's string stored without its NUL (a Unicode call may store
// it so) is copied into the overlay as it is, and so is no change of the dry run.
TEST(DryRun, ACopiedValueIsNoChange) {
    emulation::EmulatedRegistryApi registry;
    emulation::EmulatedSystemApi system;
    testing_support::AddTestProgram(system);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, registry.RegCreateKeyExA(HKEY_CLASSES_ROOT, ".kvxtest", 0, nullptr, 0,
                                                      KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, registry.StoreValueAsIs(key, "Content Type", REG_SZ, "x/kvx"));
    registry.RegCloseKey(key);

    const auto lines = DryRunLines(registry, system, HKEY_LOCAL_MACHINE);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(R"(set value     HKEY_CLASSES_ROOT\.kvxtest [(default)] = "KvxTest")", lines.front());
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Content Type") != std::string::npos;
    }));
}

} // namespace

namespace {

// Names outside a code page's single bytes: the registry counts them in
// characters, the ANSI calls spell them in bytes. Where the code page spells
// them, the type key goes with them and a dry run lists every change; where it
// cannot (a CJK name in 1252), nothing is taken for absent: removal says it
// failed and the dry run that it cannot tell.
TEST(WideNames, AreRemovedAndListedWhereTheCodePageSpellsThem) {
    const struct {
        UINT codePage;
        std::string subkey, value; // in the code page
        bool spelled;
    } cases[] = {
        {932, "\x91\xc5\x8a\x4a", "\x96\xbc\x91\x4f", true}, // Shift-JIS
        {CP_UTF8, "\xe6\x89\x93\xe5\xbc\x80\xf0\x9f\x93\xa6", "\xe5\x90\x8d\xe5\x89\x8d",
         true}, // CJK and an emoji beyond the basic plane
        {1252, "\xe6\x89\x93\xe5\xbc\x80", "x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codePage);
        emulation::EmulatedWindows windows;
        emulation::EmulatedRegistryApi& registry = windows.registry;
        emulation::EmulatedSystemApi& system = windows.system;
        windows.SetAnsiCodePage(c.codePage);
        testing_support::AddTestProgram(system);
        CreateKey(registry, HKEY_LOCAL_MACHINE, "Software");
        int confirmations = 0;
        const association::Platform platform{registry, system, HKEY_LOCAL_MACHINE};
        ASSERT_EQ(AssociationResult::Registered,
                  DialogComponent(platform, {".kvxtest"}, confirmations)->Associate());
        for (const std::string key : {"KvxTest\\Shell\\", ".kvxtest\\"}) {
            SetRawValue(registry, HKEY_CLASSES_ROOT, key + c.subkey, c.value, REG_SZ, "1");
            if (!c.spelled) {
                registry.SetEnumeratedName("HKEY_CLASSES_ROOT\\" + key + c.subkey, "??");
            }
        }
        const FlatTree before = Everything(registry, HKEY_LOCAL_MACHINE);
        const auto recorders = Recorders(registry, HKEY_LOCAL_MACHINE);
        OverlayRegistryApi overlay(registry, system);
        DialogComponent({overlay, system, HKEY_LOCAL_MACHINE}, {".kvxtest"}, confirmations)
            ->Unassociate();
        const auto dry = Changes(recorders, overlay);
        EXPECT_EQ(c.spelled, dry.has_value()) << "the dry run can tell what changes";

        EXPECT_EQ(c.spelled, DialogComponent(platform, {".kvxtest"}, confirmations)->Unassociate());
        EXPECT_EQ(!c.spelled, KeyExists(registry, HKEY_CLASSES_ROOT, "KvxTest"));
        EXPECT_EQ((RawValue{REG_SZ, std::string("1") + '\0'}),
                  GetRawValue(registry, HKEY_CLASSES_ROOT, ".kvxtest\\" + c.subkey, c.value))
            << "another program's key stays";
        if (dry) {
            EXPECT_EQ(Applied(before, *dry, HKEY_LOCAL_MACHINE),
                      Everything(registry, HKEY_LOCAL_MACHINE));
        }
    }
}

} // namespace

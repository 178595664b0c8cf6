#include "association/ClassesFixture.h"

#include "association/ComponentProperties.h"

#include <algorithm>

namespace testing_support {

namespace {

void AddTree(platform::RegistryApi& api, const std::string& path, ClassesTree& tree) {
    tree[path] = DefaultText(api, HKEY_CLASSES_ROOT, path);
    for (const std::string& child : SubkeyNames(api, HKEY_CLASSES_ROOT, path)) {
        AddTree(api, JoinPath(path, child), tree);
    }
}

} // namespace

FlatTree Everything(platform::RegistryApi& api, HKEY applicationHive) {
    return Snapshot(api, {{HKEY_CLASSES_ROOT, "Classes"}, {applicationHive, "Hive"}});
}

void AddTestProgram(emulation::EmulatedSystemApi& system) {
    system.SetModuleFileName(Wide(Program));
    system.AddFile(Wide(Program), Wide(ProgramShort));
    system.AddFile(Wide(Handler), Wide(HandlerShort));
}

std::unique_ptr<association::TRegArchive>
DialogComponent(association::Platform platform, const std::vector<std::string>& extensions,
                int& confirmations) {
    auto component = std::make_unique<association::TRegArchive>(nullptr, platform);
    association::RegArchiveProperties properties = association::DialogRegArchiveProperties();
    properties.arcExtensions = extensions;
    association::ReadComponentProperties(
        *component, properties,
        [&confirmations](association::TComponent*, const std::string&, bool& cancel) {
            ++confirmations;
            cancel = false;
        });
    return component;
}

ClassesTree Tree(platform::RegistryApi& api, const std::string& key) {
    ClassesTree tree;
    if (KeyExists(api, HKEY_CLASSES_ROOT, key)) {
        AddTree(api, key, tree);
    }
    return tree;
}

void ClassesFixture::SetUp() {
    RegistryFixture::SetUp();
    AddTestProgram(system_);
#ifdef _WIN32
    if (GetParam() == Backend::Windows) {
        classes_ = std::make_unique<RootRedirect>(HKEY_CLASSES_ROOT, ScratchPath("Classes"));
        machine_ = std::make_unique<RootRedirect>(HKEY_LOCAL_MACHINE, ScratchPath("Machine"));
        // Without them the test would write into the machine's real keys.
        ASSERT_TRUE(classes_->Active()) << "HKEY_CLASSES_ROOT could not be redirected";
        ASSERT_TRUE(machine_->Active()) << "HKEY_LOCAL_MACHINE could not be redirected";
    }
#endif
}

void ClassesFixture::TearDown() {
#ifdef _WIN32
    machine_.reset();
    classes_.reset();
#endif
    RegistryFixture::TearDown();
}

std::set<std::string> ClassesFixture::NewRootKeys(const std::vector<std::string>& before) {
    std::set<std::string> added;
    for (const std::string& key : RootKeys()) {
        if (std::find(before.begin(), before.end(), key) == before.end()) {
            added.insert(key);
        }
    }
    return added;
}

void ClassesFixture::SetDefault(const std::string& key, const std::string& text) {
    SetRawValue(Api(), HKEY_CLASSES_ROOT, key, "", REG_SZ, text + '\0');
}

} // namespace testing_support

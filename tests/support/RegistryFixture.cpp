#include "support/RegistryFixture.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace testing_support {

using platform::RegistryApi;

// The helpers read and write what the 64-bit shell sees, whatever the view of
// the registry under test.
using platform::ViewFor;

std::vector<Backend> AllBackends() {
#ifdef _WIN32
    return {Backend::Emulated, Backend::Emulated32, Backend::Windows};
#else
    return {Backend::Emulated, Backend::Emulated32};
#endif
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    switch (info.param) {
    case Backend::Emulated:
        return "Emulated";
    case Backend::Emulated32:
        return "Emulated32On64";
    case Backend::Windows:
        break;
    }
    return "Windows";
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::string Narrow(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

#ifdef _WIN32
RootRedirect::RootRedirect(HKEY root, const std::string& path) : root_(root) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) == ERROR_SUCCESS) {
        active_ = ::RegOverridePredefKey(root, key) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
}

RootRedirect::~RootRedirect() {
    ::RegOverridePredefKey(root_, nullptr);
}
#endif

namespace {

// The key at path below root, opened (or created) a level at a time where the
// path is longer than one ANSI call takes.
LONG Open(RegistryApi& api, HKEY root, const std::string& path, bool create, REGSAM access,
          HKEY& key) {
    const auto split = path.rfind('\\');
    if (path.size() > platform::LongestAnsiSubPath && split != std::string::npos) {
        HKEY parent = nullptr;
        if (const LONG status = Open(api, root, path.substr(0, split), create, access, parent)) {
            return status;
        }
        const LONG status = Open(api, parent, path.substr(split + 1), create, access, key);
        api.RegCloseKey(parent);
        return status;
    }
    access |= ViewFor(root);
    return create ? api.RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key,
                                        nullptr)
                  : api.RegOpenKeyExA(root, path.c_str(), 0, access, &key);
}

} // namespace

bool KeyExists(RegistryApi& api, HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (Open(api, root, path, false, KEY_READ, key) != ERROR_SUCCESS) {
        return false;
    }
    if (!platform::IsPredefinedKey(key)) {
        api.RegCloseKey(key);
    }
    return true;
}

void CreateKey(RegistryApi& api, HKEY root, const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open(api, root, path, true, KEY_ALL_ACCESS, key)) << path;
    api.RegCloseKey(key);
}

std::vector<std::string> SubkeyNames(RegistryApi& api, HKEY root, const std::string& path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (Open(api, root, path, false, KEY_READ, key) != ERROR_SUCCESS) {
        return names;
    }
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (api.RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    if (!platform::IsPredefinedKey(key)) {
        api.RegCloseKey(key);
    }
    return names;
}

std::vector<std::string> ValueNames(RegistryApi& api, HKEY root, const std::string& path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (Open(api, root, path, false, KEY_READ, key) != ERROR_SUCCESS) {
        return names;
    }
    std::string name(16384, '\0');
    for (DWORD index = 0;; ++index) {
        auto length = static_cast<DWORD>(name.size());
        if (api.RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name.data(), length);
    }
    if (!platform::IsPredefinedKey(key)) {
        api.RegCloseKey(key);
    }
    return names;
}

void DeleteKeyTree(RegistryApi& api, HKEY root, const std::string& path) {
    if (path.empty()) {
        return; // never a root key
    }
    for (const std::string& child : SubkeyNames(api, root, path)) {
        DeleteKeyTree(api, root, JoinPath(path, child));
    }
    const auto split = path.rfind('\\');
    HKEY parent = root;
    if (split != std::string::npos &&
        Open(api, root, path.substr(0, split), false, KEY_ALL_ACCESS, parent) == ERROR_SUCCESS) {
        api.RegDeleteKeyExA(parent, path.substr(split + 1).c_str(), ViewFor(root), 0);
        api.RegCloseKey(parent);
        return;
    }
    api.RegDeleteKeyExA(root, path.c_str(), ViewFor(root), 0);
}

void SetRawValue(RegistryApi& api, HKEY root, const std::string& path, const std::string& name,
                 DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Open(api, root, path, true, KEY_ALL_ACCESS, key));
    EXPECT_EQ(ERROR_SUCCESS, api.RegSetValueExA(key, name.c_str(), 0, type,
                                                reinterpret_cast<const BYTE*>(bytes.data()),
                                                static_cast<DWORD>(bytes.size())));
    api.RegCloseKey(key);
}

RawValue GetRawValue(RegistryApi& api, HKEY root, const std::string& path,
                     const std::string& name) {
    RawValue missing{REG_NONE, NoValue};
    HKEY key = nullptr;
    if (Open(api, root, path, false, KEY_READ, key) != ERROR_SUCCESS) {
        return missing;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG status = api.RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::string data(size, '\0');
    if (status == ERROR_SUCCESS) {
        status = api.RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (!platform::IsPredefinedKey(key)) {
        api.RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        return missing;
    }
    data.resize(size);
    return {type, data};
}

std::string DefaultText(RegistryApi& api, HKEY root, const std::string& path) {
    const RawValue value = GetRawValue(api, root, path, "");
    return value.bytes.substr(0, value.bytes.find('\0'));
}

namespace {

// Read with the direct helpers, not with the tree reader under test.
void AddFlat(RegistryApi& api, HKEY root, const std::string& path, const std::string& shown,
             bool withoutClasses, FlatTree& flat) {
    flat[shown] = NoValue;
    for (const std::string& name : ValueNames(api, root, path)) {
        const RawValue value = GetRawValue(api, root, path, name);
        std::string entry = shown;
        entry.append(" [").append(name).append("]");
        flat[entry] = Shown(value.type, value.bytes);
    }
    for (const std::string& child : SubkeyNames(api, root, path)) {
        const std::string childPath = JoinPath(path, child);
        if (!withoutClasses || !platform::SameName(childPath, platform::ClassesPath)) {
            AddFlat(api, root, childPath, JoinPath(shown, child), withoutClasses, flat);
        }
    }
}

} // namespace

std::string Shown(DWORD type, const std::string& bytes) {
    return std::to_string(type) + ":" + bytes;
}

FlatTree Snapshot(RegistryApi& api, const std::vector<std::pair<HKEY, std::string>>& roots) {
    // Where the classes root is listed, a hive's classes show there alone.
    const bool classesListed = std::any_of(roots.begin(), roots.end(), [](const auto& root) {
        return root.first == HKEY_CLASSES_ROOT;
    });
    FlatTree flat;
    for (const auto& [root, name] : roots) {
        AddFlat(api, root, "", name, classesListed && root != HKEY_CLASSES_ROOT, flat);
    }
    return flat;
}

RegistryUnderTest::RegistryUnderTest(Backend backend)
    : emulation_(backend != Backend::Windows ? std::make_unique<emulation::EmulatedRegistryApi>()
                                             : nullptr),
      api_(emulation_ ? emulation_.get() : &platform::SystemRegistry()) {
    if (backend == Backend::Emulated32) {
        emulation_->SetWow64Process(true);
    }
}

namespace {

constexpr std::int64_t Day = std::int64_t{24} * 60 * 60; // seconds
constexpr const char* TestsKey = "Software\\KavrexAssoc\\Tests";

std::int64_t SecondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// This process's key below TestsKey, "<seconds since 1970>.<process id>", so
// that two build folders testing at once never share one.
const std::string& RunKey() {
#ifdef _WIN32
    static const auto process = static_cast<long long>(::GetCurrentProcessId());
#else
    static const auto process = static_cast<long long>(::getpid());
#endif
    static const std::string key =
        JoinPath(TestsKey, std::to_string(SecondsNow()) + "." + std::to_string(process));
    return key;
}

// Runs left behind by a crash go once they are a day old, as Chromium's
// registry override does with its own; so do keys of the earlier layout.
void RemoveStaleRuns(RegistryApi& api) {
    for (const std::string& run : SubkeyNames(api, HKEY_CURRENT_USER, TestsKey)) {
        if (SecondsNow() - std::strtoll(run.c_str(), nullptr, 10) > Day) {
            DeleteKeyTree(api, HKEY_CURRENT_USER, JoinPath(TestsKey, run));
        }
    }
}

} // namespace

void RegistryFixture::SetUp() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    static bool cleaned = false;
    if (GetParam() == Backend::Windows && !cleaned) {
        RemoveStaleRuns(Api());
        cleaned = true;
    }
    scratch_ = JoinPath(RunKey(), std::string(test->test_suite_name()) + "." + test->name());
    for (char& c : scratch_) {
        if (c == '/') {
            c = '_';
        }
    }
    DeleteKeyTree(Api(), HKEY_CURRENT_USER, scratch_);
    CreateKey(Api(), HKEY_CURRENT_USER, scratch_);
}

void RegistryFixture::TearDown() {
    DeleteKeyTree(Api(), HKEY_CURRENT_USER, scratch_);
    if (SubkeyNames(Api(), HKEY_CURRENT_USER, RunKey()).empty()) {
        Api().RegDeleteKeyA(HKEY_CURRENT_USER, RunKey().c_str());
    }
}

} // namespace testing_support

#include "support/RegistryFixture.h"

namespace testing_support {

using platform::RegistryApi;

std::vector<Backend> AllBackends() {
#ifdef _WIN32
    return {Backend::Emulated, Backend::Windows};
#else
    return {Backend::Emulated};
#endif
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Emulated ? "Emulated" : "Windows";
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
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

bool KeyExists(RegistryApi& api, HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (api.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    if (!platform::IsPredefinedKey(key)) {
        api.RegCloseKey(key);
    }
    return true;
}

void CreateKey(RegistryApi& api, HKEY root, const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, api.RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr))
        << path;
    api.RegCloseKey(key);
}

std::vector<std::string> SubkeyNames(RegistryApi& api, HKEY root, const std::string& path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (api.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
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

void DeleteKeyTree(RegistryApi& api, HKEY root, const std::string& path) {
    if (path.empty()) {
        return; // never a root key
    }
    for (const std::string& child : SubkeyNames(api, root, path)) {
        DeleteKeyTree(api, root, JoinPath(path, child));
    }
    api.RegDeleteKeyA(root, path.c_str());
}

void SetRawValue(RegistryApi& api, HKEY root, const std::string& path, const std::string& name,
                 DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, api.RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, api.RegSetValueExA(key, name.c_str(), 0, type,
                                                reinterpret_cast<const BYTE*>(bytes.data()),
                                                static_cast<DWORD>(bytes.size())));
    api.RegCloseKey(key);
}

RawValue GetRawValue(RegistryApi& api, HKEY root, const std::string& path,
                     const std::string& name) {
    RawValue missing{REG_NONE, NoValue};
    HKEY key = nullptr;
    if (api.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return missing;
    }
    DWORD type = 0;
    BYTE data[1024];
    DWORD size = sizeof data;
    const LONG status = api.RegQueryValueExA(key, name.c_str(), nullptr, &type, data, &size);
    if (!platform::IsPredefinedKey(key)) {
        api.RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) {
        return missing;
    }
    return {type, std::string(reinterpret_cast<const char*>(data), size)};
}

std::string DefaultText(RegistryApi& api, HKEY root, const std::string& path) {
    const RawValue value = GetRawValue(api, root, path, "");
    return value.bytes.substr(0, value.bytes.find('\0'));
}

RegistryUnderTest::RegistryUnderTest(Backend backend)
    : emulation_(backend == Backend::Emulated ? std::make_unique<platform::EmulatedRegistryApi>()
                                              : nullptr),
      api_(emulation_ ? emulation_.get() : &platform::SystemRegistry()) {}

void RegistryFixture::SetUp() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = std::string("Software\\KavrexAssoc\\Tests\\") + test->test_suite_name() + "." +
               test->name();
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
}

} // namespace testing_support

#include "Users.h"

#include "Account.h"
#include "platform/KeyHandle.h"
#include "platform/RegistryNames.h"
#include "platform/ScopedRegistryApi.h"

namespace cli {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           platform::SameName(text.substr(text.size() - end.size()), end);
}

// The names of HKEY_USERS' subkeys: the SIDs of the loaded hives.
std::vector<std::string> LoadedHives(platform::RegistryApi& registry) {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        char name[platform::LongestKeyName + 1] = {};
        DWORD length = sizeof name;
        if (registry.RegEnumKeyExA(HKEY_USERS, index, name, &length, nullptr, nullptr, nullptr,
                                   nullptr) != ERROR_SUCCESS) {
            return names;
        }
        names.emplace_back(name, length);
    }
}

bool IsPersonsHive(const std::string& sid) {
    return !platform::SameName(sid, ".DEFAULT") && !IsServiceAccount(sid) &&
           !EndsWith(sid, "_Classes");
}

bool CanRead(platform::RegistryApi& registry, const std::string& sid) {
    HKEY key = nullptr;
    const LONG status = registry.RegOpenKeyExA(HKEY_USERS, sid.c_str(), 0, KEY_READ, &key);
    const platform::KeyHandle opened(registry, status == ERROR_SUCCESS ? key : nullptr);
    return status == ERROR_SUCCESS;
}

} // namespace

std::vector<UserReport> SignedInUsers(Environment& environment,
                                      const std::vector<std::string>& extensions) {
    const association::Handler handler = association::HandlerBesideProgram(environment.system);
    std::vector<UserReport> users;
    for (const std::string& sid : LoadedHives(environment.registry)) {
        if (!IsPersonsHive(sid)) {
            continue;
        }
        UserReport user{
            sid, environment.system.AccountName(sid), CanRead(environment.registry, sid), {}};
        // The user's hive read as its own HKEY_CURRENT_USER.
        platform::ScopedRegistryApi hive(environment.registry, HKEY_USERS, sid, HKEY_CURRENT_USER);
        for (const std::string& extension : user.readable ? extensions : decltype(extensions){}) {
            user.extensions.push_back(
                association::QueryStatus(hive, environment.system, extension, handler));
        }
        users.push_back(std::move(user));
    }
    return users;
}

} // namespace cli

#include "Users.h"

#include "Account.h"
#include "Scope.h"
#include "platform/ForwardingSystemApi.h"
#include "platform/KeyContents.h"
#include "platform/RegistryNames.h"
#include "platform/ScopedRegistryApi.h"

namespace cli {
namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           platform::SameName(text.substr(text.size() - end.size()), end);
}

// The names of HKEY_USERS' subkeys: the SIDs of the loaded hives; those read
// before a refusal, when one comes.
std::vector<std::string> LoadedHives(platform::RegistryApi& registry) {
    std::vector<std::string> names;
    if (platform::KeyContents(registry, HKEY_USERS).Subkeys(names) != ERROR_SUCCESS) {
        names.clear(); // a list that could not be read whole names no one
    }
    return names;
}

bool IsPersonsHive(const std::string& sid) {
    return !platform::SameName(sid, ".DEFAULT") && !IsServiceAccount(sid) &&
           !EndsWith(sid, "_Classes");
}

} // namespace

std::vector<UserReport> SignedInUsers(Environment& environment,
                                      const std::vector<std::string>& extensions) {
    const association::Handler handler = association::HandlerBesideProgram(environment.system);
    // Their commands are theirs: no link in them is followed.
    platform::LinkFreeLookups lookups(environment.system);
    std::vector<UserReport> users;
    for (const std::string& sid : LoadedHives(environment.registry)) {
        if (!IsPersonsHive(sid)) {
            continue;
        }
        const bool readable =
            OpenStatus(environment.registry, HKEY_USERS, sid.c_str(), KEY_READ) == ERROR_SUCCESS;
        UserReport user{sid, environment.system.AccountName(sid), readable, {}};
        // The user's hive read as its own HKEY_CURRENT_USER.
        platform::ScopedRegistryApi hive(environment.registry, HKEY_USERS, sid, HKEY_CURRENT_USER);
        for (const std::string& extension : extensions) {
            if (readable) {
                user.extensions.push_back(
                    association::QueryStatus(hive, lookups, extension, handler));
            }
        }
        users.push_back(std::move(user));
    }
    return users;
}

} // namespace cli

#include "EmulatedRegistryApi.h"
#include "RegistryRules.h"

#include "platform/RegistryNames.h"

#include <algorithm>

namespace emulation {

using namespace platform;

std::vector<std::string> Levels(const std::string& path) {
    std::vector<std::string> levels = PathLevels(path);
    std::transform(levels.begin(), levels.end(), levels.begin(), FoldedName);
    return levels;
}

void EmulatedRegistryApi::AddRule(const std::string& keyPath, bool subtree, REGSAM denied) {
    rules_.push_back({Levels(StoredPath(keyPath)), subtree, denied});
}

void EmulatedRegistryApi::MakeReadOnly(const std::string& keyPath) {
    AddRule(keyPath, true, WriteAccess);
}

void EmulatedRegistryApi::ApplyProfile(RightsProfile profile) {
    // Users may read the machine's hive and its classes, and only
    // Administrators may change them: "HKEY_CLASSES_ROOT Key" sends per-user
    // changes to HKEY_CURRENT_USER\Software\Classes for that reason
    // (learn.microsoft.com/windows/win32/sysinfo/hkey-classes-root-key). The
    // classes root is a view of both: each key keeps its own tree's rights.
    if (profile == RightsProfile::StandardUser) {
        MakeReadOnly("HKEY_LOCAL_MACHINE");
    }
    // "LocalSystem Account" (learn.microsoft.com/windows/win32/services/
    // localsystem-account): its HKEY_CURRENT_USER is the default user's, not a
    // person's, and its token holds the Administrators group.
    if (profile == RightsProfile::LocalSystem) {
        const KeyRef& users = roots_.at(HKEY_USERS);
        KeyRef defaultUser = FindSubkey(*users, ".DEFAULT");
        roots_[HKEY_CURRENT_USER] = defaultUser ? defaultUser : AddSubkey(users, ".DEFAULT");
    }
    // Since Windows 8 a program may not set the user's choice: "Default
    // Programs" (learn.microsoft.com/windows/win32/shell/default-programs).
    // The key carries an entry that denies setting its values to the user
    // himself, elevated or not, so an open that asks for that right fails.
    AddRule("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\*"
            "\\UserChoice",
            false, SetValueRight);
}

REGSAM EmulatedRegistryApi::Denied(const std::string& keyPath) const {
    if (rules_.empty()) {
        return 0; // every right, as Wine grants
    }
    const std::vector<std::string> key = Levels(keyPath);
    REGSAM denied = 0;
    for (const AccessRule& rule : rules_) {
        const bool deepEnough =
            rule.subtree ? key.size() >= rule.levels.size() : key.size() == rule.levels.size();
        if (deepEnough && std::equal(rule.levels.begin(), rule.levels.end(), key.begin(),
                                     [](const std::string& pattern, const std::string& level) {
                                         return pattern == "*" || pattern == level;
                                     })) {
            denied |= rule.denied;
        }
    }
    return denied;
}

} // namespace emulation

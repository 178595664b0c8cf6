// The people signed in to the machine, each with who opens the extensions
// for them: read from their hives below HKEY_USERS, which an administrator
// and the service accounts may read and other users may not.
#pragma once

#include "Commands.h"
#include "association/ExtensionStatus.h"

#include <string>
#include <vector>

namespace cli {

struct UserReport {
    std::string sid;
    std::string name; // empty when Windows cannot name the account
    bool readable;    // false: the hive could not be opened, and nothing else is known
    std::vector<association::ExtensionStatus> extensions;
};

// Every hive loaded below HKEY_USERS but the default user's, the service
// accounts' and the classes hives (each user's "SID_Classes").
std::vector<UserReport> SignedInUsers(Environment& environment,
                                      const std::vector<std::string>& extensions);

} // namespace cli

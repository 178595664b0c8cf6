// Whom kavrex-assoc runs as: a person, or one of the service accounts that
// deployment engines run programs as, which have no person's hive and no
// desktop.
#pragma once

#include "platform/SystemApi.h"

#include <string>

namespace cli {

struct Account {
    std::string sid;  // empty when the token could not be read
    std::string name; // "DOMAIN\name"; empty when Windows cannot name it
};

// The process's account; named only when asked to, since naming a domain
// account may ask its domain controller.
Account RunningAccount(platform::SystemApi& system, bool named);

// LocalSystem, LocalService or NetworkService.
bool IsServiceAccount(const std::string& sid);

} // namespace cli

#include "Account.h"

#include <algorithm>
#include <iterator>

namespace cli {

Account RunningAccount(platform::SystemApi& system, bool named) {
    Account account{system.ProcessUserSid(), {}};
    if (!account.sid.empty() && (named || IsServiceAccount(account.sid))) {
        account.name = system.AccountName(account.sid);
    }
    return account;
}

bool IsServiceAccount(const std::string& sid) {
    // "Well-known SIDs" (learn.microsoft.com/windows/win32/secauthz/well-known-sids):
    // Local System, Local Service and Network Service.
    constexpr const char* ServiceAccounts[] = {"S-1-5-18", "S-1-5-19", "S-1-5-20"};
    return std::find(std::begin(ServiceAccounts), std::end(ServiceAccounts), sid) !=
           std::end(ServiceAccounts);
}

} // namespace cli

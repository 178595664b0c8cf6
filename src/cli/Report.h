// What kavrex-assoc prints: the status of each extension, and the changes that
// register and remove made (or, on a dry run, would make), as text or as JSON.
#pragma once

#include "Console.h"
#include "Listing.h"
#include "Refusal.h"
#include "Scope.h"
#include "Users.h"
#include "association/ExtensionStatus.h"
#include "association/ReplaceableHandler.h"
#include "platform/RegistryTree.h"

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <vector>

namespace cli {

// Who opens one extension, and where Kavrex is listed for it in each hive.
struct ExtensionReport {
    association::ExtensionStatus status;
    Listing machine;
    Listing user;
    // With status --scope: our registration in that scope's hive.
    std::optional<Registration> registration;
};

struct StatusReport {
    association::Handler handler;
    association::HandlerSafety safety;
    std::vector<ExtensionReport> extensions;
    int exitCode;
    std::optional<Scope> judged; // with --scope: the hive judged
    // Elevated or as a service account: the people signed in.
    std::optional<std::vector<UserReport>> users;
};

struct ChangeReport {
    const char* command; // "register" or "remove"
    Scope scope;
    bool dryRun;
    bool complete;      // every change was made, or on a dry run could be
    Reason reason;      // why not
    bool rightsMissing; // a dry run that the real run would be refused
    std::vector<platform::RegistryChange> changes;
    // The extensions whose user's own choice still names another program.
    std::vector<association::ExtensionStatus> chosenElsewhere;
    // register --scope machine with --allow-replaceable-handler: what it allowed.
    association::HandlerSafety safety;
    int exitCode;
};

void WriteStatusReport(Console& console, const StatusReport& report, bool json);
// The changes as the JSON change report lists them.
nlohmann::json ChangesJson(Console& console, const std::vector<platform::RegistryChange>& changes);
void WriteChangeReport(Console& console, const ChangeReport& report, bool json);

} // namespace cli

// What kavrex-assoc prints: the status of each extension, and the changes that
// register and remove made (or, on a dry run, would make), as text or as JSON.
#pragma once

#include "Console.h"
#include "Listing.h"
#include "Scope.h"
#include "association/ExtensionStatus.h"
#include "association/ReplaceableHandler.h"
#include "platform/RegistryTree.h"

#include <vector>

namespace cli {

// Who opens one extension, and where Kavrex is listed for it in each hive.
struct ExtensionReport {
    association::ExtensionStatus status;
    Listing machine;
    Listing user;
};

struct StatusReport {
    association::Handler handler;
    association::HandlerSafety safety;
    std::vector<ExtensionReport> extensions;
    int exitCode;
};

struct ChangeReport {
    const char* command; // "register" or "remove"
    Scope scope;
    bool dryRun;
    bool done;
    bool rightsMissing; // a dry run that the real run would be refused
    std::vector<platform::RegistryChange> changes;
    // The extensions whose user's own choice still names another program.
    std::vector<association::ExtensionStatus> chosenElsewhere;
    // register --scope machine with --allow-replaceable-handler: what it allowed.
    association::HandlerSafety safety;
    int exitCode;
};

void WriteStatusReport(Console& console, const StatusReport& report, bool json);
void WriteChangeReport(Console& console, const ChangeReport& report, bool json);

} // namespace cli

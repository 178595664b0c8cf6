// The audit log that deployments keep: one JSON line per run, appended to the
// file that --log names. It is written once, at the end, so that a run that
// stops midway leaves no half line.
#pragma once

#include "Account.h"
#include "Console.h"
#include "FileWriting.h"
#include "platform/RegistryTree.h"

#include <string>
#include <vector>

namespace cli {

struct AuditEntry {
    std::string computer; // its NetBIOS name; empty when it could not be read
    Account account;
    std::vector<std::string> arguments; // as given, after the program's name
    int exitCode;
    std::vector<platform::RegistryChange> changes; // made, as the change report lists them
};

// The entry's line, without its newline; time is UTC, in ISO 8601.
std::string AuditLine(Console& console, const AuditEntry& entry, const std::string& time);

// Now, in UTC, as ISO 8601 writes it: 2026-12-09T10:46:15Z.
std::string UtcNow();

// Adds the entry's line to the log. A log that cannot be written, or that a
// privileged run refuses to write, is a warning on the error stream that says
// why: the run's work and exit code stay as they are.
void AppendToAuditLog(Console& console, platform::SystemApi& system, const FilePolicy& policy,
                      const std::string& path, const AuditEntry& entry);

} // namespace cli

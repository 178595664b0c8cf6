#include "AuditLog.h"

#include "Report.h"
#include "Version.h"

#include <nlohmann/json.hpp>

#include <ctime>

namespace cli {

std::string AuditLine(Console& console, const AuditEntry& entry, const std::string& time) {
    nlohmann::json arguments = nlohmann::json::array();
    for (const std::string& argument : entry.arguments) {
        arguments.push_back(console.ToUtf8(argument));
    }
    const auto orNull = [&](const std::string& text) {
        return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(console.ToUtf8(text));
    };
    return nlohmann::json{
        {"time", time},
        {"version", KAVREX_VERSION},
        {"computer", orNull(entry.computer)},
        {"account", {{"sid", orNull(entry.account.sid)}, {"name", orNull(entry.account.name)}}},
        {"command", arguments.empty() ? nlohmann::json(nullptr) : arguments[0]},
        {"arguments", arguments},
        {"exitCode", entry.exitCode},
        {"changes", ChangesJson(console, entry.changes)}}
        .dump();
}

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void AppendToAuditLog(Console& console, platform::SystemApi& system, const FilePolicy& policy,
                      const std::string& path, const AuditEntry& entry) {
    const FileOutcome outcome =
        AppendToFile(system, policy, path, AuditLine(console, entry, UtcNow()) + "\n");
    if (outcome.write == FileWrite::Refused) {
        console.WriteErrorLine("Warning: the audit log " + path +
                               " was not written: " + outcome.note +
                               ". With administrator rights or as a service account, kavrex-assoc "
                               "logs only where no other account could change or redirect the "
                               "log; the run itself is as reported.");
    } else if (outcome.write != FileWrite::Written) {
        console.WriteErrorLine("Warning: the audit log " + path +
                               " could not be written; the run itself is as reported.");
    }
}

} // namespace cli

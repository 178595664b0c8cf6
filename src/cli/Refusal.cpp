#include "Refusal.h"

#include "Commands.h"
#include "ReportParts.h"

#include <nlohmann/json.hpp>

namespace cli {
namespace {

// The version of the JSON's shape: a field removed or changed raises it; a
// field added does not.
constexpr int SchemaVersion = 1;

struct ReasonName {
    Reason reason;
    const char* name;
};
// clang-format off
constexpr ReasonName ReasonNames[] = {
    {Reason::None,                 nullptr},
    {Reason::Usage,                "usage"},
    {Reason::ServiceAccountScope,  "service-account-scope"},
    {Reason::NoDesktop,            "no-desktop"},
    {Reason::NoSettingsApp,        "no-settings-app"},
    {Reason::RightsMissing,        "rights-missing"},
    {Reason::NoHandler,            "no-handler"},
    {Reason::ReplaceableHandler,   "replaceable-handler"},
    {Reason::TypeOfAnotherProgram, "type-of-another-program"},
    {Reason::DefaultUnreadable,    "default-unreadable"},
    {Reason::KeysUnreadable,       "keys-unreadable"},
    {Reason::PartlyFailed,         "partly-failed"},
    {Reason::FileExists,           "file-exists"},
    {Reason::LinkRefused,          "link-refused"},
    {Reason::WriteFailed,          "write-failed"},
};
// clang-format on

} // namespace

nlohmann::json ReasonJson(Reason reason) {
    const char* name = RowOf(ReasonNames, &ReasonName::reason, reason).name;
    return name ? nlohmann::json(name) : nlohmann::json(nullptr);
}

nlohmann::json JsonEnvelope(const char* command, int exitCode, Reason reason) {
    return {{"schemaVersion", SchemaVersion},
            {"command", command ? nlohmann::json(command) : nlohmann::json(nullptr)},
            {"exitCode", exitCode},
            {"reason", ReasonJson(reason)}};
}

void WriteRefusalJson(Console& console, const Options& options, const Refusal& refusal) {
    if (!options.json) {
        return;
    }
    nlohmann::json out = JsonEnvelope(options.command, refusal.exitCode, refusal.reason);
    out["message"] = console.ToUtf8(refusal.message);
    if (options.changes) {
        out["dryRun"] = options.dryRun;
    }
    console.WriteUtf8Line(out.dump(2));
}

int Refuse(Console& console, const Options& options, const Refusal& refusal) {
    console.WriteErrorLine(refusal.message);
    WriteRefusalJson(console, options, refusal);
    return refusal.exitCode;
}

} // namespace cli

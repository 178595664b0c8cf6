#include "ChangeWording.h"
#include "Report.h"
#include "ReportParts.h"

namespace cli {
namespace {

using association::ExtensionStatus;
using nlohmann::json;
using platform::ChangeKind;

struct ChangeKindName {
    ChangeKind kind;
    const char* name;
};
constexpr ChangeKindName ChangeKindNames[] = {
    {ChangeKind::KeyCreated, "create-key"},
    {ChangeKind::ValueSet, "set-value"},
    {ChangeKind::ValueDeleted, "delete-value"},
    {ChangeKind::KeyDeleted, "delete-key"},
};

json ChangeJson(Console& console, const RegistryChange& change) {
    json entry = {{"kind", RowOf(ChangeKindNames, &ChangeKindName::kind, change.kind).name},
                  {"key", Utf8(console, change.key)}};
    if (change.kind == ChangeKind::ValueSet || change.kind == ChangeKind::ValueDeleted) {
        entry["value"] = Utf8(console, change.value);
        entry["old"] = change.before ? Utf8(console, ValueText(*change.before)) : json(nullptr);
        entry["new"] = change.after ? Utf8(console, ValueText(*change.after)) : json(nullptr);
        entry["oldType"] = change.before ? json(TypeName(change.before->type)) : json(nullptr);
        entry["newType"] = change.after ? json(TypeName(change.after->type)) : json(nullptr);
    }
    return entry;
}

void WriteChangeJson(Console& console, const ChangeReport& report) {
    const json changes = ChangesJson(console, report.changes);
    json chosen = json::array();
    for (const ExtensionStatus& status : report.chosenElsewhere) {
        chosen.push_back({{"extension", Utf8(console, status.extension)},
                          {"progId", Utf8(console, status.userChoice)}});
    }
    json out = JsonEnvelope(report.command, report.exitCode, report.reason);
    out.update(json{{"scope", ScopeName(report.scope)},
                    {"dryRun", report.dryRun},
                    {"done", report.complete && !report.dryRun},
                    {"complete", report.complete},
                    {"rightsMissing", report.rightsMissing},
                    {"changes", changes},
                    {"userChoiceElsewhere", chosen},
                    {"replaceableAllowed", SafetyJson(console, report.safety)}});
    console.WriteUtf8Line(out.dump(2));
}

} // namespace

json ChangesJson(Console& console, const std::vector<RegistryChange>& changes) {
    json entries = json::array();
    for (const RegistryChange& change : changes) {
        entries.push_back(ChangeJson(console, change));
    }
    return entries;
}

void WriteChangeReport(Console& console, const ChangeReport& report, bool json) {
    if (json) {
        WriteChangeJson(console, report);
        return;
    }
    if (report.dryRun) {
        WriteLine(console, "Dry run: nothing was changed.");
    }
    if (report.changes.empty()) {
        WriteLine(console, report.dryRun ? "Nothing would change." : "Nothing changed.");
    } else {
        WriteLine(console, report.dryRun ? std::string("To ") + report.command +
                                               ", these changes would be made:"
                                         : "Changes made:");
    }
    for (const RegistryChange& change : report.changes) {
        WriteLine(console, "  " + Describe(change));
    }
    if (!report.complete) {
        WriteLine(console, "Some changes could not be made: the associations are incomplete.");
    }
    if (report.rightsMissing) {
        WriteLine(console, "This prompt lacks the administrator rights to make them: the real run "
                           "would change nothing and exit with 4.");
    }
    if (report.safety.replaceable != association::Replaceable::No) {
        WriteLine(console,
                  "Warning: Kavrex.exe could be replaced by accounts other than "
                  "administrators (" +
                      association::ReplaceableReason(report.safety) +
                      "); --allow-replaceable-handler registers it for all users even so.");
    }
    for (const ExtensionStatus& status : report.chosenElsewhere) {
        WriteLine(console, "Note: " + association::UserChoiceNote(status) +
                               " kavrex-assoc settings opens that page.");
    }
}

} // namespace cli

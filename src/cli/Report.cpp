#include "Report.h"

#include "platform/Exception.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

namespace cli {
namespace {

using association::ExtensionStatus;
using association::Verdict;
using nlohmann::json;
using platform::ChangeKind;
using platform::RegistryChange;

struct VerdictText {
    Verdict verdict;
    const char* name; // in JSON
    const char* text; // %s: the type or ProgId that opens the extension
};
// clang-format off
constexpr VerdictText VerdictTexts[] = {
    {Verdict::OpensWithKavrex,     "opens-with-kavrex",     "opens with Kavrex"},
    {Verdict::UserChoiceOther,     "user-choice-other",
     "opens with %s, the user's own choice, which wins over every association"},
    {Verdict::AssociatedWithOther, "associated-with-other", "associated with another program: %s"},
    {Verdict::NotAssociated,       "not-associated",        "not associated"},
    {Verdict::Broken,              "broken",
     "broken: it names %s, which cannot open it (no such type, no open command, or a program "
     "file that is not there); register repairs it"},
};
// clang-format on

struct RegistrationText {
    Registration registration;
    const char* name; // in JSON
    const char* text;
};
constexpr RegistrationText RegistrationTexts[] = {
    {Registration::Complete, "complete", "complete"},
    {Registration::Absent, "absent", "absent"},
    {Registration::Incomplete, "incomplete", "incomplete; register completes it"},
    {Registration::Other, "another-program", "another program's"},
    {Registration::ReplaceableHandler, "replaceable-handler",
     "complete, but Kavrex.exe could be replaced by accounts other than administrators "
     "(--allow-replaceable-handler accepts that)"},
};

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

// The row of a table whose field holds the key; every key has one.
template <typename Row, std::size_t Rows, typename Key>
const Row& RowOf(const Row (&table)[Rows], Key Row::*field, Key key) {
    return *std::find_if(std::begin(table), std::end(table),
                         [&](const Row& row) { return row.*field == key; });
}

const VerdictText& VerdictRow(Verdict verdict) {
    return RowOf(VerdictTexts, &VerdictText::verdict, verdict);
}

const RegistrationText& RegistrationRow(Registration registration) {
    return RowOf(RegistrationTexts, &RegistrationText::registration, registration);
}

std::string VerdictLine(const ExtensionStatus& status) {
    return platform::FormatText(VerdictRow(status.verdict).text, status.openedBy) +
           (status.programUnchecked ? " (its program is not on a local fixed drive, so whether "
                                      "it is there was not checked)"
                                    : "");
}

// A line of the text report. Registry data may hold any character: control
// characters are shown as \xNN, so that no value can start a line of its own.
void WriteLine(Console& console, const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    console.WriteLine(shown);
}

json Utf8(Console& console, const std::string& ansi) {
    return console.ToUtf8(ansi);
}

json Utf8OrNull(Console& console, const std::string& ansi) {
    return ansi.empty() ? json(nullptr) : Utf8(console, ansi);
}

// What the entry's default holds when it names no type; empty when it holds none.
std::string NotATypeText(const association::ClassesEntry& entry) {
    return entry.unread     ? "(could not be read)"
           : entry.notAType ? platform::Readable(*entry.notAType) + ", which names no type"
                            : "";
}

json EntryJson(Console& console, const association::ClassesEntry& entry) {
    if (entry.typeName.empty()) {
        const std::string notAType = NotATypeText(entry);
        return notAType.empty() ? json(nullptr)
                                : json{{"type", nullptr}, {"default", Utf8(console, notAType)}};
    }
    return {{"type", Utf8(console, entry.typeName)},
            {"command", Utf8(console, entry.command)},
            {"opensKavrex", entry.opensKavrex}};
}

// A type by its name; any other value as the report shows values.
std::string GivesBackText(const Listing& listing) {
    if (!listing.givesBack) {
        return {};
    }
    return platform::TextOf(*listing.givesBack).value_or(platform::Readable(*listing.givesBack));
}

json ListingJson(Console& console, const Listing& listing) {
    return {{"defaultApps", listing.defaultApps},
            {"openWith", listing.openWith},
            {"givesBack", Utf8OrNull(console, GivesBackText(listing))}};
}

// e.g. Default apps and "Open with"; removal gives back WinArc.rar
std::string ListingText(const Listing& listing) {
    std::string text = listing.defaultApps && listing.openWith ? "Default apps and \"Open with\""
                       : listing.defaultApps                   ? "Default apps"
                       : listing.openWith                      ? "\"Open with\""
                                                               : "not listed";
    if (listing.givesBack) {
        text += "; removal gives back " + GivesBackText(listing);
    }
    return text;
}

std::string EntryText(const association::ClassesEntry& entry) {
    if (entry.typeName.empty()) {
        const std::string notAType = NotATypeText(entry);
        return notAType.empty() ? "(none)" : notAType;
    }
    return entry.typeName + " -> " + entry.command;
}

json ChangeJson(Console& console, const RegistryChange& change) {
    json entry = {{"kind", RowOf(ChangeKindNames, &ChangeKindName::kind, change.kind).name},
                  {"key", Utf8(console, change.key)}};
    if (change.kind == ChangeKind::ValueSet || change.kind == ChangeKind::ValueDeleted) {
        entry["value"] = Utf8(console, change.value);
        entry["old"] = change.before ? Utf8(console, ValueText(*change.before)) : json(nullptr);
        entry["new"] = change.after ? Utf8(console, ValueText(*change.after)) : json(nullptr);
        entry["oldType"] =
            change.before ? json(platform::TypeName(change.before->type)) : json(nullptr);
        entry["newType"] =
            change.after ? json(platform::TypeName(change.after->type)) : json(nullptr);
    }
    return entry;
}

json SafetyJson(Console& console, const association::HandlerSafety& safety) {
    if (safety.replaceable == association::Replaceable::No) {
        return nullptr;
    }
    return {{"by", association::ReplaceableName(safety.replaceable)},
            {"who", Utf8OrNull(console, safety.who)},
            {"where", Utf8(console, safety.where)}};
}

json UserJson(Console& console, const UserReport& user) {
    json extensions = json::array();
    for (const ExtensionStatus& status : user.extensions) {
        extensions.push_back({{"extension", Utf8(console, status.extension)},
                              {"verdict", VerdictRow(status.verdict).name},
                              {"openedBy", Utf8OrNull(console, status.openedBy)},
                              {"programChecked", !status.programUnchecked},
                              {"classes", EntryJson(console, status.user)},
                              {"userChoice", Utf8OrNull(console, status.userChoice)}});
    }
    return {{"sid", Utf8(console, user.sid)},
            {"name", Utf8OrNull(console, user.name)},
            {"readable", user.readable},
            {"extensions", extensions}};
}

void WriteStatusJson(Console& console, const StatusReport& report) {
    json extensions = json::array();
    for (const ExtensionReport& extension : report.extensions) {
        const ExtensionStatus& status = extension.status;
        extensions.push_back({{"extension", Utf8(console, status.extension)},
                              {"verdict", VerdictRow(status.verdict).name},
                              {"openedBy", Utf8OrNull(console, status.openedBy)},
                              {"programChecked", !status.programUnchecked},
                              {"machine", EntryJson(console, status.machine)},
                              {"user", EntryJson(console, status.user)},
                              {"userChoice", Utf8OrNull(console, status.userChoice)},
                              {"listed",
                               {{"machine", ListingJson(console, extension.machine)},
                                {"user", ListingJson(console, extension.user)}}}});
        if (extension.registration) {
            extensions.back()["registration"] = RegistrationRow(*extension.registration).name;
        }
    }
    json out = {{"handler", Utf8(console, report.handler.longPath)},
                {"replaceable", SafetyJson(console, report.safety)},
                {"extensions", extensions},
                {"exitCode", report.exitCode}};
    if (report.judged) {
        out["scope"] = ScopeName(*report.judged);
    }
    if (report.users) {
        out["users"] = json::array();
        for (const UserReport& user : *report.users) {
            out["users"].push_back(UserJson(console, user));
        }
    }
    console.WriteUtf8Line(out.dump(2));
}

void WriteChangeJson(Console& console, const ChangeReport& report) {
    const json changes = ChangesJson(console, report.changes);
    json chosen = json::array();
    for (const ExtensionStatus& status : report.chosenElsewhere) {
        chosen.push_back({{"extension", Utf8(console, status.extension)},
                          {"progId", Utf8(console, status.userChoice)}});
    }
    console.WriteUtf8Line(json{
        {"command", report.command},
        {"scope", ScopeName(report.scope)},
        {"dryRun", report.dryRun},
        {"done", report.done},
        {"rightsMissing", report.rightsMissing},
        {"changes", changes},
        {"userChoiceElsewhere", chosen},
        {"replaceableAllowed", SafetyJson(console, report.safety)},
        {"exitCode",
         report.exitCode}}.dump(2));
}

void WriteUsers(Console& console, const std::vector<UserReport>& users) {
    WriteLine(console,
              users.empty() ? "Signed-in users: none whose hive is loaded" : "Signed-in users:");
    for (const UserReport& user : users) {
        WriteLine(console, "  " + user.sid + (user.name.empty() ? "" : " (" + user.name + ")") +
                               (user.readable ? "" : ": its hive could not be read"));
        for (const ExtensionStatus& status : user.extensions) {
            WriteLine(console, "    " + status.extension + ": " + VerdictLine(status));
            WriteLine(console, "      user classes:  " + EntryText(status.user));
            WriteLine(console, "      user's choice: " +
                                   (status.userChoice.empty() ? "(none)" : status.userChoice));
        }
    }
}

} // namespace

json ChangesJson(Console& console, const std::vector<RegistryChange>& changes) {
    json entries = json::array();
    for (const RegistryChange& change : changes) {
        entries.push_back(ChangeJson(console, change));
    }
    return entries;
}

void WriteStatusReport(Console& console, const StatusReport& report, bool json) {
    if (json) {
        WriteStatusJson(console, report);
        return;
    }
    const std::string& handler = report.handler.longPath;
    WriteLine(console,
              "Kavrex: " + (handler.empty() ? "(a path the code page cannot spell)" : handler));
    WriteLine(console, report.safety.replaceable == association::Replaceable::No
                           ? "  replaceable: no, only administrators and the system can change it "
                             "and the folders on its path"
                           : "  replaceable: yes, " +
                                 association::ReplaceableReason(report.safety) +
                                 "; register --scope machine refuses it");
    for (const ExtensionReport& extension : report.extensions) {
        const ExtensionStatus& status = extension.status;
        WriteLine(console, status.extension + ": " + VerdictLine(status));
        WriteLine(console, "  machine classes: " + EntryText(status.machine));
        WriteLine(console, "  user classes:    " + EntryText(status.user));
        WriteLine(console, "  user's choice:   " +
                               (status.userChoice.empty() ? "(none)" : status.userChoice));
        WriteLine(console, "  machine listing: " + ListingText(extension.machine));
        WriteLine(console, "  user listing:    " + ListingText(extension.user));
        if (report.judged && extension.registration) {
            WriteLine(console, std::string("  registration (") + ScopeName(*report.judged) +
                                   "): " + RegistrationRow(*extension.registration).text);
        }
    }
    if (report.users) {
        WriteUsers(console, *report.users);
    }
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
        WriteLine(console, "  " + platform::Describe(change));
    }
    if (!report.done) {
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

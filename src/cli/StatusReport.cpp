#include "Report.h"
#include "ReportParts.h"

namespace cli {
namespace {

using association::ExtensionStatus;
using nlohmann::json;

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

json UserJson(Console& console, const UserReport& user) {
    json extensions = json::array();
    for (const ExtensionStatus& status : user.extensions) {
        extensions.push_back({{"extension", Utf8(console, status.extension)},
                              {"verdict", VerdictRow(status.verdict).name},
                              {"openedBy", Utf8OrNull(console, status.openedBy)},
                              {"kavrexElsewhere", Utf8OrNull(console, status.kavrexElsewhere)},
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
                              {"kavrexElsewhere", Utf8OrNull(console, status.kavrexElsewhere)},
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
    json out = JsonEnvelope("status", report.exitCode, Reason::None);
    out.update(json{{"handler", Utf8(console, report.handler.longPath)},
                    {"replaceable", SafetyJson(console, report.safety)},
                    {"extensions", extensions}});
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

} // namespace cli

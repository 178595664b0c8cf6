#include "ReportParts.h"

#include "ChangeWording.h"
#include "platform/Exception.h"

#include <cstdio>

namespace cli {
namespace {

using association::ExtensionStatus;
using association::Verdict;
using nlohmann::json;

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
    {Verdict::KavrexElsewhere,     "kavrex-elsewhere",
     "Kavrex in another folder (%s); register points it to the Kavrex.exe beside kavrex-assoc"},
};
// clang-format on

constexpr RegistrationText RegistrationTexts[] = {
    {Registration::Complete, "complete", "complete"},
    {Registration::Absent, "absent", "absent"},
    {Registration::Incomplete, "incomplete", "incomplete; register completes it"},
    {Registration::Other, "another-program", "another program's"},
    {Registration::Broken, "broken",
     "broken: its Kavrex.exe is not there; register repairs it, remove takes it back"},
    {Registration::Elsewhere, "kavrex-elsewhere",
     "Kavrex's, for a Kavrex.exe in another folder; register points it to this one"},
    {Registration::ReplaceableHandler, "replaceable-handler",
     "complete, but Kavrex.exe could be replaced by accounts other than administrators "
     "(--allow-replaceable-handler accepts that)"},
};

} // namespace

const VerdictText& VerdictRow(Verdict verdict) {
    return RowOf(VerdictTexts, &VerdictText::verdict, verdict);
}

const RegistrationText& RegistrationRow(Registration registration) {
    return RowOf(RegistrationTexts, &RegistrationText::registration, registration);
}

std::string VerdictLine(const ExtensionStatus& status) {
    const std::string& named =
        status.verdict == Verdict::KavrexElsewhere ? status.kavrexElsewhere : status.openedBy;
    return platform::FormatText(VerdictRow(status.verdict).text, named) +
           (status.programUnchecked ? " (its program is not on a local fixed drive, so whether "
                                      "it is there was not checked)"
                                    : "");
}

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

std::string NotATypeText(const association::ClassesEntry& entry) {
    return entry.unread     ? "(could not be read)"
           : entry.notAType ? Readable(*entry.notAType) + ", which names no type"
                            : "";
}

std::string GivesBackText(const Listing& listing) {
    if (!listing.givesBack) {
        return {};
    }
    return platform::TextOf(*listing.givesBack).value_or(Readable(*listing.givesBack));
}

std::string EntryText(const association::ClassesEntry& entry) {
    if (entry.typeName.empty()) {
        const std::string notAType = NotATypeText(entry);
        return notAType.empty() ? "(none)" : notAType;
    }
    return entry.typeName + " -> " + entry.command;
}

json SafetyJson(Console& console, const association::HandlerSafety& safety) {
    if (safety.replaceable == association::Replaceable::No) {
        return nullptr;
    }
    return {{"by", association::ReplaceableName(safety.replaceable)},
            {"who", Utf8OrNull(console, safety.who)},
            {"where", Utf8(console, safety.where)}};
}

} // namespace cli

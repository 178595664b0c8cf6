// What the status and change reports share: the verdicts' and registrations'
// texts, the safe way to write a line, and the JSON of a text and of the handler's safety.
#pragma once

#include "Console.h"
#include "Listing.h"
#include "association/ExtensionStatus.h"
#include "association/ReplaceableHandler.h"

#include <nlohmann/json.hpp>

#include <string>

namespace cli {

struct VerdictText {
    association::Verdict verdict;
    const char* name; // in JSON
    const char* text; // %s: the type or ProgId that opens the extension
};
struct RegistrationText {
    Registration registration;
    const char* name; // in JSON
    const char* text;
};

const VerdictText& VerdictRow(association::Verdict verdict);
const RegistrationText& RegistrationRow(Registration registration);
std::string VerdictLine(const association::ExtensionStatus& status);
// A line of the text report. Registry data may hold any character: control
// characters are shown as \xNN, so that no value can start a line of its own.
void WriteLine(Console& console, const std::string& text);
nlohmann::json Utf8(Console& console, const std::string& ansi);
nlohmann::json Utf8OrNull(Console& console, const std::string& ansi);
// What the entry's default holds when it names no type; empty when it holds none.
std::string NotATypeText(const association::ClassesEntry& entry);
// A type by its name; any other value as the report shows values.
std::string GivesBackText(const Listing& listing);
std::string EntryText(const association::ClassesEntry& entry);
nlohmann::json SafetyJson(Console& console, const association::HandlerSafety& safety);

// The row of a table whose field holds the key; every key has one.
template <typename Row, std::size_t Rows, typename Key>
const Row& RowOf(const Row (&table)[Rows], Key Row::*field, Key key) {
    return *std::find_if(std::begin(table), std::end(table),
                         [&](const Row& row) { return row.*field == key; });
}

} // namespace cli

// Why a run ended without doing all it was asked, as scripts read it: the exit
// code, one word of a fixed vocabulary (docs/json.md lists it), and the
// sentence a person reads on the error stream. With --json every run prints
// one object on standard output, refusals included.
#pragma once

#include "Console.h"

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace cli {

struct Options;

enum class Reason {
    None,
    Usage,                // 2: the command line is wrong
    ServiceAccountScope,  // 2: --scope user as a service account
    NoDesktop,            // 3: settings as a service account
    NoSettingsApp,        // 3: no Settings app answered
    RightsMissing,        // 4: the machine scope without administrator rights
    NoHandler,            // 3: no Kavrex.exe beside kavrex-assoc
    ReplaceableHandler,   // 3: refused by policy: others could replace Kavrex.exe
    TypeOfAnotherProgram, // 3: the type key is another program's
    DefaultUnreadable,    // 3: an extension's default could not be read, so not kept
    KeysUnreadable,       // 3: what changed could not be read whole
    PartlyFailed,         // 3: the registry refused some change
    FileExists,           // 3: export-defaults --output without --force
    LinkRefused,          // 3: a privileged run writes no file through a link
    WriteFailed,          // 3: the file could not be written
};

// The reason's word in JSON ("no-handler"); null for None.
nlohmann::json ReasonJson(Reason reason);

// The fields every JSON object starts with: its schema's version, the
// command, the exit code and the reason.
nlohmann::json JsonEnvelope(const char* command, int exitCode, Reason reason);

struct Refusal {
    int exitCode;
    Reason reason;
    std::string message;
};

// With --json, prints the refusal as one object on standard output.
void WriteRefusalJson(Console& console, const Options& options, const Refusal& refusal);
// Says the message on the error stream and, with --json, prints the refusal
// as one object; returns its exit code.
int Refuse(Console& console, const Options& options, const Refusal& refusal);

} // namespace cli

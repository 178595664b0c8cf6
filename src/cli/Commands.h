// kavrex-assoc's commands: what each does with the registry and what it says.
#pragma once

#include "Console.h"
#include "FileWriting.h"
#include "Scope.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryTree.h"
#include "platform/SystemApi.h"

#include <string>
#include <vector>

namespace cli {

// The exit codes, as --help and the README list them.
enum ExitCode {
    Done = 0,         // or, for status: every extension opens with Kavrex
    NotKavrex = 1,    // status: some extension does not open with Kavrex
    UsageError = 2,   // the command line is wrong
    ChangeFailed = 3, // some change could not be made; settings: no Settings app answered
    RightsMissing = 4 // the scope needs rights this account does not have
};

struct Environment {
    platform::RegistryApi& registry;
    platform::SystemApi& system;
    Console& console;
};

struct Options {
    const char* command = nullptr; // its name, as the command line gives it
    bool changes = false;          // register or remove
    std::vector<std::string> extensions;
    // --ext was given; without it status and remove also take every extension
    // that Kavrex's record for Default apps lists.
    bool extensionsGiven = false;
    Scope scope = Scope::Machine;
    bool dryRun = false;
    bool json = false;
    std::string output; // export-defaults: the file to write; empty: standard output
    bool force = false; // export-defaults: replace the file when it is there
    bool allowReplaceableHandler = false; // register --scope machine: even so
    bool scopeGiven = false;              // status: judge our registration in that scope alone
    std::string logFile;                  // the audit log to append this run's line to; empty: none
};

int Status(Environment& environment, const Options& options);
// Each adds the changes it made (none for a dry run) to made.
int Register(Environment& environment, const Options& options,
             std::vector<platform::RegistryChange>& made);
int Remove(Environment& environment, const Options& options,
           std::vector<platform::RegistryChange>& made);
int ExportDefaults(Environment& environment, const Options& options);
// How the run may write files: privileged when elevated or a service account.
FilePolicy FilePolicyOf(Environment& environment);
// Opens Default apps at Kavrex's page for the scope's registration, or at the
// general page where the system offers no other.
int OpenSettings(Environment& environment, const Options& options);

} // namespace cli

// kavrex-assoc's arguments: the commands and their options, read with CLI11.
#pragma once

#include "Commands.h"
#include "Console.h"

#include <optional>
#include <string>

namespace cli {

enum class Command { Status, Register, Remove, ExportDefaults, Settings };

// The command the arguments name, with options filled in; or, when the run
// ends with reading them, its exit code: --help and --version are done (0), a
// wrong command line is a usage error (2).
struct ParsedArguments {
    std::optional<Command> command;
    int exitCode = Done;
    std::string error; // a usage error's first line
};
// The command's name as the command line spells it, when the word is one; else null.
const char* CommandNamed(const std::string& word);

ParsedArguments ParseArguments(int argc, const char* const* argv, Console& console,
                               Options& options);

} // namespace cli

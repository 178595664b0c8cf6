// kavrex-assoc's command line: parses it and runs the command it names.
#pragma once

#include "Commands.h"

namespace cli {

// Returns the exit code; --help and --version are done (0), a wrong command
// line is a usage error (2).
int RunCommandLine(int argc, const char* const* argv, Environment& environment);

} // namespace cli

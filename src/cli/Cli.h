// kavrex-assoc's command line: parses it and runs the command it names.
#pragma once

#include "Commands.h"

namespace cli {

// Returns the exit code; --help and --version are done (0), a wrong command
// line is a usage error (2).
int RunCommandLine(int argc, const char* const* argv, Environment& environment);
// The same for the command line as Windows hands it over, in UTF-16: every
// argument must convert to the ANSI code page exactly (no best fit, no "?"),
// or it is a usage error, so that no other extension is registered than the
// one the user typed.
int RunWideCommandLine(int argc, const wchar_t* const* argv, Environment& environment);

} // namespace cli

// The program that Windows starts for a stored open command, found the way
// Windows finds it, so that "opens with Kavrex" means what the user will see.
#pragma once

#include "StoredValue.h"
#include "platform/SystemApi.h"

#include <string>

namespace association {

// The command with its environment variables (%ProgramFiles%, ...) expanded,
// as the 64-bit shell reads a REG_EXPAND_SZ value; as it is when that cannot
// be done.
std::string ExpandedCommand(platform::SystemApi& system, const std::string& command);
// A stored command as the shell reads it: expanded only when it is REG_EXPAND_SZ.
std::string ExpandedCommand(platform::SystemApi& system, const StoredText& command);

// Whether a path may be looked up: a full path on a local fixed drive. A
// share (\\host\share), a device path (\\.\, \\?\ but for a drive's, \??\) or a
// network or removable drive is not, since a lookup there has the machine
// reach out to whatever host the command's writer named.
bool OnLocalFixedDrive(platform::SystemApi& system, const std::string& path);

// The program the command starts: for a quoted one, the text inside the quotes
// (empty without a closing quote); for an unquoted one, as CreateProcess
// documents, the first file that exists among the prefixes that end at a
// space, from the shortest, each with ".exe" added when its name has no
// extension; empty when none exists. Only paths on local fixed drives are
// looked up.
std::string StartedProgram(platform::SystemApi& system, const std::string& command);

} // namespace association

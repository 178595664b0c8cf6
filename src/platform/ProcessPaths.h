// The running program's path and the platform's short form of paths.
#pragma once

#include "SystemApi.h"

#include <string>

namespace platform {

// The full path of the current process's executable.
std::string RunningProgramPath(SystemApi& system);
// Up to and including the last "\" or ":"; the file name part is the rest.
std::string DirectoryPart(const std::string& path);
std::string FileNamePart(const std::string& path);
// The 8.3 short form of an existing file's path, obtained into a 256-byte
// buffer; the long path itself when no short form can be had.
std::string ShortPath(SystemApi& system, const std::string& longPath);

} // namespace platform

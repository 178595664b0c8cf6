// The running program's path, the platform's short form of paths, and their
// spelling in the ANSI code page that the registry's 8-bit calls speak.
#pragma once

#include "SystemApi.h"

#include <optional>
#include <string>

namespace platform {

// The full path of the current process's executable.
std::wstring RunningProgramPath(SystemApi& system);
// Up to and including the last "\" or ":"; the file name part is the rest.
std::wstring DirectoryPart(const std::wstring& path);
std::wstring FileNamePart(const std::wstring& path);
// The path without the "\\?\" that long paths and final paths begin with; a
// share's "\\?\UNC\server\share" becomes "\\server\share".
std::wstring WithoutLongPathPrefix(const std::wstring& path);
// The 8.3 short form of an existing file's path, obtained into a buffer of 256
// characters; the long path itself when no short form can be had.
std::wstring ShortPath(SystemApi& system, const std::wstring& longPath);
// The text in the ANSI code page when every character converts exactly (no
// default character, no best fit); none otherwise.
std::optional<std::string> ToAnsi(SystemApi& system, const std::wstring& text);
// ANSI text as Windows reads it; empty when it is not text of the code page.
std::wstring FromAnsi(SystemApi& system, const std::string& text);

} // namespace platform

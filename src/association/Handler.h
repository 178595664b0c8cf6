// The handler program, Kavrex.exe beside the running program, and whether a
// stored open command names it.
#pragma once

#include "platform/SystemApi.h"

#include <optional>
#include <string>

namespace association {

constexpr const wchar_t* HandlerFileName = L"Kavrex.exe";
// The handler's name as Default apps and "Open with" list it, and what
// Default apps says of it.
constexpr const char* ApplicationName = "Kavrex";
constexpr const char* ApplicationDescription = "Opens and extracts archives.";

// The dialog's program file. The dialog's type name is its base name (the
// "[Appname]" placeholder resolved for the running program); the command line
// registers that same type by name, so that either program can check and take
// back what the other wrote.
constexpr const char* DialogProgramFile = "KavrexAssoc.exe";
std::string DialogTypeName();

// The handler as the registry may name it: its short and its long path, each
// empty when the ANSI code page cannot spell it; and whether it is there.
struct Handler {
    std::string shortPath;
    std::string longPath;
    bool exists = false;
};

std::wstring HandlerPathBesideProgram(platform::SystemApi& system);
Handler HandlerBesideProgram(platform::SystemApi& system);
// The running program, named the same ways: what the component's own check,
// IsAssociated, finds in the commands it calls ours.
Handler RunningProgramNames(platform::SystemApi& system);

// Whether the program that the open command starts is the handler, by either
// path. Windows compares paths without regard to letter case.
bool OpensHandler(platform::SystemApi& system, const std::string& command, const Handler& handler);

// A Kavrex.exe that an open command starts from another folder than the
// handler's: an earlier install, a copy moved, an upgrade into a new folder.
struct KavrexElsewhere {
    std::string path;
    // Whether its file is there; a path off the local fixed drives, which is
    // never looked up, counts as there.
    bool exists = false;
};
// None when the command starts the handler itself or a program of another name.
std::optional<KavrexElsewhere> KavrexInAnotherFolder(platform::SystemApi& system,
                                                     const std::string& command,
                                                     const Handler& handler);

} // namespace association

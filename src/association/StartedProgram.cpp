#include "StartedProgram.h"

#include "AssociationLayout.h"
#include "platform/RegistryNames.h"

#include <vector>

namespace association {
namespace {

bool Exists(platform::SystemApi& system, const std::string& path) {
    return OnLocalFixedDrive(system, path) &&
           system.GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The text with its variables expanded; as it is when that cannot be done.
std::string Expanded(platform::SystemApi& system, const std::string& text) {
    const DWORD needed = system.ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0) {
        return text;
    }
    std::vector<char> expanded(needed);
    if (system.ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed) != needed) {
        return text;
    }
    return expanded.data();
}

// The variables as the 64-bit shell expands them. A 32-bit process on 64-bit
// Windows has %ProgramFiles% and %CommonProgramFiles% name the x86 folders, and
// %ProgramW6432% and %CommonProgramW6432% the others ("WOW64 Implementation
// Details"); where those are not set (32-bit Windows), there is one folder.
std::string AsTheShellReadsIt(platform::SystemApi& system, std::string command) {
    const struct {
        const char* variable;
        const char* native;
    } folders[] = {{"%ProgramFiles%", "%ProgramW6432%"},
                   {"%CommonProgramFiles%", "%CommonProgramW6432%"}};
    for (const auto& folder : folders) {
        if (Expanded(system, folder.native) == folder.native) {
            continue; // not set: left as it is
        }
        const std::string wanted = platform::FoldedName(folder.variable);
        for (auto at = platform::FoldedName(command).find(wanted); at != std::string::npos;
             at = platform::FoldedName(command).find(wanted, at + 1)) {
            command.replace(at, wanted.size(), folder.native);
        }
    }
    return command;
}

std::string WithExeWhenBare(const std::string& path) {
    const auto name = path.find_last_of("\\:");
    const bool hasExtension =
        path.find('.', name == std::string::npos ? 0 : name + 1) != std::string::npos;
    return hasExtension ? path : path + ".exe";
}

} // namespace

bool OnLocalFixedDrive(platform::SystemApi& system, const std::string& path) {
    const std::string longPathPrefix = "\\\\?\\";
    const std::string local =
        path.rfind(longPathPrefix, 0) == 0 ? path.substr(longPathPrefix.size()) : path;
    if (local.size() < 3 || !IsDriveLetter(local[0]) || local[1] != ':' || local[2] != '\\') {
        return false;
    }
    const wchar_t root[] = {static_cast<wchar_t>(local[0]), L':', L'\\', L'\0'};
    return system.GetDriveTypeW(root) == DRIVE_FIXED;
}

std::string ExpandedCommand(platform::SystemApi& system, const std::string& stored) {
    return Expanded(system, AsTheShellReadsIt(system, stored));
}

std::string ExpandedCommand(platform::SystemApi& system, const StoredText& command) {
    return command.expandable ? ExpandedCommand(system, command.text) : command.text;
}

std::string StartedProgram(platform::SystemApi& system, const std::string& command) {
    if (!command.empty() && command.front() == '"') {
        return ProgramOfCommand(command);
    }
    for (auto space = command.find(' ');; space = command.find(' ', space + 1)) {
        std::string candidate = WithExeWhenBare(command.substr(0, space));
        if (Exists(system, candidate)) {
            return candidate;
        }
        if (space == std::string::npos) {
            return {};
        }
    }
}

} // namespace association

#include "StartedProgram.h"

#include "AssociationLayout.h"

#include <vector>

namespace association {
namespace {

bool Exists(platform::SystemApi& system, const std::string& path) {
    return system.GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string WithExeWhenBare(const std::string& path) {
    const auto name = path.find_last_of("\\:");
    const bool hasExtension =
        path.find('.', name == std::string::npos ? 0 : name + 1) != std::string::npos;
    return hasExtension ? path : path + ".exe";
}

} // namespace

std::string ExpandedCommand(platform::SystemApi& system, const std::string& command) {
    const DWORD needed = system.ExpandEnvironmentStringsA(command.c_str(), nullptr, 0);
    if (needed == 0) {
        return command;
    }
    std::vector<char> expanded(needed);
    if (system.ExpandEnvironmentStringsA(command.c_str(), expanded.data(), needed) != needed) {
        return command;
    }
    return expanded.data();
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

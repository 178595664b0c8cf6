#include "Handler.h"

#include "Placeholders.h"
#include "StartedProgram.h"
#include "platform/ProcessPaths.h"
#include "platform/RegistryNames.h"

namespace association {

std::string DialogTypeName() {
    return BaseName(std::string(DialogProgramFile));
}

std::wstring HandlerPathBesideProgram(platform::SystemApi& system) {
    return platform::DirectoryPart(platform::RunningProgramPath(system)) + HandlerFileName;
}

Handler HandlerBesideProgram(platform::SystemApi& system) {
    const std::wstring path = HandlerPathBesideProgram(system);
    return {platform::ToAnsi(system, platform::ShortPath(system, path)).value_or(""),
            platform::ToAnsi(system, path).value_or(""),
            system.GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES};
}

bool OpensHandler(platform::SystemApi& system, const std::string& command, const Handler& handler) {
    const std::string program = StartedProgram(system, command);
    return !program.empty() && (platform::SameName(program, handler.shortPath) ||
                                platform::SameName(program, handler.longPath));
}

} // namespace association

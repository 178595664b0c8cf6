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

namespace {

Handler Named(platform::SystemApi& system, const std::wstring& path, const std::wstring& shortPath,
              bool exists) {
    return {platform::ToAnsi(system, shortPath).value_or(""),
            platform::ToAnsi(system, path).value_or(""), exists};
}

} // namespace

Handler HandlerBesideProgram(platform::SystemApi& system) {
    const std::wstring path = HandlerPathBesideProgram(system);
    const bool exists = system.GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    // A handler deleted since it was registered is still named by its folder's
    // short path (its own name is a short one), so that removal knows our type.
    std::wstring folder = platform::DirectoryPart(path);
    folder.pop_back();
    return Named(system, path,
                 exists ? platform::ShortPath(system, path)
                        : platform::ShortPath(system, folder) + L"\\" + HandlerFileName,
                 exists);
}

Handler RunningProgramNames(platform::SystemApi& system) {
    const std::wstring path = platform::RunningProgramPath(system);
    return Named(system, path, platform::ShortPath(system, path), true);
}

std::optional<KavrexElsewhere> KavrexInAnotherFolder(platform::SystemApi& system,
                                                     const std::string& command,
                                                     const Handler& handler) {
    const std::string program = StartedProgram(system, command);
    const std::wstring name = HandlerFileName; // ASCII
    const std::string fileName = program.substr(program.find_last_of("\\:") + 1);
    // From a drive's root or a share's: a relative path starts nothing of its own.
    const bool fullPath = program.rfind("\\\\", 0) == 0 ||
                          (program.size() > 2 && program[1] == ':' && program[2] == '\\');
    if (!fullPath || OpensHandler(system, command, handler) ||
        !platform::SameName(fileName, std::string(name.begin(), name.end()))) {
        return std::nullopt;
    }
    return KavrexElsewhere{program, !OnLocalFixedDrive(system, program) ||
                                        system.GetFileAttributesA(program.c_str()) !=
                                            INVALID_FILE_ATTRIBUTES};
}

bool OpensHandler(platform::SystemApi& system, const std::string& command, const Handler& handler) {
    const std::string program = StartedProgram(system, command);
    return !program.empty() && (platform::SameName(program, handler.shortPath) ||
                                platform::SameName(program, handler.longPath));
}

} // namespace association

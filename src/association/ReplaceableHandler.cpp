#include "ReplaceableHandler.h"

#include "Handler.h"
#include "platform/Exception.h"
#include "platform/FileSecurity.h"
#include "platform/ProcessPaths.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace association {
namespace {

using namespace platform;

// The rights that let an account put another program in the handler's place:
// - on the file: write its data, delete it (and so rename it), or change its
//   access list or owner, which gives it every other right;
// - on its folder: the same, and add files (a library the handler loads from
//   its folder, or a "Kavrex.exe.local" redirection folder) or delete them;
// - on each folder above: PathFolderRights.

struct ReasonText {
    Replaceable replaceable;
    const char* name; // in JSON
    const char* text; // %1: who; %2: where
};
constexpr ReasonText ReasonTexts[] = {
    {Replaceable::ByFileRights, "file", "%1 may change or delete %2"},
    {Replaceable::ByFolderRights, "folder", "%1 may add or delete files in %2"},
    {Replaceable::ByPathFolderRights, "folder-on-path",
     "%1 may rename or delete %2, a folder on its path"},
    {Replaceable::ByOwner, "owner", "%1 owns %2 and may change who has access to it"},
    {Replaceable::Unreadable, "unreadable", "who may change %2 could not be read"},
    {Replaceable::OnShare, "share",
     "%2 is on a network share, which accounts of other machines may change"},
};

struct Level {
    std::wstring path;
    std::uint32_t rights; // those that count there
    Replaceable through;
};

HandlerSafety At(SystemApi& system, const Level& level, Replaceable replaceable,
                 const std::string& who = "") {
    return {replaceable, who,
            ToAnsi(system, level.path).value_or("a folder whose name this code page cannot spell")};
}

// A level's owner and access list: as it is named, a link judged itself and
// not followed; or, on the path the file resolves to, the object's own.
std::optional<FileSecurity> SecurityOf(SystemApi& system, const std::wstring& path, bool asNamed) {
    std::wstring text;
    if (asNamed) {
        FileFacts facts;
        if (!system.GetFileFacts(path.c_str(), true, facts) || facts.security.empty()) {
            return std::nullopt;
        }
        text = facts.security;
    } else if (!system.GetFileSecurityText(path.c_str(), text)) {
        return std::nullopt;
    }
    return ParseSecurityText(text);
}

HandlerSafety CheckLevel(SystemApi& system, const Level& level, bool asNamed) {
    const std::optional<FileSecurity> security = SecurityOf(system, level.path, asNamed);
    if (!security) {
        return At(system, level, Replaceable::Unreadable);
    }
    const std::optional<Exposure> exposure = ExposedTo(*security, level.rights);
    if (exposure) {
        return At(system, level, exposure->byOwner ? Replaceable::ByOwner : level.through,
                  exposure->who);
    }
    return {};
}

// The file where it is there, its folder, and each folder above to the root.
std::vector<Level> Levels(SystemApi& system, const std::wstring& file) {
    std::vector<Level> levels;
    if (system.GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
        levels.push_back({file, FileRights, Replaceable::ByFileRights});
    }
    for (std::wstring path = file; path.size() > 3;) {
        path = DirectoryPart(path);
        if (path.size() > 3) {
            path.pop_back(); // a folder is named without its last "\", a root with it
        }
        const bool first = levels.empty() || levels.back().path == file;
        levels.push_back({path, first ? FolderRights : PathFolderRights,
                          first ? Replaceable::ByFolderRights : Replaceable::ByPathFolderRights});
    }
    return levels;
}

bool OnDriveLetter(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
}

const ReasonText& ReasonRow(Replaceable replaceable) {
    return *std::find_if(std::begin(ReasonTexts), std::end(ReasonTexts),
                         [&](const ReasonText& row) { return row.replaceable == replaceable; });
}

// The path the file really resolves to, junctions and links on the way
// followed; as given where it cannot be opened (a file not there yet).
std::wstring FinalPath(SystemApi& system, const std::wstring& path) {
    FileFacts facts;
    return system.GetFileFacts(path.c_str(), false, facts) && !facts.finalPath.empty()
               ? WithoutLongPathPrefix(facts.finalPath)
               : path;
}

// A path that no local drive holds: a share's \\server\name, a network drive,
// or no path at all.
std::optional<HandlerSafety> OffLocalDrives(SystemApi& system, const std::wstring& path) {
    const Level whole{path, 0, Replaceable::No};
    if (!OnDriveLetter(path)) {
        return At(system, whole,
                  path.rfind(L"\\\\", 0) == 0 ? Replaceable::OnShare : Replaceable::Unreadable);
    }
    if (system.GetDriveTypeW(path.substr(0, 3).c_str()) == DRIVE_REMOTE) {
        return At(system, whole, Replaceable::OnShare);
    }
    return std::nullopt;
}

} // namespace

// The path as given is judged a share before anything there is opened. Then
// each level of it as it is named, since the registry names that path: a
// junction that a user could swap counts as the folder it stands in. Then the
// path the file really resolves to, and each folder above that one.
HandlerSafety CheckHandlerSafety(SystemApi& system, const std::wstring& handlerPath) {
    const std::wstring given = WithoutLongPathPrefix(handlerPath);
    if (const auto offLocal = OffLocalDrives(system, given)) {
        return *offLocal;
    }
    const std::wstring path = FinalPath(system, given);
    if (const auto offLocal = OffLocalDrives(system, path)) {
        return *offLocal;
    }
    for (const bool asNamed : {true, false}) {
        if (!asNamed && path == given) {
            break; // no link on the way: the same objects
        }
        for (const Level& level : Levels(system, asNamed ? given : path)) {
            HandlerSafety safety = CheckLevel(system, level, asNamed);
            if (safety.replaceable != Replaceable::No) {
                return safety;
            }
        }
    }
    return {};
}

HandlerSafety HandlerSafetyBesideProgram(SystemApi& system) {
    return CheckHandlerSafety(system, HandlerPathBesideProgram(system));
}

std::string ReplaceableReason(const HandlerSafety& safety) {
    return FilledText(ReasonRow(safety.replaceable).text, {safety.who, safety.where});
}

const char* ReplaceableName(Replaceable replaceable) {
    return ReasonRow(replaceable).name;
}

} // namespace association

// Whether accounts other than the machine's administrators could replace the
// handler: a registration for all users has every account, administrators
// included, run whatever file then sits at its path.
#pragma once

#include "platform/FileSecurity.h"
#include "platform/SystemApi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace association {

enum class Replaceable {
    No,
    ByFileRights,       // they may change or delete the file itself
    ByFolderRights,     // they may add or delete files in its folder
    ByPathFolderRights, // they may rename or delete a folder on its path
    ByOwner,            // they own the file or a folder, and so may change its access list
    Unreadable,         // who may change it could not be read: it counts as replaceable
    OnShare,            // a network share, which other machines' accounts may change
};

struct HandlerSafety {
    Replaceable replaceable = Replaceable::No;
    std::string who;   // a group's name or "the account S-1-…"; empty where unknown
    std::string where; // the file or folder, in the ANSI code page
};

HandlerSafety CheckHandlerSafety(platform::SystemApi& system, const std::wstring& handlerPath);
// The handler beside the running program, which both programs register.
HandlerSafety HandlerSafetyBesideProgram(platform::SystemApi& system);

// What could replace it, as a clause: "Users may add or delete files in C:\Kavrex".
std::string ReplaceableReason(const HandlerSafety& safety);
// Its name in JSON: "file", "folder", "folder-on-path", "owner", "unreadable", "share".
const char* ReplaceableName(Replaceable replaceable);

} // namespace association

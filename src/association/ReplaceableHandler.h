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

// The rights that let an account put other bytes in a file's place: write
// its data, delete it (and so rename it), or change its access list or owner,
// which gives it every other right; in a folder also add files or delete them.
constexpr std::uint32_t TakeOver =
    platform::DeleteItself | platform::WriteAccessList | platform::WriteOwner;
constexpr std::uint32_t FileRights = platform::WriteData | platform::AppendData | TakeOver;
constexpr std::uint32_t FolderRights =
    platform::WriteData | platform::AppendData | platform::DeleteChild | TakeOver;
// On each folder above: delete or rename a folder on the path, or what it
// holds, or change its access list or owner. Adding an entry there changes
// nothing on the path, since no new entry can take a name already taken; so
// the right that Windows gives every authenticated user to make folders at the
// root of a drive does not count for a folder made by an installer.
constexpr std::uint32_t PathFolderRights = platform::DeleteChild | TakeOver;

// Who other than the accounts trusted with the machine (Administrators, SYSTEM,
// TrustedInstaller) and those given may use one of the rights on the object,
// or owns it and so may give them to itself.
struct Exposure {
    bool byOwner;
    std::string who; // a group's name or "the account S-1-…"
};
std::optional<Exposure> ExposedTo(const platform::FileSecurity& security, std::uint32_t rights,
                                  const std::vector<std::string>& alsoTrusted = {});

HandlerSafety CheckHandlerSafety(platform::SystemApi& system, const std::wstring& handlerPath);
// The handler beside the running program, which both programs register.
HandlerSafety HandlerSafetyBesideProgram(platform::SystemApi& system);

// What could replace it, as a clause: "Users may add or delete files in C:\Kavrex".
std::string ReplaceableReason(const HandlerSafety& safety);
// Its name in JSON: "file", "folder", "folder-on-path", "owner", "unreadable", "share".
const char* ReplaceableName(Replaceable replaceable);

} // namespace association

// Whether our registration of one extension is whole in one hive alone, read
// row by row from the layout table, as registering writes it: no user's choice
// and no other hive counts. What deployment tools' detection asks.
#pragma once

#include "AssociationLayout.h"
#include "Handler.h"
#include "platform/RegistryApi.h"
#include "platform/SystemApi.h"

namespace association {

enum class Registration {
    Complete,   // every judged row holds what registering writes
    Absent,     // nothing of the extension's own is ours, and no other program's type
    Incomplete, // some of ours is there, not all, and no other program's type
    Other,      // the extension names another program's type
    // Ours, but its command starts a Kavrex.exe that is not there (uninstalled).
    Broken,
    // Ours, but its command starts a Kavrex.exe in another folder: an earlier
    // install, or a copy moved since. Registering points it to this one.
    Elsewhere,
    // Complete for all users, with a Kavrex.exe that others could replace:
    // the command line's verdict, never this judge's.
    ReplaceableHandler
};

// Reads with read rights only, below the hive's own root (HKEY_LOCAL_MACHINE
// or HKEY_CURRENT_USER), the classes as its Software\Classes.
Registration JudgeRegistration(platform::RegistryApi& registry, platform::SystemApi& system,
                               HKEY hive, const AssociationKeys& keys, const Handler& handler);

} // namespace association

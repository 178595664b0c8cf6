// Whose a type key is. The type's name comes from the dialog's own file name,
// which whoever copies the dialog chooses: renamed txtfile.exe, it would name
// the type that opens every text file. So registering writes into a type key,
// and removing takes one away, only when it is ours.
#pragma once

#include "AssociationLayout.h"
#include "Handler.h"
#include "platform/RegistryApi.h"
#include "platform/SystemApi.h"

namespace association {

enum class TypeOwner {
    Absent, // no such key
    Ours,   // its command starts the handler (or the running program), or it holds only our rows
    // Its command starts a Kavrex.exe in another folder, and it holds only our
    // rows: Kavrex's own, from an earlier install or a copy moved since.
    OursElsewhere,
    Another, // anything else: another program's
    Unknown, // the registry refused to tell: treated as another's
};

// Reads the type key below HKEY_CLASSES_ROOT. Ours when its open command starts
// the handler (by its short or long path, without regard to case) or the
// running program, as the component's own check compares it, or, with no
// command, when every key and value in it is one our layout writes there, its
// default, if any, is our description and its icon, if any, the handler's:
// what a run of ours stopped midway leaves.
// Ours from elsewhere when its command starts a Kavrex.exe in another folder
// and every key and value in it is one our layout writes there.
TypeOwner OwnerOfType(platform::RegistryApi& registry, platform::SystemApi& system,
                      const AssociationKeys& keys, const Handler& handler,
                      const std::string& description);

// Whether registering may write into the type key and removing take it away.
inline bool MayTakeType(TypeOwner owner) {
    return owner == TypeOwner::Absent || owner == TypeOwner::Ours ||
           owner == TypeOwner::OursElsewhere;
}

} // namespace association

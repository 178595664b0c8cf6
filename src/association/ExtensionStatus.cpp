#include "ExtensionStatus.h"

#include "AssociationLayout.h"
#include "platform/Registry.h"
#include "platform/RegistryNames.h"

namespace association {
namespace {

using platform::ClassesPath;
using platform::JoinPath;

// A value (the default one unless named) of the key below the root; empty when
// it is not there or not text.
std::string TextValue(platform::RegistryApi& registry, HKEY root, const std::string& key,
                      const std::string& name = "") {
    platform::TRegistry reader(registry, KEY_READ);
    reader.SetRoot(root);
    std::string text;
    if (reader.OpenPathStatus("\\" + key, false) != ERROR_SUCCESS ||
        reader.ReadTextStatus(name, text) != ERROR_SUCCESS) {
        return {};
    }
    return text;
}

// The open command of a type: the user's classes win over the machine's.
std::string MergedCommand(platform::RegistryApi& registry, const std::string& typeName) {
    const std::string key = JoinPath(ClassesPath, LayoutKey(KeyRole::Command, {"", typeName}));
    const std::string user = TextValue(registry, HKEY_CURRENT_USER, key);
    return user.empty() ? TextValue(registry, HKEY_LOCAL_MACHINE, key) : user;
}

ClassesEntry ReadEntry(platform::RegistryApi& registry, HKEY root, const std::string& extension,
                       const Handler& handler) {
    ClassesEntry entry;
    const AssociationKeys keys{extension, ""};
    entry.typeName =
        TextValue(registry, root, JoinPath(ClassesPath, LayoutKey(KeyRole::Extension, keys)));
    if (!entry.typeName.empty()) {
        entry.command = TextValue(
            registry, root,
            JoinPath(ClassesPath, LayoutKey(KeyRole::Command, {extension, entry.typeName})));
        entry.opensKavrex = OpensHandler(entry.command, handler);
    }
    return entry;
}

} // namespace

std::string UserChoiceKey(const std::string& extension) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\" + extension +
           "\\UserChoice";
}

std::string UserChoiceProgId(platform::RegistryApi& registry, const std::string& extension) {
    return TextValue(registry, HKEY_CURRENT_USER, UserChoiceKey(extension), "ProgId");
}

ExtensionStatus QueryStatus(platform::RegistryApi& registry, const std::string& extension,
                            const Handler& handler) {
    ExtensionStatus status{extension,
                           ReadEntry(registry, HKEY_LOCAL_MACHINE, extension, handler),
                           ReadEntry(registry, HKEY_CURRENT_USER, extension, handler),
                           UserChoiceProgId(registry, extension),
                           Verdict::NotAssociated,
                           {}};
    // What Windows opens: the user's choice, else the merged classes' type.
    const std::string classesType =
        status.user.typeName.empty() ? status.machine.typeName : status.user.typeName;
    const std::string opener = status.userChoice.empty() ? classesType : status.userChoice;
    if (opener.empty()) {
        return status;
    }
    if (OpensHandler(MergedCommand(registry, opener), handler)) {
        status.verdict = Verdict::OpensWithKavrex;
        return status;
    }
    status.verdict =
        status.userChoice.empty() ? Verdict::AssociatedWithOther : Verdict::UserChoiceOther;
    status.openedBy = opener;
    return status;
}

} // namespace association

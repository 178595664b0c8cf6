#include "ExtensionStatus.h"

#include "AssociationLayout.h"
#include "StartedProgram.h"
#include "StoredValue.h"
#include "platform/Registry.h"
#include "platform/RegistryNames.h"

namespace association {
namespace {

using platform::ClassesKey;

std::string TextValue(platform::RegistryApi& registry, HKEY root, const std::string& key,
                      const std::string& name = "") {
    return ReadStored(registry, root, key, name).text;
}

// Whether Windows, reading the stored command, would start the handler.
bool Opens(platform::SystemApi& system, const StoredText& command, const Handler& handler) {
    return OpensHandler(system, ExpandedCommand(system, command), handler);
}

// The default value of a classes key as HKEY_CLASSES_ROOT shows it, key by key.
// Where the user's classes hold the key, that key alone is read: the machine's
// key is not, not even for a value that the user's key lacks ("Merged View of
// HKEY_CLASSES_ROOT": the merged view does not include the machine's contents
// of a key the user's classes also hold, learn.microsoft.com/windows/win32/
// sysinfo/merged-view-of-hkey-classes-root; and REG_SAVE_MERGED_KEY_INFORMATION:
// of a key present in both trees the higher one's prevails, key by key).
// Elsewhere the machine's key is read.
StoredText MergedText(platform::RegistryApi& registry, const std::string& key,
                      const std::string& name = "") {
    const std::string path = ClassesKey(key);
    const StoredText user = ReadStored(registry, HKEY_CURRENT_USER, path, name);
    return user.keyFound ? user : ReadStored(registry, HKEY_LOCAL_MACHINE, path, name);
}

// Whether the program file a command names from a root is there, as
// Windows would start it from there. A command that names it without a folder
// is Sound: Windows looks for it along its search path. One outside the local
// fixed drives is not looked up at all.
enum class Soundness { Sound, Broken, Unchecked };

Soundness ProgramSoundness(platform::SystemApi& system, const std::string& command) {
    const std::string unquoted = command.substr(command.rfind('"', 0) == 0 ? 1 : 0);
    // From a root: a drive's, a share's, or a device's (\\.\, \??\).
    const bool fullPath = unquoted.rfind('\\', 0) == 0 ||
                          (unquoted.size() > 2 && unquoted[1] == ':' && unquoted[2] == '\\');
    if (!fullPath) {
        return Soundness::Sound;
    }
    if (!OnLocalFixedDrive(system, unquoted)) {
        return Soundness::Unchecked;
    }
    const std::string program = StartedProgram(system, command);
    const DWORD attributes =
        program.empty() ? INVALID_FILE_ATTRIBUTES : system.GetFileAttributesA(program.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES              ? Soundness::Broken
           : (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? Soundness::Unchecked
                                                              : Soundness::Sound;
}

// Whether the type can open a file: Broken when its key is not there, it has
// no open command (nor a DelegateExecute handler, nor another verb), or the
// command names a program file that is not there.
Soundness TypeSoundness(platform::RegistryApi& registry, platform::SystemApi& system,
                        const std::string& type) {
    if (!MergedText(registry, type).keyFound) {
        return Soundness::Broken;
    }
    const std::string commandKey = LayoutKey(KeyRole::Command, {"", type, ""});
    const StoredText command = MergedText(registry, commandKey);
    if (command.ValueFound()) {
        return ProgramSoundness(system, ExpandedCommand(system, command));
    }
    if (MergedText(registry, commandKey, "DelegateExecute").ValueFound()) {
        return Soundness::Sound;
    }
    const std::string verbs = platform::ParentPath(platform::ParentPath(commandKey));
    const std::optional<DWORD> count = SubkeyCount(registry, HKEY_CURRENT_USER, ClassesKey(verbs));
    const std::optional<DWORD> machine =
        SubkeyCount(registry, HKEY_LOCAL_MACHINE, ClassesKey(verbs));
    const DWORD open = MergedText(registry, platform::ParentPath(commandKey)).keyFound ? 1 : 0;
    return count.value_or(0) <= open && machine.value_or(0) <= open ? Soundness::Broken
                                                                    : Soundness::Sound;
}

ClassesEntry ReadEntry(platform::RegistryApi& registry, platform::SystemApi& system, HKEY root,
                       const std::string& extension, const Handler& handler) {
    ClassesEntry entry;
    const AssociationKeys keys{extension, "", ""};
    const StoredText type =
        ReadStored(registry, root, ClassesKey(LayoutKey(KeyRole::Extension, keys)));
    entry.typeName = type.text;
    entry.unread = !type.Known();
    if (type.status == ERROR_INVALID_DATATYPE) {
        entry.notAType = type.value;
    }
    if (!entry.typeName.empty()) {
        const StoredText command =
            ReadStored(registry, root,
                       ClassesKey(LayoutKey(KeyRole::Command, {extension, entry.typeName, ""})));
        entry.command = command.text;
        entry.opensKavrex = Opens(system, command, handler);
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

ExtensionStatus QueryStatus(platform::RegistryApi& registry, platform::SystemApi& system,
                            const std::string& extension, const Handler& handler) {
    ExtensionStatus status{extension,
                           ReadEntry(registry, system, HKEY_LOCAL_MACHINE, extension, handler),
                           ReadEntry(registry, system, HKEY_CURRENT_USER, extension, handler),
                           UserChoiceProgId(registry, extension),
                           Verdict::NotAssociated,
                           {},
                           {}};
    // What Windows opens: the user's choice, else the merged classes' type.
    const std::string classesType =
        MergedText(registry, LayoutKey(KeyRole::Extension, {extension, "", ""})).text;
    const std::string opener = status.userChoice.empty() ? classesType : status.userChoice;
    if (opener.empty()) {
        return status;
    }
    const StoredText command = MergedText(registry, LayoutKey(KeyRole::Command, {"", opener, ""}));
    // A handler that is gone (Kavrex uninstalled) opens nothing.
    if (Opens(system, command, handler) && handler.exists) {
        status.verdict = Verdict::OpensWithKavrex;
        return status;
    }
    const Soundness soundness =
        status.userChoice.empty() ? TypeSoundness(registry, system, opener) : Soundness::Sound;
    const std::optional<KavrexElsewhere> elsewhere =
        KavrexInAnotherFolder(system, ExpandedCommand(system, command), handler);
    status.verdict = !status.userChoice.empty()       ? Verdict::UserChoiceOther
                     : soundness == Soundness::Broken ? Verdict::Broken
                     : elsewhere                      ? Verdict::KavrexElsewhere
                                                      : Verdict::AssociatedWithOther;
    status.programUnchecked = soundness == Soundness::Unchecked;
    status.openedBy = opener;
    if (status.verdict == Verdict::KavrexElsewhere) {
        status.kavrexElsewhere = elsewhere->path;
    }
    return status;
}

std::vector<ExtensionStatus> ChosenElsewhere(platform::RegistryApi& registry,
                                             platform::SystemApi& system,
                                             const std::vector<std::string>& extensions) {
    const Handler handler = HandlerBesideProgram(system);
    std::vector<ExtensionStatus> chosen;
    for (const std::string& extension : extensions) {
        ExtensionStatus status = QueryStatus(registry, system, extension, handler);
        if (status.verdict == Verdict::UserChoiceOther) {
            chosen.push_back(std::move(status));
        }
    }
    return chosen;
}

std::string UserChoiceNote(const ExtensionStatus& status) {
    return status.extension + " files still open with " + status.openedBy +
           ", because that is your choice in Windows. To open them with Kavrex, choose it in "
           "Settings > Apps > Default apps.";
}

} // namespace association

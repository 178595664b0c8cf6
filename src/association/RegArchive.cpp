#include "RegArchive.h"

#include "AssociationLayout.h"
#include "Handler.h"
#include "KeptValue.h"
#include "LayoutWriter.h"
#include "Placeholders.h"
#include "Removal.h"
#include "StoredValue.h"
#include "TypeOwner.h"
#include "platform/ProcessPaths.h"

namespace association {

Platform SystemPlatform() {
    return {platform::SystemRegistry(), platform::SystemServices()};
}

TRegArchive::TRegArchive(TComponent* owner, Platform platform)
    : TComponent(owner), platform_(platform), arcExtensions_(DefaultArchiveExtensionList()) {}

void TRegArchive::Loaded() {
    TComponent::Loaded();
    if (ActivateOnStartup) {
        Associate();
    }
}

void TRegArchive::SetArcExtensions(const TStringList& extensions) {
    arcExtensions_ = WithoutExeExtensions(extensions);
}

std::string TRegArchive::ExtDescription() const {
    return ReadBackValue(TypeNameProperty, extDescription_);
}

void TRegArchive::SetExtDescription(const std::string& value) {
    extDescription_ = StoredValue(TypeNameProperty, value);
}

std::string TRegArchive::FileDescription() const {
    return ReadBackValue(DescriptionProperty, fileDescription_);
}

void TRegArchive::SetFileDescription(const std::string& value) {
    fileDescription_ = StoredValue(DescriptionProperty, value);
}

std::string TRegArchive::ParamString() const {
    return ReadBackValue(ParamsProperty, paramString_);
}

void TRegArchive::SetParamString(const std::string& value) {
    paramString_ = StoredValue(ParamsProperty, value);
}

std::string TRegArchive::ExtractBaseName(const std::string& fileName) {
    return BaseName(fileName);
}

void TRegArchive::SplitCommandLine(char separator, std::string& command, std::string& arguments) {
    association::SplitCommandLine(separator, command, arguments);
}

// The stored type name, or for the placeholder the running program's base
// name; empty when the ANSI code page cannot spell it.
std::string TRegArchive::TypeName() const {
    const std::wstring program = platform::RunningProgramPath(platform_.system);
    return ResolvedValue(TypeNameProperty, extDescription_,
                         SpelledOrEmpty(BaseName(platform::FileNamePart(program))));
}

std::string TRegArchive::Description(const std::string& typeName) const {
    return ResolvedValue(DescriptionProperty, fileDescription_, typeName + " file");
}

std::string TRegArchive::SpelledOrEmpty(const std::wstring& text) const {
    return platform::ToAnsi(platform_.system, text).value_or(std::string());
}

AssociationResult TRegArchive::Associate() {
    if (IsDesigning()) {
        return AssociationResult::DesignMode;
    }
    if (!OnAssociation) {
        return AssociationResult::EventNotSet;
    }
    const Handler handler = HandlerBesideProgram(platform_.system);
    // Empty when the ANSI code page cannot spell it: no wrong path is written.
    handlerPath_ = handler.shortPath;
    const std::string typeName = TypeName();
    if (IsAssociated()) {
        return AssociationResult::AlreadyAssociated;
    }
    if (!handler.exists) {
        return AssociationResult::Failed; // a command naming no program opens nothing
    }
    bool cancel = true;
    OnAssociation(this, typeName, cancel);
    if (cancel) {
        return AssociationResult::Cancelled;
    }
    const std::string description = Description(typeName);
    paramString_ = ResolvedValue(ParamsProperty, paramString_, ParamsProperty.placeholder);
    // Another program's type is never written into, nor taken over: the type's
    // name may be whatever the dialog's file was renamed to.
    const bool typeIsOurs =
        MayTakeType(OwnerOfType(platform_.registry, platform_.system,
                                {"", typeName, ApplicationName}, handler, description));
    outcomes_.clear();
    bool allWritten = true;
    for (const std::string& extension : WithoutExeExtensions(arcExtensions_)) {
        outcomes_.push_back(
            typeIsOurs
                ? RegisterExtension({{extension, typeName, ApplicationName},
                                     description,
                                     handlerPath_,
                                     IconIndex,
                                     paramString_,
                                     MenuName,
                                     {},
                                     ApplicationDescription})
                : ExtensionOutcome{extension, ExtensionOutcome::Kind::AnotherProgramsType, {}});
        allWritten &= outcomes_.back().kind == ExtensionOutcome::Kind::Registered;
    }
    platform_.system.SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return allWritten ? AssociationResult::Registered : AssociationResult::Failed;
}

// Writes one extension's layout, the switch of its default last; says what
// it did, and where it stopped why.
ExtensionOutcome TRegArchive::RegisterExtension(Association association) {
    using Kind = ExtensionOutcome::Kind;
    const std::string& extension = association.keys.extension;
    // An empty name would put the entries at the root of the classes; an empty
    // handler path could not be spelled.
    if (extension.empty() || association.keys.typeName.empty() || association.handlerPath.empty()) {
        return {extension, Kind::Unnamed, {}};
    }
    // Read before anything is written; a default that cannot be read could
    // not be kept, so nothing is written over it.
    const Kept kept = ValueToKeep(platform_.registry, association.keys);
    if (kept.answer == Answer::Refused) {
        return {extension, Kind::DefaultUnreadable, {}};
    }
    association.kept = kept.value;
    WriteOutcome written =
        WriteRows(platform_.registry, platform_.applicationHive, AssociationLayout(association));
    if (written) {
        written = RewriteKeptValueIfGone(association);
    }
    return {extension, written ? Kind::Registered : Kind::Refused, written};
}

// A removal running at once may have deleted the kept value after it was
// written and before the extension was switched: it is written again.
WriteOutcome TRegArchive::RewriteKeptValueIfGone(const Association& association) {
    if (!association.kept) {
        return {};
    }
    const LayoutPlace place = LayoutValue(KeyRole::KeptValue, association.keys);
    const StoredText stored =
        ReadStored(platform_.registry, HKEY_CLASSES_ROOT, place.key, place.name);
    if (stored.ValueFound() && stored.value == *association.kept) {
        return {};
    }
    return WriteRows(platform_.registry, platform_.applicationHive,
                     {{place, *association.kept, true}});
}

// The program named by the extension's open command; empty when there is none.
std::string TRegArchive::RegisteredProgram(const std::string& extension) {
    const auto readDefault = [this](const std::string& key) {
        return ReadStored(platform_.registry, HKEY_CLASSES_ROOT, key).text;
    };
    AssociationKeys keys{extension, "", ""};
    keys.typeName = readDefault(LayoutKey(KeyRole::Extension, keys));
    if (keys.typeName.empty()) {
        return {};
    }
    return ProgramOfCommand(readDefault(LayoutKey(KeyRole::Command, keys)));
}

bool TRegArchive::IsAssociated() {
    const std::string reference = SpelledOrEmpty(
        platform::ShortPath(platform_.system, platform::RunningProgramPath(platform_.system)));
    for (const std::string& extension : WithoutExeExtensions(arcExtensions_)) {
        try {
            // A program whose path cannot be spelled is named by no command.
            if (reference.empty() || RegisteredProgram(extension) != reference) {
                return false;
            }
        } catch (const std::exception&) {
            return false;
        }
    }
    return true;
}

bool TRegArchive::Unassociate() {
    // A type name that cannot be spelled names no key: only the extension keys
    // that are ours go.
    const AssociationKeys keys{"", TypeName(), ApplicationName};
    Removal removal(platform_.registry, platform_.applicationHive, keys,
                    OwnerOfType(platform_.registry, platform_.system, keys,
                                HandlerBesideProgram(platform_.system),
                                Description(keys.typeName)));
    bool removed = false;
    try {
        bool allRemoved = true;
        const TStringList extensions = WithoutExeExtensions(arcExtensions_);
        for (const std::string& extension : extensions) {
            allRemoved &= removal.RemoveExtension(extension);
        }
        removed = extensions.empty() || (removal.RemoveSharedKeys(extensions) && allRemoved);
    } catch (const std::exception&) {
        removed = false;
    }
    // Without the notification the shell keeps showing our icon and verb
    // ("SHChangeNotify": a program that changes associations sends it).
    if (removal.Changed()) {
        platform_.system.SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    }
    return removed;
}

} // namespace association

#include "RegArchive.h"

#include "AssociationLayout.h"
#include "platform/ProcessPaths.h"
#include "platform/Registry.h"

namespace association {
namespace {

using platform::TRegistry;

constexpr const char* HandlerFileName = "Kavrex.exe";
constexpr const char* TypePlaceholder = "[Appname]";
constexpr const char* DescriptionPlaceholder = "[Appname file]";
constexpr const char* DefaultParams = "%1";
// Stored values that read back as the placeholders.
constexpr const char* LegacyTypeName = "Quillon32";
constexpr const char* LegacyDescription = "Quillon32 file";

// Deletes the key with its subtree; a key that is not there counts as removed.
bool RemoveKey(TRegistry& registry, const std::string& path) {
    return registry.DeleteTree(path) || !registry.KeyExists(path);
}

// Removes the extension key only when it is ours or empty: another program's
// type may own the extension now.
bool RemoveExtension(TRegistry& registry, const std::string& extension,
                     const std::string& typeName) {
    if (extension.empty()) {
        return true; // that would name the root of the classes: nothing of ours
    }
    if (!registry.OpenPath(extension, false)) {
        return !registry.KeyExists(extension);
    }
    const std::string owner = registry.ReadText("");
    registry.CloseCurrent();
    if (!owner.empty() && owner != typeName) {
        return true; // another program's: left in place, and not a failure
    }
    return RemoveKey(registry, extension);
}

} // namespace

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
    const bool placeholder = extDescription_.empty() || extDescription_ == LegacyTypeName;
    return placeholder ? TypePlaceholder : extDescription_;
}

void TRegArchive::SetExtDescription(const std::string& value) {
    extDescription_ = value.empty() ? TypePlaceholder : value;
}

std::string TRegArchive::FileDescription() const {
    const bool placeholder = fileDescription_.empty() || fileDescription_ == LegacyDescription;
    return placeholder ? DescriptionPlaceholder : fileDescription_;
}

void TRegArchive::SetFileDescription(const std::string& value) {
    fileDescription_ = value.empty() ? DescriptionPlaceholder : value;
}

std::string TRegArchive::ParamString() const {
    return paramString_.empty() ? DefaultParams : paramString_;
}

void TRegArchive::SetParamString(const std::string& value) {
    paramString_ = value.empty() ? DefaultParams : value;
}

std::string TRegArchive::ExtractBaseName(const std::string& fileName) {
    return fileName.substr(0, fileName.find('.'));
}

void TRegArchive::SplitCommandLine(char separator, std::string& command, std::string& arguments) {
    const auto at = command.find(separator);
    if (at == std::string::npos) {
        arguments.clear();
        return;
    }
    arguments = command.substr(at + 1);
    command.resize(at);
}

std::string TRegArchive::ProgramOfCommand(const std::string& command) {
    std::string program = command;
    std::string arguments;
    if (!program.empty() && program.front() == '"') {
        // The program ends at the closing quote; without one there is none.
        const auto closing = program.find('"', 1);
        return closing == std::string::npos ? std::string() : program.substr(1, closing - 1);
    }
    SplitCommandLine(' ', program, arguments);
    return program;
}

// The stored type name, or for the placeholder the running program's base name.
std::string TRegArchive::TypeName() const {
    if (extDescription_.empty() || extDescription_ == TypePlaceholder) {
        const std::string program = platform::RunningProgramPath(platform_.system);
        return ExtractBaseName(platform::FileNamePart(program));
    }
    return extDescription_;
}

std::string TRegArchive::Description(const std::string& typeName) const {
    return fileDescription_ == DescriptionPlaceholder ? typeName + " file" : fileDescription_;
}

AssociationResult TRegArchive::Associate() {
    if (IsDesigning()) {
        return AssociationResult::DesignMode;
    }
    if (!OnAssociation) {
        return AssociationResult::NoHandler;
    }
    const std::string program = platform::RunningProgramPath(platform_.system);
    handlerPath_ =
        platform::ShortPath(platform_.system, platform::DirectoryPart(program) + HandlerFileName);
    const std::string typeName = TypeName();
    if (IsAssociated()) {
        return AssociationResult::AlreadyAssociated;
    }
    bool cancel = true;
    OnAssociation(this, typeName, cancel);
    if (cancel) {
        return AssociationResult::Cancelled;
    }
    const std::string description = Description(typeName);
    if (paramString_.empty()) {
        paramString_ = DefaultParams;
    }
    bool allWritten = true;
    for (const std::string& extension : WithoutExeExtensions(arcExtensions_)) {
        allWritten &= RegisterExtension(extension, typeName, description);
    }
    platform_.system.SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return allWritten ? AssociationResult::Registered : AssociationResult::Failed;
}

// Writes one extension's layout; false when any part of it could not be written.
bool TRegArchive::RegisterExtension(const std::string& extension, const std::string& typeName,
                                    const std::string& description) {
    // An empty name would put the entries at the root of the classes.
    if (extension.empty() || typeName.empty()) {
        return false;
    }
    const Association association{extension, typeName,     description, handlerPath_,
                                  IconIndex, paramString_, MenuName};
    TRegistry registry(platform_.registry);
    try {
        registry.SetRoot(HKEY_CLASSES_ROOT);
        for (const LayoutEntry& entry : RegistrationLayout(association)) {
            // A refused open would leave another key current: never write there.
            if (!registry.OpenPath(entry.openPath, true)) {
                return false;
            }
            registry.WriteText("", entry.value);
            if (entry.closeAfter) {
                registry.CloseCurrent();
            }
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

// The program named by the extension's open command; empty when there is none.
std::string TRegArchive::RegisteredProgram(const std::string& extension) {
    TRegistry registry(platform_.registry);
    registry.SetRoot(HKEY_CLASSES_ROOT);
    const auto readDefault = [&registry](const std::string& path) {
        return registry.OpenPath(path, false) ? registry.ReadText("") : std::string();
    };
    const std::string typeName = readDefault(extension);
    if (typeName.empty()) {
        return {};
    }
    return ProgramOfCommand(readDefault("\\" + typeName + "\\Shell\\Open\\Command"));
}

bool TRegArchive::IsAssociated() {
    const std::string reference =
        platform::ShortPath(platform_.system, platform::RunningProgramPath(platform_.system));
    for (const std::string& extension : WithoutExeExtensions(arcExtensions_)) {
        try {
            if (RegisteredProgram(extension) != reference) {
                return false;
            }
        } catch (const std::exception&) {
            return false;
        }
    }
    return true;
}

bool TRegArchive::Unassociate() {
    TRegistry registry(platform_.registry);
    try {
        const std::string typeName = TypeName();
        bool allRemoved = true;
        const TStringList extensions = WithoutExeExtensions(arcExtensions_);
        for (const std::string& extension : extensions) {
            registry.SetRoot(HKEY_CLASSES_ROOT);
            allRemoved &= RemoveExtension(registry, extension, typeName);
        }
        // The extensions share one type key: it goes once, after them. An empty
        // name would be the root of the classes itself.
        if (!extensions.empty() && !typeName.empty()) {
            allRemoved &= RemoveKey(registry, "\\" + typeName);
        }
        return allRemoved;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace association

// TRegArchive: makes a list of archive extensions open with the handler
// program Kavrex.exe beside the running program, checks whether they already
// do, and removes those associations again, under HKEY_CLASSES_ROOT.
#pragma once

#include "ArchiveExtensions.h"
#include "AssociationLayout.h"
#include "Component.h"
#include "LayoutWriter.h"
#include "platform/RegistryApi.h"
#include "platform/ScopedRegistryApi.h"
#include "platform/SystemApi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace association {

enum class AssociationResult : std::int8_t {
    Registered = 0,
    AlreadyAssociated = 1,
    EventNotSet = -1, // OnAssociation is unassigned
    Cancelled = -2,
    DesignMode = -3,
    Failed = -4, // some entry could not be written, or a path or name could not be spelled
};

// What the last Associate did with one extension, and why it wrote nothing
// there: kept behind the result code, so that a caller can say it without
// reading the registry again.
struct ExtensionOutcome {
    enum class Kind {
        Registered,
        AnotherProgramsType, // the type key is another program's: nothing written into it
        DefaultUnreadable,   // what the default holds could not be kept: left as it is
        Unnamed,             // an extension, type name or handler path that is empty
        Refused,             // the registry refused the row in write
    };
    std::string extension;
    Kind kind;
    WriteOutcome write; // Refused: the row and the Windows error
};

// Asked before anything is written; Cancel arrives true and must be set false.
using TOnAssociation =
    std::function<void(TComponent* Sender, const std::string& Appname, bool& Cancel)>;

// The platform services the component works through.
struct Platform {
    platform::RegistryApi& registry;
    platform::SystemApi& system;
    // The hive whose classes HKEY_CLASSES_ROOT stands for when writing: the
    // program's registration for Default apps goes there too.
    HKEY applicationHive = HKEY_LOCAL_MACHINE;
};
// The platform's own registry and services (an emulation away from Windows).
Platform SystemPlatform();

// The component's platform for one hive: HKEY_CLASSES_ROOT stands for that
// hive's Software\Classes, and the program's registration goes to the same
// hive. Built once, so that the two cannot name different hives.
class HivePlatform {
  public:
    HivePlatform(platform::RegistryApi& registry, platform::SystemApi& system, HKEY hive)
        : classes_(registry, hive), platform_{classes_, system, hive} {}
    HivePlatform(const HivePlatform&) = delete;
    HivePlatform& operator=(const HivePlatform&) = delete;
    [[nodiscard]] const Platform& Get() const { return platform_; }

  private:
    platform::ScopedRegistryApi classes_;
    Platform platform_;
};

// None of its operations raises for a registry that refuses: results say so.
class TRegArchive : public TComponent {
  public:
    // Starts with the 24 built-in archive extensions. With an owner, create it
    // on the heap: the owner frees it.
    explicit TRegArchive(TComponent* owner, Platform platform = SystemPlatform());

    // Registers every extension of the list (".exe" never) to open with the
    // Kavrex.exe beside the running program, after OnAssociation agreed, and
    // tells the shell. Keeps what each extension's default held (its type and
    // bytes), and lists Kavrex in "Open with" and Default apps; the extension
    // switches last, so that a run stopped midway leaves it as it was or whole.
    // Returns what happened; Failed, with nothing written, when there is no
    // Kavrex.exe there, and when anything could not be written (an extension
    // whose default cannot be read is left as it is). Raises only what the
    // OnAssociation raises.
    AssociationResult Associate();
    // Whether every extension's open command already names the running program,
    // compared exactly, letter case included. This is the component's own
    // check, and it is not what Windows opens: the command line's status asks
    // OpensHandler (Handler.h), which compares with Kavrex.exe by its short or
    // long path without regard to case, as Windows starts it.
    bool IsAssociated();
    // Takes back what Associate wrote. Each extension that still names our
    // type gets back, first, what its default held before, when that is a type
    // still there or no type name at all; our values go, and each key that
    // holds nothing else. The type key and the
    // registration for Default apps go once no extension needs them. Tells the
    // shell once when anything was removed. True when nothing of ours is left
    // that could have been removed.
    bool Unassociate();

    bool ActivateOnStartup = true; // Associate runs once the properties are loaded
    TOnAssociation OnAssociation;
    std::int32_t IconIndex = 0; // of the icon inside Kavrex.exe
    std::string MenuName;       // the open verb's display name, when not empty

    // The extensions with their dot. The setter drops ".exe" entries.
    TStringList& ArcExtensions() { return arcExtensions_; }
    void SetArcExtensions(const TStringList& extensions);
    // The type name; "[Appname]" stands for the running program's base name.
    [[nodiscard]] std::string ExtDescription() const;
    void SetExtDescription(const std::string& value);
    // The type's description; "[Appname file]" stands for the type name + " file".
    [[nodiscard]] std::string FileDescription() const;
    void SetFileDescription(const std::string& value);
    // The open command's argument template; "%1" when empty.
    [[nodiscard]] std::string ParamString() const;
    void SetParamString(const std::string& value);
    // The handler's short path, as the last Associate computed it; empty when
    // the ANSI code page cannot spell it.
    [[nodiscard]] const std::string& HandlerPath() const { return handlerPath_; }
    // Each extension the last Associate walked, in list order, with what it did.
    [[nodiscard]] const std::vector<ExtensionOutcome>& Outcomes() const { return outcomes_; }

    // The part of a file name before its first "."; all of it without a dot.
    static std::string ExtractBaseName(const std::string& fileName);
    // As the layout's SplitCommandLine.
    static void SplitCommandLine(char separator, std::string& command, std::string& arguments);

  protected:
    void Loaded() override;

  private:
    [[nodiscard]] std::string TypeName() const;
    // The type's description: "[Appname file]" resolved for the type name.
    [[nodiscard]] std::string Description(const std::string& typeName) const;
    [[nodiscard]] std::string SpelledOrEmpty(const std::wstring& text) const;
    std::string RegisteredProgram(const std::string& extension);
    ExtensionOutcome RegisterExtension(Association association);
    // Writes the kept value again when a removal at once deleted it.
    WriteOutcome RewriteKeptValueIfGone(const Association& association);

    Platform platform_;
    TStringList arcExtensions_;
    std::string extDescription_;
    std::string fileDescription_;
    std::string handlerPath_;
    std::string paramString_;
    std::vector<ExtensionOutcome> outcomes_;
};

} // namespace association

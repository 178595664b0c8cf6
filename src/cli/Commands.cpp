#include "Commands.h"

#include "DefaultAssociations.h"
#include "association/AssociationLayout.h"
#include "association/ExtensionStatus.h"
#include "association/RegArchive.h"
#include "platform/OverlayRegistryApi.h"
#include "platform/ProcessPaths.h"
#include "platform/RegistryTree.h"
#include "platform/ScopedRegistryApi.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <optional>

namespace cli {
namespace {

using association::ExtensionStatus;
using association::Verdict;
using nlohmann::json;
using platform::RegistryChange;

constexpr const char* Classes = "Software\\Classes";
constexpr const char* ApplicationName = "Kavrex";

struct VerdictText {
    Verdict verdict;
    const char* text; // %s: the type or ProgId that opens the extension
};
constexpr VerdictText VerdictTexts[] = {
    {Verdict::OpensWithKavrex, "opens with Kavrex"},
    {Verdict::UserChoiceOther,
     "opens with %s, the user's own choice, which wins over every association"},
    {Verdict::AssociatedWithOther, "associated with another program: %s"},
    {Verdict::NotAssociated, "not associated"},
};

struct ChangeKindName {
    platform::ChangeKind kind;
    const char* name;
};
constexpr ChangeKindName ChangeKindNames[] = {
    {platform::ChangeKind::KeyCreated, "create-key"},
    {platform::ChangeKind::ValueSet, "set-value"},
    {platform::ChangeKind::ValueDeleted, "delete-value"},
    {platform::ChangeKind::KeyDeleted, "delete-key"},
};

std::string Replaced(const std::string& pattern, const std::string& argument) {
    const auto at = pattern.find("%s");
    return at == std::string::npos ? pattern
                                   : pattern.substr(0, at) + argument + pattern.substr(at + 2);
}

std::string VerdictLine(const ExtensionStatus& status) {
    const auto* row =
        std::find_if(std::begin(VerdictTexts), std::end(VerdictTexts),
                     [&](const VerdictText& text) { return text.verdict == status.verdict; });
    return Replaced(row->text, status.openedBy);
}

const char* ScopeName(Scope scope) {
    return scope == Scope::Machine ? "machine" : "user";
}

HKEY ScopeRoot(Scope scope) {
    return scope == Scope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The Kavrex.exe beside this program, as the registry may name it.
association::Handler HandlerBeside(platform::SystemApi& system) {
    const std::wstring path =
        platform::DirectoryPart(platform::RunningProgramPath(system)) + L"Kavrex.exe";
    return {platform::ToAnsi(system, platform::ShortPath(system, path)).value_or(""),
            platform::ToAnsi(system, path).value_or("")};
}

json Utf8(Console& console, const std::string& ansi) {
    return console.ToUtf8(ansi);
}

json EntryJson(Console& console, const association::ClassesEntry& entry) {
    if (entry.typeName.empty()) {
        return nullptr;
    }
    return {{"type", Utf8(console, entry.typeName)},
            {"command", Utf8(console, entry.command)},
            {"opensKavrex", entry.opensKavrex}};
}

std::string EntryText(const association::ClassesEntry& entry) {
    return entry.typeName.empty() ? "(none)" : entry.typeName + " -> " + entry.command;
}

// The note that the user's own choice still opens the extension elsewhere.
std::string UserChoiceNote(const std::string& extension, const std::string& progId) {
    return "Note: " + extension + " still opens with " + progId +
           ", because the user chose it in Windows, and that choice wins over every "
           "association. To change it, open Settings > Default apps, look up " +
           extension + " and choose Kavrex.";
}

// Whether this account may write the scope's classes, as the component asks to.
bool CanWriteClasses(platform::RegistryApi& registry, HKEY root) {
    HKEY key = nullptr;
    const LONG status = registry.RegOpenKeyExA(root, Classes, 0, KEY_ALL_ACCESS, &key);
    if (status == ERROR_SUCCESS) {
        registry.RegCloseKey(key);
    }
    return status != ERROR_ACCESS_DENIED;
}

// The process seam of a dry run: the shell hears of nothing.
class QuietSystem final : public platform::SystemApi {
  public:
    explicit QuietSystem(platform::SystemApi& system) : system_(system) {}
    DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) override {
        return system_.GetModuleFileNameW(module, fileName, size);
    }
    DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) override {
        return system_.GetShortPathNameW(longPath, shortPath, size);
    }
    UINT GetACP() override { return system_.GetACP(); }
    int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                            int narrowSize, LPCSTR defaultChar, LPBOOL usedDefault) override {
        return system_.WideCharToMultiByte(codePage, flags, wide, wideLength, narrow, narrowSize,
                                           defaultChar, usedDefault);
    }
    void SHChangeNotify(LONG, UINT, LPCVOID, LPCVOID) override {}

  private:
    platform::SystemApi& system_;
};

// The keys an operation may change, below the scope's classes key.
std::vector<std::string> TouchedKeys(const Options& options) {
    std::vector<std::string> keys;
    for (const std::string& extension : options.extensions) {
        keys.push_back(association::LayoutKey(association::KeyRole::Extension, {extension, ""}));
    }
    keys.push_back(association::LayoutKey(association::KeyRole::Type, {"", TypeName}));
    return keys;
}

std::string ScopedPath(Scope scope, const std::string& key) {
    return std::string(platform::RootName(ScopeRoot(scope))) + "\\" + Classes + "\\" + key;
}

using Snapshot = std::vector<std::optional<platform::RegistryTree>>;

Snapshot TakeSnapshot(platform::RegistryApi& registry, const Options& options) {
    Snapshot snapshot;
    for (const std::string& key : TouchedKeys(options)) {
        snapshot.push_back(platform::ReadTree(registry, ScopeRoot(options.scope),
                                              std::string(Classes) + "\\" + key));
    }
    return snapshot;
}

std::vector<RegistryChange> ChangesSince(platform::RegistryApi& registry, const Options& options,
                                         const Snapshot& before) {
    const Snapshot after = TakeSnapshot(registry, options);
    const auto keys = TouchedKeys(options);
    std::vector<RegistryChange> changes;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        auto found = platform::Difference(ScopedPath(options.scope, keys[i]), before[i], after[i]);
        changes.insert(changes.end(), found.begin(), found.end());
    }
    return changes;
}

json ChangeJson(Console& console, const RegistryChange& change) {
    const auto* kind =
        std::find_if(std::begin(ChangeKindNames), std::end(ChangeKindNames),
                     [&](const ChangeKindName& name) { return name.kind == change.kind; });
    json entry = {{"kind", kind->name}, {"key", Utf8(console, change.key)}};
    if (change.kind == platform::ChangeKind::ValueSet ||
        change.kind == platform::ChangeKind::ValueDeleted) {
        entry["value"] = Utf8(console, change.value);
        entry["old"] = change.before ? Utf8(console, ValueText(*change.before)) : json(nullptr);
        entry["new"] = change.after ? Utf8(console, ValueText(*change.after)) : json(nullptr);
    }
    return entry;
}

// The extensions whose user's choice still names another program.
std::vector<ExtensionStatus> ChosenElsewhere(Environment& environment, const Options& options) {
    std::vector<ExtensionStatus> chosen;
    const association::Handler handler = HandlerBeside(environment.system);
    for (const std::string& extension : options.extensions) {
        ExtensionStatus status = association::QueryStatus(environment.registry, extension, handler);
        if (status.verdict == Verdict::UserChoiceOther) {
            chosen.push_back(std::move(status));
        }
    }
    return chosen;
}

struct ChangeReport {
    const char* command;
    bool done;
    std::vector<RegistryChange> changes;
    std::vector<ExtensionStatus> chosenElsewhere;
};

void Report(Environment& environment, const Options& options, const ChangeReport& report,
            int exitCode) {
    Console& console = environment.console;
    if (options.json) {
        json changes = json::array();
        for (const RegistryChange& change : report.changes) {
            changes.push_back(ChangeJson(console, change));
        }
        json chosen = json::array();
        for (const ExtensionStatus& status : report.chosenElsewhere) {
            chosen.push_back({{"extension", Utf8(console, status.extension)},
                              {"progId", Utf8(console, status.userChoice)}});
        }
        console.WriteUtf8Line(json{
            {"command", report.command},
            {"scope", ScopeName(options.scope)},
            {"dryRun", options.dryRun},
            {"done", report.done},
            {"changes", changes},
            {"userChoiceElsewhere", chosen},
            {"exitCode",
             exitCode}}.dump(2));
        return;
    }
    const std::string verb = report.command == std::string("register") ? "register" : "remove";
    if (options.dryRun) {
        console.WriteLine("Dry run: nothing was changed.");
    }
    if (report.changes.empty()) {
        console.WriteLine(options.dryRun ? "Nothing would change." : "Nothing changed.");
    } else {
        console.WriteLine(options.dryRun ? "To " + verb + ", these changes would be made:"
                                         : "Changes made:");
    }
    for (const RegistryChange& change : report.changes) {
        console.WriteLine("  " + platform::Describe(change));
    }
    if (!report.done) {
        console.WriteLine("Some changes could not be made: the associations are incomplete.");
    }
    for (const ExtensionStatus& status : report.chosenElsewhere) {
        console.WriteLine(UserChoiceNote(status.extension, status.userChoice));
    }
}

int Change(Environment& environment, const Options& options, bool remove) {
    const HKEY root = ScopeRoot(options.scope);
    const char* command = remove ? "remove" : "register";
    if (!options.dryRun && !CanWriteClasses(environment.registry, root)) {
        environment.console.WriteErrorLine(
            "Changing the machine's file associations needs administrator rights, which this "
            "prompt does not have. Nothing was changed. Run kavrex-assoc from an elevated "
            "prompt, or use --scope user to change them for your account only.");
        return RightsMissing;
    }
    platform::OverlayRegistryApi overlay(environment.registry);
    QuietSystem quiet(environment.system);
    platform::RegistryApi& target = options.dryRun ? overlay : environment.registry;
    platform::ScopedRegistryApi scoped(target, root);
    const Snapshot before = TakeSnapshot(environment.registry, options);

    association::TRegArchive archive(
        nullptr,
        {scoped, options.dryRun ? static_cast<platform::SystemApi&>(quiet) : environment.system});
    archive.SetArcExtensions(options.extensions);
    archive.SetExtDescription(TypeName);
    archive.SetFileDescription("[Appname file]");
    archive.OnAssociation = [](association::TComponent*, const std::string&, bool& cancel) {
        cancel = false;
    };
    const bool done = remove ? archive.Unassociate()
                             : archive.Associate() == association::AssociationResult::Registered;
    ChangeReport report{command,
                        done,
                        options.dryRun ? overlay.Changes()
                                       : ChangesSince(environment.registry, options, before),
                        {}};
    if (!remove && !options.dryRun) {
        report.chosenElsewhere = ChosenElsewhere(environment, options);
    }
    const int exitCode = done ? Done : ChangeFailed;
    Report(environment, options, report, exitCode);
    return exitCode;
}

} // namespace

int Status(Environment& environment, const Options& options) {
    Console& console = environment.console;
    const association::Handler handler = HandlerBeside(environment.system);
    std::vector<ExtensionStatus> statuses;
    for (const std::string& extension : options.extensions) {
        statuses.push_back(association::QueryStatus(environment.registry, extension, handler));
    }
    const bool allKavrex = std::all_of(statuses.begin(), statuses.end(), [](const auto& status) {
        return status.verdict == Verdict::OpensWithKavrex;
    });
    const int exitCode = allKavrex ? Done : NotKavrex;
    if (options.json) {
        json extensions = json::array();
        for (const ExtensionStatus& status : statuses) {
            extensions.push_back(
                {{"extension", Utf8(console, status.extension)},
                 {"verdict", association::VerdictName(status.verdict)},
                 {"openedBy",
                  status.openedBy.empty() ? json(nullptr) : Utf8(console, status.openedBy)},
                 {"machine", EntryJson(console, status.machine)},
                 {"user", EntryJson(console, status.user)},
                 {"userChoice",
                  status.userChoice.empty() ? json(nullptr) : Utf8(console, status.userChoice)}});
        }
        console.WriteUtf8Line(json{
            {"handler", Utf8(console, handler.longPath)},
            {"extensions", extensions},
            {"exitCode",
             exitCode}}.dump(2));
        return exitCode;
    }
    console.WriteLine("Kavrex: " + (handler.longPath.empty() ? "(a path the code page cannot spell)"
                                                             : handler.longPath));
    for (const ExtensionStatus& status : statuses) {
        console.WriteLine(status.extension + ": " + VerdictLine(status));
        console.WriteLine("  machine classes: " + EntryText(status.machine));
        console.WriteLine("  user classes:    " + EntryText(status.user));
        console.WriteLine("  user's choice:   " +
                          (status.userChoice.empty() ? "(none)" : status.userChoice));
    }
    return exitCode;
}

int Register(Environment& environment, const Options& options) {
    return Change(environment, options, false);
}

int Remove(Environment& environment, const Options& options) {
    return Change(environment, options, true);
}

int ExportDefaults(Environment& environment, const Options& options) {
    environment.console.WriteUtf8Line(environment.console.ToUtf8(
        DefaultAssociationsXml(options.extensions, TypeName, ApplicationName)));
    return Done;
}

} // namespace cli

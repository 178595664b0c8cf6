#include "Commands.h"

#include "Refusal.h"
#include "Report.h"
#include "association/AssociationLayout.h"
#include "association/RegArchive.h"
#include "platform/ChangeRecorder.h"
#include "platform/ForwardingSystemApi.h"
#include "platform/OverlayRegistryApi.h"
#include "platform/RegistryNames.h"

namespace cli {
namespace {

// The scope's keys that the operation may change, below its root.
std::vector<std::string> TouchedKeys(const Options& options) {
    std::vector<std::string> keys;
    for (const association::LayoutPlace& top :
         association::LayoutTopKeys(options.extensions, {"", association::DialogTypeName(),
                                                         association::ApplicationName})) {
        keys.push_back(association::KeyInApplicationHive(top));
    }
    return keys;
}

// Runs the component on the scope's classes: on the registry, or for a dry run
// on an overlay that keeps the changes, with a shell that hears of nothing.
// outcomes: what registering did with each extension.
bool RunComponent(Environment& environment, const Options& options, bool remove,
                  platform::RegistryApi& target,
                  std::vector<association::ExtensionOutcome>& outcomes) {
    platform::QuietSystemApi quiet(environment.system);
    const association::HivePlatform scope(target, options.dryRun ? quiet : environment.system,
                                          ScopeRoot(options.scope));
    association::TRegArchive archive(nullptr, scope.Get());
    archive.SetArcExtensions(options.extensions);
    archive.SetExtDescription(association::DialogTypeName());
    archive.SetFileDescription("[Appname file]");
    archive.OnAssociation = [](association::TComponent*, const std::string&, bool& cancel) {
        cancel = false;
    };
    if (remove) {
        return archive.Unassociate();
    }
    const bool registered = archive.Associate() == association::AssociationResult::Registered;
    outcomes = archive.Outcomes();
    return registered;
}

Refusal Replaceable(const association::HandlerSafety& safety) {
    return {ChangeFailed, Reason::ReplaceableHandler,
            "Kavrex.exe could be replaced by accounts other than administrators: " +
                association::ReplaceableReason(safety) +
                ". Registered for all users, whatever file is put there would be run by every "
                "account, administrators included. Nothing was changed. Install Kavrex in a folder "
                "that only administrators can change, such as Program Files, or use --scope user "
                "to register it for your account only; --allow-replaceable-handler registers it "
                "anyway."};
}

// Why an extension was not registered, as registering found it, in words.
std::string WhyNotRegistered(const Options& options, const association::ExtensionOutcome& outcome) {
    using Kind = association::ExtensionOutcome::Kind;
    const std::string& extension = outcome.extension;
    const std::string root = platform::RootName(ScopeRoot(options.scope));
    switch (outcome.kind) {
    case Kind::AnotherProgramsType:
        return root + "\\" + platform::ClassesKey(association::DialogTypeName()) +
               " is another program's type (its open command starts no Kavrex.exe, or it holds "
               "values of its own), or could not be read: nothing was written into it, and " +
               extension + " was not registered.";
    case Kind::DefaultUnreadable:
        return "The default value of " + extension + " could not be read, so it was left as it " +
               "is and " + extension + " was not registered: what it holds could not have been " +
               "kept.";
    case Kind::Unnamed:
        return extension + " was not registered: the path of Kavrex.exe could not be spelled.";
    case Kind::Refused:
    case Kind::Registered:
        break;
    }
    const association::LayoutPlace& place = outcome.write.place;
    return root + "\\" + association::KeyInApplicationHive(place) + " [" +
           (place.name.empty() ? "(default)" : place.name) + "] could not be written (Windows " +
           "error " + std::to_string(outcome.write.error) + "), so " + extension +
           " is not registered whole.";
}

// Says why each extension that was not registered was not, as registering
// found it; returns the first reason of those that have a word of their own.
Reason SayWhyNotRegistered(Environment& environment, const Options& options,
                           const std::vector<association::ExtensionOutcome>& outcomes) {
    using Kind = association::ExtensionOutcome::Kind;
    Reason reason = Reason::PartlyFailed;
    for (const association::ExtensionOutcome& outcome : outcomes) {
        if (outcome.kind == Kind::Registered) {
            continue;
        }
        environment.console.WriteErrorLine(WhyNotRegistered(options, outcome));
        if (reason == Reason::PartlyFailed) {
            reason = outcome.kind == Kind::AnotherProgramsType ? Reason::TypeOfAnotherProgram
                     : outcome.kind == Kind::DefaultUnreadable ? Reason::DefaultUnreadable
                                                               : Reason::PartlyFailed;
        }
    }
    return reason;
}

// What refuses a change before anything is read or written, with its exit
// code; Done lets it go on. A dry run goes on without the rights, to tell.
int RefusalBeforeChange(Environment& environment, const Options& options, bool remove,
                        bool rightsMissing, const association::HandlerSafety& safety) {
    Console& console = environment.console;
    if (rightsMissing && !options.dryRun) {
        return Refuse(
            console, options,
            {RightsMissing, Reason::RightsMissing,
             "Changing the machine's file associations needs administrator rights, which this "
             "prompt does not have. Nothing was changed. Run kavrex-assoc from an elevated "
             "prompt, or use --scope user to change them for your account only."});
    }
    const association::Handler handler = association::HandlerBesideProgram(environment.system);
    if (!remove && !handler.exists) {
        return Refuse(console, options,
                      {ChangeFailed, Reason::NoHandler,
                       "There is no Kavrex.exe beside kavrex-assoc (" + handler.longPath +
                           "): an association would name a program that does not exist. Nothing "
                           "was changed."});
    }
    if (safety.replaceable != association::Replaceable::No && !options.allowReplaceableHandler) {
        return Refuse(console, options, Replaceable(safety));
    }
    return Done;
}

// Runs the change on the registry, or on a dry run's overlay, and reads what
// it changed; none when some key could not be read whole, which is said.
// reason: why not all of it was made.
std::optional<std::vector<platform::RegistryChange>>
MakeChange(Environment& environment, const Options& options, bool remove, Reason& reason) {
    const platform::ChangeRecorder recorder(environment.registry, ScopeRoot(options.scope),
                                            TouchedKeys(options));
    platform::OverlayRegistryApi overlay(environment.registry, environment.system);
    platform::RegistryApi& target = options.dryRun ? overlay : environment.registry;
    std::vector<association::ExtensionOutcome> outcomes;
    const bool done = RunComponent(environment, options, remove, target, outcomes);
    reason = done     ? Reason::None
             : remove ? Reason::PartlyFailed
                      : SayWhyNotRegistered(environment, options, outcomes);
    auto changes = recorder.Changes(target);
    if (!changes) {
        environment.console.WriteErrorLine(
            "Some keys could not be read whole (a subkey may have a name that this system's code "
            "page cannot spell), so what changed cannot be told.");
        reason = reason == Reason::None ? Reason::KeysUnreadable : reason;
    }
    return changes;
}

int Change(Environment& environment, const Options& options, bool remove,
           std::vector<platform::RegistryChange>& made) {
    const bool rightsMissing = !CanWriteClasses(environment.registry, options.scope);
    const bool forEveryone = !remove && options.scope == Scope::Machine;
    const association::HandlerSafety safety =
        forEveryone ? association::HandlerSafetyBesideProgram(environment.system)
                    : association::HandlerSafety{};
    if (const int refused =
            RefusalBeforeChange(environment, options, remove, rightsMissing, safety)) {
        return refused;
    }
    Reason reason = Reason::None;
    const auto changes = MakeChange(environment, options, remove, reason);
    const bool allDone = reason == Reason::None;
    ChangeReport report{remove ? "remove" : "register",
                        options.scope,
                        options.dryRun,
                        allDone,
                        rightsMissing ? Reason::RightsMissing : reason,
                        rightsMissing,
                        changes.value_or(std::vector<platform::RegistryChange>{}),
                        {},
                        safety,
                        rightsMissing ? RightsMissing
                        : allDone     ? Done
                                      : ChangeFailed};
    if (!remove && !options.dryRun) {
        report.chosenElsewhere = association::ChosenElsewhere(
            environment.registry, environment.system, options.extensions);
    }
    WriteChangeReport(environment.console, report, options.json);
    if (!options.dryRun) {
        made.insert(made.end(), report.changes.begin(), report.changes.end());
    }
    return report.exitCode;
}

} // namespace

int Register(Environment& environment, const Options& options,
             std::vector<platform::RegistryChange>& made) {
    return Change(environment, options, false, made);
}

int Remove(Environment& environment, const Options& options,
           std::vector<platform::RegistryChange>& made) {
    return Change(environment, options, true, made);
}

} // namespace cli

#include "Commands.h"

#include "Account.h"
#include "DefaultAssociations.h"
#include "FileWriting.h"
#include "Listing.h"
#include "Report.h"
#include "association/AssociationLayout.h"
#include "association/PreviousType.h"
#include "association/RegArchive.h"
#include "association/TypeOwner.h"
#include "platform/ChangeRecorder.h"
#include "platform/OverlayRegistryApi.h"
#include "platform/QuietSystemApi.h"
#include "platform/RegistryNames.h"
#include "platform/ScopedRegistryApi.h"

#include <algorithm>

namespace cli {
namespace {

using association::ExtensionStatus;
using association::Verdict;

std::vector<ExtensionStatus> Statuses(Environment& environment,
                                      const std::vector<std::string>& extensions) {
    const association::Handler handler = association::HandlerBesideProgram(environment.system);
    std::vector<ExtensionStatus> statuses;
    statuses.reserve(extensions.size());
    for (const std::string& extension : extensions) {
        statuses.push_back(
            association::QueryStatus(environment.registry, environment.system, extension, handler));
    }
    return statuses;
}

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
bool RunComponent(Environment& environment, const Options& options, bool remove,
                  platform::RegistryApi& target) {
    platform::QuietSystemApi quiet(environment.system);
    platform::ScopedRegistryApi scoped(target, ScopeRoot(options.scope));
    association::TRegArchive archive(
        nullptr, {scoped, options.dryRun ? quiet : environment.system, ScopeRoot(options.scope)});
    archive.SetArcExtensions(options.extensions);
    archive.SetExtDescription(association::DialogTypeName());
    archive.SetFileDescription("[Appname file]");
    archive.OnAssociation = [](association::TComponent*, const std::string&, bool& cancel) {
        cancel = false;
    };
    return remove ? archive.Unassociate()
                  : archive.Associate() == association::AssociationResult::Registered;
}

// A registration for all users of a handler that others could replace, unless
// the options allow it: refused, and said why.
bool RefusedAsReplaceable(Environment& environment, const Options& options,
                          const association::HandlerSafety& safety) {
    if (safety.replaceable == association::Replaceable::No || options.allowReplaceableHandler) {
        return false;
    }
    environment.console.WriteErrorLine(
        "Kavrex.exe could be replaced by accounts other than administrators: " +
        association::ReplaceableReason(safety) +
        ". Registered for all users, whatever file is put there would be run by every account, "
        "administrators included. Nothing was changed. Install Kavrex in a folder that only "
        "administrators can change, such as Program Files, or use --scope user to register it "
        "for your account only; --allow-replaceable-handler registers it anyway.");
    return true;
}

// Registering leaves an extension whose default it cannot read as it is: it
// could not keep what is there. Nor does it write into a type key that is
// another program's. Says which.
void SayWhyNotWritten(Environment& environment, const Options& options,
                      platform::RegistryApi& target) {
    platform::ScopedRegistryApi classes(target, ScopeRoot(options.scope));
    const association::AssociationKeys type{"", association::DialogTypeName(),
                                            association::ApplicationName};
    if (!association::MayTakeType(
            association::OwnerOfType(classes, environment.system, type,
                                     association::HandlerBesideProgram(environment.system)))) {
        environment.console.WriteErrorLine(
            std::string(platform::RootName(ScopeRoot(options.scope))) + "\\" +
            platform::ClassesKey(type.typeName) +
            " is another program's type (its open command does not start Kavrex.exe), or "
            "could not be read: nothing was written into it, and no extension was registered.");
    }
    for (const std::string& extension : options.extensions) {
        if (!association::CurrentType(classes, {extension, "", ""})) {
            std::string message = "The default value of " + extension;
            message += " could not be read, so it was left as it is and " + extension;
            message += " was not registered: what it holds could not have been kept.";
            environment.console.WriteErrorLine(message);
        }
    }
}

int Change(Environment& environment, const Options& options, bool remove,
           std::vector<platform::RegistryChange>& made) {
    const bool rightsMissing = !CanWriteClasses(environment.registry, options.scope);
    if (rightsMissing && !options.dryRun) {
        environment.console.WriteErrorLine(
            "Changing the machine's file associations needs administrator rights, which this "
            "prompt does not have. Nothing was changed. Run kavrex-assoc from an elevated "
            "prompt, or use --scope user to change them for your account only.");
        return RightsMissing;
    }
    const association::Handler handler = association::HandlerBesideProgram(environment.system);
    if (!remove && !handler.exists) {
        environment.console.WriteErrorLine(
            "There is no Kavrex.exe beside kavrex-assoc (" + handler.longPath +
            "): an association would name a program that does not exist. Nothing was changed.");
        return ChangeFailed;
    }
    const bool forEveryone = !remove && options.scope == Scope::Machine;
    const association::HandlerSafety safety =
        forEveryone ? association::HandlerSafetyBesideProgram(environment.system)
                    : association::HandlerSafety{};
    if (RefusedAsReplaceable(environment, options, safety)) {
        return ChangeFailed;
    }
    const platform::ChangeRecorder recorder(environment.registry, ScopeRoot(options.scope),
                                            TouchedKeys(options));
    platform::OverlayRegistryApi overlay(environment.registry, environment.system);
    platform::RegistryApi& target = options.dryRun ? overlay : environment.registry;
    const bool done = RunComponent(environment, options, remove, target);
    if (!done && !remove) {
        SayWhyNotWritten(environment, options, target);
    }
    const auto changes = recorder.Changes(target);
    if (!changes) {
        environment.console.WriteErrorLine(
            "Some keys could not be read whole (a subkey may have a name that this system's code "
            "page cannot spell), so what changed cannot be told.");
    }
    const bool allDone = done && changes;
    ChangeReport report{remove ? "remove" : "register",
                        options.scope,
                        options.dryRun,
                        allDone,
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

// The extension's registration in the scope's hive alone. For all users, a
// handler that others could replace makes it incomplete, as it refuses
// registering, unless the same override is given.
Registration RegistrationIn(Environment& environment, const Options& options,
                            const std::string& extension,
                            const association::HandlerSafety& safety) {
    const bool machine = options.scope == Scope::Machine;
    const Registration judged = association::JudgeRegistration(
        environment.registry, environment.system, ScopeRoot(options.scope),
        {extension, association::DialogTypeName(), association::ApplicationName},
        association::HandlerBesideProgram(environment.system));
    const bool exposed = machine && safety.replaceable != association::Replaceable::No &&
                         !options.allowReplaceableHandler;
    return judged == Registration::Complete && exposed ? Registration::ReplaceableHandler : judged;
}

// Status's answer: whether every extension opens with Kavrex, or with a scope
// whether our registration there is complete for every one.
bool Satisfied(const ExtensionReport& extension) {
    return extension.registration ? *extension.registration == Registration::Complete
                                  : extension.status.verdict == Verdict::OpensWithKavrex;
}

} // namespace

int Status(Environment& environment, const Options& options) {
    StatusReport report{association::HandlerBesideProgram(environment.system),
                        association::HandlerSafetyBesideProgram(environment.system),
                        {},
                        NotKavrex,
                        {},
                        {}};
    for (ExtensionStatus& status : Statuses(environment, options.extensions)) {
        const association::AssociationKeys keys{status.extension, association::DialogTypeName(),
                                                association::ApplicationName};
        report.extensions.push_back({std::move(status),
                                     QueryListing(environment.registry, HKEY_LOCAL_MACHINE, keys),
                                     QueryListing(environment.registry, HKEY_CURRENT_USER, keys),
                                     {}});
        if (options.scopeGiven) {
            report.extensions.back().registration = RegistrationIn(
                environment, options, report.extensions.back().status.extension, report.safety);
        }
    }
    if (options.scopeGiven) {
        report.judged = options.scope;
    }
    const bool satisfied =
        std::all_of(report.extensions.begin(), report.extensions.end(), Satisfied);
    report.exitCode = satisfied ? Done : NotKavrex;
    // Other users' hives are an administrator's and the system's to read.
    if (CanWriteClasses(environment.registry, Scope::Machine)) {
        report.users = SignedInUsers(environment, options.extensions);
    }
    WriteStatusReport(environment.console, report, options.json);
    return report.exitCode;
}

int Register(Environment& environment, const Options& options,
             std::vector<platform::RegistryChange>& made) {
    return Change(environment, options, false, made);
}

int Remove(Environment& environment, const Options& options,
           std::vector<platform::RegistryChange>& made) {
    return Change(environment, options, true, made);
}

FilePolicy FilePolicyOf(Environment& environment) {
    const std::string account = environment.system.ProcessUserSid();
    return {IsServiceAccount(account) || CanWriteClasses(environment.registry, Scope::Machine),
            {account}};
}

// The XML in UTF-8 exactly: to standard output, or to a file of its own, which
// no shell re-encodes on its way (PowerShell 5.1's ">" writes UTF-16).
int ExportDefaults(Environment& environment, const Options& options) {
    Console& console = environment.console;
    const std::string xml = console.ToUtf8(DefaultAssociationsXml(
        options.extensions, association::DialogTypeName(), association::ApplicationName));
    if (options.output.empty()) {
        console.WriteUtf8Line(xml);
        return Done;
    }
    const FileOutcome outcome = WriteFile(environment.system, FilePolicyOf(environment),
                                          options.output, xml + "\n", options.force);
    switch (outcome.write) {
    case FileWrite::Written:
        console.WriteLine("Wrote " + options.output + " (UTF-8).");
        if (!outcome.note.empty()) {
            console.WriteErrorLine("Warning: accounts other than administrators could change " +
                                   options.output + " afterwards: " + outcome.note + ".");
        }
        return Done;
    case FileWrite::AlreadyThere:
        console.WriteErrorLine(options.output +
                               " is already there, and was left as it is. Add --force to "
                               "replace it.");
        return ChangeFailed;
    case FileWrite::Refused:
        console.WriteErrorLine(options.output + " was not written: " + outcome.note +
                               ". With administrator rights or as a service account, "
                               "kavrex-assoc writes no file through a link.");
        return ChangeFailed;
    case FileWrite::Failed:
        break;
    }
    console.WriteErrorLine("Could not write " + options.output + ".");
    return ChangeFailed;
}

} // namespace cli

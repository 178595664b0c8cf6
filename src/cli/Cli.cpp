#include "Cli.h"

#include "Arguments.h"
#include "AuditLog.h"
#include "ExtensionRules.h"
#include "Listing.h"
#include "Refusal.h"
#include "platform/ProcessPaths.h"

namespace cli {
namespace {

// Whom the account is, for a message: its name, or its SID where Windows
// cannot name it.
std::string Who(const Account& account) {
    return account.name.empty() ? account.sid : account.name + " (" + account.sid + ")";
}

Refusal NoPersonsHive(const Account& account) {
    return {UsageError, Reason::ServiceAccountScope,
            "kavrex-assoc runs as " + Who(account) +
                ", a service account, as deployment tools run programs: its own user hive is no "
                "person's, so --scope user would change the associations of no one. Nothing was "
                "changed. Use --scope machine for all users, or run the command with the "
                "signed-in user's credentials (in Intune: \"Run this script using the logged-on "
                "credentials\")."};
}

Refusal NoDesktop(const Account& account) {
    return {ChangeFailed, Reason::NoDesktop,
            "kavrex-assoc runs as " + Who(account) +
                ", a service account, which has no desktop to open Settings on. Nothing was "
                "opened. Run kavrex-assoc settings as the signed-in user."};
}

// The service accounts have no person's hive and no desktop: what they may
// not run ends here, with its exit code; Done lets the command run.
int ServiceAccountRefusal(Environment& environment, const Account& account, Command command,
                          const Options& options) {
    if (!IsServiceAccount(account.sid) ||
        (command != Command::Settings && options.scope != Scope::User)) {
        return Done;
    }
    return Refuse(environment.console, options,
                  command == Command::Settings ? NoDesktop(account) : NoPersonsHive(account));
}

// A command line that CLI11 refused: whatever it read is not to be trusted, so
// --json and --log are looked up as given, to print the refusal and log the run.
void ReadUsageErrorOptions(int argc, const char* const* argv, Options& options) {
    const std::string logEquals = "--log=";
    options.command = argc > 1 ? CommandNamed(argv[1]) : nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        options.json = options.json || argument == "--json";
        if (argument == "--log" && i + 1 < argc) {
            options.logFile = argv[i + 1];
        } else if (argument.rfind(logEquals, 0) == 0) {
            options.logFile = argument.substr(logEquals.size());
        }
    }
}

// Without --ext, status and remove take every extension that Kavrex's record
// lists in the hives they work on, after .rar: an uninstall takes back all
// that registering wrote, whatever --ext it was given.
void AddRecordedExtensions(Environment& environment, Command command, Options& options) {
    if (options.extensionsGiven || (command != Command::Status && command != Command::Remove)) {
        return;
    }
    const bool bothHives = command == Command::Status && !options.scopeGiven;
    for (const Scope scope : {Scope::Machine, Scope::User}) {
        if (bothHives || scope == options.scope) {
            const std::vector<std::string> recorded =
                RecordedExtensions(environment.registry, ScopeRoot(scope));
            options.extensions.insert(options.extensions.end(), recorded.begin(), recorded.end());
        }
    }
    options.extensions = WithoutDuplicates(options.extensions);
}

int RunCommand(Command command, Environment& environment, const Options& options,
               std::vector<platform::RegistryChange>& changes) {
    switch (command) {
    case Command::Status:
        return Status(environment, options);
    case Command::Register:
        return Register(environment, options, changes);
    case Command::Remove:
        return Remove(environment, options, changes);
    case Command::Settings:
        return OpenSettings(environment, options);
    case Command::ExportDefaults:
        break;
    }
    return ExportDefaults(environment, options);
}

// Runs the command the arguments name; usageError, when not empty, has already
// ended the run as a wrong command line. Either way, with --log, the run's line.
int RunArguments(int argc, const char* const* argv, Environment& environment,
                 const std::string& usageError) {
    Options options;
    const ParsedArguments parsed = usageError.empty()
                                       ? ParseArguments(argc, argv, environment.console, options)
                                       : ParsedArguments{std::nullopt, UsageError, usageError};
    if (!parsed.command && parsed.exitCode != UsageError) {
        return parsed.exitCode; // --help, --version
    }
    if (!parsed.command) {
        options = {};
        ReadUsageErrorOptions(argc, argv, options);
        WriteRefusalJson(environment.console, options, {UsageError, Reason::Usage, parsed.error});
    }
    AuditEntry audit{environment.system.ComputerName(),
                     RunningAccount(environment.system, !options.logFile.empty()),
                     {argv + 1, argv + argc},
                     UsageError,
                     {}};
    if (parsed.command) {
        audit.exitCode =
            ServiceAccountRefusal(environment, audit.account, *parsed.command, options);
    }
    if (parsed.command && audit.exitCode == Done) {
        AddRecordedExtensions(environment, *parsed.command, options);
        audit.exitCode = RunCommand(*parsed.command, environment, options, audit.changes);
    }
    if (!options.logFile.empty()) {
        AppendToAuditLog(environment.console, environment.system, FilePolicyOf(environment),
                         options.logFile, audit);
    }
    return audit.exitCode;
}

} // namespace

int RunCommandLine(int argc, const char* const* argv, Environment& environment) {
    return RunArguments(argc, argv, environment, {});
}

int RunWideCommandLine(int argc, const wchar_t* const* argv, Environment& environment) {
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    // The program's own path is no argument to refuse: it may lie in any folder.
    arguments.emplace_back("kavrex-assoc");
    std::string unspelled;
    for (int i = 1; i < argc; ++i) {
        const auto spelled = platform::ToAnsi(environment.system, argv[i]);
        if (!spelled && unspelled.empty()) {
            unspelled = "Argument " + std::to_string(i) +
                        " holds a character that this system's code page cannot spell exactly, "
                        "so the registry could not be given it as written. Nothing was changed.";
            environment.console.WriteErrorLine(unspelled);
        }
        arguments.push_back(spelled.value_or("?"));
    }
    std::vector<const char*> pointers;
    pointers.reserve(arguments.size());
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    return RunArguments(argc, pointers.data(), environment, unspelled);
}

} // namespace cli

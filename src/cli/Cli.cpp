#include "Cli.h"

#include "Arguments.h"
#include "AuditLog.h"
#include "platform/ProcessPaths.h"

namespace cli {
namespace {

// Whom the account is, for a message: its name, or its SID where Windows
// cannot name it.
std::string Who(const Account& account) {
    return account.name.empty() ? account.sid : account.name + " (" + account.sid + ")";
}

int NoPersonsHive(Environment& environment, const Account& account) {
    environment.console.WriteErrorLine(
        "kavrex-assoc runs as " + Who(account) +
        ", a service account, as deployment tools run programs: its own user hive is no "
        "person's, so --scope user would change the associations of no one. Nothing was "
        "changed. Use --scope machine for all users, or run the command with the signed-in "
        "user's credentials (in Intune: \"Run this script using the logged-on credentials\").");
    return UsageError;
}

int NoDesktop(Environment& environment, const Account& account) {
    environment.console.WriteErrorLine(
        "kavrex-assoc runs as " + Who(account) +
        ", a service account, which has no desktop to open Settings on. Nothing was opened. "
        "Run kavrex-assoc settings as the signed-in user.");
    return ChangeFailed;
}

// The service accounts have no person's hive and no desktop: what they may
// not run ends here, with its exit code; Done lets the command run.
int ServiceAccountRefusal(Environment& environment, const Account& account, Command command,
                          const Options& options) {
    if (!IsServiceAccount(account.sid)) {
        return Done;
    }
    return command == Command::Settings   ? NoDesktop(environment, account)
           : options.scope == Scope::User ? NoPersonsHive(environment, account)
                                          : Done;
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

} // namespace

int RunCommandLine(int argc, const char* const* argv, Environment& environment) {
    Options options;
    const ParsedArguments parsed = ParseArguments(argc, argv, environment.console, options);
    if (!parsed.command) {
        return parsed.exitCode;
    }
    AuditEntry audit{RunningAccount(environment.system, !options.logFile.empty()),
                     {argv + 1, argv + argc},
                     Done,
                     {}};
    audit.exitCode = ServiceAccountRefusal(environment, audit.account, *parsed.command, options);
    if (audit.exitCode == Done) {
        audit.exitCode = RunCommand(*parsed.command, environment, options, audit.changes);
    }
    if (!options.logFile.empty()) {
        AppendToAuditLog(environment.console, environment.system, FilePolicyOf(environment),
                         options.logFile, audit);
    }
    return audit.exitCode;
}

int RunWideCommandLine(int argc, const wchar_t* const* argv, Environment& environment) {
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    // The program's own path is no argument to refuse: it may lie in any folder.
    arguments.emplace_back("kavrex-assoc");
    for (int i = 1; i < argc; ++i) {
        const auto spelled = platform::ToAnsi(environment.system, argv[i]);
        if (!spelled) {
            environment.console.WriteErrorLine(
                "Argument " + std::to_string(i) +
                " holds a character that this system's code page cannot spell exactly, so the "
                "registry could not be given it as written. Nothing was changed.");
            return UsageError;
        }
        arguments.push_back(*spelled);
    }
    std::vector<const char*> pointers;
    pointers.reserve(arguments.size());
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    return RunCommandLine(argc, pointers.data(), environment);
}

} // namespace cli

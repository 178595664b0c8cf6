#include "Cli.h"

#include "AuditLog.h"
#include "ExtensionRules.h"
#include "Version.h"
#include "platform/ProcessPaths.h"
#include "platform/RegistryNames.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <functional>
#include <sstream>

namespace cli {
namespace {

constexpr const char* ExitCodes = R"(Exit codes:
  0  done; for status: every extension opens with Kavrex; for status --scope:
     our registration in that scope is complete for every extension
  1  status: some extension does not open with Kavrex (with --scope: our
     registration there is absent, incomplete or another program's; for --scope
     machine also when Kavrex.exe could be replaced by accounts other than
     administrators, unless --allow-replaceable-handler is given)
  2  the command line is wrong; --scope user as LocalSystem, LocalService or
     NetworkService, which are no person's account
  3  some change could not be made (nothing is reported as done that was not);
     for register --scope machine: Kavrex.exe could be replaced by accounts other
     than administrators, and nothing was changed; for settings: no Settings app
     answered, or a service account has no desktop; for export-defaults --output:
     the file is already there, or would be written through a link; for
     register: the type key is another program's
  4  the machine scope needs administrator rights that this prompt does not have)";

// "machine" or "user" in any letter case, as the number CLI11 reads the
// choice from; nothing else.
std::string ScopeWord(std::string& word) {
    for (const Scope scope : {Scope::Machine, Scope::User}) {
        if (platform::SameName(word, ScopeName(scope))) {
            word = std::to_string(static_cast<int>(scope));
            return {};
        }
    }
    return "'" + word + "' is not a scope: --scope takes machine or user";
}

std::string CheckExtension(const std::string& extension) {
    const std::string refusal = ExtensionRefusal(extension);
    return refusal.empty() ? refusal : "'" + extension + "' is refused: " + refusal;
}

void WriteLines(const std::string& text, const std::function<void(const std::string&)>& write) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        write(line);
    }
}

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

} // namespace

int RunCommandLine(int argc, const char* const* argv, Environment& environment) {
    CLI::App app("Associates archive extensions with Kavrex.exe beside this program, for "
                 "administrators and scripts, and tells what Windows really opens them with.",
                 "kavrex-assoc");
    app.set_version_flag("--version", "kavrex-assoc " KAVREX_VERSION);
    app.require_subcommand(1);
    app.footer(ExitCodes);

    Options options;
    options.extensions = {".rar"};
    const auto addExtensions = [&](CLI::App* command) {
        command->add_option("--ext", options.extensions, "extensions, comma-separated (.rar)")
            ->delimiter(',')
            ->type_name(".ext[,.ext...]")
            ->check(CLI::Validator(CheckExtension, "", "extension"));
    };
    const auto addJson = [&](CLI::App* command) {
        command->add_flag("--json", options.json, "print JSON (UTF-8) instead of text");
    };
    const auto addScope = [&](CLI::App* command, const char* help) {
        return command->add_option("--scope", options.scope, help)
            ->type_name("machine|user")
            ->transform(CLI::Validator(ScopeWord, "", "scope"));
    };
    constexpr const char* ChangeScope =
        "machine: all users (needs administrator rights); user: this account";
    const auto addChangeOptions = [&](CLI::App* command) {
        addExtensions(command);
        addScope(command, ChangeScope);
        command->add_flag("--dry-run", options.dryRun, "print the changes, make none");
        addJson(command);
    };

    CLI::App* status = app.add_subcommand("status", "who opens each extension, and why");
    addExtensions(status);
    addJson(status);
    const CLI::Option* judged =
        addScope(status, "judge only our registration in that hive (exit 0: complete), for "
                         "deployment tools' detection");
    CLI::App* registering = app.add_subcommand("register", "associate the extensions with Kavrex");
    addChangeOptions(registering);
    registering->add_flag("--allow-replaceable-handler", options.allowReplaceableHandler,
                          "with --scope machine: register even a Kavrex.exe that accounts other "
                          "than administrators could replace");
    status->add_flag("--allow-replaceable-handler", options.allowReplaceableHandler,
                     "with --scope machine: call the registration complete even with a "
                     "Kavrex.exe that accounts other than administrators could replace");
    CLI::App* removing = app.add_subcommand("remove", "take back what register wrote");
    addChangeOptions(removing);
    CLI::App* exporting = app.add_subcommand(
        "export-defaults", "print the default-associations XML for Group Policy or DISM");
    addExtensions(exporting);
    exporting->add_option("--output", options.output,
                          "write the XML to this file, in UTF-8, instead of printing it");
    exporting->add_flag("--force", options.force, "with --output: replace a file that is there");
    CLI::App* settings = app.add_subcommand(
        "settings", "open Settings > Apps > Default apps at Kavrex, where a user chooses it");
    addScope(settings, ChangeScope);
    for (CLI::App* command : {status, registering, removing, exporting, settings}) {
        command->add_option("--log", options.logFile,
                            "append a JSON line of this run (account, arguments, exit code, "
                            "changes) to this file");
    }

    // CLI11 would only say that a command is required.
    const auto commands = app.get_subcommands([](CLI::App*) { return true; });
    const bool known = std::any_of(commands.begin(), commands.end(), [&](const CLI::App* command) {
        return argc > 1 && command->get_name() == argv[1];
    });
    if (argc > 1 && argv[1][0] != '-' && !known) {
        environment.console.WriteErrorLine(
            std::string("'") + argv[1] +
            "' is not a command: status, register, remove, "
            "export-defaults, settings. Run with --help for more information.");
        return UsageError;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        std::ostringstream out;
        std::ostringstream err;
        const int code = app.exit(error, out, err);
        WriteLines(out.str(),
                   [&](const std::string& line) { environment.console.WriteLine(line); });
        WriteLines(err.str(),
                   [&](const std::string& line) { environment.console.WriteErrorLine(line); });
        return code == 0 ? Done : UsageError;
    }
    options.extensions = WithoutDuplicates(options.extensions);
    options.scopeGiven = judged->count() > 0;
    AuditEntry audit{RunningAccount(environment.system, !options.logFile.empty()),
                     {argv + 1, argv + argc},
                     Done,
                     {}};
    if (IsServiceAccount(audit.account.sid)) {
        audit.exitCode = *settings                      ? NoDesktop(environment, audit.account)
                         : options.scope == Scope::User ? NoPersonsHive(environment, audit.account)
                                                        : Done;
    }
    if (audit.exitCode == Done) {
        audit.exitCode = *status        ? Status(environment, options)
                         : *registering ? Register(environment, options, audit.changes)
                         : *removing    ? Remove(environment, options, audit.changes)
                         : *settings    ? OpenSettings(environment, options)
                                        : ExportDefaults(environment, options);
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

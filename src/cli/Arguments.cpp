#include "Arguments.h"

#include "ExtensionRules.h"
#include "Version.h"
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

constexpr const char* ChangeScope =
    "machine: all users (needs administrator rights); user: this account";

// The options several commands share, each added the same way to each.
class SharedOptions {
  public:
    explicit SharedOptions(Options& options) : options_(options) {}

    void Extensions(CLI::App* command) const {
        command->add_option("--ext", options_.extensions, "extensions, comma-separated (.rar)")
            ->delimiter(',')
            ->type_name(".ext[,.ext...]")
            ->check(CLI::Validator(CheckExtension, "", "extension"));
    }
    void Json(CLI::App* command) const {
        command->add_flag("--json", options_.json, "print JSON (UTF-8) instead of text");
    }
    CLI::Option* Scope(CLI::App* command, const char* help) const {
        return command->add_option("--scope", options_.scope, help)
            ->type_name("machine|user")
            ->transform(CLI::Validator(ScopeWord, "", "scope"));
    }
    void Changes(CLI::App* command) const {
        Extensions(command);
        Scope(command, ChangeScope);
        command->add_flag("--dry-run", options_.dryRun, "print the changes, make none");
        Json(command);
    }
    void Log(CLI::App* command) const {
        command->add_option("--log", options_.logFile,
                            "append a JSON line of this run (account, arguments, exit code, "
                            "changes) to this file");
    }

  private:
    Options& options_;
};

// The commands, by the name each is given on the command line.
struct CommandName {
    Command command;
    const char* name;
};
constexpr CommandName CommandNames[] = {
    {Command::Status, "status"},     {Command::Register, "register"},
    {Command::Remove, "remove"},     {Command::ExportDefaults, "export-defaults"},
    {Command::Settings, "settings"},
};

// The app with every command; judged is status's --scope.
void AddCommands(CLI::App& app, Options& options, const CLI::Option*& judged) {
    const SharedOptions shared(options);
    CLI::App* status = app.add_subcommand("status", "who opens each extension, and why");
    shared.Extensions(status);
    shared.Json(status);
    judged = shared.Scope(status, "judge only our registration in that hive (exit 0: complete), "
                                  "for deployment tools' detection");
    status->add_flag("--allow-replaceable-handler", options.allowReplaceableHandler,
                     "with --scope machine: call the registration complete even with a "
                     "Kavrex.exe that accounts other than administrators could replace");
    CLI::App* registering = app.add_subcommand("register", "associate the extensions with Kavrex");
    shared.Changes(registering);
    registering->add_flag("--allow-replaceable-handler", options.allowReplaceableHandler,
                          "with --scope machine: register even a Kavrex.exe that accounts other "
                          "than administrators could replace");
    shared.Changes(app.add_subcommand("remove", "take back what register wrote"));
    CLI::App* exporting = app.add_subcommand(
        "export-defaults", "print the default-associations XML for Group Policy or DISM");
    shared.Extensions(exporting);
    shared.Json(exporting);
    exporting->add_option("--output", options.output,
                          "write the XML to this file, in UTF-8, instead of printing it");
    exporting->add_flag("--force", options.force, "with --output: replace a file that is there");
    shared.Scope(app.add_subcommand("settings", "open Settings > Apps > Default apps at Kavrex, "
                                                "where a user chooses it"),
                 ChangeScope);
    for (const CommandName& command : CommandNames) {
        shared.Log(app.get_subcommand(command.name));
    }
}

// CLI11 would only say that a command is required.
bool IsUnknownCommand(int argc, const char* const* argv) {
    return argc > 1 && argv[1][0] != '-' && CommandNamed(argv[1]) == nullptr;
}

// Help, the version and CLI11's own complaints, on the console's streams; a
// complaint's first line is kept as the usage error's message.
ParsedArguments ParseErrorExit(CLI::App& app, const CLI::ParseError& error, Console& console) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = app.exit(error, out, err);
    WriteLines(out.str(), [&](const std::string& line) { console.WriteLine(line); });
    ParsedArguments parsed{std::nullopt, code == 0 ? Done : UsageError, {}};
    WriteLines(err.str(), [&](const std::string& line) {
        console.WriteErrorLine(line);
        if (parsed.error.empty()) {
            parsed.error = line;
        }
    });
    return parsed;
}

} // namespace

const char* CommandNamed(const std::string& word) {
    const auto* named =
        std::find_if(std::begin(CommandNames), std::end(CommandNames),
                     [&](const CommandName& command) { return command.name == word; });
    return named == std::end(CommandNames) ? nullptr : named->name;
}

ParsedArguments ParseArguments(int argc, const char* const* argv, Console& console,
                               Options& options) {
    CLI::App app("Associates archive extensions with Kavrex.exe beside this program, for "
                 "administrators and scripts, and tells what Windows really opens them with.",
                 "kavrex-assoc");
    app.set_version_flag("--version", "kavrex-assoc " KAVREX_VERSION);
    app.require_subcommand(1);
    app.footer(ExitCodes);
    options.extensions = {".rar"};
    const CLI::Option* judged = nullptr;
    AddCommands(app, options, judged);
    if (IsUnknownCommand(argc, argv)) {
        const std::string error =
            std::string("'") + argv[1] +
            "' is not a command: status, register, remove, "
            "export-defaults, settings. Run with --help for more information.";
        console.WriteErrorLine(error);
        return {std::nullopt, UsageError, error};
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return ParseErrorExit(app, error, console);
    }
    options.extensions = WithoutDuplicates(options.extensions);
    options.scopeGiven = judged->count() > 0;
    const auto chosen =
        std::find_if(std::begin(CommandNames), std::end(CommandNames),
                     [&](const CommandName& command) { return app.got_subcommand(command.name); });
    const CLI::Option* extensions = app.get_subcommand(chosen->name)->get_option_no_throw("--ext");
    options.extensionsGiven = extensions != nullptr && extensions->count() > 0;
    options.command = chosen->name;
    options.changes = chosen->command == Command::Register || chosen->command == Command::Remove;
    return {chosen->command, Done, {}};
}

} // namespace cli

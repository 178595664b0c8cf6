#include "Commands.h"

#include "Account.h"
#include "DefaultAssociations.h"
#include "FileWriting.h"
#include "Refusal.h"
#include "association/Handler.h"

#include <nlohmann/json.hpp>

namespace cli {

FilePolicy FilePolicyOf(Environment& environment) {
    const std::string account = environment.system.ProcessUserSid();
    return {IsServiceAccount(account) || CanWriteClasses(environment.registry, Scope::Machine),
            {account}};
}

namespace {

// With --json: the XML when it was printed, or the file it was written to,
// with the warning that came with it.
void WriteExportJson(Console& console, const Options& options, const std::string& xml,
                     const std::string& warning) {
    nlohmann::json out = JsonEnvelope("export-defaults", Done, Reason::None);
    const bool toFile = !options.output.empty();
    out["output"] = toFile ? nlohmann::json(console.ToUtf8(options.output)) : nullptr;
    out["xml"] = toFile ? nlohmann::json(nullptr) : nlohmann::json(xml);
    out["warning"] =
        warning.empty() ? nlohmann::json(nullptr) : nlohmann::json(console.ToUtf8(warning));
    console.WriteUtf8Line(out.dump(2));
}

Refusal NotWritten(const Options& options, const FileOutcome& outcome) {
    switch (outcome.write) {
    case FileWrite::AlreadyThere:
        return {ChangeFailed, Reason::FileExists,
                options.output + " is already there, and was left as it is. Add --force to "
                                 "replace it."};
    case FileWrite::Refused:
        return {ChangeFailed, Reason::LinkRefused,
                options.output + " was not written: " + outcome.note +
                    ". With administrator rights or as a service account, kavrex-assoc writes no "
                    "file through a link."};
    case FileWrite::Written:
    case FileWrite::Failed:
        break;
    }
    return {ChangeFailed, Reason::WriteFailed, "Could not write " + options.output + "."};
}

} // namespace

// The XML in UTF-8 exactly: to standard output, or to a file of its own, which
// no shell re-encodes on its way (PowerShell 5.1's ">" writes UTF-16).
int ExportDefaults(Environment& environment, const Options& options) {
    Console& console = environment.console;
    const std::string xml = console.ToUtf8(DefaultAssociationsXml(
        options.extensions, association::DialogTypeName(), association::ApplicationName));
    if (options.output.empty()) {
        if (options.json) {
            WriteExportJson(console, options, xml, {});
        } else {
            console.WriteUtf8Line(xml);
        }
        return Done;
    }
    const FileOutcome outcome = WriteFile(environment.system, FilePolicyOf(environment),
                                          options.output, xml + "\n", options.force);
    if (outcome.write != FileWrite::Written) {
        return Refuse(console, options, NotWritten(options, outcome));
    }
    const std::string warning = outcome.note.empty()
                                    ? std::string()
                                    : "Warning: accounts other than administrators could change " +
                                          options.output + " afterwards: " + outcome.note + ".";
    if (options.json) {
        WriteExportJson(console, options, {}, warning);
    } else {
        console.WriteLine("Wrote " + options.output + " (UTF-8).");
    }
    if (!warning.empty()) {
        console.WriteErrorLine(warning);
    }
    return Done;
}

} // namespace cli

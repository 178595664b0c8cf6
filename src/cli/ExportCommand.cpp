#include "Commands.h"

#include "Account.h"
#include "DefaultAssociations.h"
#include "FileWriting.h"
#include "association/Handler.h"

namespace cli {

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

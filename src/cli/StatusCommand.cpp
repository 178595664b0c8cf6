#include "Commands.h"

#include "Listing.h"
#include "Report.h"
#include "Users.h"
#include "association/RegistrationJudge.h"

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

} // namespace cli

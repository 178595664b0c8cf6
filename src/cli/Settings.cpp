// The settings command: since Windows 8 a program may not make itself the
// default; the user chooses in Settings > Apps > Default apps. Windows 11 opens
// that page at one registered application when the link names it
// (learn.microsoft.com/windows/apps/develop/launch/launch-default-apps-settings);
// elsewhere only the general page answers.
#include "Commands.h"
#include "Listing.h"
#include "association/Handler.h"

#include <cstdio>
#include <string>
#include <vector>

namespace cli {
namespace {

constexpr const char* DefaultAppsLink = "ms-settings:defaultapps";
constexpr int ShowNormal = 1; // SW_SHOWNORMAL

// The text as a URI query value: every byte but the unreserved ones escaped.
std::string UriEscaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if ((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') ||
            (code >= '0' && code <= '9') || c == '-' || c == '.' || c == '_' || c == '~') {
            escaped += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", code);
            escaped += hex;
        }
    }
    return escaped;
}

// Kavrex's own page for the scope's registration, where it is registered.
std::string ApplicationPageLink(Scope scope) {
    return std::string(DefaultAppsLink) +
           (scope == Scope::Machine ? "?registeredAppMachine=" : "?registeredAppUser=") +
           UriEscaped(association::ApplicationName);
}

} // namespace

int OpenSettings(Environment& environment, const Options& options) {
    const bool registered = IsRegisteredApplication(environment.registry, ScopeRoot(options.scope),
                                                    association::ApplicationName);
    std::vector<std::string> links;
    if (registered) {
        links.push_back(ApplicationPageLink(options.scope));
    }
    links.emplace_back(DefaultAppsLink);
    for (const std::string& link : links) {
        if (environment.system.ShellExecuteA("open", link.c_str(), ShowNormal)) {
            const bool atKavrex = link != DefaultAppsLink;
            environment.console.WriteLine(
                std::string("Opened Settings > Apps > Default apps") +
                (atKavrex ? " at Kavrex: choose it there for the file types it should open."
                          : ": look up Kavrex, or a file type such as .rar, and choose Kavrex."));
            if (!registered) {
                environment.console.WriteLine(
                    std::string("Kavrex is not registered for Default apps in the ") +
                    ScopeName(options.scope) +
                    " scope yet, so the page may not list it: run kavrex-assoc register first.");
            }
            return Done;
        }
    }
    environment.console.WriteErrorLine(
        "No Settings app answered " + links.back() +
        ": this system has no Settings > Apps > Default apps page (Wine has none). Nothing was "
        "opened.");
    return ChangeFailed;
}

} // namespace cli

// The settings command: since Windows 8 a program may not make itself the
// default; the user chooses in Settings > Apps > Default apps. From Windows 11
// 21H2 and 22H2 with their 2023-04 cumulative updates, and 23H2 on, that page
// opens at one registered application when the link names it
// (learn.microsoft.com/windows/apps/develop/launch/launch-default-apps-settings);
// elsewhere the link's query is ignored and the page opens at its start.
#include "Commands.h"
#include "Listing.h"
#include "Refusal.h"
#include "association/Handler.h"
#include "platform/Registry.h"

#include <cstdio>
#include <cstdlib>
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

// Whether this Windows opens the page at an application: by its build and
// update revision, which Windows keeps in the registry (GetVersionEx gives no
// revision).
bool TakesApplicationPage(platform::RegistryApi& registry) {
    platform::TRegistry reader(registry, KEY_READ);
    reader.SetRoot(HKEY_LOCAL_MACHINE);
    std::string build;
    DWORD revision = 0;
    platform::ValueKind kind = platform::ValueKind::Other;
    if (reader.OpenPathStatus("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", false) ||
        reader.ReadTextStatus("CurrentBuildNumber", build) ||
        reader.ValueSize("UBR") != sizeof revision) {
        return false;
    }
    try {
        reader.FetchValue("UBR", &revision, sizeof revision, kind);
    } catch (const std::exception&) {
        return false;
    }
    const long number = std::strtol(build.c_str(), nullptr, 10);
    return kind == platform::ValueKind::Integer &&
           (number > 22621 || (number == 22621 && revision >= 1555) ||
            (number == 22000 && revision >= 1817));
}

} // namespace

int OpenSettings(Environment& environment, const Options& options) {
    const bool registered = IsRegisteredApplication(environment.registry, ScopeRoot(options.scope),
                                                    association::ApplicationName);
    std::vector<std::string> links;
    if (registered && TakesApplicationPage(environment.registry)) {
        links.push_back(ApplicationPageLink(options.scope));
    }
    links.emplace_back(DefaultAppsLink);
    for (const std::string& link : links) {
        if (environment.system.ShellExecuteA("open", link.c_str(), ShowNormal)) {
            const bool atKavrex = link != DefaultAppsLink;
            environment.console.WriteLine(
                std::string("Opened Settings > Apps > Default apps") +
                (atKavrex ? " at Kavrex: choose it there for the file types it should open."
                          : ". This Windows opens it at its start: look up Kavrex in its list of "
                            "applications (on Windows 10: Set defaults by app), or a file type "
                            "such as .rar, and choose Kavrex there."));
            if (!registered) {
                environment.console.WriteLine(
                    std::string("Kavrex is not registered for Default apps in the ") +
                    ScopeName(options.scope) +
                    " scope yet, so the page may not list it: run kavrex-assoc register first.");
            }
            return Done;
        }
    }
    return Refuse(environment.console, options,
                  {ChangeFailed, Reason::NoSettingsApp,
                   "No Settings app answered " + links.back() +
                       ": this system has no Settings > Apps > Default apps page. Nothing was "
                       "opened."});
}

} // namespace cli

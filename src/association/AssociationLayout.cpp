#include "AssociationLayout.h"

#include "platform/RegistryNames.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

namespace association {
namespace {

struct LayoutPattern {
    KeyRole role;
    Hive hive;
    // Patterns: {X} stands for the extension, {T} for the type name, {A} for
    // the application's name.
    const char* key;
    const char* name; // empty for the default value
    bool closeAfter;
    TakeBack takeBack;
    const char* emptyUpTo; // pattern of the highest key that goes once empty
    Judged judged;
};

// In writing order: first what nothing reads until the extension names our
// type, then that switch, then the "Open with" entry below it. Nothing else is
// written below the extension before it switches: in the user's classes a new
// extension key would hide the machine's one from HKEY_CLASSES_ROOT ("Merged
// View of HKEY_CLASSES_ROOT"), and the kept value is only written into a key
// that holds a default already. The icon is the last key opened below the
// type key: it is closed there, and the shell keys are opened from the root
// again.
// Software\Classes and Software\RegisteredApplications are Windows' own: they
// always stay.
// clang-format off
constexpr LayoutPattern Keys[] = {
    // role                           hive               key                                              name                      close  how it is taken back         empty up to      how it is judged
    {KeyRole::KeptValue,              Hive::Classes,     "{X}",                                           "{T}.Previous",           false, TakeBack::KeptValue,         "{X}",           Judged::NotJudged},
    {KeyRole::Type,                   Hive::Classes,     "{T}",                                           "",                       false, TakeBack::TypeKey,           "",              Judged::Present},
    {KeyRole::Icon,                   Hive::Classes,     "{T}\\DefaultIcon",                              "",                       true,  TakeBack::WithTypeKey,       "",              Judged::Present},
    {KeyRole::Command,                Hive::Classes,     "{T}\\Shell\\Open\\Command",                     "",                       false, TakeBack::WithTypeKey,       "",              Judged::OpensHandler},
    {KeyRole::Verb,                   Hive::Classes,     "{T}\\Shell\\Open",                              "",                       false, TakeBack::WithTypeKey,       "",              Judged::NotJudged},
    {KeyRole::ApplicationName,        Hive::Application, "Software\\{A}\\Capabilities",                   "ApplicationName",        false, TakeBack::RegistrationValue, "Software\\{A}", Judged::Present},
    {KeyRole::ApplicationDescription, Hive::Application, "Software\\{A}\\Capabilities",                   "ApplicationDescription", false, TakeBack::RegistrationValue, "Software\\{A}", Judged::Present},
    {KeyRole::ApplicationIcon,        Hive::Application, "Software\\{A}\\Capabilities",                   "ApplicationIcon",        false, TakeBack::RegistrationValue, "Software\\{A}", Judged::Present},
    {KeyRole::FileAssociation,        Hive::Application, "Software\\{A}\\Capabilities\\FileAssociations", "{X}",                    false, TakeBack::ValueIfOurs,       "Software\\{A}", Judged::AsWritten},
    {KeyRole::RegisteredApplication,  Hive::Application, "Software\\RegisteredApplications",              "{A}",                    true,  TakeBack::PointerOnceGone,   "",              Judged::AsWritten},
    {KeyRole::Extension,              Hive::Classes,     "{X}",                                           "",                       false, TakeBack::OwnType,           "{X}",           Judged::AsWritten},
    {KeyRole::OpenWith,               Hive::Classes,     "{X}\\OpenWithProgids",                          "{T}",                    true,  TakeBack::Value,             "{X}",           Judged::Present},
};
// clang-format on

// The pattern with its placeholders filled in, in one pass, so that a name
// that itself holds a placeholder's text stays as it is.
std::string Expanded(const char* pattern, const AssociationKeys& keys) {
    const struct {
        const char* token;
        const std::string& text;
    } fills[] = {{"{X}", keys.extension}, {"{T}", keys.typeName}, {"{A}", keys.application}};
    std::string expanded;
    for (const char* at = pattern; *at;) {
        const auto* fill = std::find_if(std::begin(fills), std::end(fills), [at](const auto& f) {
            return std::string_view(at).substr(0, 3) == f.token;
        });
        if (fill == std::end(fills)) {
            expanded += *at++;
        } else {
            expanded += fill->text;
            at += 3;
        }
    }
    return expanded;
}

// The highest key a row may take away, with the keys below it.
const char* TopPattern(const LayoutPattern& pattern) {
    return *pattern.emptyUpTo ? pattern.emptyUpTo : pattern.key;
}

bool NamesExtension(std::string_view pattern) {
    return pattern.find("{X}") != std::string_view::npos;
}

LayoutPlace PlaceOf(const LayoutPattern& pattern, const AssociationKeys& keys) {
    return {pattern.hive, Expanded(pattern.key, keys), Expanded(pattern.name, keys)};
}

std::string IconValue(const Association& a) {
    return a.handlerPath + "," + std::to_string(a.iconIndex);
}

// The text a string row holds.
std::string RowText(KeyRole role, const Association& a) {
    switch (role) {
    case KeyRole::Extension:
    case KeyRole::FileAssociation:
        return a.keys.typeName;
    case KeyRole::Type:
        return a.description;
    case KeyRole::Icon:
    case KeyRole::ApplicationIcon:
        return IconValue(a);
    case KeyRole::Command:
        return OpenCommand(a.handlerPath, a.paramString);
    case KeyRole::Verb:
        return a.menuName;
    case KeyRole::ApplicationName:
        return a.keys.application;
    case KeyRole::ApplicationDescription:
        return a.applicationDescription;
    case KeyRole::RegisteredApplication:
        return CapabilitiesKey(a.keys.application);
    case KeyRole::OpenWith:  // the type is its value's name; the data stays empty
    case KeyRole::KeptValue: // not text: kept as it was
        break;
    }
    return {};
}

// What the row writes; none where it is left out.
std::optional<platform::RegistryValue> ValueOf(KeyRole role, const Association& a) {
    if (role == KeyRole::KeptValue) {
        return a.kept;
    }
    if (role == KeyRole::Verb && a.menuName.empty()) {
        return std::nullopt;
    }
    return platform::StringValue(RowText(role, a));
}

} // namespace

std::vector<LayoutRow> AssociationLayout(const Association& association) {
    std::vector<LayoutRow> rows;
    for (const LayoutPattern& pattern : Keys) {
        if (std::optional<platform::RegistryValue> value = ValueOf(pattern.role, association)) {
            rows.push_back(
                {PlaceOf(pattern, association.keys), std::move(*value), pattern.closeAfter});
        }
    }
    return rows;
}

LayoutPlace LayoutValue(KeyRole role, const AssociationKeys& keys) {
    const auto* pattern =
        std::find_if(std::begin(Keys), std::end(Keys),
                     [role](const LayoutPattern& key) { return key.role == role; });
    return PlaceOf(*pattern, keys);
}

std::string CapabilitiesKey(const std::string& application) {
    return LayoutKey(KeyRole::ApplicationName, {"", "", application});
}

HKEY HiveRoot(Hive hive, HKEY applicationHive) {
    return hive == Hive::Classes ? HKEY_CLASSES_ROOT : applicationHive;
}

std::string KeyInApplicationHive(const LayoutPlace& place) {
    return place.hive == Hive::Classes ? platform::ClassesKey(place.key) : place.key;
}

std::vector<TakeBackRow> TakeBackLayout(const AssociationKeys& keys) {
    const Association ours{keys, {}, {}, 0, {}, {}, {}, {}};
    std::vector<TakeBackRow> rows;
    rows.reserve(std::size(Keys));
    for (auto pattern = std::rbegin(Keys); pattern != std::rend(Keys); ++pattern) {
        rows.push_back({PlaceOf(*pattern, keys), pattern->takeBack, RowText(pattern->role, ours),
                        Expanded(pattern->emptyUpTo, keys), pattern->judged,
                        NamesExtension(pattern->key) || NamesExtension(pattern->name)});
    }
    return rows;
}

std::vector<LayoutPlace> LayoutTopKeys(const std::vector<std::string>& extensions,
                                       const AssociationKeys& keys) {
    std::vector<LayoutPlace> top;
    const auto add = [&top](const LayoutPattern& pattern, const AssociationKeys& named) {
        LayoutPlace place{pattern.hive, Expanded(TopPattern(pattern), named), ""};
        if (std::none_of(top.begin(), top.end(), [&place](const LayoutPlace& t) {
                return t.hive == place.hive && platform::IsWithinPath(place.key, t.key);
            })) {
            top.push_back(std::move(place));
        }
    };
    // The extensions' keys first, then the shared ones.
    for (const std::string& extension : extensions) {
        for (const LayoutPattern& pattern : Keys) {
            if (NamesExtension(TopPattern(pattern))) {
                add(pattern, {extension, keys.typeName, keys.application});
            }
        }
    }
    for (const LayoutPattern& pattern : Keys) {
        if (!NamesExtension(TopPattern(pattern))) {
            add(pattern, keys);
        }
    }
    return top;
}

std::string OpenCommand(const std::string& handlerPath, const std::string& paramString) {
    return "\"" + handlerPath + "\" \"" + paramString + "\"";
}

void SplitCommandLine(char separator, std::string& command, std::string& arguments) {
    const auto at = command.find(separator);
    if (at == std::string::npos) {
        arguments.clear();
        return;
    }
    arguments = command.substr(at + 1);
    command.resize(at);
}

std::string ProgramOfCommand(const std::string& command) {
    if (!command.empty() && command.front() == '"') {
        const auto closing = command.find('"', 1);
        return closing == std::string::npos ? std::string() : command.substr(1, closing - 1);
    }
    std::string program = command;
    std::string arguments;
    SplitCommandLine(' ', program, arguments);
    return program;
}

} // namespace association

#include "AssociationLayout.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

namespace association {
namespace {

constexpr const char* ApplicationKeyPattern = "Software\\{A}";

struct KeyDesign {
    KeyRole role;
    Hive hive;
    // Patterns: {X} stands for the extension, {T} for the type name, {A} for
    // the application's name.
    const char* key;
    const char* name; // empty for the default value
    bool optional;    // left out when its value is empty
    bool closeAfter;
    bool own; // beyond the association's classic keys, written after them
};

// In writing order. The icon is the last key opened below the type key: it is
// closed there, and the shell keys are opened from the root again. The last of
// the classic keys is closed too, before our own rows.
// clang-format off
constexpr KeyDesign Keys[] = {
    {KeyRole::Extension,   Hive::Classes, "{X}",                     "", false, false, false},
    {KeyRole::Type,        Hive::Classes, "{T}",                     "", false, false, false},
    {KeyRole::Icon,        Hive::Classes, "{T}\\DefaultIcon",         "", false, true,  false},
    {KeyRole::Command,     Hive::Classes, "{T}\\Shell\\Open\\Command", "", false, false, false},
    {KeyRole::Verb,        Hive::Classes, "{T}\\Shell\\Open",          "", true,  false, false},
    {KeyRole::PreviousType, Hive::Classes, "{X}",                 "{T}.Previous", true, false, true},
    {KeyRole::OpenWith,    Hive::Classes, "{X}\\OpenWithProgids",     "{T}", false, false, true},
    {KeyRole::ApplicationName,        Hive::Application, "Software\\{A}\\Capabilities",
     "ApplicationName",        false, false, true},
    {KeyRole::ApplicationDescription, Hive::Application, "Software\\{A}\\Capabilities",
     "ApplicationDescription", false, false, true},
    {KeyRole::ApplicationIcon,        Hive::Application, "Software\\{A}\\Capabilities",
     "ApplicationIcon",        false, false, true},
    {KeyRole::FileAssociation,        Hive::Application,
     "Software\\{A}\\Capabilities\\FileAssociations", "{X}", false, false, true},
    {KeyRole::RegisteredApplication,  Hive::Application, "Software\\RegisteredApplications",
     "{A}", false, true, true},
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

LayoutPlace PlaceOf(const KeyDesign& design, const AssociationKeys& keys) {
    return {design.hive, Expanded(design.key, keys), Expanded(design.name, keys)};
}

std::string IconValue(const Association& a) {
    return a.handlerPath + "," + std::to_string(a.iconIndex);
}

std::string ValueOf(KeyRole role, const Association& a) {
    switch (role) {
    case KeyRole::Extension:
    case KeyRole::OpenWith: // the type is its value's name; the data stays empty
        return role == KeyRole::Extension ? a.keys.typeName : std::string();
    case KeyRole::Type:
        return a.description;
    case KeyRole::Icon:
    case KeyRole::ApplicationIcon:
        return IconValue(a);
    case KeyRole::Command:
        return OpenCommand(a.handlerPath, a.paramString);
    case KeyRole::Verb:
        return a.menuName;
    case KeyRole::PreviousType:
        return a.previousType;
    case KeyRole::ApplicationName:
        return a.keys.application;
    case KeyRole::ApplicationDescription:
        return a.applicationDescription;
    case KeyRole::FileAssociation:
        return a.keys.typeName;
    case KeyRole::RegisteredApplication:
        return CapabilitiesKey(a.keys.application);
    }
    return {};
}

} // namespace

std::vector<LayoutRow> AssociationLayout(const Association& association) {
    std::vector<LayoutRow> rows;
    std::size_t classicRows = 0;
    for (const KeyDesign& design : Keys) {
        std::string value = ValueOf(design.role, association);
        if (!design.optional || !value.empty()) {
            rows.push_back(
                {PlaceOf(design, association.keys), std::move(value), design.closeAfter});
            classicRows += design.own ? 0 : 1;
        }
    }
    rows[classicRows - 1].closeAfter = true; // the classic keys end closed
    return rows;
}

LayoutPlace LayoutValue(KeyRole role, const AssociationKeys& keys) {
    const auto* design = std::find_if(std::begin(Keys), std::end(Keys),
                                      [role](const KeyDesign& key) { return key.role == role; });
    return PlaceOf(*design, keys);
}

std::string ApplicationKey(const std::string& application) {
    return Expanded(ApplicationKeyPattern, {"", "", application});
}

std::string CapabilitiesKey(const std::string& application) {
    return LayoutKey(KeyRole::ApplicationName, {"", "", application});
}

std::vector<LayoutPlace> LayoutTopKeys(const std::vector<std::string>& extensions,
                                       const AssociationKeys& keys) {
    std::vector<LayoutPlace> top;
    top.reserve(extensions.size() + 3);
    for (const std::string& extension : extensions) {
        top.push_back({Hive::Classes, LayoutKey(KeyRole::Extension, {extension, "", ""}), ""});
    }
    top.push_back({Hive::Classes, LayoutKey(KeyRole::Type, keys), ""});
    top.push_back({Hive::Application, ApplicationKey(keys.application), ""});
    top.push_back({Hive::Application, LayoutKey(KeyRole::RegisteredApplication, keys), ""});
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

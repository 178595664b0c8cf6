#include "AssociationLayout.h"

#include <algorithm>
#include <iterator>

namespace association {
namespace {

// Where a key lies: below the extension's name or below the type's.
enum class Anchor { Extension, Type };

struct KeyDesign {
    KeyRole role;
    Anchor anchor;
    const char* below; // the path below the anchor; empty for the anchor itself
    bool optional;     // left out when its value is empty
    bool closeAfter;
};

// In writing order. The icon is the last key opened below the type key: it is
// closed there, and the shell keys are opened from the root again.
// clang-format off
constexpr KeyDesign Keys[] = {
    {KeyRole::Extension, Anchor::Extension, "",                     false, false},
    {KeyRole::Type,      Anchor::Type,      "",                     false, false},
    {KeyRole::Icon,      Anchor::Type,      "DefaultIcon",          false, true},
    {KeyRole::Command,   Anchor::Type,      "Shell\\Open\\Command", false, false},
    {KeyRole::Verb,      Anchor::Type,      "Shell\\Open",          true,  false},
};
// clang-format on

std::string KeyOf(const KeyDesign& design, const AssociationKeys& keys) {
    const std::string& anchor = design.anchor == Anchor::Extension ? keys.extension : keys.typeName;
    return *design.below ? anchor + "\\" + design.below : anchor;
}

std::string ValueOf(KeyRole role, const Association& a) {
    switch (role) {
    case KeyRole::Extension:
        return a.keys.typeName;
    case KeyRole::Type:
        return a.description;
    case KeyRole::Icon:
        return a.handlerPath + "," + std::to_string(a.iconIndex);
    case KeyRole::Command:
        return OpenCommand(a.handlerPath, a.paramString);
    case KeyRole::Verb:
        return a.menuName;
    }
    return {};
}

} // namespace

std::vector<LayoutRow> AssociationLayout(const Association& association) {
    std::vector<LayoutRow> rows;
    for (const KeyDesign& design : Keys) {
        std::string value = ValueOf(design.role, association);
        if (!design.optional || !value.empty()) {
            rows.push_back({KeyOf(design, association.keys), std::move(value), design.closeAfter});
        }
    }
    rows.back().closeAfter = true; // the last key is closed too
    return rows;
}

std::string LayoutKey(KeyRole role, const AssociationKeys& keys) {
    const auto* design = std::find_if(std::begin(Keys), std::end(Keys),
                                      [role](const KeyDesign& key) { return key.role == role; });
    return KeyOf(*design, keys);
}

std::vector<std::string> LayoutTopKeys(const std::vector<std::string>& extensions,
                                       const std::string& typeName) {
    std::vector<std::string> keys;
    keys.reserve(extensions.size() + 1);
    for (const std::string& extension : extensions) {
        keys.push_back(LayoutKey(KeyRole::Extension, {extension, typeName}));
    }
    keys.push_back(LayoutKey(KeyRole::Type, {"", typeName}));
    return keys;
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

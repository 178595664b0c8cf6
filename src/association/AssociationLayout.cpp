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

std::string OpenCommand(const std::string& handlerPath, const std::string& paramString) {
    return "\"" + handlerPath + "\" \"" + paramString + "\"";
}

} // namespace association

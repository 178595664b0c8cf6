#include "AssociationLayout.h"

namespace association {

std::string OpenCommand(const std::string& handlerPath, const std::string& paramString) {
    return "\"" + handlerPath + "\" \"" + paramString + "\"";
}

std::vector<LayoutEntry> RegistrationLayout(const Association& a) {
    const std::string type = "\\" + a.typeName;
    std::vector<LayoutEntry> layout = {
        {a.extension, a.typeName, false},
        {type, a.description, false},
        {"DefaultIcon", a.handlerPath + "," + std::to_string(a.iconIndex), true},
        {type + "\\Shell\\Open\\Command", OpenCommand(a.handlerPath, a.paramString), false},
    };
    if (!a.menuName.empty()) {
        layout.push_back({type + "\\Shell\\Open", a.menuName, false});
    }
    layout.back().closeAfter = true;
    return layout;
}

} // namespace association

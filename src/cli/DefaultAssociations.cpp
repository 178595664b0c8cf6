#include "DefaultAssociations.h"

namespace cli {
namespace {

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        case '\t':
        case '\n':
        case '\r': // as references, which attribute values keep as they are
            escaped += "&#" + std::to_string(static_cast<int>(c)) + ";";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

std::string DefaultAssociationsXml(const std::vector<std::string>& extensions,
                                   const std::string& progId, const std::string& applicationName) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DefaultAssociations>\n";
    for (const std::string& extension : extensions) {
        xml += "  <Association Identifier=\"" + Escaped(extension) + "\" ProgId=\"" +
               Escaped(progId) + "\" ApplicationName=\"" + Escaped(applicationName) + "\" />\n";
    }
    return xml + "</DefaultAssociations>";
}

} // namespace cli

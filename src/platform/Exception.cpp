#include "Exception.h"

namespace platform {

std::string FormatText(const std::string& pattern, const std::string& argument) {
    const auto at = pattern.find("%s");
    if (at == std::string::npos) {
        return pattern;
    }
    return pattern.substr(0, at) + argument + pattern.substr(at + 2);
}

std::string FilledText(std::string pattern, const std::vector<std::string>& arguments) {
    for (std::size_t i = arguments.size(); i > 0; --i) { // %10 before %1
        const std::string placeholder = "%" + std::to_string(i);
        for (auto at = pattern.find(placeholder); at != std::string::npos;
             at = pattern.find(placeholder, at + arguments[i - 1].size())) {
            pattern.replace(at, placeholder.size(), arguments[i - 1]);
        }
    }
    return pattern;
}

} // namespace platform

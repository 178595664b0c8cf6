// The registry layout of one association, as default values under
// HKEY_CLASSES_ROOT, for type name T, description D, handler path H, icon
// index N, argument template P and optional verb name M:
//
//   .ext                    T
//   T                       D
//   T\DefaultIcon           H,N
//   T\Shell\Open\Command    "H" "P"
//   T\Shell\Open            M        (only when M is not empty)
#pragma once

#include <string>
#include <vector>

namespace association {

struct Association {
    std::string extension;
    std::string typeName;
    std::string description;
    std::string handlerPath;
    long iconIndex;
    std::string paramString;
    std::string menuName;
};

// One key to open (with creation) and the default value to write there.
struct LayoutEntry {
    std::string openPath; // relative to the key opened before it, or absolute with "\"
    std::string value;
    bool closeAfter; // the key is closed once its value is written
};

// The entries in writing order.
std::vector<LayoutEntry> RegistrationLayout(const Association& association);

// The open command: the handler and the argument template, each in double quotes.
std::string OpenCommand(const std::string& handlerPath, const std::string& paramString);

} // namespace association

// The registry layout of one association: the keys under HKEY_CLASSES_ROOT,
// each with the role it plays and its default value, for type name T,
// description D, handler path H, icon index N, argument template P and
// optional verb name M:
//
//   .ext                    T        extension
//   T                       D        type
//   T\DefaultIcon           H,N      icon
//   T\Shell\Open\Command    "H" "P"  command
//   T\Shell\Open            M        verb (only when M is not empty)
//
// Registering writes these rows, checking reads the command row, removing
// takes back the extension and type rows: all three read this one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace association {

enum class KeyRole { Extension, Type, Icon, Command, Verb };

// The names that place an association's keys.
struct AssociationKeys {
    std::string extension;
    std::string typeName;
};

struct Association {
    AssociationKeys keys;
    std::string description;
    std::string handlerPath;
    std::int32_t iconIndex;
    std::string paramString;
    std::string menuName;
};

struct LayoutRow {
    std::string key; // from HKEY_CLASSES_ROOT, without a leading backslash
    std::string value;
    bool closeAfter; // the registering order closes the key once its value is written
};

// The rows in writing order; a row whose value is optional and empty is left out.
std::vector<LayoutRow> AssociationLayout(const Association& association);

// The key of one role, from HKEY_CLASSES_ROOT.
std::string LayoutKey(KeyRole role, const AssociationKeys& keys);

// The open command: the handler and the argument template, each in double quotes.
std::string OpenCommand(const std::string& handlerPath, const std::string& paramString);

} // namespace association

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

// The keys that associating or removing these extensions may change, each
// with its subtree: every extension's key, then the type key.
std::vector<std::string> LayoutTopKeys(const std::vector<std::string>& extensions,
                                       const std::string& typeName);

// The open command: the handler and the argument template, each in double quotes.
std::string OpenCommand(const std::string& handlerPath, const std::string& paramString);
// Cuts the command at the first separator and hands what follows to
// arguments; without a separator the command stays and arguments are empty.
void SplitCommandLine(char separator, std::string& command, std::string& arguments);
// The program part of a stored open command, the inverse of OpenCommand: up to
// the closing quote when it starts with one (empty without one), else up to
// the first space.
std::string ProgramOfCommand(const std::string& command);

} // namespace association

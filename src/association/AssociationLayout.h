// The registry layout of one association, for type name T, description D,
// handler path H, icon index N, argument template P, optional verb name M,
// application name A (Kavrex), application description E, the extension X and
// the type X had before ours, V:
//
//   below HKEY_CLASSES_ROOT
//   X                         (default)               T
//   T                         (default)               D
//   T\DefaultIcon             (default)               H,N
//   T\Shell\Open\Command      (default)               "H" "P"
//   T\Shell\Open              (default)               M      (only when M is not empty)
//   --- our own, after the rows above ---
//   X                         T.Previous              V      (only when V was another's)
//   X\OpenWithProgids         T                       ""
//   below the hive that received the classes (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER)
//   Software\A\Capabilities   ApplicationName         A
//   Software\A\Capabilities   ApplicationDescription  E
//   Software\A\Capabilities   ApplicationIcon         H,N
//   Software\A\Capabilities\FileAssociations  X       T
//   Software\RegisteredApplications           A       Software\A\Capabilities
//
// The rows from OpenWithProgids on are what Windows 8 and later ask of a
// program that wants to be offered, not imposed: "OpenWithProgids" lists it in
// "Open with" (learn.microsoft.com/windows/win32/shell/how-to-include-an-
// application-on-the-open-with-dialog-box: the ProgID as a value name, REG_SZ
// with empty data), and "Capabilities" with its "RegisteredApplications" entry
// lists it in Settings > Apps > Default apps (learn.microsoft.com/windows/
// win32/shell/default-programs, "Registering an Application for Use with
// Default Programs"; the ms-settings:defaultapps page reads the same value,
// learn.microsoft.com/windows/apps/develop/launch/launch-default-apps-settings).
// Keeping the type that was there, to give it back on removal, is what
// installers do, e.g. Inno Setup's uninsdeletevalue entries under
// OpenWithProgids (jrsoftware.org/ishelp/topic_registrysection.htm).
//
// Registering writes these rows, checking reads the command row, removing
// takes back every row: all three read this one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace association {

enum class KeyRole {
    Extension,
    Type,
    Icon,
    Command,
    Verb,
    PreviousType,
    OpenWith,
    ApplicationName,
    ApplicationDescription,
    ApplicationIcon,
    FileAssociation,
    RegisteredApplication,
};

// Where a row's key lies: below HKEY_CLASSES_ROOT, or below the root of the
// hive that received the classes.
enum class Hive { Classes, Application };

// The names that place an association's keys and values.
struct AssociationKeys {
    std::string extension;
    std::string typeName;
    std::string application; // the program's registered name
};

struct Association {
    AssociationKeys keys;
    std::string description;
    std::string handlerPath;
    std::int32_t iconIndex;
    std::string paramString;
    std::string menuName;
    std::string previousType; // another program's type that X named; empty: none
    std::string applicationDescription;
};

// Where one value lies.
struct LayoutPlace {
    Hive hive;
    std::string key;  // from the hive's root, without a leading backslash
    std::string name; // "" is the default value
};

struct LayoutRow {
    LayoutPlace place;
    std::string value;
    bool closeAfter; // the registering order closes the key once its value is written
};

// The rows in writing order; a row whose value is optional and empty is left out.
std::vector<LayoutRow> AssociationLayout(const Association& association);

// Where the value of one role lies.
LayoutPlace LayoutValue(KeyRole role, const AssociationKeys& keys);
// The key of one role, from its hive's root.
inline std::string LayoutKey(KeyRole role, const AssociationKeys& keys) {
    return LayoutValue(role, keys).key;
}
// The application's own key, and the key below it that holds its
// registration for Default apps.
std::string ApplicationKey(const std::string& application);
std::string CapabilitiesKey(const std::string& application);

// The keys that associating or removing these extensions may change, each
// with its subtree: every extension's key, the type key, the application's
// key and the registered applications' key.
std::vector<LayoutPlace> LayoutTopKeys(const std::vector<std::string>& extensions,
                                       const AssociationKeys& keys);

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

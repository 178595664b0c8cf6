// The registry layout of one association, for type name T, description D,
// handler path H, icon index N, argument template P, optional verb name M,
// application name A (Kavrex), application description E, the extension X and
// the value V that X's default held before ours, when it was another's:
//
// clang-format off
//   below HKEY_CLASSES_ROOT, in writing order             removal takes it back
//   X                        T.Previous         V          deleted; first V goes back to X's
//                                                          default when it names a type that
//                                                          is still there, or is no type name
//   T                        (default)          D          T's subtree, once no extension names T
//   T\DefaultIcon            (default)          H,N        with T
//   T\Shell\Open\Command     (default)          "H" "P"    with T
//   T\Shell\Open             (default)          M          with T (only when M is not empty)
//   below the hive that received the classes (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER)
//   Software\A\Capabilities  ApplicationName    A          deleted once no extension is recorded
//   Software\A\Capabilities  ApplicationDescription E      likewise
//   Software\A\Capabilities  ApplicationIcon    H,N        likewise
//   ...\Capabilities\FileAssociations  X        T          deleted while it names T
//   Software\RegisteredApplications  A  Software\A\Capabilities  deleted once that key is gone
//   below HKEY_CLASSES_ROOT, last
//   X                        (default)          T          first of all: V, as above, else deleted
//   X\OpenWithProgids        T                  ""         deleted
// clang-format on
//
// X's default is the commit point: until it names T, nothing reads the rows
// above it, so a run stopped anywhere leaves either the extension as it was or
// the association whole ("Open with" may follow). Removal gives X back first,
// then takes away what no longer has a reader. Each key of ours that removal
// leaves empty goes too, up to X and Software\A.
//
// The Capabilities, RegisteredApplications and OpenWithProgids rows are what Windows 8 and later
// ask of a program that wants to be offered, not imposed: "OpenWithProgids" lists it in "Open with"
// (learn.microsoft.com/windows/win32/shell/how-to-include-an-
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
// takes back every row the way its TakeBack says, and judging a registration
// reads every row the way its Judged says: all four read this one table. A
// row without a way back cannot be written.
#pragma once

#include "platform/RegistryValue.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace association {

enum class KeyRole {
    Extension,
    Type,
    Icon,
    Command,
    Verb,
    KeptValue,
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

// The root of a hive: HKEY_CLASSES_ROOT for the classes, else the hive that
// received them (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER).
HKEY HiveRoot(Hive hive, HKEY applicationHive);

// How removal takes a row back, in the order it does so. Rows of one extension
// go first, then the keys the extensions share.
enum class TakeBack {
    // The extension's type: the kept one back, when that is still there, else
    // deleted; while it still names ours, nothing else of the extension goes.
    OwnType,
    // The kept value, for each extension; put back should another run have
    // switched the extension to ours meanwhile, so that it is never lost.
    KeptValue,
    Value,       // the value, for each extension
    ValueIfOurs, // the value, for each extension, while it holds what registering wrote
    TypeKey,     // the key with its subtree, once no extension names the type
    WithTypeKey, // nothing of its own: it goes with the type key
    // The value, once the registration records no extension.
    RegistrationValue,
    // The value while it names the key registering wrote, once that key is gone.
    PointerOnceGone,
};

// How judging a registration reads a row: whether it is complete.
enum class Judged {
    NotJudged,    // written only when there is something to write: the kept value, the verb
    Present,      // the value is there
    AsWritten,    // the value holds what registering writes (names compared as Windows does)
    OpensHandler, // the command starts Kavrex.exe, by its short or long path
};

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
    // What X's default held when it was another's, to give back; none: nothing.
    std::optional<platform::RegistryValue> kept;
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
    platform::RegistryValue value;
    bool closeAfter; // the registering order closes the key once its value is written
};

// The rows in writing order, X's default last; the verb's row without a verb
// name and the kept value's row with nothing kept are left out.
std::vector<LayoutRow> AssociationLayout(const Association& association);

struct TakeBackRow {
    LayoutPlace place;
    TakeBack takeBack;
    std::string ours;      // what registering wrote, where TakeBack compares with it
    std::string emptyUpTo; // the highest key that goes once left empty; "" for none
    Judged judged;
    bool ofExtension; // the row names the extension: it is one extension's alone
};
// Every row, optional ones too, in reverse writing order.
std::vector<TakeBackRow> TakeBackLayout(const AssociationKeys& keys);

// Where the value of one role lies.
LayoutPlace LayoutValue(KeyRole role, const AssociationKeys& keys);
// The key of one role, from its hive's root.
inline std::string LayoutKey(KeyRole role, const AssociationKeys& keys) {
    return LayoutValue(role, keys).key;
}
// The key below the application's hive that holds its registration for
// Default apps.
std::string CapabilitiesKey(const std::string& application);
// A place's key from the root of the application's hive, where the classes
// are its Software\Classes.
std::string KeyInApplicationHive(const LayoutPlace& place);

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

// Who opens an extension: the per-machine and per-user classes, the current
// user's UserChoice (which wins over both since Windows 8), and one verdict.
#pragma once

#include "Handler.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryValue.h"

#include <optional>

#include <string>
#include <vector>

namespace association {

// An extension's entry in one hive's classes.
struct ClassesEntry {
    std::string typeName; // empty: no entry
    std::string command;  // the type's open command
    bool opensKavrex = false;
    // A default that names no type (binary data, a number, ...): none for
    // text and where there is none; unread when it could not be read.
    std::optional<platform::RegistryValue> notAType;
    bool unread = false;
};

// Broken: the extension names a type that is not there, that has no way to
// open a file, or whose open command names a program file that is not there
// (the handler beside the program included). KavrexElsewhere: it opens with a
// Kavrex.exe in another folder, which registering points to the handler.
enum class Verdict {
    OpensWithKavrex,
    UserChoiceOther,
    AssociatedWithOther,
    NotAssociated,
    Broken,
    KavrexElsewhere
};

struct ExtensionStatus {
    std::string extension;
    ClassesEntry machine;
    ClassesEntry user;
    std::string userChoice; // the ProgId the user chose; empty: none
    Verdict verdict;
    std::string openedBy;        // the type (or ProgId) that opens it, when not Kavrex
    std::string kavrexElsewhere; // with KavrexElsewhere: that Kavrex.exe's path
    // Its command names a program outside the local fixed drives (a share, a
    // device path, a network or removable drive), which is never looked up:
    // whether it is there was not checked.
    bool programUnchecked = false;
};

// The UserChoice key of an extension, below HKEY_CURRENT_USER.
std::string UserChoiceKey(const std::string& extension);

// Reads with read rights only; the open commands as Windows reads and starts them.
ExtensionStatus QueryStatus(platform::RegistryApi& registry, platform::SystemApi& system,
                            const std::string& extension, const Handler& handler);

// The statuses of the extensions that the user's own choice opens with
// another program: since Windows 8 that choice wins over every registration.
std::vector<ExtensionStatus> ChosenElsewhere(platform::RegistryApi& registry,
                                             platform::SystemApi& system,
                                             const std::vector<std::string>& extensions);
// What to tell the user of one of them, and where to change it.
std::string UserChoiceNote(const ExtensionStatus& status);

// The ProgId of the current user's choice for the extension; empty when none.
std::string UserChoiceProgId(platform::RegistryApi& registry, const std::string& extension);

} // namespace association

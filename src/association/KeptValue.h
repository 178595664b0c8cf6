// What an extension's default held before ours: kept by registering when it
// takes the extension over, given back by removing when it lets it go. The
// kept value has the type and bytes the default had, whatever they were. Each
// read that the registry refuses is told apart from one that finds nothing.
#pragma once

#include "Answer.h"
#include "AssociationLayout.h"
#include "platform/RegistryApi.h"

#include <optional>
#include <string>
#include <utility>

namespace association {

struct Kept {
    Answer answer = Answer::No; // Yes: there is a value; Refused: the registry refused to tell
    std::optional<platform::RegistryValue> value; // with Yes alone
};
inline Kept KeptAs(platform::RegistryValue value) {
    return {Answer::Yes, std::move(value)};
}
// Nothing to keep or give back; known: the registry did tell.
inline Kept KeptNothing(bool known) {
    return {known ? Answer::No : Answer::Refused, std::nullopt};
}

// The type the extension names in HKEY_CLASSES_ROOT; empty when none or when
// its default is not text; nullopt when the registry refuses to tell.
std::optional<std::string> CurrentType(platform::RegistryApi& registry,
                                       const AssociationKeys& keys);

// Whether the value is text naming the type (up to its first NUL, as Windows
// reads it, without regard to letter case).
bool NamesType(const platform::RegistryValue& value, const std::string& typeName);

// Whether registering takes the value's place without keeping it, and
// removing takes it away: it is text that names our type, or empty text,
// which names none.
bool OursToReplace(const platform::RegistryValue& value, const std::string& typeName);

// What registering keeps: the extension's default when it is another's, of
// any type; when the extension names ours already, what the run that made it
// so kept, so that a second registration never keeps our own name. The kept
// value is read before the default: a removal running at once gives the kept
// value back before it deletes it, so one of the two reads finds it.
Kept ValueToKeep(platform::RegistryApi& registry, const AssociationKeys& keys);

// Whether a type's key is there: in HKEY_CLASSES_ROOT, or in the machine's
// classes, which the merged view shows where the user's classes lack the key.
[[nodiscard]] Answer TypeKeyExists(platform::RegistryApi& registry, const std::string& typeName);

// What removing ours gives back while the extension names ours: the kept
// value, when it is text naming a type that is still there, or is not text at
// all (a default that was binary, a number, ...); nothing when it names our
// own type, a type that is gone, or text that can be no type's name.
Kept KeptValueToGiveBack(platform::RegistryApi& registry, const AssociationKeys& keys);

} // namespace association

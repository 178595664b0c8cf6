// The changes to the registry as the command line words them.
#pragma once

#include "platform/RegistryTree.h"

#include <string>

namespace cli {

using platform::RegistryChange;
using platform::RegistryValue;

// One change as a line of text, e.g.
//   set value     HKEY_CLASSES_ROOT\.rar [(default)] = "KavrexAssoc" (was "WinRAR")
std::string Describe(const RegistryChange& change);

// A value's data as text: strings up to their NUL, a DWORD in decimal, other
// data in hexadecimal bytes.
std::string ValueText(const RegistryValue& value);
// A value with its type, as a person reads it: "text", expandable "text",
// dword 1234, binary de,ad,be,ef, multi-string "a" "b", ... so that no value
// of another type reads as a string, and none with no data as nothing.
std::string Readable(const RegistryValue& value);
// The name of a value's type, as the SDK spells it: REG_SZ, REG_BINARY, ...
std::string TypeName(DWORD type);

} // namespace cli

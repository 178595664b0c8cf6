// Where register and remove work: the machine's classes or the user's.
#pragma once

#include "platform/RegistryApi.h"

namespace cli {

enum class Scope { Machine, User };

// "machine" or "user", as the command line and JSON spell it.
const char* ScopeName(Scope scope);
// HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER: the hive whose classes change.
HKEY ScopeRoot(Scope scope);
// What opening the key with these rights answers (the key is closed again).
[[nodiscard]] LONG OpenStatus(platform::RegistryApi& registry, HKEY root, const char* path,
                              REGSAM access);
// Whether this account may write the scope's classes, as the component asks to.
bool CanWriteClasses(platform::RegistryApi& registry, Scope scope);

} // namespace cli

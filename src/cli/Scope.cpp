#include "Scope.h"

#include "platform/KeyHandle.h"
#include "platform/RegistryNames.h"

namespace cli {

const char* ScopeName(Scope scope) {
    return scope == Scope::Machine ? "machine" : "user";
}

HKEY ScopeRoot(Scope scope) {
    return scope == Scope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

LONG OpenStatus(platform::RegistryApi& registry, HKEY root, const char* path, REGSAM access) {
    HKEY key = nullptr;
    const LONG status = registry.RegOpenKeyExA(root, path, 0, access, &key);
    const platform::KeyHandle opened(registry, status == ERROR_SUCCESS ? key : nullptr);
    return status;
}

bool CanWriteClasses(platform::RegistryApi& registry, Scope scope) {
    // The rights that registering uses there: creating keys and setting values.
    return OpenStatus(registry, ScopeRoot(scope), platform::ClassesPath, KEY_WRITE) !=
           ERROR_ACCESS_DENIED;
}

} // namespace cli

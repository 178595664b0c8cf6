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

bool CanWriteClasses(platform::RegistryApi& registry, Scope scope) {
    HKEY key = nullptr;
    // The rights that registering uses there: creating keys and setting values.
    const LONG status =
        registry.RegOpenKeyExA(ScopeRoot(scope), platform::ClassesPath, 0, KEY_WRITE, &key);
    const platform::KeyHandle opened(registry, status == ERROR_SUCCESS ? key : nullptr);
    return status != ERROR_ACCESS_DENIED;
}

} // namespace cli

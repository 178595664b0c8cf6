// Away from Windows the program's registry is an in-memory emulation.
#include "EmulatedRegistryApi.h"

namespace platform {
namespace {

EmulatedRegistryApi systemRegistry; // at namespace scope, as on Windows

} // namespace

RegistryApi& SystemRegistry() {
    return systemRegistry;
}

} // namespace platform

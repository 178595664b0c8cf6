// Away from Windows the program's registry and system are the emulation's:
// linked into the host's test programs only, never into a program we ship.
#include "EmulatedWindows.h"

namespace platform {
namespace {

emulation::EmulatedWindows windows; // at namespace scope, as on Windows

} // namespace

RegistryApi& SystemRegistry() {
    return windows.registry;
}

SystemApi& SystemServices() {
    return windows.system;
}

} // namespace platform

// Away from Windows the program's registry is an in-memory emulation.
#include "EmulatedRegistryApi.h"

namespace platform {

RegistryApi& SystemRegistry() {
    static EmulatedRegistryApi api;
    return api;
}

} // namespace platform

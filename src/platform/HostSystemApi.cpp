// Away from Windows the program's process and shell services are emulated.
#include "EmulatedSystemApi.h"

namespace platform {
namespace {

EmulatedSystemApi systemServices; // at namespace scope, as on Windows

} // namespace

SystemApi& SystemServices() {
    return systemServices;
}

} // namespace platform

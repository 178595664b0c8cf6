// Away from Windows the program's process and shell services are emulated.
#include "EmulatedSystemApi.h"

namespace platform {

SystemApi& SystemServices() {
    static EmulatedSystemApi api;
    return api;
}

} // namespace platform

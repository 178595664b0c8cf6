#include "RegistryApi.h"

#include <cstdint>

namespace platform {

bool IsPredefinedKey(HKEY key) {
    // The predefined keys are the sign-extended values 0x80000000 to 0x80000006.
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(key));
    const auto extended = static_cast<ULONG_PTR>(static_cast<LONG>(value));
    return reinterpret_cast<ULONG_PTR>(key) == extended && value >= 0x80000000u &&
           value <= 0x80000006u;
}

bool IsNotFound(LONG status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

} // namespace platform

// A value as the registry stores it: its type and its bytes, exactly.
#pragma once

#include "WinTypes.h"

#include <optional>
#include <string>

namespace platform {

struct RegistryValue {
    DWORD type = REG_NONE;
    std::string data;
    bool operator==(const RegistryValue&) const = default;
};

// A REG_SZ value of the text, with its terminating NUL.
inline RegistryValue StringValue(const std::string& text) {
    return {REG_SZ, text + '\0'};
}

// The text of a string value (REG_SZ or REG_EXPAND_SZ), up to its first NUL;
// nothing for a value of another type.
inline std::optional<std::string> TextOf(const RegistryValue& value) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) {
        return std::nullopt;
    }
    return value.data.substr(0, value.data.find('\0'));
}

} // namespace platform

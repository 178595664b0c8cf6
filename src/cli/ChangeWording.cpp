#include "ChangeWording.h"

#include <algorithm>
#include <cstdio>

namespace cli {

using platform::ChangeKind;

std::string Describe(const RegistryChange& change) {
    const std::string value = " [" + (change.value.empty() ? "(default)" : change.value) + "]";
    const auto quoted = [](const std::optional<RegistryValue>& data) { return Readable(*data); };
    switch (change.kind) {
    case ChangeKind::KeyCreated:
        return "create key    " + change.key;
    case ChangeKind::KeyDeleted:
        return "delete key    " + change.key;
    case ChangeKind::ValueSet:
        return "set value     " + change.key + value + " = " + quoted(change.after) +
               (change.before ? " (was " + quoted(change.before) + ")" : "");
    case ChangeKind::ValueDeleted:
        return "delete value  " + change.key + value + " (was " + quoted(change.before) + ")";
    }
    return {};
}

std::string ValueText(const RegistryValue& value) {
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        return value.data.substr(0, value.data.find('\0'));
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        const auto byte = [&](int i) { return static_cast<unsigned char>(value.data[i]); };
        return std::to_string(byte(0) | byte(1) << 8 | byte(2) << 16 |
                              static_cast<DWORD>(byte(3)) << 24);
    }
    std::string hex;
    for (const char c : value.data) {
        char digits[4];
        std::snprintf(digits, sizeof digits, hex.empty() ? "%02x" : ",%02x",
                      static_cast<unsigned char>(c));
        hex += digits;
    }
    return hex;
}

std::string TypeName(DWORD type) {
    const struct {
        DWORD type;
        const char* name;
    } names[] = {{REG_NONE, "REG_NONE"},           {REG_SZ, "REG_SZ"},
                 {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
                 {REG_DWORD, "REG_DWORD"},         {REG_MULTI_SZ, "REG_MULTI_SZ"},
                 {REG_QWORD, "REG_QWORD"}};
    for (const auto& name : names) {
        if (name.type == type) {
            return name.name;
        }
    }
    return "type " + std::to_string(type);
}

std::string Readable(const RegistryValue& value) {
    // A long value shows its start and its size, not a screen of digits.
    constexpr std::size_t Shown = 64;
    const std::string text =
        ValueText({value.type, value.data.substr(0, Shown)}) +
        (value.data.size() > Shown ? "... (" + std::to_string(value.data.size()) + " bytes)" : "");
    switch (value.type) {
    case REG_SZ:
        return "\"" + text + "\"";
    case REG_EXPAND_SZ:
        return "expandable \"" + text + "\"";
    case REG_DWORD:
        return value.data.size() == 4
                   ? "dword " + text
                   : "dword of " + std::to_string(value.data.size()) + " bytes " + text;
    case REG_MULTI_SZ: {
        std::string strings = "multi-string";
        for (std::size_t at = 0; at < value.data.size() && value.data[at];) {
            const std::size_t end = std::min(value.data.find('\0', at), value.data.size());
            strings += " \"" + value.data.substr(at, end - at) + "\"";
            at = end + 1;
        }
        return strings;
    }
    case REG_BINARY:
        return "binary " + (text.empty() ? std::string("(no data)") : text);
    default:
        break;
    }
    return TypeName(value.type) + " " + (text.empty() ? std::string("(no data)") : text);
}

} // namespace cli

#include "RegistryTree.h"

#include "KeyHandle.h"
#include "RegistryNames.h"

#include <algorithm>
#include <cstdio>

namespace platform {
namespace {

// Reads the values and subkeys of an open key, each subkey in turn.
bool ReadContents(RegistryApi& api, HKEY key, RegistryTree& tree) {
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, largestData = 0;
    if (api.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr,
                             &values, &longestName, &largestData, nullptr,
                             nullptr) != ERROR_SUCCESS) {
        return false;
    }
    // The lengths are characters; the names come in bytes of the code page.
    std::vector<char> name(std::max(longestSubkey, longestName) * WidestAnsiUnit + 1);
    std::vector<BYTE> data(largestData + 1);
    for (DWORD index = 0; index < values; ++index) {
        auto nameLength = static_cast<DWORD>(name.size());
        auto size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (api.RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, data.data(),
                              &size) != ERROR_SUCCESS) {
            return false;
        }
        tree.values[std::string(name.data(), nameLength)] = {
            type, std::string(reinterpret_cast<const char*>(data.data()), size)};
    }
    for (DWORD index = 0; index < subkeys; ++index) {
        auto nameLength = static_cast<DWORD>(name.size());
        if (api.RegEnumKeyExA(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const std::string subkey(name.data(), nameLength);
        // Enumerated, the subkey is there: a name that does not open again is
        // one the code page cannot spell, never a key that is not there.
        if (ReadTree(api, key, subkey, tree.subkeys[subkey]) != TreeReading::Read) {
            return false;
        }
    }
    return true;
}

void AddCreated(const std::string& path, const RegistryTree& tree,
                std::vector<RegistryChange>& changes) {
    changes.push_back({ChangeKind::KeyCreated, path, "", std::nullopt, std::nullopt});
    for (const auto& [name, value] : tree.values) {
        changes.push_back({ChangeKind::ValueSet, path, name, std::nullopt, value});
    }
    for (const auto& [name, subtree] : tree.subkeys) {
        AddCreated(JoinPath(path, name), subtree, changes);
    }
}

void AddDeleted(const std::string& path, const RegistryTree& tree,
                std::vector<RegistryChange>& changes) {
    for (const auto& [name, subtree] : tree.subkeys) {
        AddDeleted(JoinPath(path, name), subtree, changes);
    }
    changes.push_back({ChangeKind::KeyDeleted, path, "", std::nullopt, std::nullopt});
}

void AddValueChanges(const std::string& path, const RegistryTree& before, const RegistryTree& after,
                     std::vector<RegistryChange>& changes) {
    for (const auto& [name, value] : after.values) {
        const auto old = before.values.find(name);
        if (old == before.values.end() || !(old->second == value)) {
            const auto previous =
                old == before.values.end() ? std::nullopt : std::optional(old->second);
            changes.push_back({ChangeKind::ValueSet, path, name, previous, value});
        }
    }
    for (const auto& [name, value] : before.values) {
        if (!after.values.count(name)) {
            changes.push_back({ChangeKind::ValueDeleted, path, name, value, std::nullopt});
        }
    }
}

void AddDifference(const std::string& path, const std::optional<RegistryTree>& before,
                   const std::optional<RegistryTree>& after, std::vector<RegistryChange>& changes) {
    if (!before && after) {
        AddCreated(path, *after, changes);
        return;
    }
    if (before && !after) {
        AddDeleted(path, *before, changes);
        return;
    }
    if (!before) {
        return;
    }
    AddValueChanges(path, *before, *after, changes);
    for (const auto& [name, subtree] : after->subkeys) {
        const auto old = before->subkeys.find(name);
        AddDifference(JoinPath(path, name),
                      old == before->subkeys.end() ? std::nullopt : std::optional(old->second),
                      subtree, changes);
    }
    for (const auto& [name, subtree] : before->subkeys) {
        if (!after->subkeys.count(name)) {
            AddDeleted(JoinPath(path, name), subtree, changes);
        }
    }
}

} // namespace

TreeReading ReadTree(RegistryApi& api, HKEY root, const std::string& path, RegistryTree& tree) {
    HKEY opened = nullptr;
    if (const LONG status =
            api.RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | ViewFor(root), &opened)) {
        return IsNotFound(status) ? TreeReading::Absent : TreeReading::Unreadable;
    }
    const KeyHandle key(api, opened);
    return ReadContents(api, key.Get(), tree) ? TreeReading::Read : TreeReading::Unreadable;
}

std::vector<RegistryChange> Difference(const std::string& path,
                                       const std::optional<RegistryTree>& before,
                                       const std::optional<RegistryTree>& after) {
    std::vector<RegistryChange> changes;
    AddDifference(path, before, after, changes);
    return changes;
}

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

} // namespace platform

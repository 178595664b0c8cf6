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

} // namespace platform

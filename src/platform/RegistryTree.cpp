#include "RegistryTree.h"

#include "KeyContents.h"
#include "KeyHandle.h"
#include "RegistryNames.h"

#include <algorithm>
#include <cstdio>

namespace platform {
namespace {

// Reads the values and subkeys of an open key, each subkey in turn.
bool ReadContents(RegistryApi& api, HKEY key, RegistryTree& tree) {
    KeyContents contents(api, key);
    std::vector<NamedValue> values;
    std::vector<std::string> subkeys;
    if (contents.Values(true, values) != ERROR_SUCCESS ||
        contents.Subkeys(subkeys) != ERROR_SUCCESS) {
        return false;
    }
    for (NamedValue& value : values) {
        tree.values[value.name] = std::move(value.value);
    }
    // Enumerated, a subkey is there: a name that does not open again is one
    // the code page cannot spell, never a key that is not there.
    return std::all_of(subkeys.begin(), subkeys.end(), [&](const std::string& subkey) {
        return ReadTree(api, key, subkey, tree.subkeys[subkey]) == TreeReading::Read;
    });
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

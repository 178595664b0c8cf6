#include "ChangeRecorder.h"

#include "RegistryNames.h"

namespace platform {
namespace {

// The key's tree, none when it is not there; false when it cannot be read.
bool Read(RegistryApi& registry, HKEY root, const std::string& key,
          std::optional<RegistryTree>& tree) {
    RegistryTree read;
    const TreeReading reading = ReadTree(registry, root, key, read);
    tree = reading == TreeReading::Read ? std::optional(std::move(read)) : std::nullopt;
    return reading != TreeReading::Unreadable;
}

} // namespace

ChangeRecorder::ChangeRecorder(RegistryApi& registry, HKEY root, std::vector<std::string> keys)
    : root_(root), keys_(std::move(keys)), before_(keys_.size()) {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        readable_ &= Read(registry, root_, keys_[i], before_[i]);
    }
}

std::optional<std::vector<RegistryChange>> ChangeRecorder::Changes(RegistryApi& after) const {
    std::vector<RegistryChange> changes;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        std::optional<RegistryTree> now;
        if (!readable_ || !Read(after, root_, keys_[i], now)) {
            return std::nullopt;
        }
        auto found = Difference(JoinPath(RootName(root_), keys_[i]), before_[i], now);
        changes.insert(changes.end(), found.begin(), found.end());
    }
    return changes;
}

} // namespace platform

#include "ChangeRecorder.h"

#include "RegistryNames.h"

namespace platform {

ChangeRecorder::ChangeRecorder(RegistryApi& registry, HKEY root, std::vector<std::string> keys)
    : root_(root), keys_(std::move(keys)) {
    for (const std::string& key : keys_) {
        before_.push_back(ReadTree(registry, root_, key));
    }
}

std::vector<RegistryChange> ChangeRecorder::Changes(RegistryApi& after) const {
    std::vector<RegistryChange> changes;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        auto found = Difference(JoinPath(RootName(root_), keys_[i]), before_[i],
                                ReadTree(after, root_, keys_[i]));
        changes.insert(changes.end(), found.begin(), found.end());
    }
    return changes;
}

} // namespace platform

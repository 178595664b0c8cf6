// What an operation changed in a set of keys: a snapshot of each key's subtree
// when the recorder is made, compared with the same keys afterwards. A real run
// reads them again from the registry; a dry run from its overlay, which holds
// what the registry would hold.
#pragma once

#include "RegistryTree.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

class ChangeRecorder {
  public:
    // keys: paths below root, each with its whole subtree.
    ChangeRecorder(RegistryApi& registry, HKEY root, std::vector<std::string> keys);

    // The changes from the snapshot to the keys as after reads them, key by key,
    // each named from its root ("HKEY_CURRENT_USER\Software\..."); none when
    // some key could not be read, before or after.
    std::optional<std::vector<RegistryChange>> Changes(RegistryApi& after) const;

  private:
    HKEY root_;
    std::vector<std::string> keys_;
    std::vector<std::optional<RegistryTree>> before_;
    bool readable_ = true;
};

} // namespace platform

// One value of a key below a root, read with read rights only, as the readers
// of the association (its status, its kept type, its listing) need it.
#pragma once

#include "Answer.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryValue.h"

#include <optional>
#include <string>

namespace association {

struct StoredText {
    std::string text;              // empty unless the value is there and is text
    platform::RegistryValue value; // as stored, of any type, when it is there
    bool expandable = false;       // REG_EXPAND_SZ
    bool keyFound = false;         // false only when the key is not there
    LONG status = ERROR_SUCCESS;   // of the open that failed, else of the read
    // The value is there, text or not (an "Open with" entry may be REG_NONE).
    [[nodiscard]] bool ValueFound() const {
        return status == ERROR_SUCCESS || status == ERROR_INVALID_DATATYPE;
    }
    // Neither the key nor the value is refused: what is there is known.
    [[nodiscard]] bool Known() const { return ValueFound() || platform::IsNotFound(status); }
};

// The default value unless a name is given.
StoredText ReadStored(platform::RegistryApi& registry, HKEY root, const std::string& key,
                      const std::string& name = "");

// How many subkeys a key below root has; none when it is not there or the
// registry refuses to tell.
std::optional<DWORD> SubkeyCount(platform::RegistryApi& registry, HKEY root,
                                 const std::string& key);

// Whether a key below root is there.
[[nodiscard]] Answer KeyIsThere(platform::RegistryApi& registry, HKEY root, const std::string& key);

} // namespace association

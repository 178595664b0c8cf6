#include "StoredValue.h"

#include "platform/Registry.h"

namespace association {

StoredText ReadStored(platform::RegistryApi& registry, HKEY root, const std::string& key,
                      const std::string& name) {
    platform::TRegistry reader(registry, KEY_READ);
    reader.SetRoot(root);
    StoredText stored;
    stored.status = reader.OpenPathStatus("\\" + key, false);
    stored.keyFound = !platform::IsNotFound(stored.status);
    platform::ValueKind kind = platform::ValueKind::String;
    if (stored.status == ERROR_SUCCESS) {
        stored.status = reader.ReadTextStatus(name, stored.text, &kind);
    }
    if (stored.status != ERROR_SUCCESS) {
        stored.text.clear();
    }
    stored.expandable = kind == platform::ValueKind::ExpandString;
    return stored;
}

std::optional<bool> KeyIsThere(platform::RegistryApi& registry, HKEY root, const std::string& key) {
    platform::TRegistry reader(registry, KEY_READ);
    reader.SetRoot(root);
    const LONG opened = reader.OpenPathStatus("\\" + key, false);
    if (opened == ERROR_SUCCESS || platform::IsNotFound(opened)) {
        return opened == ERROR_SUCCESS;
    }
    return std::nullopt;
}

} // namespace association

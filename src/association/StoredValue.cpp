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
    if (stored.status == ERROR_SUCCESS) {
        stored.status = reader.ReadValueStatus(name, stored.value);
    }
    const std::optional<std::string> text = platform::TextOf(stored.value);
    if (stored.status == ERROR_SUCCESS && !text) {
        stored.status = ERROR_INVALID_DATATYPE;
    }
    stored.text = stored.status == ERROR_SUCCESS ? *text : std::string();
    stored.expandable = stored.value.type == REG_EXPAND_SZ;
    return stored;
}

std::optional<DWORD> SubkeyCount(platform::RegistryApi& registry, HKEY root,
                                 const std::string& key) {
    platform::TRegistry reader(registry, KEY_READ);
    reader.SetRoot(root);
    platform::KeySummary summary;
    if (reader.OpenPathStatus("\\" + key, false) != ERROR_SUCCESS ||
        !reader.QueryKeySummary(summary)) {
        return std::nullopt;
    }
    return summary.SubKeyCount;
}

Answer KeyIsThere(platform::RegistryApi& registry, HKEY root, const std::string& key) {
    platform::TRegistry reader(registry, KEY_READ);
    reader.SetRoot(root);
    const LONG opened = reader.OpenPathStatus("\\" + key, false);
    if (opened == ERROR_SUCCESS || platform::IsNotFound(opened)) {
        return AnswerOf(opened == ERROR_SUCCESS);
    }
    return Answer::Refused;
}

} // namespace association

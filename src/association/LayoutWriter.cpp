#include "LayoutWriter.h"

#include "platform/Registry.h"
#include "platform/RegistryNames.h"

namespace association {
namespace {

// The path that opens the key: relative when it lies below the current key,
// else from the root.
std::string OpenPathFor(const std::string& key, const std::string& current) {
    const bool below =
        !current.empty() && key.size() > current.size() && platform::IsWithinPath(key, current);
    return below ? key.substr(current.size() + 1) : "\\" + key;
}

} // namespace

WriteOutcome WriteRows(platform::RegistryApi& registry, HKEY applicationHive,
                       const std::vector<LayoutRow>& rows) {
    platform::TRegistry writer(registry);
    std::string current;
    for (const LayoutRow& row : rows) {
        const HKEY root = HiveRoot(row.place.hive, applicationHive);
        if (root != writer.RootHandle()) {
            writer.SetRoot(root); // which closes the current key
            current.clear();
        }
        // A refused open would leave another key current: never write there.
        LONG error = writer.OpenPathStatus(OpenPathFor(row.place.key, current), true);
        if (error == ERROR_SUCCESS) {
            error = writer.WriteValueStatus(row.place.name, row.value);
        }
        if (error != ERROR_SUCCESS) {
            return {error, row.place};
        }
        current = row.place.key;
        if (row.closeAfter) {
            writer.CloseCurrent();
            current.clear();
        }
    }
    return {};
}

} // namespace association

#include "EmulatedRegistryApi.h"
#include "RegistryRules.h"

#include "platform/RegistryNames.h"

#include <algorithm>

namespace emulation {

using namespace platform;

std::string StoredPath(const std::string& keyPath) {
    const std::string view = "HKEY_CLASSES_ROOT";
    if (IsWithinPath(keyPath, view)) {
        return JoinPath("HKEY_LOCAL_MACHINE\\Software\\Classes",
                        keyPath.substr(view.size() + (keyPath.size() > view.size() ? 1 : 0)));
    }
    return keyPath;
}

// HKEY_CLASSES_ROOT is a view of two trees ("HKEY_CLASSES_ROOT Key" and
// "Merged View of HKEY_CLASSES_ROOT", learn.microsoft.com/windows/win32/
// sysinfo/hkey-classes-root-key and .../merged-view-of-hkey-classes-root):
// it lists every subkey of HKEY_CURRENT_USER\Software\Classes and those of
// HKEY_LOCAL_MACHINE\Software\Classes that the user's do not duplicate, and
// of a key in both it shows the user's alone, none of the machine's contents.
// Writing follows the same key: values of a key the user's classes hold are
// stored there, and new keys go to the machine's classes.
KeyRef EmulatedRegistryApi::ClassesOf(HKEY hive, bool create) {
    KeyRef node = roots_.at(hive);
    for (const char* level : {"Software", "Classes"}) {
        auto next = FindSubkey(*node, level);
        if (!next && create) {
            next = AddSubkey(node, level);
        }
        if (!next) {
            return nullptr;
        }
        node = next;
    }
    return node;
}

void EmulatedRegistryApi::MergeClassesView(Target& target) {
    const KeyRef user = ClassesOf(HKEY_CURRENT_USER, false);
    if (!target.levels.empty()) {
        const bool users = user && FindSubkey(*user, target.levels.front());
        target.base = users ? user : ClassesOf(HKEY_LOCAL_MACHINE, true);
        return;
    }
    // The view's own subkeys, for listing them: the root is never written.
    std::vector<KeyRef> merged = user ? user->subkeys : decltype(merged){};
    if (const auto machine = ClassesOf(HKEY_LOCAL_MACHINE, false)) {
        for (const auto& subkey : machine->subkeys) {
            if (!user || !FindSubkey(*user, subkey->name)) {
                merged.push_back(subkey);
            }
        }
    }
    std::stable_sort(merged.begin(), merged.end(),
                     [](const auto& a, const auto& b) { return NameLess()(a->name, b->name); });
    target.base->subkeys = std::move(merged);
}

} // namespace emulation

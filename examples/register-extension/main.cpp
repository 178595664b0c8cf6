// Makes ".kvxdemo" files open with the Kavrex.exe beside this program, shows
// the open command that was written, and removes the association again.
#include <association/RegArchive.h>
#include <platform/Registry.h>

#include <cstdio>
#include <string>

int main() {
    association::TRegArchive archive(nullptr);
    archive.SetArcExtensions({".kvxdemo"});
    archive.SetExtDescription("KvxDemo.Archive");
    archive.SetFileDescription("Kavrex demo archive");
    archive.OnAssociation = [](association::TComponent*, const std::string&, bool& cancel) {
        cancel = false; // confirmed: go ahead
    };
    const auto result = archive.Associate();

    platform::TRegistry registry;
    registry.SetRoot(HKEY_CLASSES_ROOT);
    registry.OpenPath("KvxDemo.Archive\\Shell\\Open\\Command", false);
    std::printf("registered: %d\n", static_cast<int>(result));
    std::printf("command: %s\n", registry.ReadText("").c_str());
    std::printf("removed: %s\n", archive.Unassociate() ? "yes" : "no");
    return result == association::AssociationResult::Registered ? 0 : 1;
}

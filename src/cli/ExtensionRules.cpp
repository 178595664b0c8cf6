#include "ExtensionRules.h"

#include "association/ArchiveExtensions.h"
#include "association/AssociationLayout.h"
#include "platform/RegistryNames.h"

#include <algorithm>
#include <iterator>

namespace cli {
namespace {

struct RefusedType {
    const char* extension;
    const char* what; // what the type stands for
};

// The types that Windows runs, or that stand for a program or a place: every
// one of them opened by Kavrex would stop working. The component refuses
// ".exe" itself; the archive types of its own table are never here.
// clang-format off
constexpr RefusedType RefusedTypes[] = {
    {".com", "programs"},                 {".scr", "screen savers, which are programs"},
    {".bat", "batch files"},              {".cmd", "command files"},
    {".lnk", "shortcuts"},                {".pif", "shortcuts to MS-DOS programs"},
    {".url", "internet shortcuts"},       {".website", "pinned web sites"},
    {".appref-ms", "application references"}, {".application", "ClickOnce applications"},
    {".msi", "installer packages"},       {".msp", "installer patches"},
    {".msu", "update packages"},          {".msc", "management consoles"},
    {".cpl", "Control Panel items"},      {".hta", "HTML applications"},
    {".vbs", "scripts"},                  {".vbe", "scripts"},
    {".js", "scripts"},                   {".jse", "scripts"},
    {".wsf", "scripts"},                  {".wsh", "script settings"},
    {".ps1", "PowerShell scripts"},       {".reg", "registry files"},
    {".inf", "setup information"},        {".scf", "Explorer commands"},
    {".library-ms", "libraries"},         {".settingcontent-ms", "settings shortcuts"},
};
// clang-format on

// What Windows does not allow in a file name ("Naming Files, Paths, and
// Namespaces": < > : " / \ | ? * and the control characters), and what the
// shell and command lines read as a separator or a quote: none of them is part
// of an extension's name.
constexpr const char* RefusedCharacters = "<>:\"/\\|?*;' ";

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// The longest extension whose every key fits in the sub-path one ANSI registry
// call takes: its longest key is its "Open with" list, below the classes.
std::size_t LongestExtension() {
    return platform::LongestAnsiSubPath -
           platform::ClassesKey(association::LayoutKey(association::KeyRole::OpenWith, {})).size();
}

// The name's shape, rule by rule: why it is no extension, or empty.
std::string ShapeRefusal(const std::string& extension) {
    const std::string name = extension.substr(std::min<std::size_t>(1, extension.size()));
    if (extension.size() < 2 || extension[0] != '.') {
        return "not an extension such as .rar: a dot, then a name";
    }
    if (name.find_first_not_of('.') == std::string::npos) {
        return "dots alone name no extension";
    }
    if (extension.find_first_of(RefusedCharacters) != std::string::npos ||
        std::any_of(extension.begin(), extension.end(), IsControl)) {
        return "it holds a space, a control character or one of < > : \" / \\ | ? * ; ', which "
               "Windows does not allow in a file name or reads as a separator or quote";
    }
    if (name.back() == '.') {
        return "Windows drops a trailing dot from a file name, so no file has this extension";
    }
    if (name.find('.') != std::string::npos) {
        return "a second dot: Windows takes only what follows a name's last dot as its extension";
    }
    if (extension.size() > LongestExtension()) {
        return "longer than " + std::to_string(LongestExtension()) +
               " characters, more than the registry takes in one key path below the classes";
    }
    return {};
}

} // namespace

std::string ExtensionRefusal(const std::string& extension) {
    if (std::string shape = ShapeRefusal(extension); !shape.empty()) {
        return shape;
    }
    if (association::IsExeExtension(extension)) {
        return "programs (.exe) are never associated";
    }
    const auto* refused =
        std::find_if(std::begin(RefusedTypes), std::end(RefusedTypes), [&](const RefusedType& row) {
            return platform::SameName(row.extension, extension);
        });
    if (refused != std::end(RefusedTypes)) {
        return std::string(refused->extension) + " stands for " + refused->what +
               ", which would stop working if Kavrex opened them";
    }
    return {};
}

std::vector<std::string> WithoutDuplicates(const std::vector<std::string>& extensions) {
    std::vector<std::string> unique;
    for (const std::string& extension : extensions) {
        if (std::none_of(unique.begin(), unique.end(), [&](const std::string& kept) {
                return platform::SameName(kept, extension);
            })) {
            unique.push_back(extension);
        }
    }
    return unique;
}

} // namespace cli

#include "ArchiveExtensions.h"

#include "platform/RegistryNames.h"

#include <algorithm>
#include <iterator>

namespace association {

const wchar_t* const DefaultArchiveExtensions[24] = {
    L".ACE", L".ARC", L".ARJ", L".BH",  L".CAB", L".ENC", L".GZ",  L".HA",
    L".JAR", L".LHA", L".LZH", L".PAK", L".PK3", L".PK_", L".RAR", L".TAR",
    L".TGZ", L".UUE", L".UU",  L".WAR", L".XXE", L".Z",   L".ZIP", L".ZOO",
};

namespace {

// The table holds ASCII only, so each wide character is one 8-bit character.
std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; *text; ++text) {
        narrow += static_cast<char>(*text);
    }
    return narrow;
}

} // namespace

TStringList DefaultArchiveExtensionList() {
    TStringList list;
    for (const wchar_t* extension : DefaultArchiveExtensions) {
        list.push_back(Narrow(extension));
    }
    return WithoutExeExtensions(list);
}

bool IsExeExtension(const std::string& extension) {
    return platform::SameName(extension, ".exe");
}

TStringList WithoutExeExtensions(const TStringList& extensions) {
    TStringList kept;
    std::copy_if(extensions.begin(), extensions.end(), std::back_inserter(kept),
                 [](const std::string& extension) { return !IsExeExtension(extension); });
    return kept;
}

} // namespace association

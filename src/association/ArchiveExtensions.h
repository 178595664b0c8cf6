// The archive extensions a new component associates, and the one extension
// that is never associated.
#pragma once

#include <string>
#include <vector>

namespace association {

using TStringList = std::vector<std::string>;

extern const wchar_t* const DefaultArchiveExtensions[24];

// The built-in table as 8-bit strings, in table order.
TStringList DefaultArchiveExtensionList();

// ".exe" in any letter case, folding the ASCII letters only.
bool IsExeExtension(const std::string& extension);

// The list without its ".exe" entries, in its order.
TStringList WithoutExeExtensions(const TStringList& extensions);

} // namespace association

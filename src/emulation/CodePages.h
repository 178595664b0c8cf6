// The ANSI code pages the emulation knows, as Windows converts them: 1252
// (Western), 1251 (Cyrillic), 932's single bytes, and UTF-8.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <optional>
#include <string>

namespace emulation {

// The character in the code page, appended to bytes; false where it has none.
bool ToCodePage(UINT codePage, wchar_t c, std::string& bytes);
// UTF-8's next character from at, moved past it; none for a malformed one.
std::optional<wchar_t> FromUtf8(const std::string& bytes, std::size_t& at);
// A single-byte code page's character for the byte; none where it has none.
std::optional<wchar_t> FromCodePage(UINT codePage, unsigned char byte);
// How many UTF-16 units the registry counts for a name in the code page.
std::size_t RegistryCharacters(UINT codePage, const std::string& name);

} // namespace emulation

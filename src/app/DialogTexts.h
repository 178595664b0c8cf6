// The dialog's texts, from the program's string tables in the language that
// Windows chooses for the user, as for its own programs; English where there
// is no table for it.
#pragma once

#include "TextIds.h"

#include <string>

namespace app {

// The text in the ANSI code page that the dialog's windows speak. Where the
// chosen language holds a letter that the code page cannot spell (a system
// older than the UTF-8 code page), every text is the English one instead.
const std::string& DialogText(unsigned id);
// Whether the texts read right to left: the dialog is then mirrored, and its
// boxes read from the right.
bool TextsReadRightToLeft();

// The text of one language's table, as it stands; empty when it has none.
std::wstring TableText(unsigned id, unsigned short language);

} // namespace app

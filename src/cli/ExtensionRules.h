// Which extensions kavrex-assoc takes over, and which it refuses: a name the
// registry can hold as an extension, and no type that stands for a program, a
// script or a link, which taken over machine-wide would break the machine.
#pragma once

#include <string>
#include <vector>

namespace cli {

// Why the extension is refused; empty when it is taken.
std::string ExtensionRefusal(const std::string& extension);

// The list with each extension once, letter case aside, in its order.
std::vector<std::string> WithoutDuplicates(const std::vector<std::string>& extensions);

} // namespace cli

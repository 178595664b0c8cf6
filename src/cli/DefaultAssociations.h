// The default-associations file that administrators apply with Group Policy
// ("Set a default associations configuration file") or with
// DISM /Import-DefaultAppAssociations.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The XML document, one Association element per extension. Every character
// that markup uses is escaped; the other control characters, which XML cannot
// carry at all, never reach it: the command line refuses them in extensions.
std::string DefaultAssociationsXml(const std::vector<std::string>& extensions,
                                   const std::string& progId, const std::string& applicationName);

} // namespace cli

// The default-associations file that administrators apply with Group Policy
// ("Set a default associations configuration file") or with
// DISM /Import-DefaultAppAssociations.
#pragma once

#include <string>
#include <vector>

namespace cli {

// The XML document, one Association element per extension, in UTF-8.
std::string DefaultAssociationsXml(const std::vector<std::string>& extensions,
                                   const std::string& progId, const std::string& applicationName);

} // namespace cli

// Writes the rows of the association's layout through one registry wrapper,
// in their order and with their closes, as registering calls for.
#pragma once

#include "AssociationLayout.h"
#include "platform/RegistryApi.h"

#include <vector>

namespace association {

// Whether the rows were written; where not, the first row that could not be,
// and the Windows error that refused it.
struct WriteOutcome {
    LONG error = ERROR_SUCCESS;
    LayoutPlace place{}; // the refused row's
    explicit operator bool() const { return error == ERROR_SUCCESS; }
};

// Each key is opened relative to the current one where it lies below it, else
// from its hive's root; it stops at the first row that could not be written,
// and nothing is ever written into a key other than the row's own.
[[nodiscard]] WriteOutcome WriteRows(platform::RegistryApi& registry, HKEY applicationHive,
                                     const std::vector<LayoutRow>& rows);

} // namespace association

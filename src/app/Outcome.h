// What the dialog tells the user after OK, and how an error is worded.
#pragma once

#include "TextIds.h"
#include "association/RegArchive.h"

#include <optional>
#include <string>

namespace app {

enum class OutcomeIcon { Information, Error };

struct Outcome {
    unsigned textId; // in the string tables (TextIds.h)
    OutcomeIcon icon;
};

// The text for a registration result; none for a result without one.
std::optional<Outcome> RegistrationOutcome(association::AssociationResult result);
Outcome RemovalOutcome(bool removed);

// The error's text with a full stop after it, unless it ends in "." or in a
// character that sorts before it.
std::string ErrorText(const std::string& message);

// The text of the box that ends the program after an error escaped everything:
// the opening sentence, and the error's message where there is one.
std::string FatalErrorText(const std::string& opening, const std::string& message);

} // namespace app

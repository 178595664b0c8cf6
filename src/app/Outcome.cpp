#include "Outcome.h"

#include <algorithm>
#include <iterator>

namespace app {
namespace {

using association::AssociationResult;

struct ResultText {
    AssociationResult result;
    Outcome outcome;
};

constexpr ResultText RegistrationTexts[] = {
    {AssociationResult::Registered,
     {"Associations with this application have been registered.", OutcomeIcon::Information}},
    {AssociationResult::AlreadyAssociated,
     {"All extensions already associated with this application.", OutcomeIcon::Information}},
    {AssociationResult::NoHandler, {"OnAssociation event not set.", OutcomeIcon::Information}},
    {AssociationResult::Cancelled, {"User canceled.", OutcomeIcon::Information}},
    {AssociationResult::DesignMode, {"Component in design mode.", OutcomeIcon::Information}},
    {AssociationResult::Failed,
     {"Associations with this application could not be registered.", OutcomeIcon::Error}},
};

constexpr Outcome Removed{"Associations with this application have been removed",
                          OutcomeIcon::Information};
constexpr Outcome NotRemoved{"Associations with this application could not be removed.",
                             OutcomeIcon::Error};

} // namespace

std::optional<Outcome> RegistrationOutcome(AssociationResult result) {
    const auto* found =
        std::find_if(std::begin(RegistrationTexts), std::end(RegistrationTexts),
                     [result](const ResultText& row) { return row.result == result; });
    if (found == std::end(RegistrationTexts)) {
        return std::nullopt;
    }
    return found->outcome;
}

Outcome RemovalOutcome(bool removed) {
    return removed ? Removed : NotRemoved;
}

std::string ErrorText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

std::string FatalErrorText(const std::string& message) {
    const std::string text = "An unexpected error ended the program.";
    return message.empty() ? text : text + "\n\n" + ErrorText(message);
}

} // namespace app

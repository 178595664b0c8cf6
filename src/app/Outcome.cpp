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
    {AssociationResult::Registered, {IDS_REGISTERED, OutcomeIcon::Information}},
    {AssociationResult::AlreadyAssociated, {IDS_ALREADY_ASSOCIATED, OutcomeIcon::Information}},
    {AssociationResult::EventNotSet, {IDS_EVENT_NOT_SET, OutcomeIcon::Information}},
    {AssociationResult::Cancelled, {IDS_CANCELLED, OutcomeIcon::Information}},
    {AssociationResult::DesignMode, {IDS_DESIGN_MODE, OutcomeIcon::Information}},
    {AssociationResult::Failed, {IDS_NOT_REGISTERED, OutcomeIcon::Error}},
};

constexpr Outcome Removed{IDS_REMOVED, OutcomeIcon::Information};
constexpr Outcome NotRemoved{IDS_NOT_REMOVED, OutcomeIcon::Error};

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

std::string FatalErrorText(const std::string& opening, const std::string& message) {
    return message.empty() ? opening : opening + "\n\n" + ErrorText(message);
}

} // namespace app

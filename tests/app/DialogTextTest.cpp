// The design table, the outcome texts and the keys: what the dialog decides
// before any window exists.
#include "app/DialogKeys.h"
#include "app/FormDesign.h"
#include "app/Outcome.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace app;
using association::AssociationResult;

TEST(DialogDesign, NoCaptionHasAnAccelerator) {
    const FormDesign& design = MainFormDesign();
    EXPECT_STREQ("Associate with", design.caption);
    for (const ControlDesign& control : design.controls) {
        EXPECT_EQ(nullptr, std::strchr(control.caption, '&')) << control.name;
    }
}

TEST(DialogOutcome, EveryResultHasItsText) {
    const struct {
        AssociationResult result;
        const char* text;
        OutcomeIcon icon;
    } expected[] = {
        {AssociationResult::Registered, "Associations with this application have been registered.",
         OutcomeIcon::Information},
        {AssociationResult::AlreadyAssociated,
         "All extensions already associated with this application.", OutcomeIcon::Information},
        {AssociationResult::NoHandler, "OnAssociation event not set.", OutcomeIcon::Information},
        {AssociationResult::Cancelled, "User canceled.", OutcomeIcon::Information},
        {AssociationResult::DesignMode, "Component in design mode.", OutcomeIcon::Information},
        {AssociationResult::Failed, "Associations with this application could not be registered.",
         OutcomeIcon::Error},
    };
    for (const auto& row : expected) {
        const auto outcome = RegistrationOutcome(row.result);
        ASSERT_TRUE(outcome) << row.text;
        EXPECT_STREQ(row.text, outcome->text);
        EXPECT_EQ(row.icon, outcome->icon);
    }
    EXPECT_FALSE(RegistrationOutcome(static_cast<AssociationResult>(7)));
    EXPECT_STREQ("Associations with this application have been removed", RemovalOutcome(true).text);
    EXPECT_EQ(OutcomeIcon::Information, RemovalOutcome(true).icon);
    EXPECT_STREQ("Associations with this application could not be removed.",
                 RemovalOutcome(false).text);
    EXPECT_EQ(OutcomeIcon::Error, RemovalOutcome(false).icon);
}

TEST(DialogOutcome, AnErrorEndsWithAFullStop) {
    EXPECT_EQ("Failed to set data for ''", ErrorText("Failed to set data for ''")); // "'" < "."
    EXPECT_EQ("Disk full.", ErrorText("Disk full"));
    EXPECT_EQ("Done.", ErrorText("Done."));
    EXPECT_EQ("Stop!", ErrorText("Stop!"));
    EXPECT_EQ("Path C:\\x\\.", ErrorText("Path C:\\x\\")); // "\" sorts after "."
    EXPECT_EQ("(a, b)", ErrorText("(a, b)"));              // ")" sorts before "."
    EXPECT_EQ("", ErrorText(""));
}

TEST(DialogText, AFatalErrorNamesTheErrorWhenThereIsOne) {
    EXPECT_EQ("An unexpected error ended the program.", FatalErrorText(""));
    EXPECT_EQ("An unexpected error ended the program.\n\nDisk full.", FatalErrorText("Disk full"));
}

TEST(DialogKeys, EnterPressesOkUnlessCancelHasTheFocus) {
    constexpr unsigned Return = 0x0D;
    EXPECT_EQ(KeyAction::PressOK, DialogKeyAction({Return, false, false, false, false}));
    EXPECT_EQ(KeyAction::PressCancel, DialogKeyAction({Return, false, false, false, true}));
    EXPECT_EQ(KeyAction::Ignore, DialogKeyAction({Return, true, false, false, false}));
    EXPECT_EQ(KeyAction::Ignore, DialogKeyAction({Return, false, true, false, true}));
    EXPECT_EQ(KeyAction::Ignore, DialogKeyAction({Return, false, false, true, false}));
}

TEST(DialogKeys, EscapeDoesNothingAndArrowsMoveTheFocus) {
    EXPECT_EQ(KeyAction::Ignore, DialogKeyAction({0x1B, false, false, false, true}));
    EXPECT_EQ(KeyAction::FocusNext, DialogKeyAction({0x27, false, false, false, false})); // Right
    EXPECT_EQ(KeyAction::FocusNext, DialogKeyAction({0x28, true, false, false, false}));  // Down
    EXPECT_EQ(KeyAction::FocusPrevious, DialogKeyAction({0x25, false, true, false, false})); // Left
    EXPECT_EQ(KeyAction::FocusPrevious, DialogKeyAction({0x26, false, false, false, false})); // Up
    EXPECT_EQ(KeyAction::PassOn, DialogKeyAction({0x28, false, false, true, false}));  // Alt+Down
    EXPECT_EQ(KeyAction::PassOn, DialogKeyAction({0x09, false, false, false, false})); // Tab
    EXPECT_EQ(KeyAction::PassOn, DialogKeyAction({0x20, false, false, false, false})); // Space
}

} // namespace

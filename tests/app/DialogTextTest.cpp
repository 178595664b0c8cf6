// The outcomes and the keys: what the dialog decides
// before any window exists.
#include "app/DialogKeys.h"
#include "app/Outcome.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

namespace {

using namespace app;
using association::AssociationResult;

TEST(DialogOutcome, FailuresAreShownAsErrors) {
    using enum AssociationResult;
    for (const AssociationResult result :
         {Registered, AlreadyAssociated, EventNotSet, Cancelled, DesignMode, Failed}) {
        const auto outcome = RegistrationOutcome(result);
        ASSERT_TRUE(outcome);
        EXPECT_EQ(result == Failed ? OutcomeIcon::Error : OutcomeIcon::Information, outcome->icon);
    }
    EXPECT_FALSE(RegistrationOutcome(static_cast<AssociationResult>(7)));
    EXPECT_EQ(OutcomeIcon::Information, RemovalOutcome(true).icon);
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
    EXPECT_EQ("It ended.", FatalErrorText("It ended.", ""));
    EXPECT_EQ("It ended.\n\nDisk full.", FatalErrorText("It ended.", "Disk full"));
}

TEST(DialogText, PlaceholdersAreFilledInOrder) {
    using platform::FilledText;
    EXPECT_EQ(".rar files open with WinArc.rar (%3)",
              FilledText("%1 files open with %2 (%3)", {".rar", "WinArc.rar"}));
    EXPECT_EQ("a%2b", FilledText("%1b", {"a%2"})) << "an argument is not read again";
    EXPECT_EQ("x x", FilledText("%10 %1", std::vector<std::string>(10, "x"))) << "%10 is not %1";
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

#include "app/Scaling.h"

#ifdef _WIN32
#include "platform/WinTypes.h"
#endif

#include <gtest/gtest.h>

namespace {

using namespace app;

TEST(Scaling, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(-17, app::MulDiv(-11, 144, 96)); // -16.5
    EXPECT_EQ(17, app::MulDiv(11, 144, 96));
    EXPECT_EQ(-16, app::MulDiv(-11, 140, 96)); // -16.04
    EXPECT_EQ(425, app::MulDiv(276, 20, 13));  // 424.6
    EXPECT_EQ(6, app::MulDiv(5, 5, 4));        // 6.25
    EXPECT_EQ(-6, app::MulDiv(5, -5, 4));
    EXPECT_EQ(-1, app::MulDiv(5, 5, 0));
    EXPECT_EQ(-1, app::MulDiv(0x40000000, 4, 1));                           // does not fit
    EXPECT_EQ(0x7FFFFFFF, app::MulDiv(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF)); // no overflow inside
}

#ifdef _WIN32
TEST(Scaling, MulDivAgreesWithThePlatform) {
    const int samples[] = {-276, -17, -11, -1, 0, 1, 7, 11, 13, 20, 96, 144, 257, 0x7FFFFFFF};
    for (int number : samples) {
        for (int numerator : {1, 12, 13, 20, 144, -3}) {
            for (int denominator : {1, 2, 13, 96, -7}) {
                EXPECT_EQ(::MulDiv(number, numerator, denominator),
                          app::MulDiv(number, numerator, denominator))
                    << number << " * " << numerator << " / " << denominator;
            }
        }
    }
}
#endif

TEST(Scaling, EdgesAreScaledAndSizesAreTheirDifferences) {
    // At 20/13 the width alone would scale to 395, the edges give 396.
    EXPECT_EQ((Rect{12, 12, 396, 88}), ScaleRect({8, 8, 257, 57}, 20, 13));
    EXPECT_EQ((Rect{8, 72, 121, 25}), ScaleRect({8, 72, 121, 25}, 13, 13));
}

TEST(Scaling, TheFontFollowsTheScreenResolution) {
    const FormDesign& design = MainFormDesign();
    EXPECT_EQ(-11, FontHeightAt(design, 96));
    EXPECT_EQ(-17, FontHeightAt(design, 144));
    EXPECT_EQ(-14, FontHeightAt(design, 120)); // -13.75
}

TEST(Scaling, TheDesignIsKeptAtItsOwnTextHeight) {
    const FormDesign& design = MainFormDesign();
    const ScaledForm layout = ScaledFor(design, 13);
    EXPECT_EQ(276, layout.clientWidth);
    EXPECT_EQ(162, layout.clientHeight);
    const std::vector<Rect> expected = {
        {8, 8, 257, 57}, {24, 32, 97, 17}, {8, 72, 121, 25}, {144, 72, 121, 25}, {8, 112, 257, 49}};
    EXPECT_EQ(expected, layout.bounds);
}

TEST(Scaling, ALargerTextScalesTheWholeDialog) {
    const ScaledForm layout = ScaledFor(MainFormDesign(), 20);
    EXPECT_EQ(425, layout.clientWidth);  // 276 * 20 / 13 = 424.6
    EXPECT_EQ(249, layout.clientHeight); // 162 * 20 / 13 = 249.2
    // The check box is scaled inside the group box, then placed in the dialog.
    const std::vector<Rect> expected = {{12, 12, 396, 88},
                                        {12 + 25, 12 + 37, 149, 26},
                                        {12, 111, 186, 38},
                                        {222, 111, 186, 38},
                                        {12, 172, 396, 76}};
    EXPECT_EQ(expected, layout.bounds);
}

TEST(Scaling, TheDialogIsCentredOrAtTheCorner) {
    EXPECT_EQ((Point{497, 431}), CentredPosition(1280, 1024, 286, 162));
    EXPECT_EQ((Point{0, 0}), CentredPosition(200, 100, 286, 195));
    EXPECT_EQ((Point{57, 0}), CentredPosition(400, 100, 286, 195)); // clamped on one axis
    EXPECT_EQ((Point{0, 0}), CentredPosition(287, 196, 286, 195));  // (1, 1) / 2 truncates
}

} // namespace

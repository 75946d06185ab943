#include "drawing/Canvas.h"

#include <gtest/gtest.h>

using namespace tresol;

// The room a text takes, in the user scale: its characters (not its bytes) across the longest
// line at 0.6 of the font's pixel size each, and a line height for each line, whichever way the
// axes run.
TEST(CanvasTextSize, InTheUserScaleFromTheFontsPixelSize) {
    Canvas box(320, 240);
    box.setTextMetrics(12, 15);
    // The pixel grid: '2 fi 20' is 7 characters of 7.2 px; one line is 15 px.
    EXPECT_FLOAT_EQ(box.TextWidth("2 fi 20"), 50.4f);
    EXPECT_FLOAT_EQ(box.TextHeight("2 fi 20"), 15.0f);

    // A window of 0.8 × 0.6 units, y up: 400 px a unit both ways.
    ASSERT_TRUE(box.Scale(-0.4f, 0.3f, 0.4f, -0.3f));
    EXPECT_FLOAT_EQ(box.TextWidth("2 fi 20"), 0.126f);
    EXPECT_FLOAT_EQ(box.TextHeight("r = 3 cm"), 0.0375f);
    // 'Ø 30' is 4 characters in 5 bytes; two lines take two line heights and the longer width.
    EXPECT_FLOAT_EQ(box.TextWidth("\xC3\x98 30"), 0.072f);
    EXPECT_FLOAT_EQ(box.TextWidth("R = 40\n1"), 0.108f);
    EXPECT_FLOAT_EQ(box.TextHeight("R = 40\n1"), 0.075f);
    EXPECT_FLOAT_EQ(box.TextWidth(""), 0.0f);
}

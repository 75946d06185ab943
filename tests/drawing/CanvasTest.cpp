#include "drawing/Canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tresol;

TEST(Canvas, ScaleClsPrintAndSize) {
    Canvas box(200, 100);
    EXPECT_FLOAT_EQ(box.ScaleWidth(), 200) << "pixel scale before any user scale";
    box.setSize(300, 150);
    EXPECT_FLOAT_EQ(box.ScaleWidth(), 300);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(box.Scale(1, 1, 1, 5)) << "no width";
    EXPECT_FALSE(box.Scale(0, nan, 1, 0));
    EXPECT_FALSE(box.Scale(-3e38f, 0, 3e38f, 1)) << "width overflows";
    EXPECT_FALSE(box.hasUserScale());
    ASSERT_TRUE(box.Scale(0, 10, 20, 0));
    box.setSize(600, 150);
    EXPECT_FLOAT_EQ(box.ScaleHeight(), -10) << "a user scale survives a resize";
    EXPECT_FLOAT_EQ(box.Width(), 600);

    box.setTextMetrics(12, 15);
    box.CurrentX(5);
    box.CurrentY(8);
    box.Print("a\nb");
    ASSERT_EQ(box.texts().size(), 1u);
    EXPECT_FLOAT_EQ(box.texts()[0].x, 5);
    EXPECT_FLOAT_EQ(box.CurrentX(), 0) << "back to the left edge";
    EXPECT_FLOAT_EQ(box.CurrentY(), 8 - 2 * 15 * 10.0f / 150) << "two lines down";

    box.Line(3, 4);
    box.Circle(1, 1, 2);
    EXPECT_FLOAT_EQ(box.CurrentX(), 1);
    EXPECT_EQ(box.items().size(), 3u);
    box.Cls();
    EXPECT_TRUE(box.items().empty());
    EXPECT_FLOAT_EQ(box.CurrentX(), 0);

    EXPECT_THROW(box.DrawStyle(7), ProgrammingError);
    EXPECT_THROW(box.DrawWidth(0), ProgrammingError);
    EXPECT_THROW(box.FillStyle(2), ProgrammingError);
}

TEST(Canvas, OneNotificationPerRepaint) {
    Canvas box;
    int calls = 0;
    box.setChangeCallback([&] { ++calls; });
    for (int i = 0; i < 100; ++i)
        box.Line(0, 0, 1, 1);
    EXPECT_EQ(calls, 1);
    box.acknowledgeChanges();
    box.Cls();
    EXPECT_EQ(calls, 2);
}

#include "drawing/CanvasSvg.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace tresol;

namespace {

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A 400 × 300 box whose window is 0…4 across and 3…0 up (y upwards, as a section is drawn).
Canvas fittedBox() {
    Canvas c(400, 300);
    c.Scale(0, 3, 4, 0);
    return c;
}

} // namespace

// World to page with one scale for both axes, the window centred: on a page of the box's own
// size the window fills it (100 px a unit); on an 800 × 300 page the height limits the scale
// to 100 px a unit again and the 400 px wide window sits in the middle (200 px each side).
TEST(CanvasSvg, MapsTheWindowCentredWithEqualScales) {
    Canvas c = fittedBox();
    c.Line(0, 0, 4, 3);
    c.Circle(2, 1, 0.5f);
    const std::string same = canvasSvg(c, 400, 300);
    EXPECT_NE(same.find("<line x1=\"0\" y1=\"300\" x2=\"400\" y2=\"0\""), std::string::npos);
    EXPECT_NE(same.find("<circle cx=\"200\" cy=\"200\" r=\"50\""), std::string::npos);
    EXPECT_NE(same.find("viewBox=\"0 0 400 300\""), std::string::npos);

    const std::string wide = canvasSvg(c, 800, 300);
    EXPECT_NE(wide.find("<line x1=\"200\" y1=\"300\" x2=\"600\" y2=\"0\""), std::string::npos);
    // Pens grow with the page: k = min(800/400, 300/300) = 1 keeps the 1 px pen; 800 × 600 doubles
    // it.
    EXPECT_NE(wide.find("stroke-width=\"1\""), std::string::npos);
    const std::string twice = canvasSvg(c, 800, 600);
    EXPECT_NE(twice.find("stroke-width=\"2\""), std::string::npos);
}

// One element per item, each kind as drawn: filled circles in the pen colour, dashed styles,
// invisible segments left out, text escaped with its top-left corner at the pen.
TEST(CanvasSvg, WritesEveryVisibleItem) {
    Canvas c = fittedBox();
    c.ForeColor(Rgb{255, 0, 0});
    c.Circle(1, 1, 0.1f);
    c.FillStyle(0);
    c.Circle(2, 1, 0.1f);
    c.DrawStyle(1);
    c.Line(0, 0, 1, 0);
    c.DrawStyle(5);
    c.Line(0, 1, 1, 1);
    c.DrawStyle(0);
    c.CurrentX(1);
    c.CurrentY(2);
    c.Print("a < b & \"c\"\x01");
    const std::string svg = canvasSvg(c, 400, 300);
    EXPECT_EQ(count(svg, "<circle "), 2);
    EXPECT_EQ(count(svg, "fill=\"none\""), 1);
    EXPECT_EQ(count(svg, "fill=\"#ff0000\""), 2); // the filled circle and the text
    EXPECT_EQ(count(svg, "<line "), 1);
    EXPECT_NE(svg.find("stroke-dasharray=\"4 2\""), std::string::npos);
    EXPECT_NE(svg.find("<text x=\"100\" y=\"100\""), std::string::npos);
    EXPECT_NE(svg.find(">a &lt; b &amp; \"c\"</text>"), std::string::npos);
}

// Whatever the canvas holds, the document stays well formed: items that cannot be placed are
// dropped, and a page without area becomes 1 × 1.
TEST(CanvasSvg, NonFiniteItemsAndPagesAreLeftOut) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Canvas c = fittedBox();
    c.Line(0, 0, nan, 1);
    c.Line(inf, 0, 1, 1);
    c.Circle(1, 1, nan);
    c.Circle(nan, 1, 1);
    c.Circle(1, 1, -1);
    c.CurrentX(inf);
    c.Print("x");
    c.Line(0, 0, 1, 1);
    const std::string svg = canvasSvg(c, 400, 300);
    EXPECT_EQ(count(svg, "<line "), 1);
    EXPECT_EQ(count(svg, "<circle "), 0);
    EXPECT_EQ(count(svg, "<text "), 0);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);

    for (double w : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
        const std::string page = canvasSvg(c, w, 300);
        EXPECT_NE(page.find("viewBox=\"0 0 1 1\""), std::string::npos) << w;
        EXPECT_EQ(page.substr(page.size() - 7), "</svg>\n");
    }
}

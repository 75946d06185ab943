#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Carmasec.h"
#include "reinforcement/Fixtures.h"
#include "sections/CSeccEstruc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace tresol;
using platform::RecordingSink;
using Bar = std::pair<float, float>; // (y, z)

namespace {

std::shared_ptr<Cdiametro> euro() {
    return fixtures::windowCatalogue("Euro");
}

std::vector<Bar> barsOf(const CSeccEstruc& s) {
    std::vector<Bar> out;
    if (auto a = s.GetArmado())
        for (int i = 1; i <= a->GetNumeroRedondos(); ++i)
            out.emplace_back(a->GetY(i), a->GetZ(i));
    return out;
}

// Bar positions equal within 1e-6 m.
MATCHER(SameBar, "") {
    const auto& [got, want] = arg;
    return std::fabs(got.first - want.first) <= 1e-6f &&
           std::fabs(got.second - want.second) <= 1e-6f;
}

} // namespace

TEST(CSeccEstrucArmado, ColumnBarsShareTheContourEvenly) {
    RecordingSink rec;
    CSeccEstruc column;
    ASSERT_TRUE(column.IniRectang(0, 0.4f, 0.3f, euro()));
    EXPECT_TRUE(column.AnyadeRefuerzoContorno("8 fi 16", 0.03f));
    // The bar line is 0.03 + 0.008 inside: 0.224 (Y) x 0.324 (Z), two bars a face.
    const float y = 0.112f, z = 0.162f;
    EXPECT_THAT(
        barsOf(column),
        ::testing::UnorderedPointwise(
            SameBar(), std::vector<Bar>{
                           {-y, -z}, {-y, 0}, {-y, z}, {0, z}, {y, z}, {y, 0}, {y, -z}, {0, -z}}));
    EXPECT_TRUE(rec.texts().empty());

    CSeccEstruc six;
    six.IniRectang(0, 0.4f, 0.3f, euro());
    EXPECT_FALSE(six.AnyadeRefuerzoContorno("6 fi 16", 0.03f));
    EXPECT_EQ(rec.texts(),
              std::vector<std::string>{"El número de redondos no es multiplo del número de caras"});
    EXPECT_FALSE(six.GetArmado()); // no set created either
}

TEST(CSeccEstrucArmado, CircularColumnTakesOneBarPerVertex) {
    RecordingSink rec;
    CSeccEstruc circle;
    // Given a contour first: a later shape replaces it.
    ASSERT_TRUE(circle.IniRectang(0, 0.4f, 0.3f, euro()));
    ASSERT_TRUE(circle.IniCircular(0, 0.5f, euro()));
    EXPECT_TRUE(circle.AnyadeRefuerzoContorno("16 fi 12", 0.04f));
    const auto bars = barsOf(circle);
    ASSERT_EQ(bars.size(), 16u);
    // All on one circle inside the outline.
    const float r0 = std::hypot(bars[0].first, bars[0].second);
    EXPECT_LT(r0, 0.25f - 0.04f);
    for (const auto& b : bars)
        EXPECT_NEAR(std::hypot(b.first, b.second), r0, 1e-5);
    EXPECT_TRUE(rec.texts().empty());

    CSeccEstruc other;
    other.IniCircular(0, 0.5f, euro());
    EXPECT_FALSE(other.AnyadeRefuerzoContorno("24 fi 12", 0.04f));
    EXPECT_EQ(rec.texts().size(), 1u);
}

TEST(CSeccEstrucArmado, BeamBarsOnOneFaceCentred) {
    CSeccEstruc beam;
    ASSERT_TRUE(beam.IniRectang(0, 0.5f, 0.3f, euro()));
    beam.AnyadeRefuerzoLineaCentrada("3 fi 16", 0.04f, 0);
    EXPECT_THAT(
        barsOf(beam),
        ::testing::UnorderedPointwise(
            SameBar(), std::vector<Bar>{{-0.102f, -0.202f}, {-0.102f, 0}, {-0.102f, 0.202f}}));
    // A second line goes into the same set, on the other face.
    beam.AnyadeRefuerzoLineaCentrada("2 fi 20", 0.04f, 1);
    EXPECT_EQ(beam.GetArmado()->GetNumeroRedondos(), 5);
    EXPECT_FLOAT_EQ(barsOf(beam)[3].first, 0.15f - 0.04f - 0.01f);
    EXPECT_THROW(beam.AnyadeRefuerzoLineaCentrada("3 fi 16", 0.04f, 2), ProgrammingError);

    CSeccEstruc steel;
    steel.IniRectang(1, 0.5f, 0.3f, euro());
    EXPECT_THROW(steel.AnyadeRefuerzoLineaCentrada("3 fi 16", 0.04f, 0), ProgrammingError);
}

// A line of a million bars once spent seconds refusing them one by one: such a line is refused
// whole, on a face or around the contour, while one within the limit is laid out as before.
TEST(CSeccEstrucArmado, LinesOfMoreBarsThanTheLimitAreRefusedWhole) {
    RecordingSink rec;
    const std::vector<std::string> tooMany{"Demasiados redondos en una línea: como máximo 1000"};
    CSeccEstruc beam;
    ASSERT_TRUE(beam.IniRectang(0, 0.5f, 0.3f, euro()));
    beam.AnyadeRefuerzoLineaCentrada("1000000 fi 6", 0.04f, 0);
    EXPECT_EQ(rec.texts(), tooMany);
    EXPECT_EQ(beam.GetArmado()->GetNumeroRedondos(), 0);

    rec.clear();
    CSeccEstruc column;
    ASSERT_TRUE(column.IniRectang(0, 0.4f, 0.4f, euro()));
    EXPECT_FALSE(column.AnyadeRefuerzoContorno("2147483644 fi 16", 0.03f));
    EXPECT_FALSE(column.AnyadeRefuerzoContorno("1004 fi 16", 0.03f)); // 251 a face
    EXPECT_EQ(rec.texts(), (std::vector<std::string>{tooMany[0], tooMany[0]}));
    EXPECT_EQ(column.GetArmado(), nullptr);

    // At the limit the line is placed bar by bar as described: on a 6.03 m wide face 1000 bars
    // of 6 mm, (6.03 - 2 x 0.0015 cover - 0.006) / 999 = 6.027 mm apart centre to centre, all fit.
    rec.clear();
    CSeccEstruc wide;
    ASSERT_TRUE(wide.IniRectang(0, 6.03f, 0.3f, euro()));
    wide.AnyadeRefuerzoLineaCentrada("1000 fi 6", 0.0015f, 0);
    EXPECT_EQ(wide.GetArmado()->GetNumeroRedondos(), 1000);
    EXPECT_TRUE(rec.texts().empty());
}

TEST(CSeccEstrucArmado, DrawingAxesOutlineAndBars) {
    CSeccEstruc s;
    s.IniRectang(0, 0.4f, 0.3f, euro());
    Canvas canvas(300, 300);
    CCuadroDibujo plot;
    plot.IniciaAPelo(canvas);
    plot.MargenSinPic(1, -1, 1, -1);
    s.DibujaEjes(plot);
    // The axes 1.1 times the half sides long: z across (0.4), y up (0.3).
    std::vector<float> ends;
    for (const auto& a : canvas.segments())
        ends.insert(ends.end(), {a.x1, a.y1, a.x2, a.y2});
    EXPECT_THAT(
        ends, ::testing::Pointwise(::testing::FloatNear(1e-6f),
                                   std::vector<float>{0.22f, 0, -0.22f, 0, 0, 0.165f, 0, -0.165f}));

    // Scale 0 draws in the window in force.
    const auto window = [&] {
        return std::tuple(plot.MinX(), plot.MaxX(), plot.MinY(), plot.MaxY());
    };
    const auto before = window();
    s.DibujaSeccion(plot, &s, nullptr, 2, 0, std::int16_t{0});
    EXPECT_EQ(window(), before);

    // With a scale the window is fitted around the outline with that margin factor, and the
    // bars are drawn as circles of their radius.
    s.AnyadeRefuerzoContorno("4 fi 20", 0.03f);
    canvas.Cls();
    s.DibujaSeccion(plot, &s, nullptr, 2, 1.2f, std::int16_t{0});
    EXPECT_TRUE(plot.MinX() <= -0.2f && plot.MaxX() >= 0.2f && plot.MinY() <= -0.15f &&
                plot.MaxY() >= 0.15f);
    EXPECT_LT(plot.MaxX() - plot.MinX(), 1.0f);
    int bars = 0;
    for (const auto& c : canvas.circles())
        bars += std::fabs(c.r - 0.01f) < 1e-6 ? 1 : 0;
    EXPECT_EQ(bars, 4);
    EXPECT_THROW(s.DibujaSeccion(plot, &s, nullptr, 0, 1.2f, std::int16_t{0}), ProgrammingError);

    // Alone: fitted through the extent collector, then drawn in its plane.
    canvas.Cls();
    s.DibujaSoloSeccion(plot, nullptr, nullptr, 2, 1.2f);
    EXPECT_LE(plot.MinX(), -0.2f);
    EXPECT_FALSE(canvas.segments().empty());
}

// Hand-worked members for the code-checked search. Euro bars of the catalogue (cm²): fi 10 0.7854,
// fi 12 1.1310, fi 16 2.0106, fi 20 3.1416, fi 25 4.9087; Mex #4 1.2668, #5 1.9806, #6 2.8502,
// #8 5.0671 (there is no #7 in the standard series, so #6 and #8 are neighbours).
#include "reinforcement/CodeSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace tresol;
using code::Code;

namespace {

Cdiametro catalogue(const char* series) {
    Cdiametro c;
    c.Ini(series, "m");
    return c;
}

code::Member beam(double area, double cover, double width, double height) {
    code::Member m;
    m.areaCm2 = area;
    m.coverCm = cover;
    m.widthCm = width;
    m.heightCm = height;
    return m;
}

code::Member column(double area, double cover, double width, std::int32_t sides,
                    double height = 0) {
    code::Member m = beam(area, cover, width, height);
    m.column = true;
    m.sides = sides;
    return m;
}

code::Options options(Code c, std::int32_t top = 10) {
    code::Options o;
    o.code = c;
    o.top = top;
    return o;
}

std::vector<std::string> lines(const code::Result& r) {
    std::vector<std::string> out;
    for (const auto& a : r.arrangements)
        out.push_back(a.line);
    return out;
}

const code::Arrangement* find(const code::Result& r, const std::string& line) {
    for (const auto& a : r.arrangements)
        if (a.line == line)
            return &a;
    return nullptr;
}

} // namespace

// 30 × 50 beam, cover 3, 10 cm², EN, d_g 20: width between covers 300 − 60 = 240 mm,
// s_min = max(d, 20 + 5, 20) = 25 mm for every Euro bar.
//   5 fi 16: g = (240 − 80)/4 = 40 ≥ 25, 10.05 cm², the least area of all.
//   6 fi 16: g = (240 − 96)/5 = 28.8 ≥ 25; 7 fi 16: g = 16/6 < 25, refused.
//   2 fi 20 + 2 fi 16: g = (240 − 40 − 32)/3 = 56, 10.30 cm²; 4 bars.
//   4 fi 20 (12.57) and 3 fi 25 (14.73) lie beyond 1.1 × 10.05 = 11.06.
// Preferred: one layer, then fewest bars within 11.06 cm² → 2 fi 20 + 2 fi 16 (4 bars) before
// 5 fi 16 (5 bars); then by area: 5 fi 16 first, and 3 fi 16 / 2 fi 16 (same area, two layers).
TEST(CodeSearch, BeamThirtyByFiftyUnderEN) {
    const auto cat = catalogue("Euro");
    const auto r = code::search(beam(10, 3, 30, 50), cat, options(Code::EC2, 3));
    EXPECT_TRUE(r.messages.empty());
    ASSERT_EQ(lines(r),
              (std::vector<std::string>{"2 fi 20 + 2 fi 16", "5 fi 16", "3 fi 16 / 2 fi 16"}));
    const auto& p = r.arrangements[0];
    EXPECT_TRUE(p.preferred);
    EXPECT_FALSE(r.arrangements[1].preferred);
    EXPECT_EQ(p.bars, 4);
    EXPECT_NEAR(p.totalAreaCm2, 2 * 3.1416 + 2 * 2.0106, 1e-3);
    EXPECT_NEAR(p.excessPct, 3.04, 0.01);
    ASSERT_EQ(p.layers.size(), 1u);
    EXPECT_NEAR(p.layers[0].clearSpacingMm, 56, 1e-9);
    EXPECT_NEAR(p.layers[0].minClearMm, 25, 1e-12);
    // Largest centre distance: corner to fi 16, 56 + (20 + 16)/2 = 74.
    EXPECT_NEAR(p.layers[0].maxCentreSpacingMm, 74, 1e-9);
    ASSERT_EQ(p.layers[0].groups.size(), 2u);
    EXPECT_EQ(p.layers[0].groups[0].count, 2);
    EXPECT_EQ(p.layers[0].groups[0].ref, "20");
    EXPECT_DOUBLE_EQ(p.layers[0].groups[1].diameterMm, 16);
    // Centroid above the face: (2·3.1416·40 + 2·2.0106·38)/10.3044 = 39.22 mm → d = 46.08 cm.
    ASSERT_TRUE(p.effectiveDepthCm);
    EXPECT_NEAR(*p.effectiveDepthCm, 46.078, 1e-3);
    // 10.30 / (30 · 50) = 0.687 %, under the 4 % flag.
    EXPECT_NEAR(p.ratioPct, 0.687, 1e-3);
    EXPECT_TRUE(p.flags.empty());
    // Bars: corners at z = ±(150 − 30 − 10) mm, fi 16 between with 56 mm gaps, y = −250+30+d/2.
    ASSERT_EQ(p.placement.size(), 4u);
    EXPECT_NEAR(p.placement[0].z, -0.110, 1e-12);
    EXPECT_NEAR(p.placement[0].y, -0.210, 1e-12);
    EXPECT_NEAR(p.placement[1].z, -0.110 + (0.010 + 0.056 + 0.008), 1e-12);
    EXPECT_NEAR(p.placement[1].y, -0.212, 1e-12);
    EXPECT_NEAR(p.placement[3].z, 0.110, 1e-12);

    // Second layer of 3 fi 16 / 2 fi 16: bottom at 30 + 16 + 25 (EN: s_min of fi 16) = 71 mm.
    const auto& two = r.arrangements[2];
    ASSERT_EQ(two.placement.size(), 5u);
    EXPECT_NEAR(two.placement[3].y, -0.250 + 0.071 + 0.008, 1e-12);
    EXPECT_NEAR(two.layers[1].clearSpacingMm, 240 - 32, 1e-9);
    // d = 500 − (3·38 + 2·79)/5 = 445.6 mm.
    EXPECT_NEAR(*two.effectiveDepthCm, 44.56, 1e-9);
}

// The same under ACI: s_min = max(25.4, d, 4/3·20) = 26.67 mm. 7 fi 12 leaves g = (240 − 84)/6
// = 26 mm: enough for EN (25), not for ACI, so 7 fi 12 / 2 fi 12 (10.18 cm²) is only in the EN
// list. The vertical clear distance is 25.4 mm instead of 25, so a second layer sits 0.4 mm
// higher and 3 fi 16 / 2 fi 16 has d = 500 − (3·38 + 2·79.4)/5 = 445.44 mm.
TEST(CodeSearch, BeamThirtyByFiftyUnderACI) {
    const auto cat = catalogue("Euro");
    const auto en = code::search(beam(10, 3, 30, 50), cat, options(Code::EC2, 0));
    const auto aci = code::search(beam(10, 3, 30, 50), cat, options(Code::ACI, 0));
    ASSERT_FALSE(aci.arrangements.empty());
    EXPECT_EQ(aci.arrangements[0].line, "2 fi 20 + 2 fi 16");
    EXPECT_NEAR(aci.arrangements[0].layers[0].minClearMm, 80.0 / 3, 1e-12);
    EXPECT_NE(find(en, "7 fi 12 / 2 fi 12"), nullptr);
    EXPECT_EQ(find(aci, "7 fi 12 / 2 fi 12"), nullptr);
    // Only EN: 7 fi 12 / 2…7 fi 12, and 2 fi 12 + 5 fi 10 / 7 fi 12 (the same 26 mm upstairs).
    EXPECT_EQ(en.arrangements.size(), aci.arrangements.size() + 7);
    EXPECT_NE(find(en, "2 fi 12 + 5 fi 10 / 7 fi 12"), nullptr);
    EXPECT_EQ(find(aci, "2 fi 12 + 5 fi 10 / 7 fi 12"), nullptr);
    const auto* two = find(aci, "3 fi 16 / 2 fi 16");
    ASSERT_NE(two, nullptr);
    EXPECT_NEAR(*two->effectiveDepthCm, 44.544, 1e-9);
}

// 25 × 50, cover 3, 20 cm², EN: 190 mm between covers. One layer holds at most 4 fi 25
// (g = (190 − 100)/3 = 30; a fifth gives 15/4 < 25) = 19.63 cm², and 2 fi 25 + 2 fi 20 is
// 16.10: every row needs two layers. Least area 5 fi 16 / 5 fi 16 = 20.11 (g = 110/4 = 27.5).
// Within 1.1 × 20.11 = 22.12: the fewest bars are 4 fi 20 / 3 fi 20 = 21.99 (7 bars); the six-bar
// 2 fi 25 + 2 fi 20 / 2 fi 20 has 22.38. Layer 2 of 4 fi 20 / 3 fi 20 sits at 30 + 20 + 25 = 75 mm:
// d = 500 − (4·40 + 3·85)/7 = 440.71 mm.
TEST(CodeSearch, BeamThatNeedsTwoLayers) {
    const auto cat = catalogue("Euro");
    const auto r = code::search(beam(20, 3, 25, 50), cat, options(Code::EC2, 0));
    ASSERT_GE(r.arrangements.size(), 2u);
    EXPECT_EQ(r.arrangements[0].line, "4 fi 20 / 3 fi 20");
    EXPECT_NEAR(*r.arrangements[0].effectiveDepthCm, 44.0714, 1e-4);
    EXPECT_NEAR(r.arrangements[0].layers[1].clearSpacingMm, (190 - 60) / 2.0, 1e-9);
    EXPECT_EQ(r.arrangements[1].line, "5 fi 16 / 5 fi 16");
    for (const auto& a : r.arrangements)
        EXPECT_EQ(a.layers.size(), 2u) << a.line;
}

// 40 cm square column, cover 3, 16 cm², EN. Corners on the square offset by 30 + d_a/2, side
// L = 400 − 60 − d_a. Corners only: 4 fi 20 has centres L = 320 mm apart > 300: refused.
// 8 fi 16 (one bar per side): g = (324 − 16 − 16)/2 = 146, 16.08 cm², the least; the other
// arrangement within 17.69 cm² is 4 fi 16 + 8 fi 12 (17.09, g = (324 − 16 − 24)/3 = 94.67) with
// more bars: 8 fi 16 is preferred. 16.08 / 1600 = 1.005 %: no flag under EN or ACI.
TEST(CodeSearch, SquareColumn) {
    const auto cat = catalogue("Euro");
    const auto r = code::search(column(16, 3, 40, 4, 40), cat, options(Code::EC2, 3));
    ASSERT_EQ(lines(r), (std::vector<std::string>{"8 fi 16", "4 fi 16 + 8 fi 12", "16 fi 12"}));
    const auto& p = r.arrangements[0];
    EXPECT_NEAR(p.layers[0].clearSpacingMm, 146, 1e-5); // the outline is in single precision
    EXPECT_FALSE(p.effectiveDepthCm);
    EXPECT_NEAR(p.ratioPct, 1.00531, 1e-4);
    EXPECT_TRUE(p.flags.empty());
    // Corner, then the bar in the middle of the side that starts there (y from −h/2 to h/2).
    ASSERT_EQ(p.placement.size(), 8u);
    EXPECT_NEAR(p.placement[0].y, -0.162, 1e-7);
    EXPECT_NEAR(p.placement[0].z, -0.162, 1e-7);
    EXPECT_NEAR(p.placement[1].y, 0, 1e-7);
    EXPECT_NEAR(p.placement[1].z, -0.162, 1e-7);
    // A height of 0 is the square of the width.
    EXPECT_EQ(lines(code::search(column(16, 3, 40, 4), cat, options(Code::EC2, 3))), lines(r));
    EXPECT_TRUE(code::search(column(16, 3, 40, 4), cat, options(Code::ACI, 1))
                    .arrangements[0]
                    .flags.empty());
}

// Hexagonal column of circumradius 30 cm, cover 3, 12 cm². Inradius 300·cos 30° = 259.81 mm;
// corners of fi 16 offset by 38 mm: inradius 221.81, side = circumradius = 221.81/cos 30°
// = 256.12 mm. 6 fi 16: g = 256.12 − 16 = 240.1 ≥ 25, centres 256 ≤ 300, 12.06 cm² — the least, and
// alone within 13.27 cm²: preferred. Concrete 3·√3/2·30² = 2338.3 cm² → 0.516 %: fine under EN (≥
// 0.2 %), flagged under ACI (< 1 %) with s_min = 38.1 mm.
TEST(CodeSearch, HexagonalColumn) {
    const auto cat = catalogue("Euro");
    const auto en = code::search(column(12, 3, 30, 6), cat, options(Code::EC2));
    ASSERT_FALSE(en.arrangements.empty());
    const auto& p = en.arrangements[0];
    EXPECT_EQ(p.line, "6 fi 16");
    EXPECT_NEAR(p.layers[0].clearSpacingMm, 2 * 221.8076 * std::tan(M_PI / 6) - 16, 1e-3);
    EXPECT_NEAR(p.ratioPct, 12.0637 / (1.5 * std::sqrt(3.0) * 900) * 100, 1e-4);
    EXPECT_TRUE(p.flags.empty());
    // Every corner bar on the ray of an outline vertex (the first at 30°), 256.12 mm out; the
    // outline is in single precision like the drawing, hence the micrometre.
    ASSERT_EQ(p.placement.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        const double angle = M_PI / 6 + static_cast<double>(i) * M_PI / 3;
        EXPECT_NEAR(p.placement[i].y, 0.2561213 * std::cos(angle), 1e-6) << i;
        EXPECT_NEAR(p.placement[i].z, 0.2561213 * std::sin(angle), 1e-6) << i;
    }
    const auto aci = code::search(column(12, 3, 30, 6), cat, options(Code::ACI));
    ASSERT_FALSE(aci.arrangements.empty());
    EXPECT_EQ(aci.arrangements[0].line, "6 fi 16");
    EXPECT_NEAR(aci.arrangements[0].layers[0].minClearMm, 38.1, 1e-12);
    EXPECT_EQ(aci.arrangements[0].flags, (std::vector<std::string>{"cuantía < 1 %"}));
}

// 20 × 30, cover 3, 30 cm²: 140 mm between covers. Layer 1 holds at most 3 fi 25
// (g = (140 − 75)/2 = 32.5); layer 2 at most 3 fi 25 too: 6 · 4.9087 = 29.45 cm² < 30.
TEST(CodeSearch, NothingFitsSaysTheMostTheMemberHolds) {
    const auto cat = catalogue("Euro");
    const auto r = code::search(beam(30, 3, 20, 30), cat, options(Code::EC2));
    EXPECT_TRUE(r.arrangements.empty());
    EXPECT_EQ(r.messages, (std::vector<std::string>{"no cabe: como máximo 29,4 cm² en dos capas"}));
    // In a 9 cm tall beam a second fi 25 layer has no room (30 + 25 + 25 + 25 + 30 > 90).
    EXPECT_EQ(code::search(beam(20, 3, 20, 9), cat, options(Code::EC2)).messages,
              (std::vector<std::string>{"no cabe: como máximo 14,7 cm² en una capa"}));
    // 0.5 cm²: the least that fits, 2 fi 10 = 1.57 cm², is beyond 1.8 × 0.5.
    EXPECT_EQ(code::search(beam(0.5, 3, 30, 50), cat, options(Code::EC2)).messages,
              (std::vector<std::string>{
                  "ninguna disposición da entre 0,50 y 0,90 cm² (1,8 veces el área necesaria)"}));
    // A 40 cm square column: corners alone are 320 mm apart, and one more bar per side of the
    // least size gives 8 fi 12 = 9.05 cm²; 4 cm² has no row.
    EXPECT_TRUE(code::search(column(4, 3, 40, 4), cat, options(Code::EC2)).arrangements.empty());
}

// Mex, 30 × 50, cover 3, 10 cm², ACI: s_min 26.67. 2 #8: g = 240 − 50.8 = 189.2, centres 214.6
// ≤ 300, 10.13 cm² — the least area, one layer, two bars: preferred. 3 #6 = 8.55 is short;
// 5 #5 = 9.90 is short by 0.1 cm² and never listed (no shortfall tolerance). d = 500 − 42.7.
TEST(CodeSearch, MexBeam) {
    const auto cat = catalogue("Mex");
    const auto r = code::search(beam(10, 3, 30, 50), cat, options(Code::ACI, 0));
    ASSERT_FALSE(r.arrangements.empty());
    EXPECT_EQ(r.arrangements[0].line, "2 # 8");
    EXPECT_NEAR(*r.arrangements[0].effectiveDepthCm, 45.73, 1e-9);
    EXPECT_NE(find(r, "4 # 6"), nullptr);
    EXPECT_NE(find(r, "2 # 6 + 3 # 5"), nullptr); // g = (240 − 38.1 − 47.64)/4 = 38.57
    EXPECT_EQ(find(r, "5 # 5"), nullptr);
    EXPECT_NE(find(r, "6 # 5"), nullptr); // g = (240 − 95.28)/5 = 28.94 ≥ 26.67
    // #3 (9.53 mm) is below the 10 mm least diameter of a beam.
    for (const auto& a : r.arrangements)
        EXPECT_EQ(a.line.find("# 3"), std::string::npos) << a.line;
}

TEST(CodeSearch, TopKeepsThePreferredAndTheLeastArea) {
    const auto cat = catalogue("Euro");
    const auto all = code::search(beam(10, 3, 30, 50), cat, options(Code::EC2, 0));
    const auto one = code::search(beam(10, 3, 30, 50), cat, options(Code::EC2, 1));
    // The preferred row is not the least area: the least-area row comes with it.
    EXPECT_EQ(lines(one), (std::vector<std::string>{"2 fi 20 + 2 fi 16", "5 fi 16"}));
    const auto ten = code::search(beam(10, 3, 30, 50), cat, options(Code::EC2, 10));
    ASSERT_EQ(ten.arrangements.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(ten.arrangements[i].line, all.arrangements[i].line);
    // A preferred row that is also the least area stands alone with top 1.
    EXPECT_EQ(code::search(column(16, 3, 40, 4), cat, options(Code::EC2, 1)).arrangements.size(),
              1u);
}

TEST(CodeSearch, BadInputGivesNoRowAndAMessage) {
    const auto cat = catalogue("Euro");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* name;
        code::Member m;
        code::Options o;
    };
    const code::Options ok = options(Code::EC2);
    auto withOption = [&](auto set) {
        code::Options o = ok;
        set(o);
        return o;
    };
    code::Member badOutline = column(10, 3, 40, 4);
    badOutline.outline = {{0, 0}, {0.4, 0}, {0, 0.4}, {0.4, 0.4}}; // crossed
    code::Member clockwise = column(10, 3, 40, 4);
    clockwise.outline = {{0, 0}, {0, 0.4}, {0.4, 0.4}, {0.4, 0}};
    const std::vector<Row> rows = {
        {"NaN area", beam(nan, 3, 30, 50), ok},
        {"infinite area", beam(inf, 3, 30, 50), ok},
        {"zero area", beam(0, 3, 30, 50), ok},
        {"negative area", beam(-5, 3, 30, 50), ok},
        {"huge area", beam(1e300, 3, 30, 50), ok},
        {"NaN cover", beam(10, nan, 30, 50), ok},
        {"negative cover", beam(10, -1, 30, 50), ok},
        {"cover half the width", beam(10, 15, 30, 50), ok},
        {"zero width", beam(10, 3, 0, 50), ok},
        {"huge width", beam(10, 3, 1e12, 50), ok},
        {"infinite height", beam(10, 3, 30, inf), ok},
        {"no height", beam(10, 3, 30, 0), ok},
        {"two sides", column(10, 3, 40, 2), ok},
        {"absurd sides", column(10, 3, 40, 1 << 30), ok},
        {"negative sides", column(10, 3, 40, -4), ok},
        {"crossed outline", badOutline, ok},
        {"clockwise outline", clockwise, ok},
        {"NaN aggregate", beam(10, 3, 30, 50), withOption([&](auto& o) { o.aggregateMm = nan; })},
        {"zero aggregate", beam(10, 3, 30, 50), withOption([](auto& o) { o.aggregateMm = 0; })},
        {"negative s_max", beam(10, 3, 30, 50), withOption([](auto& o) { o.maxSpacingMm = -1; })},
        {"infinite min bar", beam(10, 3, 30, 50),
         withOption([&](auto& o) { o.minDiameterMm = inf; })},
        {"min bar above all", beam(10, 3, 30, 50),
         withOption([](auto& o) { o.minDiameterMm = 40; })},
        {"negative top", beam(10, 3, 30, 50), withOption([](auto& o) { o.top = -1; })},
        {"unknown code", beam(10, 3, 30, 50),
         withOption([](auto& o) { o.code = static_cast<Code>(7); })},
    };
    for (const auto& row : rows) {
        const auto r = code::search(row.m, cat, row.o);
        EXPECT_TRUE(r.arrangements.empty()) << row.name;
        ASSERT_EQ(r.messages.size(), 1u) << row.name;
        EXPECT_FALSE(r.messages[0].empty()) << row.name;
        std::string error;
        EXPECT_TRUE(code::placeLine("5 fi 16", row.m, cat, row.o, error).empty()) << row.name;
        EXPECT_FALSE(error.empty()) << row.name;
    }
    EXPECT_EQ(code::search(beam(10, 15, 30, 50), cat, ok).messages[0],
              "el recubrimiento no deja sitio para las barras");
    EXPECT_EQ(
        code::search(beam(10, 3, 30, 50), cat, withOption([](auto& o) { o.minDiameterMm = 40; }))
            .messages[0],
        "ningún diámetro del catálogo llega al mínimo de 40 mm");
}

// Lines that are not this search's lines for the member are refused with a reason.
TEST(CodeSearch, PlaceLineRefusesForeignLines) {
    const auto cat = catalogue("Euro");
    const auto m = beam(10, 3, 30, 50);
    const auto o = options(Code::EC2);
    struct Row {
        const char* line;
        const char* reason;
    };
    const std::vector<Row> rows = {
        {"", "la línea no es una disposición de esta búsqueda: "},
        {"5 fi 16 ", "la línea no es una disposición de esta búsqueda: 5 fi 16 "},
        {"5 # 16", "la línea no es una disposición de esta búsqueda: 5 # 16"},
        {"5 fi 14", "la línea no es una disposición de esta búsqueda: 5 fi 14"},
        {"99999999999 fi 16", "la línea no es una disposición de esta búsqueda: 99999999999 fi 16"},
        {"2 fi 16 + 3 fi 16", "los dos diámetros deben ser vecinos en la serie, el mayor primero: "
                              "2 fi 16 + 3 fi 16"},
        {"2 fi 16 + 2 fi 20", "los dos diámetros deben ser vecinos en la serie, el mayor primero: "
                              "2 fi 16 + 2 fi 20"},
        {"3 fi 20 + 2 fi 16", "la línea no es una disposición de esta búsqueda: 3 fi 20 + 2 fi 16"},
        {"7 fi 16", "la disposición no deja la separación libre mínima: 7 fi 16"},
        {"4 fi 16", "la disposición no llega al área necesaria: 4 fi 16"},
        {"4 fi 25", "la disposición pasa de 1,8 veces el área necesaria: 4 fi 25"},
        {"2 fi 16 / 3 fi 16", "la línea no es una disposición de esta búsqueda: 2 fi 16 / 3 fi 16"},
        {"3 fi 20 / 2 fi 16", "la línea no es una disposición de esta búsqueda: 3 fi 20 / 2 fi 16"},
        {"5 fi 16 / 2 fi 16 / 2 fi 16",
         "la línea no es una disposición de esta búsqueda: 5 fi 16 / 2 fi 16 / 2 fi 16"},
    };
    for (const auto& row : rows) {
        std::string error;
        EXPECT_TRUE(code::placeLine(row.line, m, cat, o, error).empty()) << row.line;
        EXPECT_EQ(error, row.reason) << row.line;
    }
    // A wide beam with two bars is refused on the largest spacing, 1000 − 60 − 20 mm apart.
    std::string error;
    EXPECT_TRUE(code::placeLine("2 fi 20", beam(6, 3, 100, 50), cat, o, error).empty());
    EXPECT_EQ(error, "la disposición pasa de la separación máxima: 2 fi 20");
    // A column line must put the same number of bars on every side.
    EXPECT_TRUE(code::placeLine("4 fi 16 + 6 fi 12", column(16, 3, 40, 4), cat, o, error).empty());
}

// A 10 m square "beam" holds thousands of arrangements: an unlimited list stops at 2000 rows,
// says so, and still starts with the preferred row.
TEST(CodeSearch, UnlimitedListOfAHugeMemberIsBounded) {
    const auto cat = catalogue("Euro");
    const auto r = code::search(beam(60, 3, 1000, 1000), cat, options(Code::EC2, 0));
    ASSERT_EQ(r.arrangements.size(), 2000u);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].rfind("solo se listan las primeras 2000 de ", 0), 0u) << r.messages[0];
    EXPECT_TRUE(r.arrangements[0].preferred);
    const auto ten = code::search(beam(60, 3, 1000, 1000), cat, options(Code::EC2, 10));
    EXPECT_EQ(ten.arrangements.size(), 10u);
    EXPECT_TRUE(ten.messages.empty());
}

#include "reinforcement/CodeSearch.h"

#include "reinforcement/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace tresol;
using code::Code;

using namespace code::fixtures;

// EN 8.2(3), ACI 25.2.2: bars of an upper layer stand directly over bars of the layer below.
// 25 × 50, cover 3, 20 cm², EN: 190 mm between covers, s_min 25 mm up to fi 25.
// Least area 5 fi 16 / 5 fi 16 = 20.11; within 10 % the fewest bars are
//   2 fi 20 + 3 fi 16 / 4 fi 16 = 20.36 (lower g = (190 − 40 − 48)/4 = 25.5, full: one more fi 16
//   leaves 17.2): 9 bars, preferred. Its upper fi 16 stand over positions 0, 1, 3, 4 (z = ∓85,
//   ∓41.5), bottom 30 + 20 + 25 = 75 mm up; d = 500 − (6.2832·40 + 6.0319·38 + 8.0425·83)/20.3575
//   = 443.60 mm. 2 fi 28 + 2 fi 25 (22.13) is one layer but beyond the 10 %.
TEST(CodeSearch, UpperBarsStandOverLowerBars) {
    const auto cat = catalogue("Euro");
    const auto r = code::search(beam(20, 3, 25, 50), cat, options(Code::EC2));
    ASSERT_FALSE(r.arrangements.empty());
    EXPECT_EQ(find(r, "4 fi 20 / 3 fi 20"), nullptr);
    const auto& p = r.arrangements[0];
    EXPECT_EQ(p.line, "2 fi 20 + 3 fi 16 / 4 fi 16");
    EXPECT_NEAR(*p.effectiveDepthCm, 44.360, 1e-3);
    std::vector<double> lower, upper; // z of each layer's bars, mm
    for (const auto& b : p.placement)
        (b.y * 1000 > -200 ? upper : lower).push_back(b.z * 1000);
    std::sort(lower.begin(), lower.end());
    std::sort(upper.begin(), upper.end());
    ASSERT_EQ(lower.size(), 5u);
    EXPECT_EQ(upper, (std::vector<double>{lower[0], lower[1], lower[3], lower[4]}));
    EXPECT_NEAR(lower[1], -41.5, 1e-9);
    EXPECT_NEAR(p.placement[5].y * 1000, -250 + 75 + 8, 1e-9);
    EXPECT_NE(find(r, "2 fi 28 + 2 fi 25"), nullptr);
}

// A second layer only over a full first one, never heavier: 30 × 50, cover 3, 10 cm², EN.
// 5 fi 16 (g = 40) takes a sixth (g = 28.8 ≥ 25), so '3 fi 16 / 2 fi 16' and every two-layer row
// on 3…5 fi 16 are gone; '7 fi 12 / 2 fi 12' stays (8 fi 12 leaves (240 − 96)/7 = 20.6 < 25).
// Preferred as before: 2 fi 20 + 2 fi 16 (4 bars, 10.30, within 1.1 × 10.05 of 5 fi 16).
TEST(CodeSearch, TwoLayersOnlyWhereOneIsFull) {
    const auto cat = catalogue("Euro");
    const auto r = code::search(beam(10, 3, 30, 50), cat, options(Code::EC2));
    ASSERT_GE(r.arrangements.size(), 2u);
    EXPECT_EQ(r.arrangements[0].line, "2 fi 20 + 2 fi 16");
    EXPECT_EQ(r.arrangements[1].line, "5 fi 16");
    EXPECT_EQ(find(r, "3 fi 16 / 2 fi 16"), nullptr);
    EXPECT_EQ(find(r, "2 fi 12 + 3 fi 10 / 5 fi 12"), nullptr);
    EXPECT_NE(find(r, "7 fi 12 / 2 fi 12"), nullptr);
    // A short list keeps the preferred and the least area; a longer one the list's head.
    const auto one = code::search(beam(10, 3, 30, 50), cat, options(Code::EC2, 1));
    ASSERT_EQ(one.arrangements.size(), 2u);
    EXPECT_EQ(one.arrangements[0].line, "2 fi 20 + 2 fi 16");
    EXPECT_EQ(one.arrangements[1].line, "5 fi 16");
    const auto ten = code::search(beam(10, 3, 30, 50), cat, options(Code::EC2, 10));
    ASSERT_EQ(ten.arrangements.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(ten.arrangements[i].line, r.arrangements[i].line);
}

// A rectangular column carries its own count on each pair of faces (ACI 10.7.3.1, 25.2.3).
// 25 × 100, cover 3, 30 cm², ACI: s_min = max(38.1, 1.5·20, 4/3·20) = 38.1. Corners of fi 20
// 40 mm in: 920 mm between them along the long faces, 170 across. Three fi 20 on each long face:
// g = (920 − 20 − 60)/4 = 210, centres 230 ≤ 300; none on the short ones (170 ≤ 300): 10 fi 20
// = 31.42 ≥ 30 (1 % Ag = 25). Least area 20 fi 14 (30.79); 10 fi 20 is within 10 % with fewer
// bars: preferred.
TEST(CodeSearch, RectangularColumnHasItsOwnCountPerFace) {
    const auto cat = catalogue("Euro");
    const auto aci = code::search(column(30, 3, 25, 4, 100), cat, options(Code::ACI));
    ASSERT_FALSE(aci.arrangements.empty());
    const auto& p = aci.arrangements[0];
    EXPECT_EQ(p.line, "10 fi 20");
    std::vector<double> longFace;
    for (const auto& b : p.placement)
        if (std::fabs(b.z * 1000 + 85) < 1e-3)
            longFace.push_back(b.y * 1000);
    std::sort(longFace.begin(), longFace.end());
    ASSERT_EQ(longFace.size(), 5u);
    for (std::size_t i = 1; i < 5; ++i)
        EXPECT_NEAR(longFace[i] - longFace[i - 1], 230, 1e-3);
    EXPECT_NEAR(p.layers[0].clearSpacingMm, 150, 1e-3);
}

// Code minima are floors, the least allowed row always listed, and limits never flags.
//  - 40 × 40 column, 10 cm², ACI: 1 % Ag = 16 cm² governs: 8 fi 16 (16.08, 1.005 %) preferred;
//    corners alone (324 mm apart) break 300 mm.
//  - 30 × 30, 1 cm², EN: 0.2 % Ac = 1.80 cm², window 3.24; the least allowed row 4 fi 12 (4.52,
//    corners 228 mm apart) lies above it and is listed, saying the minimum governed. ACI: 1 % Ag
//    = 9 cm²: 8 fi 12 (9.05).
TEST(CodeSearch, CodeMinimaAreFloors) {
    const auto cat = catalogue("Euro");
    const auto a = code::search(column(10, 3, 40, 4, 40), cat, options(Code::ACI));
    ASSERT_FALSE(a.arrangements.empty());
    EXPECT_EQ(a.arrangements[0].line, "8 fi 16");
    EXPECT_EQ(a.arrangements[0].flags,
              (std::vector<std::string>{"mínimo de norma: 16,00 cm² (1 % Ag)"}));

    const auto c = code::search(column(1, 3, 30, 4, 30), cat, options(Code::EC2));
    ASSERT_EQ(c.arrangements.size(), 1u);
    EXPECT_EQ(c.arrangements[0].line, "4 fi 12");
    EXPECT_EQ(c.arrangements[0].flags,
              (std::vector<std::string>{"mínimo de norma: 1,80 cm² (0,2 % Ac)"}));
}

// ACI 25.2.2 with 26.4.2.1(a)(4)(iii): layers at least max(25.4, 4/3·32 = 42.67) mm apart.
// 25 × 50, cover 3, 20 cm², aggregate 32: 2 fi 25 + 1 fi 20 / 3 fi 20, the fi 25 tops at
// 30 + 25 = 55 mm, the upper fi 20 from 97.67 mm up.
TEST(CodeSearch, AciLayersClearTheAggregate) {
    const auto cat = catalogue("Euro");
    const auto r = code::search(beam(20, 3, 25, 50), cat, options(Code::ACI, 0, 32));
    const auto* two = find(r, "2 fi 25 + 1 fi 20 / 3 fi 20");
    ASSERT_NE(two, nullptr);
    const double lowerTop = two->placement[0].y * 1000 + 12.5;
    const double upperBottom = two->placement[3].y * 1000 - 10;
    EXPECT_NEAR(upperBottom - lowerTop, 128.0 / 3, 1e-9);
    EXPECT_NEAR(two->layers[0].minClearMm, 128.0 / 3, 1e-9);
}

// Beam minimum steel and the strain limit.
//  EN 9.2.1.1: fctm of C25/30 = 0.30·25^(2/3) = 2.565; 0.26·2.565/500 = 0.001334 > 0.0013.
//  30 × 60, cover 3, 1.2 cm²: 2 fi 12 has d = 564 → As,min = 0.001334·300·564 = 2.257 cm²;
//  2 fi 12 = 2.262 passes, 2 fi 10 (1.57) is not listed.
//  ACI 9.6.1.2: max(0.25√28/420, 1.4/420) = 0.00333 → 5.64 cm² at d = 564, waived (9.6.1.3) for
//  4/3·1.2 = 1.6 cm²: 2 fi 10 (1.571) still short, 2 fi 12 listed with the waiver.
//  ACI 9.3.3.1, 20 × 30, cover 3, 9 cm²: 2 fi 28 (12.32, d = 256): a = 1232·420/(0.85·28·200)
//  = 108.7, c = 127.9, εt = 0.003·(256 − 127.9)/127.9 = 0.0030 < 0.004: not listed under ACI
//  (EN lists it); 3 fi 20 (a = 83.1, c = 97.8, εt = 0.0050) is. 25 cm² in the same beam: no row.
TEST(CodeSearch, BeamMinimumAndStrainLimit) {
    const auto cat = catalogue("Euro");
    const auto en = code::search(beam(1.2, 3, 30, 60), cat, options(Code::EC2));
    ASSERT_FALSE(en.arrangements.empty());
    EXPECT_EQ(find(en, "2 fi 10"), nullptr);
    const auto* two12 = find(en, "2 fi 12");
    ASSERT_NE(two12, nullptr);
    EXPECT_EQ(two12->flags,
              (std::vector<std::string>{"mínimo de norma: 2,26 cm² (0,26 fctm/fyk · b·d)"}));
    const auto aci = code::search(beam(1.2, 3, 30, 60), cat, options(Code::ACI));
    EXPECT_EQ(find(aci, "2 fi 10"), nullptr);
    ASSERT_NE(find(aci, "2 fi 12"), nullptr);
    EXPECT_EQ(find(aci, "2 fi 12")->flags,
              (std::vector<std::string>{
                  "mínimo de norma dispensado: 4/3 del área necesaria (ACI 318-19 9.6.1.3)"}));

    EXPECT_NE(find(code::search(beam(9, 3, 20, 30), cat, options(Code::EC2)), "2 fi 28"), nullptr);
    const auto strain = code::search(beam(9, 3, 20, 30), cat, options(Code::ACI));
    EXPECT_EQ(find(strain, "2 fi 28"), nullptr);
    EXPECT_NE(find(strain, "3 fi 20"), nullptr);
    const auto heavy = code::search(beam(25, 3, 20, 30), cat, options(Code::ACI));
    EXPECT_TRUE(heavy.arrangements.empty());
    EXPECT_FALSE(heavy.refused);
    EXPECT_EQ(heavy.messages, (std::vector<std::string>{
                                  "ninguna disposición que cabe llega a una deformación εt de "
                                  "0,004 (ACI 318-19 9.3.3.1): la sección pide más canto"}));
}

// Mex, 30 × 50, cover 3, 10 cm², ACI: 2 #8 = 2·5.10 = 10.20, g = 240 − 50.8 = 189.2, centres
// 214.6 ≤ 300: the least area and fewest bars; d = 500 − 30 − 12.7 = 457.3 mm.
TEST(CodeSearch, MexSeriesUsesAstmAreas) {
    const auto mex = catalogue("Mex");
    const auto r = code::search(beam(10, 3, 30, 50), mex, options(Code::ACI));
    ASSERT_FALSE(r.arrangements.empty());
    EXPECT_EQ(r.arrangements[0].line, "2 # 8");
    EXPECT_NEAR(r.arrangements[0].totalAreaCm2, 10.20, 1e-5);
    EXPECT_NEAR(*r.arrangements[0].effectiveDepthCm, 45.73, 1e-9);
}

// Hexagonal column of circumradius 30 cm, cover 3, 12 cm², EN. Inradius 300·cos 30° = 259.81;
// corners of fi 16 offset by 38 mm: side 221.81/cos 30° = 256.12 mm; 6 fi 16 (12.06 cm², gaps
// 240.1) is the least and preferred. 0.2 % of 3·√3/2·30² = 2338.3 cm² is 4.68 < 12.
TEST(CodeSearch, HexagonalColumn) {
    const auto cat = catalogue("Euro");
    const auto en = code::search(column(12, 3, 30, 6), cat, options(Code::EC2));
    ASSERT_FALSE(en.arrangements.empty());
    const auto& p = en.arrangements[0];
    EXPECT_EQ(p.line, "6 fi 16");
    EXPECT_NEAR(p.layers[0].clearSpacingMm, 2 * 221.8076 * std::tan(M_PI / 6) - 16, 1e-3);
    EXPECT_TRUE(p.flags.empty());
}

// 30 × 30 column, cover 3, 70 cm², ACI, bars up to 16 mm: corners 224 mm apart; s_min 38.1 lets
// three fi 16 between them (g = (224 − 16 − 48)/4 = 40; a fourth leaves 28.8): 16 fi 16 = 32.17
// cm² at most, below 70 (and below the 8 % = 72 cm² limit).
// EN 9.2.1.1(3): 4 % of a 20 × 30 beam is 24 cm², less than the 30 asked for.
TEST(CodeSearch, NothingFitsSaysWhy) {
    const auto cat = catalogue("Euro");
    code::Options small = options(Code::ACI);
    small.maxDiameterMm = 16;
    const auto r = code::search(column(70, 3, 30, 4, 30), cat, small);
    EXPECT_TRUE(r.arrangements.empty());
    EXPECT_FALSE(r.refused);
    EXPECT_EQ(r.messages, (std::vector<std::string>{"no cabe: como máximo 32,1 cm²"}));
    EXPECT_EQ(code::search(beam(30, 3, 20, 30), cat, options(Code::EC2)).messages,
              (std::vector<std::string>{
                  "el área necesaria pasa del máximo de norma: 24,00 cm² (4 % de la sección)"}));
}

TEST(CodeSearch, BadInputIsRefusedWithAMessage) {
    const auto cat = catalogue("Euro");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* name;
        code::Member m;
        code::Options o;
    };
    const code::Options ok = options(Code::EC2, 10);
    code::Member badOutline = column(10, 3, 40, 4);
    badOutline.outline = {{0, 0}, {0.4, 0}, {0, 0.4}, {0.4, 0.4}}; // crossed
    code::Member clockwise = column(10, 3, 40, 4);
    clockwise.outline = {{0, 0}, {0, 0.4}, {0.4, 0.4}, {0.4, 0}};
    // An outline reaches 10 m from the origin at most, on either side.
    code::Member widest = column(10, 3, 40, 4);
    widest.outline = {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
    code::Member tooWide = widest;
    tooWide.outline[0].first = -10.01;
    code::Member twoFaces = beam(10, 3, 30, 50);
    twoFaces.multiple = 2;
    const auto b = beam(10, 3, 30, 50);
    const std::vector<Row> rows = {
        {"NaN area", beam(nan, 3, 30, 50), ok},
        {"zero area", beam(0, 3, 30, 50), ok},
        {"huge area", beam(1e300, 3, 30, 50), ok},
        {"negative cover", beam(10, -1, 30, 50), ok},
        {"cover half the width", beam(10, 15, 30, 50), ok},
        {"no height", beam(10, 3, 30, 0), ok},
        {"two sides", column(10, 3, 40, 2), ok},
        {"crossed outline", badOutline, ok},
        {"clockwise outline", clockwise, ok},
        {"outline past 10 m", tooWide, ok},
        {"beam multiple", twoFaces, ok},
        {"NaN aggregate", b, {.aggregateMm = nan}},
        {"negative s_max", b, {.maxSpacingMm = -1}},
        {"min bar above all", b, {.minDiameterMm = 50}},
        {"6 mm column bar (EN 9.5.2(1))", column(10, 3, 40, 4), {.minDiameterMm = 6}},
        {"C8/10 concrete", b, {.concreteMpa = 8}},
        {"negative top", b, {.top = -1}},
        {"unknown code", b, {.code = static_cast<Code>(7)}},
    };
    for (const auto& row : rows) {
        const auto r = code::search(row.m, cat, row.o);
        EXPECT_TRUE(r.arrangements.empty()) << row.name;
        EXPECT_TRUE(r.refused) << row.name;
        ASSERT_EQ(r.messages.size(), 1u) << row.name;
        std::string error;
        EXPECT_TRUE(code::placeLine("5 fi 16", row.m, cat, row.o, error).empty()) << row.name;
        EXPECT_FALSE(error.empty()) << row.name;
    }
    EXPECT_EQ(code::search(column(10, 3, 40, 4), cat, {.minDiameterMm = 6}).messages[0],
              "diámetro mínimo no válido: un pilar lleva barras de 8 mm o más (EN 1992-1-1 "
              "9.5.2(1))");
    EXPECT_FALSE(code::search(column(10, 3, 40, 4), cat, {.minDiameterMm = 8}).refused);
    EXPECT_FALSE(code::search(widest, cat, ok).refused);
}

TEST(CodeSearch, LinesReadBackOnlyWhenListed) {
    const auto cat = catalogue("Euro");
    const auto m = column(20, 3, 30, 4, 80);
    const auto o = options(Code::EC2);
    const auto r = code::search(m, cat, o);
    for (const auto& a : r.arrangements) {
        std::string error;
        const auto bars = code::placeLine(a.line, m, cat, o, error);
        ASSERT_EQ(bars.size(), a.placement.size()) << a.line << error;
        for (std::size_t i = 0; i < bars.size(); ++i)
            EXPECT_EQ(bars[i].z, a.placement[i].z) << a.line;
    }
    for (const char* line : {"", "10 fi 16 ", "10 # 16", "4 fi 16 + 6 fi 20", "4 fi 20 / 3 fi 20",
                             "99999999999 fi 16"}) {
        std::string error;
        EXPECT_TRUE(code::placeLine(line, m, cat, o, error).empty()) << line;
        EXPECT_EQ(error, std::string("la línea no es una disposición de esta búsqueda: ") + line);
    }
}

TEST(CodeRules, AgainstTheTables) {
    using namespace code::rules;
    // EN 1992-1-1 Table 3.1, fctm to one decimal.
    EXPECT_NEAR(fctm(25), 2.6, 0.05);
    EXPECT_NEAR(fctm(50), 4.1, 0.05);
    EXPECT_NEAR(fctm(90), 5.0, 0.05);
    // ACI 318-19 Table 22.2.2.4.3: 0.85 to 28 MPa, 0.80 at 35, 0.65 from 55.
    EXPECT_DOUBLE_EQ(beta1(20), 0.85);
    EXPECT_NEAR(beta1(35), 0.80, 1e-12);
    EXPECT_DOUBLE_EQ(beta1(55), 0.65);
    // 24.3.2 with fy 500: fs = 333.3, 380·0.84 − 2.5·50 = 194.2 < 300·0.84 = 252.
    EXPECT_NEAR(beamMaxSpacing(Code::ACI, {28, 500}, 300, 50), 194.2, 1e-9);
    EXPECT_DOUBLE_EQ(beamMaxSpacing(Code::EC2, {25, 500}, 300, 50), 300);

    EXPECT_EQ(concreteFromText("C30/37"), 30.0);
    EXPECT_EQ(concreteFromText(" c 25/30 "), 25.0);
    EXPECT_EQ(concreteFromText("27,5"), 27.5);
    for (const char* bad : {"", "C30", "C37/30", "abc", "C/30", "1e999", "30 MPa"})
        EXPECT_FALSE(concreteFromText(bad)) << bad;
    EXPECT_TRUE(materialsProblem(Code::EC2, {90, 600}).empty());
    EXPECT_FALSE(materialsProblem(Code::EC2, {95, 500}).empty());
    EXPECT_FALSE(materialsProblem(Code::ACI, {16, 420}).empty());
    EXPECT_TRUE(materialsProblem(Code::ACI, {17, 690}).empty());
}

// EN 4.4.1.2(3), Table 4.2: the cover for bond is the bar's diameter, so a 30 mm cover takes bars
// up to 28 mm: the 25 × 60 beam needing 24 cm² gets no fi 32 or fi 40 under EN (ACI sets its
// covers by member and lists them). A 5 mm cover takes no bar of the catalogue from 10 mm up.
TEST(CodeSearch, EnCoverTakesBarsNoLargerThanItself) {
    const auto cat = catalogue("Euro");
    auto largest = [](const code::Result& r) {
        double d = 0;
        for (const auto& a : r.arrangements)
            for (const auto& l : a.layers)
                for (const auto& g : l.groups)
                    d = std::max(d, g.diameterMm);
        return d;
    };
    EXPECT_EQ(largest(code::search(beam(24, 3, 25, 60), cat, options(Code::EC2))), 28);
    EXPECT_GT(largest(code::search(beam(24, 3, 25, 60), cat, options(Code::ACI))), 30);
    const auto thin = code::search(beam(10, 0.5, 30, 50), cat, options(Code::EC2));
    EXPECT_TRUE(thin.refused);
    EXPECT_EQ(thin.messages,
              (std::vector<std::string>{"el recubrimiento de 5 mm no basta para ninguna barra: EN "
                                        "1992-1-1 4.4.1.2 pide un recubrimiento no menor que el "
                                        "diámetro"}));
}

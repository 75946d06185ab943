// Links round the main bars, each case worked by hand against its clause of EN 1992-1-1 or
// ACI 318-19.
#include "reinforcement/Fixtures.h"
#include "reinforcement/Links.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace tresol;
using code::Code;
using namespace code::fixtures;

namespace {

constexpr double kHalfRoot2 = 0.70710678118654752; // sin 45°

code::Arrangement row(const std::string& line, const code::Member& m, const Cdiametro& cat,
                      Code c) {
    std::string error;
    const auto a = code::readLine(line, m, cat, options(c), error);
    if (!a)
        throw std::runtime_error(line + ": " + error);
    return *a;
}

std::vector<links::Bar> barsOf(const code::Arrangement& a, const Cdiametro& cat) {
    std::vector<links::Bar> out;
    for (const code::Bar& b : a.placement)
        out.push_back(
            {{b.y, b.z}, std::round(double{cat.GetDiametroMetros(b.diameterIndex)} * 1e6) / 1e3});
    return out;
}

// The bars at either end of a crosstie, by their index (none for an end on the link itself).
std::pair<int, int> endsOf(const links::Crosstie& t, const std::vector<links::Bar>& bars) {
    auto at = [&](const links::Point& p) {
        for (std::size_t i = 0; i < bars.size(); ++i)
            if (std::hypot(p.y - bars[i].centre.y, p.z - bars[i].centre.z) < 1e-9)
                return static_cast<int>(i);
        return -1;
    };
    const int a = at(t.a), b = at(t.b);
    return {std::min(a, b), std::max(a, b)};
}

std::set<int> restrainedOf(const links::Restraint& r) {
    std::set<int> out;
    for (std::size_t i = 0; i < r.restrained.size(); ++i)
        if (r.restrained[i])
            out.insert(static_cast<int>(i));
    return out;
}

} // namespace

// EN 1992-1-1 Table 8.1N: a mandrel of 4φ up to φ 16, 7φ above. ACI 318-19 Table 25.3.2: an inside
// diameter of 4 db for No. 3–5 ties, 6 db for No. 6–8. The inner radius is half of it; each
// table's edge from both sides.
TEST(Links, BendRadiusFromTheTable) {
    const struct {
        Code code;
        double link, radius;
    } cases[] = {
        {Code::EC2, 16, 32}, {Code::EC2, 20, 70}, {Code::ACI, 15.9, 31.8}, {Code::ACI, 19.1, 57.3}};
    for (const auto& c : cases)
        EXPECT_NEAR(links::innerBendRadiusMm(c.code, c.link), c.radius, 1e-12) << c.link;
}

// A corner bar's centre from each face: t + r − (r − ρ)·sin(α/2) in the bend, t + ρ when ρ ≥ r.
// The right-angled bends are measured on placed bars below.
TEST(Links, CornerBarSitsInTheBend) {
    // A triangle's 60° corner: sin 30° = 0.5, 40 + 20 − 14 · 0.5 = 53.
    EXPECT_NEAR(links::cornerBarOffsetMm(40, 20, 12, std::numbers::pi / 3), 53, 1e-9);
    // fi 25 round a fi 6 of r 12: ρ = 12.5 ≥ 12, against both legs at 36 + 12.5.
    EXPECT_NEAR(links::cornerBarOffsetMm(36, 12, 25, std::numbers::pi / 2), 48.5, 1e-9);
}

// 30 × 50 beam, cover 30 mm, link fi 8 (EN: mandrel 32, r = 16), '2 fi 20 + 2 fi 16':
//   the fi 20 corners (ρ 10 < 16) at 30 + 8 + 16 − (16 − 10)/√2 = 49.757 mm from the bottom and
//   from the side; the fi 16 between them at 30 + 8 + 8 = 46 mm from the bottom.
//   Between the corners' centres 300 − 2 · 49.757 = 200.485; less a fi 20 and two fi 16 that
//   leaves three clear gaps of (200.485 − 20 − 32)/3 = 49.495 mm.
//   d = 500 − (6.2832 · 49.757 + 4.0212 · 46)/10.3044 = 500 − 48.291 = 451.709 mm.
TEST(Links, BeamCornersInTheBends) {
    const Cdiametro cat = catalogue("Euro");
    const code::Arrangement a = row("2 fi 20 + 2 fi 16", beam(10, 3, 30, 50, 8), cat, Code::EC2);
    ASSERT_EQ(a.placement.size(), 4u);
    auto fromBottom = [](const code::Bar& b) { return b.y * 1000 + 250; };
    const double corner = 54 - 6 * kHalfRoot2;
    for (double fromFace : {fromBottom(a.placement[0]), a.placement[0].z * 1000 + 150,
                            fromBottom(a.placement[3]), 150 - a.placement[3].z * 1000})
        EXPECT_NEAR(fromFace, corner, 1e-9);
    EXPECT_NEAR(fromBottom(a.placement[1]), 46, 1e-9);
    EXPECT_NEAR(fromBottom(a.placement[2]), 46, 1e-9);
    const double gap = (300 - 2 * corner - 20 - 32) / 3;
    EXPECT_NEAR(a.placement[2].z * 1000 - a.placement[1].z * 1000 - 16, gap, 1e-9);
    EXPECT_NEAR(a.layers[0].clearSpacingMm, gap, 1e-9);
    EXPECT_NEAR(*a.effectiveDepthCm, 45.1709, 1e-4);
}

// A link whose bends fill the section: 20 × 20 beam, cover 5, fi 25 (EN 7φ: r = 87.5),
// 50 + 25 + 87.5 = 162.5 from each face of a 200 mm width. The search refuses it.
TEST(Links, BendsThatFillTheSectionAreRefused) {
    const code::Result r =
        code::search(beam(5, 5, 20, 20, 25), catalogue("Euro"), options(Code::EC2));
    ASSERT_TRUE(r.refused);
    EXPECT_EQ(r.messages.front(), "el cerco no deja sitio dentro del recubrimiento");
    EXPECT_EQ(links::problem(Code::EC2, catalogue("Euro"), 25, links::memberOutline(4, 20, 20), 50),
              "el cerco de 25 mm, doblado con un radio interior de 87.5 mm, no deja sitio dentro "
              "del recubrimiento de 5 cm");
}

// A 60 × 60 column of 16 bars, cover 40: five on each face, three between the corners.
//  EN, '16 fi 20', link fi 10 (r 20): corners at 40 + 10 + 20 − 10/√2 = 62.929 mm in; between
//   them 600 − 125.858 = 474.142, and three fi 20 leave four gaps of (474.142 − 80)/4 = 98.536,
//   so the side bars stand 118.5, 237.1 and 355.6 mm along from a corner. The middle one is
//   237.1 mm from both corners (> 150, 9.5.3(6)): it is held, and then its neighbours lie
//   118.5 mm from it. One bar a face; the middle bars of opposite faces share a crosstie: 2.
//  ACI, '16 # 6' (19.1 mm), link # 3 (9.5 mm, r = 19): corners at 49.5 + 19 − 9.45/√2 = 61.818
//   in, 476.364 between them, clear gaps (476.364 − 4 · 19.1)/4 = 100.0 mm. Alternate bars held
//   (25.7.2.3(a)): the middle one; the other two are each 100 mm clear (≤ 150) from a held bar
//   on either side. Again one a face and 2 crossties.
//  Spacing: EN min(20 · 20, 600, 400) = 400, 0.6 · 400 = 240 near beams and laps; ACI
//   min(16 · 19.1, 48 · 9.5, 600) = min(305.6, 456, 600) = 305.6, no reduced value.
TEST(Links, SixteenBarsMiddleBarsTiedAcross) {
    const struct {
        Code code;
        const char* series;
        const char* line;
        double area, link, corner;
        const char* text;
        double spacing;
        std::optional<double> reduced;
    } cases[] = {{Code::EC2, "Euro", "16 fi 20", 45, 10, 70 - 10 * kHalfRoot2,
                  "1 cerco fi 10 + 2 horquillas fi 10", 400, 240},
                 {Code::ACI, "Mex", "16 # 6", 40, 9.5, 68.5 - 9.45 * kHalfRoot2,
                  "1 cerco # 3 + 2 horquillas # 3", 305.6, std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Cdiametro cat = catalogue(c.series);
        const code::Arrangement a = row(c.line, column(c.area, 4, 60, 4, 0, c.link), cat, c.code);
        ASSERT_EQ(a.placement.size(), 16u);
        const auto outline = links::memberOutline(4, 60, 60);
        const double face = outline[0].z * -1000;
        for (int v = 0; v < 4; ++v) {
            const code::Bar& b = a.placement[static_cast<std::size_t>(4 * v)];
            EXPECT_NEAR(face - std::fabs(b.y * 1000), c.corner, 1e-9);
            EXPECT_NEAR(face - std::fabs(b.z * 1000), c.corner, 1e-9);
        }
        const auto bars = barsOf(a, cat);
        const auto r =
            links::restrainColumnBars(c.code, links::insetOutline(outline, 40 + c.link), bars);
        // Placed corner by corner, each followed by its face's three: corners 0, 4, 8, 12, the
        // middle bars 2, 6, 10, 14.
        EXPECT_EQ(restrainedOf(r), (std::set<int>{0, 2, 4, 6, 8, 10, 12, 14}));
        ASSERT_EQ(r.crossties.size(), 2u);
        std::set<std::pair<int, int>> ties;
        for (const auto& t : r.crossties)
            ties.insert(endsOf(t, bars));
        EXPECT_EQ(ties, (std::set<std::pair<int, int>>{{2, 10}, {6, 14}}));

        const links::LinkDetail d =
            links::detail(links::frame(true, 4, 60, 60, 4, c.link, c.code, cat), bars);
        EXPECT_EQ(d.text, c.text);
        ASSERT_TRUE(d.spacingMm);
        EXPECT_NEAR(*d.spacingMm, c.spacing, 1e-9);
        EXPECT_EQ(d.reducedSpacingMm.has_value(), c.reduced.has_value());
        if (c.reduced) {
            EXPECT_NEAR(*d.reducedSpacingMm, *c.reduced, 1e-9);
        }
    }
}

// A polygon's corner holds its bar under ACI 25.7.2.3(a) up to 135°: an octagon's (135°) do; a
// nonagon's (140°) and a decagon's (144°) do not, and each corner bar gets a crosstie, across to
// the opposite corner where there is one (10/2 = 5), to the link's far side where there is none
// (9). EN holds every corner. Circumradius 30 cm, cover 40, link fi 10, a fi 25 at each corner.
TEST(Links, WideCornersHoldNothingUnderAci) {
    const Cdiametro cat = catalogue("Euro");
    for (const auto& [sides, aciTies] : {std::pair{8, 0u}, {9, 9u}, {10, 5u}}) {
        SCOPED_TRACE(sides);
        const auto inner = links::insetOutline(links::memberOutline(sides, 30, 0), 50);
        for (const Code c : {Code::EC2, Code::ACI}) {
            const std::string line = std::to_string(sides) + " fi 25";
            const auto bars = barsOf(row(line, column(30, 4, 30, sides, 0, 10), cat, c), cat);
            const auto r = links::restrainColumnBars(c, inner, bars);
            EXPECT_EQ(r.crossties.size(), c == Code::EC2 ? 0u : aciTies);
            EXPECT_EQ(restrainedOf(r).size(), static_cast<std::size_t>(sides));
            for (const auto& t : r.crossties) {
                // To the opposite corner, or (no bar there) to the link: its end on the link's
                // face is measured over generated members by LinkProperty.
                const auto [x, y] = endsOf(t, bars);
                EXPECT_EQ(sides % 2 == 1 ? x : y - x, sides % 2 == 1 ? -1 : sides / 2)
                    << x << " " << y;
                // Across the core: most of the section's width.
                EXPECT_GT(std::hypot(t.a.y - t.b.y, t.a.z - t.b.z), 0.4);
            }
        }
    }
}

// EN 9.5.3(3), (4): min(20 φ_min, least dimension, 400) and 0.6 of it; ACI 25.7.2.1 min(16 db,
// 48 d_tie, least dimension). The least dimension of a regular polygon of circumradius R is
// 2R cos(π/n) for even n, R(1 + cos(π/n)) for odd n.
TEST(Links, SpacingAsTheClauseSays) {
    const struct {
        Code code;
        std::int32_t sides;
        double width, height, bar, link, spacing;
        std::optional<double> reduced;
    } cases[] = {
        // min(20 · 16 = 320, 250, 400) = 250; 150.
        {Code::EC2, 4, 25, 40, 16, 8, 250, 150},
        // Hexagon R 200: 2 · 200 · cos 30° = 346.410; min(400, 346.410, 400); 207.846.
        {Code::EC2, 6, 20, 0, 20, 8, 346.410, 207.846},
        // Pentagon R 200: 200 (1 + cos 36°) = 361.803; min(16 · 25 = 400, 48 · 10 = 480, …).
        {Code::ACI, 5, 20, 0, 25, 10, 361.803, std::nullopt},
        // min(16 · 32 = 512, 48 · 6 = 288, 600): the tie governs.
        {Code::ACI, 4, 60, 60, 32, 6, 288, std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spacing);
        const double least =
            links::leastWidthM(links::memberOutline(c.sides, c.width, c.height)) * 1000;
        const links::Spacing s = links::columnSpacing(c.code, c.bar, c.link, least);
        EXPECT_NEAR(s.maxMm, c.spacing, 1e-3);
        EXPECT_EQ(s.reducedMm.has_value(), c.reduced.has_value());
        if (c.reduced) {
            EXPECT_NEAR(*s.reducedMm, *c.reduced, 1e-3);
        }
    }
}

// EN 9.5.3(1): the link at least max(6 mm, φ_max/4); ACI 25.7.2.2: No. 3 ties round bars up to
// No. 10 (32.3 mm), No. 4 (12.7 mm) above.
TEST(Links, LeastLinkNotedWhenThinner) {
    const struct {
        Code code;
        double link, largest;
        const char* note;
    } cases[] = {
        {Code::EC2, 6, 20, ""},
        {Code::EC2, 6, 25, "cerco menor que el mínimo de 6,25 mm (EN 1992-1-1 9.5.3(1))"},
        {Code::EC2, 8, 32, ""},
        {Code::ACI, 9.5, 32.3, ""},
        {Code::ACI, 9.5, 35.8, "cerco menor que el mínimo de 12,7 mm (ACI 318-19 25.7.2.2)"},
        {Code::ACI, 8, 20, "cerco menor que el mínimo de 9,5 mm (ACI 318-19 25.7.2.2)"}};
    for (const auto& c : cases)
        EXPECT_EQ(links::leastLinkNote(c.code, c.link, c.largest), c.note)
            << c.link << " " << c.largest;
}

// A link must be one of the series' sizes (a numbered bar by its nominal diameter, to 0.05 mm).
TEST(Links, ProblemNamesTheValue) {
    const struct {
        const char* series;
        double link;
        const char* why;
    } cases[] = {{"Euro", 0, ""},
                 {"Euro", 7, "el cerco de 7 mm no es un diámetro de la serie Euro"},
                 {"Mex", 9.53, ""},
                 {"Mex", 9.6, "el cerco de 9.6 mm no es un diámetro de la serie Mex"},
                 {"Euro", -8, "el diámetro del cerco no puede ser negativo (-8 mm)"},
                 {"Euro", std::numeric_limits<double>::quiet_NaN(),
                  "el diámetro del cerco no es un número finito"}};
    for (const auto& c : cases)
        EXPECT_EQ(links::problem(Code::EC2, catalogue(c.series), c.link,
                                 links::memberOutline(4, 30, 50), 30),
                  c.why)
            << c.link;
}

// Over families of members, every listed arrangement is measured where its bars are and checked
// against the clauses. Each family's options make one term of the clear-distance rule govern
// whatever bar is chosen, so that its minimum is one figure, written out from the code's text:
// any two bars at least that far apart, every bar inside the cover, upper bars over lower bars
// of no smaller size, the largest spacing, the steel from the bars' diameters within the code's
// least and largest.
#include "reinforcement/CodeSearch.h"

#include "reinforcement/Fixtures.h"

#include "geometry/MemberOutline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

using namespace tresol;
using code::Code;
using namespace code::fixtures;

namespace {

struct Family {
    const char* name;
    Code code;
    bool column;
    std::vector<std::int32_t> sides; // a column's; 4 also with a height
    double aggregateMm, maxBarMm, maxSpacingMm, concreteMpa;
    double clearMm;   // least clear distance between any two bars
    double spacingMm; // largest centre distance: a beam's bottom bars, along a column's face
    double minRatio;  // of b·d for a beam, of the gross area for a column
    double maxRatio;  // of the gross area; 0 for none
    std::vector<double> coversCm;
};

// C25/30 and B500 under EN, f'c 28 and fy 420 MPa under ACI unless a family says otherwise.
const Family kFamilies[] = {
    // EN 8.2(2): max(φ ≤ 25, dg + 5 = 25, 20) = 25. 9.2.1.1(1): fctm = 0.30·25^(2/3) = 2.565,
    // 0.26·2.565/500 = 0.001334 > 0.0013; (3) 0.04 Ac.
    {"EN_beam", Code::EC2, false, {}, 20, 25, 300, 0, 25, 300, 0.001334, 0.04, {3, 5}},
    // max(φ ≤ 32, 32 + 5 = 37, 20) = 37. C40/50: fctm = 0.30·40^(2/3) = 3.509,
    // 0.26·3.509/500 = 0.001825. Bars no larger than the 40 mm cover (4.4.1.2(3)).
    {"EN_beam_C40_50", Code::EC2, false, {}, 32, 32, 150, 40, 37, 150, 0.001825, 0.04, {4}},
    // ACI 25.2.1 max(25.4, db ≤ 40, 4/3·32 = 42.67), 25.2.2 max(25.4, 42.67) between layers.
    // 24.3.2, fs = 2/3·420 = 280: min(300, 380·280/280 − 2.5·50, 300·280/280) = 255.
    // 9.6.1.2: max(0.25·√28/420 = 0.00315, 1.4/420 = 0.003333).
    {"ACI_beam", Code::ACI, false, {}, 32, 0, 300, 0, 128.0 / 3, 255, 1.4 / 420, 0, {5}},
    // EN columns: 25 as above; 9.5.2(2) 0.002 Ac, (3) 0.04 Ac.
    {"EN_column", Code::EC2, true, {4, 6, 8}, 20, 25, 300, 0, 25, 300, 0.002, 0.04, {3, 4}},
    // ACI 25.2.3 max(38.1, 1.5·25 = 37.5, 4/3·20 = 26.7) = 38.1; 10.6.1.1 0.01 and 0.08 Ag.
    {"ACI_column", Code::ACI, true, {3, 4, 5}, 20, 25, 300, 0, 38.1, 300, 0.01, 0.08, {3}},
    // Coarse aggregate: 4/3·32 = 42.67 governs.
    {"ACI_column_coarse", Code::ACI, true, {4}, 32, 25, 300, 0, 128.0 / 3, 300, 0.01, 0.08, {3}},
};

struct Bar {
    double y, z, d; // mm
};

double clear(const Bar& a, const Bar& b) {
    return std::hypot(a.y - b.y, a.z - b.z) - (a.d + b.d) / 2;
}

// A beam b wide, h high: the bottom bars sit on the cover line, each upper bar over a bottom bar
// of no smaller size; the bottom bars' centres no further apart than the largest spacing; the
// steel from the effective depth measured to the bars' centroid.
void checkBeam(const Family& f, const code::Member& m, const code::Arrangement& row,
               const std::vector<Bar>& bars, double steelCm2) {
    constexpr double tol = 1e-6; // mm
    const double b = m.widthCm * 10, h = m.heightCm * 10, c = m.coverCm * 10;
    std::vector<Bar> bottom;
    double moment = 0;
    for (const Bar& p : bars) {
        EXPECT_GE(p.y - p.d / 2, -h / 2 + c - tol) << "below the cover";
        EXPECT_LE(p.y + p.d / 2, h / 2 - c + tol) << "above the cover";
        EXPECT_LE(std::fabs(p.z) + p.d / 2, b / 2 - c + tol) << "beside the cover";
        moment += p.d * p.d * (h / 2 - p.y);
        if (p.y - p.d / 2 <= -h / 2 + c + tol)
            bottom.push_back(p);
    }
    for (const Bar& p : bars) {
        if (p.y - p.d / 2 <= -h / 2 + c + tol)
            continue;
        EXPECT_TRUE(
            std::any_of(bottom.begin(), bottom.end(),
                        [&](const Bar& q) { return std::fabs(q.z - p.z) < tol && q.d >= p.d; }))
            << "upper bar at z = " << p.z << " over no bottom bar of its size or larger";
    }
    std::sort(bottom.begin(), bottom.end(), [](const Bar& x, const Bar& y) { return x.z < y.z; });
    for (std::size_t i = 1; i < bottom.size(); ++i)
        EXPECT_LE(bottom[i].z - bottom[i - 1].z, f.spacingMm + tol);
    double sumD2 = 0;
    for (const Bar& p : bars)
        sumD2 += p.d * p.d;
    const double d = moment / sumD2;
    ASSERT_TRUE(row.effectiveDepthCm);
    EXPECT_NEAR(*row.effectiveDepthCm * 10, d, 1e-5); // the catalogue's areas are singles
    // ACI 9.6.1.3 waives the minimum when the steel is 4/3 of the area asked for.
    if (f.code == Code::EC2 || steelCm2 < 4.0 / 3 * m.areaCm2) {
        EXPECT_GE(steelCm2, f.minRatio * b * d / 100 * (1 - 1e-4)) << "d = " << d;
    }
    if (f.maxRatio > 0) {
        EXPECT_LE(steelCm2, f.maxRatio * b * h / 100 * (1 + 1e-9));
    }
    EXPECT_NEAR(row.ratioPct, steelCm2 / (b * h / 100) * 100, 1e-5 * row.ratioPct);
}

// A column on its outline (mm): every bar inside the cover of every face, a bar in each corner,
// the centres along a face no further apart than the largest spacing, the steel a share of the
// gross area within the code's limits, ACI's least count (10.7.3.1).
void checkColumn(const Family& f, const code::Member& m, const code::Arrangement& row,
                 const std::vector<Bar>& bars, double steelCm2) {
    constexpr double tol = 1e-3; // mm: the outline is single precision
    const float w = static_cast<float>(m.widthCm / 100), h = static_cast<float>(m.heightCm / 100);
    const PointArray pts = memberOutlinePoints(m.sides, w, h == 0 ? w : h);
    const std::int32_t n = m.sides;
    double gross = 0;
    for (std::int32_t i = 1; i <= n; ++i) {
        const double y0 = pts(i, 1) * 1000.0, z0 = pts(i, 2) * 1000.0;
        const double y1 = pts(i + 1, 1) * 1000.0, z1 = pts(i + 1, 2) * 1000.0;
        const double len = std::hypot(y1 - y0, z1 - z0);
        gross += (y0 * z1 - y1 * z0) / 2 / 100;
        std::vector<double> along; // of the bars against this face's cover line
        for (const Bar& p : bars) {
            const double inside = ((y1 - y0) * (p.z - z0) - (z1 - z0) * (p.y - y0)) / len;
            EXPECT_GE(inside, m.coverCm * 10 + p.d / 2 - tol) << "face " << i;
            if (inside <= m.coverCm * 10 + p.d / 2 + tol)
                along.push_back(((y1 - y0) * (p.y - y0) + (z1 - z0) * (p.z - z0)) / len);
        }
        std::sort(along.begin(), along.end());
        ASSERT_GE(along.size(), 2u) << "face " << i << " lacks its corner bars";
        for (std::size_t k = 1; k < along.size(); ++k)
            EXPECT_LE(along[k] - along[k - 1], f.spacingMm + tol) << "along face " << i;
    }
    EXPECT_NEAR(row.ratioPct, steelCm2 / gross * 100, 1e-5 * row.ratioPct);
    EXPECT_GE(steelCm2, f.minRatio * gross * (1 - 1e-6));
    EXPECT_LE(steelCm2, f.maxRatio * gross * (1 + 1e-6));
    if (f.code == Code::ACI) {
        EXPECT_GE(bars.size(), n == 3 ? 3u : 4u);
    }
}

void checkRow(const Family& f, const code::Member& m, const Cdiametro& cat,
              const code::Arrangement& row) {
    std::vector<Bar> bars;
    double steel = 0; // cm², from the bars' diameters
    for (const code::Bar& b : row.placement) {
        // The catalogue keeps single precision: its sizes are whole micrometres.
        const double d = std::round(cat.GetDiametroMetros(b.diameterIndex) * 1e6) / 1e3;
        EXPECT_GE(d, f.column ? 12 : 10);
        if (f.maxBarMm > 0) {
            EXPECT_LE(d, f.maxBarMm);
        }
        bars.push_back({b.y * 1000, b.z * 1000, d});
        steel += std::numbers::pi * d * d / 4 / 100;
    }
    ASSERT_EQ(static_cast<std::int32_t>(bars.size()), row.bars);
    EXPECT_NEAR(row.totalAreaCm2, steel, 1e-6 * steel);
    EXPECT_GE(steel, m.areaCm2 * (1 - 1e-6)) << "less than asked for";
    for (std::size_t i = 0; i < bars.size(); ++i)
        for (std::size_t k = i + 1; k < bars.size(); ++k)
            EXPECT_GE(clear(bars[i], bars[k]), f.clearMm - 1e-3) << "bars " << i << " and " << k;
    if (f.column)
        checkColumn(f, m, row, bars, steel);
    else
        checkBeam(f, m, row, bars, steel);
}

class CodeSearchProperty : public ::testing::TestWithParam<Family> {};

TEST_P(CodeSearchProperty, PlacedBarsObeyTheClauses) {
    const Family& f = GetParam();
    const Cdiametro cat = catalogue("Euro");
    code::Options o = options(f.code, 0, f.aggregateMm);
    o.maxDiameterMm = f.maxBarMm;
    o.maxSpacingMm = f.maxSpacingMm;
    o.concreteMpa = f.concreteMpa;
    std::int32_t rows = 0, layered = 0;
    for (std::int32_t sides : f.column ? f.sides : std::vector<std::int32_t>{4})
        for (double cover : f.coversCm)
            for (double width : {25.0, 40.0, 60.0})
                for (double height :
                     f.column ? std::vector<double>{0, 60} : std::vector{40.0, 70.0})
                    for (double ratio : {0.001, 0.008, 0.02, 0.05}) {
                        if (sides != 4 && height != 0)
                            continue;
                        code::Member m;
                        m.column = f.column;
                        m.sides = sides;
                        m.coverCm = cover;
                        m.widthCm = width;
                        m.heightCm = height;
                        m.areaCm2 =
                            std::round(ratio * width * (height ? height : width) * 100) / 100;
                        SCOPED_TRACE(std::to_string(sides) + " sides, " + std::to_string(width) +
                                     " x " + std::to_string(height) + ", cover " +
                                     std::to_string(cover) + ", " + std::to_string(m.areaCm2));
                        const auto r = code::search(m, cat, o);
                        ASSERT_FALSE(r.refused) << r.messages.at(0);
                        if (r.arrangements.empty()) {
                            EXPECT_FALSE(r.messages.empty()) << "no row and no reason";
                        }
                        for (const auto& row : r.arrangements) {
                            SCOPED_TRACE(row.line);
                            checkRow(f, m, cat, row);
                            layered += row.layers.size() > 1;
                        }
                        rows += static_cast<std::int32_t>(r.arrangements.size());
                    }
    // The range is worth its run: rows for many members, beams in two layers among them.
    EXPECT_GT(rows, 100);
    if (!f.column) {
        EXPECT_GT(layered, 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Families, CodeSearchProperty, ::testing::ValuesIn(kFamilies),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

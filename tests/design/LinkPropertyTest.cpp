// Over generated members of both series and every search, each row that fits is placed whole, its
// bars inside its link and a column's held as EN 1992-1-1 9.5.3(6) or ACI 318-19 25.7.2.3 asks;
// without a link the bars lie as they always have, the cover from the faces.
#include "design/Run.h"

#include "design/Members.h"
#include "reinforcement/Cdiametro.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace tresol::design {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// A fixed generator: the same members on every machine.
struct Lcg {
    std::uint64_t s;
    std::uint32_t next() {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(s >> 33);
    }
    double unit() { return next() / 2147483648.0; }
    template <class T> T pick(const std::vector<T>& v) { return v[next() % v.size()]; }
};

// Signed distances (m) from a point to the lines of a counter-clockwise polygon's sides,
// positive inside.
std::vector<double> insideBy(const std::vector<links::Point>& poly, double y, double z) {
    std::vector<double> d;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const auto& p = poly[i];
        const auto& q = poly[(i + 1) % poly.size()];
        const double ey = q.y - p.y, ez = q.z - p.z;
        d.push_back(((y - p.y) * -ez + (z - p.z) * ey) / std::hypot(ey, ez));
    }
    return d;
}

double distance(const BarCircle& a, const BarCircle& b) {
    return std::hypot(a.y - b.y, a.z - b.z) * 1000;
}

// A column's bars held by its link's corners (under ACI a corner of at most 135°) and its
// crossties, each of which ends at a bar or on the link's inner face; then EN 9.5.3(6): no bar
// farther than 150 mm (centre to centre) from a held one, or ACI 25.7.2.3: alternate bars held,
// a loose one within 150 mm clear of the held ones either side of it.
void checkHeld(const Row& row, bool aci) {
    const auto& inner = row.link->inner;
    const auto& bars = row.placement;
    std::vector<bool> held(bars.size(), false);
    const std::size_t n = inner.size();
    for (std::size_t v = 0; v < n; ++v) {
        const auto &a = inner[(v + n - 1) % n], &o = inner[v], &b = inner[(v + 1) % n];
        const double angle =
            std::acos(((a.y - o.y) * (b.y - o.y) + (a.z - o.z) * (b.z - o.z)) /
                      std::hypot(a.y - o.y, a.z - o.z) / std::hypot(b.y - o.y, b.z - o.z));
        std::size_t nearest = 0;
        for (std::size_t i = 1; i < bars.size(); ++i)
            if (std::hypot(bars[i].y - o.y, bars[i].z - o.z) <
                std::hypot(bars[nearest].y - o.y, bars[nearest].z - o.z))
                nearest = i;
        // An octagon's 135°, to its single-precision vertices.
        if (!aci || angle <= 135.0 / 180 * std::numbers::pi + 1e-6)
            held[nearest] = true;
    }
    for (const auto& t : row.link->crossties)
        for (const links::Point& end : {t.a, t.b}) {
            bool atBar = false;
            for (std::size_t i = 0; i < bars.size(); ++i)
                if (std::hypot(end.y - bars[i].y, end.z - bars[i].z) < 1e-9)
                    held[i] = atBar = true;
            if (!atBar) {
                const auto d = insideBy(inner, end.y, end.z);
                EXPECT_NEAR(*std::min_element(d.begin(), d.end()), 0, 1e-9)
                    << "a crosstie's end neither at a bar nor on the link";
            }
        }
    std::vector<std::size_t> around(bars.size());
    for (std::size_t i = 0; i < bars.size(); ++i)
        around[i] = i;
    std::sort(around.begin(), around.end(), [&](std::size_t a, std::size_t b) {
        return std::atan2(bars[a].z, bars[a].y) < std::atan2(bars[b].z, bars[b].y);
    });
    const std::size_t m = around.size();
    for (std::size_t k = 0; k < m; ++k) {
        const std::size_t i = around[k];
        double nearest = kInf;
        for (std::size_t j = 0; j < m; ++j)
            if (held[j])
                nearest = std::min(nearest, distance(bars[i], bars[j]));
        EXPECT_TRUE(aci || nearest <= 150 + 1e-6)
            << "bar " << i << " " << nearest << " mm from a held one";
        if (!aci || held[i])
            continue;
        for (const std::size_t j : {around[(k + m - 1) % m], around[(k + 1) % m]}) {
            EXPECT_TRUE(held[j]) << "loose bars " << i << " and " << j << " side by side";
            const double clear =
                distance(bars[i], bars[j]) - (bars[i].diameter + bars[j].diameter) * 500;
            EXPECT_LE(clear, 150 + 1e-6) << "bar " << i << " " << clear << " mm clear of " << j;
        }
    }
}

TEST(LinkProperty, BarsInsideTheLinkAndHeld) {
    std::int32_t linked = 0, ties = 0, plain = 0;
    Lcg g{2028};
    for (int i = 0; i < 180; ++i) {
        Member m;
        Search search;
        m.series = g.pick<std::string>({"Euro", "Euro", "Mex"});
        search.kind = g.pick<SearchKind>({SearchKind::Described, SearchKind::EC2, SearchKind::ACI});
        search.code.top = 10;
        m.kind = i % 2 == 0 ? MemberKind::Beam : MemberKind::Column;
        m.coverCm = g.pick<double>({2, 2.5, 3, 4});
        double gross = 0;
        if (m.kind == MemberKind::Beam) {
            m.widthCm = g.pick<double>({25, 30, 40, 50});
            m.heightCm = g.pick<double>({40, 50, 60, 80});
            m.face = static_cast<std::int32_t>(g.next() % 2);
            gross = m.widthCm * m.heightCm;
        } else {
            m.multiple = g.pick<double>({4, 4, 4, 5, 6, 8, 9, 10});
            m.widthCm = g.pick<double>({30, 40, 50, 60});
            m.heightCm = m.multiple == 4 ? g.pick<double>({30, 40, 60, 80}) : m.widthCm;
            gross = m.multiple == 4 ? m.widthCm * m.heightCm : 2.6 * m.widthCm * m.widthCm;
        }
        // From a light row to a crowded one.
        m.areaCm2 = std::round(gross * 0.004 * std::pow(10.0, g.unit()) * 100) / 100;
        // A third of the members without a link.
        m.linkMm = m.series == "Euro" ? g.pick<double>({0, 0, 6, 8, 10, 12})
                                      : g.pick<double>({0, 9.53, 12.7});
        std::ostringstream id;
        id << "#" << i << " " << m.series << " " << searchKindText(search.kind)
           << " A=" << m.areaCm2 << " c=" << m.coverCm << " " << m.widthCm << "x" << m.heightCm
           << " n=" << m.multiple << " cerco=" << m.linkMm;
        SCOPED_TRACE(id.str());
        const RunResult r = run(m, search);
        if (r.refused()) {
            // Only a link that leaves no room: every generated size is one of the series'.
            ASSERT_GT(m.linkMm, 0) << r.messages().front().text;
            EXPECT_NE(r.messages().front().text.find("no deja sitio"), std::string::npos);
            continue;
        }
        const bool aci = search.kind == SearchKind::ACI;
        // Single-precision outlines; the described list's placements to a micrometre.
        const double tol = search.kind == SearchKind::Described ? 1e-6 : 1e-7;
        for (const Row& row : r.rows()) {
            SCOPED_TRACE(row.line);
            const Placement p = r.place(row.number);
            // A row said to fit is placed whole: the set's overlap check agrees with the gaps.
            if (row.placeable) {
                EXPECT_EQ(p.placed, row.bars);
                EXPECT_TRUE(p.messages.empty());
            }
            if (m.linkMm == 0) {
                ++plain;
                EXPECT_FALSE(row.link);
                EXPECT_FALSE(p.link);
                // The cover to the bars' surfaces, and some bar against it.
                const auto outline = links::memberOutline(
                    m.kind == MemberKind::Beam ? 4 : static_cast<std::int32_t>(m.multiple),
                    m.widthCm, m.heightCm);
                double least = kInf;
                for (const BarCircle& b : row.placement) {
                    const auto d = insideBy(outline, b.y, b.z);
                    least = std::min(least, *std::min_element(d.begin(), d.end()) - b.diameter / 2);
                }
                if (!row.placement.empty()) {
                    EXPECT_NEAR(least, m.coverCm / 100, tol);
                }
                continue;
            }
            ++linked;
            ASSERT_TRUE(row.link);
            ASSERT_TRUE(p.link);
            EXPECT_EQ(p.link->text, row.link->text);
            ASSERT_GE(row.link->inner.size(), 3u);
            for (std::size_t i = 0; i < row.placement.size(); ++i) {
                const BarCircle& b = row.placement[i];
                for (const double d : insideBy(row.link->inner, b.y, b.z))
                    EXPECT_GE(d, b.diameter / 2 - tol) << "bar " << i << " outside the link";
            }
            // Every bar in one callout, each of the count and size it says.
            std::vector<int> seen(row.placement.size(), 0);
            const Cdiametro& cat = *r.catalogue();
            for (const Callout& k : p.callouts) {
                std::istringstream words(k.text);
                int count = 0;
                std::string gen, ref;
                words >> count >> gen >> ref;
                EXPECT_TRUE(!row.placeable || count == static_cast<int>(k.bars.size())) << k.text;
                EXPECT_EQ(gen, cat.GetRefGener());
                double size = 0;
                for (std::int32_t i = cat.GetIndiMin(); i <= cat.GetIndiMax(); ++i)
                    if (cat.GetDiamRefer(i) == ref)
                        size = cat.GetDiametroMetros(i);
                for (const auto i : k.bars) {
                    ASSERT_LT(static_cast<std::size_t>(i), seen.size());
                    ++seen[static_cast<std::size_t>(i)];
                    EXPECT_EQ(row.placement[static_cast<std::size_t>(i)].diameter, size) << k.text;
                }
            }
            EXPECT_EQ(std::count(seen.begin(), seen.end(), 1),
                      static_cast<std::ptrdiff_t>(seen.size()));
            ties += static_cast<std::int32_t>(row.link->crossties.size());
            if (m.kind == MemberKind::Beam)
                EXPECT_TRUE(row.link->crossties.empty());
            else
                checkHeld(row, aci);
        }
    }
    // The range is worth its run.
    EXPECT_GT(linked, 500);
    EXPECT_GT(ties, 800);
    EXPECT_GT(plain, 200);
}

// EN 1992-1-1 9.5.3(4): near beams, slabs and laps the spacing of 9.5.3(3) is taken 0.6 times.
// 60 × 60 column, EC2, link 10: with corners of 25 and sides of 20 the spacing is
// min(20 · 20, 600, 400) = 400 and its note says 0.6 · 400 = 240; with bars of 14 and 12 it is
// min(20 · 12, 600, 400) = 240 and the note 144.
TEST(LinkNotes, ReducedSpacingNearBeamsAndLapsUnderEn) {
    Member m = fixtures::member(MemberKind::Column, 35, 3, 60, 60, 4);
    m.linkMm = 10;
    Search s{SearchKind::EC2, {}};
    s.code.top = 0;
    const RunResult r = run(m, s);
    const auto noteOf = [&](const std::string& line) {
        for (const Row& row : r.rows())
            if (row.line == line)
                return row.flags.empty() ? std::string() : row.flags.back();
        return std::string("no row");
    };
    const std::string tail =
        " mm como máximo junto a vigas, losas y solapes (EN 1992-1-1 9.5.3(4))";
    EXPECT_EQ(noteOf("4 fi 25 + 6 fi 20"), "cercos a 240" + tail);
    EXPECT_EQ(noteOf("4 fi 14 + 26 fi 12"), "cercos a 144" + tail);
    s.kind = SearchKind::ACI;
    const RunResult aci = run(m, s);
    for (const Row& row : aci.rows())
        for (const std::string& f : row.flags)
            EXPECT_EQ(f.find("junto a vigas"), std::string::npos) << row.line;
}

} // namespace
} // namespace tresol::design

// Over a generated range of members, every listed arrangement is measured where its bars are and
// checked against the clauses, each written here from the code's text (never from the search's
// own figures): cover, clear distances, layers over layers, largest spacing, least and largest
// steel, and ACI's strain limit by strain compatibility.
#include "reinforcement/CodeSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

using namespace tresol;
using code::Code;

namespace {

constexpr double kPi = std::numbers::pi;

struct Case {
    std::string id;
    std::string series;
    code::Member m;
    code::Options o;
};

// A small fixed generator, so the members are the same on every machine.
struct Lcg {
    std::uint64_t s;
    std::uint32_t next() {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(s >> 33);
    }
    double unit() { return next() / 2147483648.0; }
    template <class T> T pick(const std::vector<T>& v) { return v[next() % v.size()]; }
};

double grossAreaCm2(const Case& c) {
    const double b = c.m.widthCm;
    if (!c.m.column || c.m.sides == 4)
        return b * (c.m.heightCm == 0 ? b : c.m.heightCm);
    return c.m.sides / 2.0 * b * b * std::sin(2 * kPi / c.m.sides);
}

std::vector<Case> cases() {
    std::vector<Case> out;
    Lcg g{22};
    for (int i = 0; i < 400; ++i) {
        Case c;
        c.series = g.pick<std::string>({"Euro", "Euro", "Mex"});
        c.o.code = i % 4 < 2 ? Code::EC2 : Code::ACI;
        const bool en = c.o.code == Code::EC2;
        c.o.top = 0;
        c.o.aggregateMm = g.pick<double>({10, 16, 20, 20, 32});
        c.o.maxSpacingMm = g.pick<double>({300, 300, 300, 200, 150, 120});
        c.o.minDiameterMm = g.pick<double>({0, 0, 0, 8, 12, 16});
        c.o.maxDiameterMm = g.pick<double>({0, 0, 0, 20, 25, 32});
        c.o.concreteMpa =
            en ? g.pick<double>({0, 0, 0, 20, 30, 45, 50}) : g.pick<double>({0, 0, 0, 21, 35, 60});
        c.o.steelMpa =
            en ? g.pick<double>({0, 0, 0, 400, 550}) : g.pick<double>({0, 0, 0, 280, 550});
        c.m.coverCm = g.pick<double>({2, 2.5, 3, 4, 5});
        c.m.column = i % 2 == 1;
        if (!c.m.column) {
            c.m.widthCm = g.pick<double>({20, 25, 30, 35, 40, 50, 60});
            c.m.heightCm = g.pick<double>({25, 30, 40, 50, 60, 80});
        } else if (g.next() % 2 == 0) {
            c.m.sides = 4;
            c.m.widthCm = g.pick<double>({25, 30, 40, 50, 60});
            c.m.heightCm = g.pick<double>({0, 0, 30, 45, 70, 100});
        } else {
            c.m.sides = g.pick<std::int32_t>({3, 5, 6, 7, 8, 9, 10});
            c.m.widthCm = g.pick<double>({20, 25, 30, 40, 50});
        }
        // A steel ratio from 0.03 % (the code minimum governs) to 12 % (nothing fits).
        const double ratio = 0.0003 * std::pow(400.0, g.unit());
        c.m.areaCm2 = std::max(0.01, std::round(ratio * grossAreaCm2(c) * 100) / 100);
        std::ostringstream id;
        id << "#" << i << (c.m.column ? " column n=" + std::to_string(c.m.sides) : " beam") << " "
           << c.series << (en ? " EC2" : " ACI") << " A=" << c.m.areaCm2 << " c=" << c.m.coverCm
           << " b=" << c.m.widthCm << " h=" << c.m.heightCm << " dg=" << c.o.aggregateMm
           << " smax=" << c.o.maxSpacingMm << " dmin=" << c.o.minDiameterMm
           << " dmax=" << c.o.maxDiameterMm << " fc=" << c.o.concreteMpa << " fy=" << c.o.steelMpa;
        c.id = id.str();
        out.push_back(c);
    }
    return out;
}

// The materials a case stands for: C25/30 and B500 under EN, 28 and 420 MPa under ACI.
double fcOf(const Case& c) {
    return c.o.concreteMpa > 0 ? c.o.concreteMpa : c.o.code == Code::EC2 ? 25 : 28;
}
double fyOf(const Case& c) {
    return c.o.steelMpa > 0 ? c.o.steelMpa : c.o.code == Code::EC2 ? 500 : 420;
}

// Clear distance between bars, dMax the larger: EN 8.2(2) max(φ, dg + 5, 20); ACI 25.2.1
// max(25.4, db, 4/3 dagg) in beams, 25.2.3 max(38.1, 1.5 db, 4/3 dagg) in columns.
double clearBars(const Case& c, double dMax) {
    const double dg = c.o.aggregateMm;
    if (c.o.code == Code::EC2)
        return std::max({dMax, dg + 5, 20.0});
    return c.m.column ? std::max({38.1, 1.5 * dMax, 4 * dg / 3})
                      : std::max({25.4, dMax, 4 * dg / 3});
}

// Between a beam's layers: EN 8.2(2) as between bars; ACI 25.2.2 25.4 mm, and the aggregate no
// larger than 3/4 of the clear spacing (26.4.2.1(a)(4)(iii)).
double clearLayers(const Case& c, double dMax) {
    if (c.o.code == Code::EC2)
        return std::max({dMax, c.o.aggregateMm + 5, 20.0});
    return std::max(25.4, 4 * c.o.aggregateMm / 3);
}

// Largest centre distance of a beam's bottom bars: EN the user's (300 by default); ACI 24.3.2
// also 380(280/fs) − 2.5 cc and 300(280/fs), fs = 2/3 fy.
double beamLargestSpacing(const Case& c) {
    if (c.o.code == Code::EC2)
        return c.o.maxSpacingMm;
    const double fs = 2 * fyOf(c) / 3;
    return std::min(
        {c.o.maxSpacingMm, 380 * (280 / fs) - 2.5 * c.m.coverCm * 10, 300 * (280 / fs)});
}

// ACI 9.3.3.1 by strain compatibility (22.2): εcu 0.003, Es 200000 MPa, 0.85 f'c over β1 c
// (Table 22.2.2.4.3); the neutral axis found by bisection. Steel as (depth mm, area mm²).
double netTensileStrain(double fc, double fy, double b,
                        const std::vector<std::pair<double, double>>& steel) {
    const double beta1 = fc <= 28 ? 0.85 : fc >= 55 ? 0.65 : 0.85 - 0.05 * (fc - 28) / 7;
    double dt = 0;
    for (const auto& s : steel)
        dt = std::max(dt, s.first);
    auto unbalance = [&](double c) {
        double pull = 0;
        for (const auto& [d, a] : steel)
            pull += a * std::clamp(200000 * 0.003 * (d - c) / c, -fy, fy);
        return 0.85 * fc * beta1 * c * b - pull;
    };
    double lo = 1e-9, hi = 10 * dt; // all steel pulls below lo; all pushes at hi
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        if (unbalance(mid) < 0)
            lo = mid;
        else
            hi = mid;
    }
    const double c = (lo + hi) / 2;
    return 0.003 * (dt - c) / c;
}

struct Pt {
    double y, z; // mm
};

// The column's outline as the window draws it, counter-clockwise: the rectangle with its height
// along y, or the regular polygon whose first vertex lies half a step past the +y axis.
std::vector<Pt> outline(const Case& c) {
    const double b = c.m.widthCm * 10;
    if (c.m.sides == 4) {
        const double h = c.m.heightCm == 0 ? b : c.m.heightCm * 10;
        return {{-h / 2, -b / 2}, {h / 2, -b / 2}, {h / 2, b / 2}, {-h / 2, b / 2}};
    }
    std::vector<Pt> p;
    for (std::int32_t i = 0; i < c.m.sides; ++i) {
        const double a = kPi / c.m.sides + 2 * kPi * i / c.m.sides;
        p.push_back({b * std::cos(a), b * std::sin(a)});
    }
    return p;
}

// A placed bar, measured: centre (mm), diameter (mm) and area (cm²) from the catalogue.
struct Placed {
    double y, z, d, a;
};

// Beam: every bar inside the cover; layers by height, clear gaps across and between layers,
// upper bars over lower bars of no smaller size, a full layer under an upper one, the largest
// spacing of the bottom layer.
void checkBeam(const Case& c, const code::Arrangement& row, std::vector<Placed> bars) {
    constexpr double tol = 1e-5; // mm: a beam is placed in double precision
    const double b = c.m.widthCm * 10, h = c.m.heightCm * 10, cover = c.m.coverCm * 10;
    for (const Placed& p : bars) {
        EXPECT_GE(p.y - p.d / 2, -h / 2 + cover - tol) << "below the bottom cover";
        EXPECT_LE(p.y + p.d / 2, h / 2 - cover + tol) << "above the top cover";
        EXPECT_LE(std::fabs(p.z) + p.d / 2, b / 2 - cover + tol) << "outside the side cover";
    }
    std::sort(bars.begin(), bars.end(),
              [](const Placed& x, const Placed& y) { return x.y - x.d / 2 < y.y - y.d / 2; });
    std::vector<std::vector<Placed>> layers;
    double top = -1e300;
    for (const Placed& p : bars) {
        if (p.y - p.d / 2 >= top)
            layers.emplace_back(); // clear of every bar below: a new layer
        layers.back().push_back(p);
        top = std::max(top, p.y + p.d / 2);
    }
    ASSERT_EQ(layers.size(), row.layers.size());
    for (auto& l : layers)
        std::sort(l.begin(), l.end(), [](const Placed& x, const Placed& y) { return x.z < y.z; });
    for (std::size_t li = 0; li < layers.size(); ++li) {
        const auto& l = layers[li];
        for (std::size_t i = 1; i < l.size(); ++i) {
            const double gap = l[i].z - l[i - 1].z - (l[i].d + l[i - 1].d) / 2;
            EXPECT_GE(gap, clearBars(c, std::max(l[i].d, l[i - 1].d)) - tol)
                << "clear gap in layer " << li << " at z = " << l[i].z;
            if (li == 0) {
                EXPECT_LE(l[i].z - l[i - 1].z, beamLargestSpacing(c) + tol)
                    << "centre distance of the bottom bars at z = " << l[i].z;
            }
        }
        if (li == 0)
            continue;
        const auto& lower = layers[li - 1];
        double lowerTop = -1e300, upperBottom = 1e300, dLower = 0, dLeast = 1e300, sumD = 0;
        for (const Placed& p : lower) {
            lowerTop = std::max(lowerTop, p.y + p.d / 2);
            dLower = std::max(dLower, p.d);
            dLeast = std::min(dLeast, p.d);
            sumD += p.d;
        }
        double dMax = dLower;
        for (const Placed& p : l) {
            upperBottom = std::min(upperBottom, p.y - p.d / 2);
            dMax = std::max(dMax, p.d);
        }
        EXPECT_GE(upperBottom - lowerTop, clearLayers(c, dMax) - tol) << "between layers " << li;
        // EN 8.2(3), ACI 25.2.2: upper bars directly above lower ones, symmetric, both ends.
        EXPECT_LE(l.size(), lower.size());
        constexpr double same = 1e-6; // mm (1e-9 m)
        for (const Placed& u : l) {
            const auto under = std::find_if(lower.begin(), lower.end(), [&](const Placed& p) {
                return std::fabs(p.z - u.z) <= same;
            });
            if (under == lower.end()) {
                ADD_FAILURE() << "upper bar at z = " << u.z << " stands over no lower bar";
                continue;
            }
            EXPECT_GE(under->d, u.d) << "upper bar larger than the one below, z = " << u.z;
            EXPECT_TRUE(std::any_of(l.begin(), l.end(),
                                    [&](const Placed& p) { return std::fabs(p.z + u.z) <= same; }))
                << "upper layer not symmetric: nothing at z = " << -u.z;
        }
        EXPECT_NEAR(l.front().z, lower.front().z, same) << "upper layer misses an end";
        EXPECT_NEAR(l.back().z, lower.back().z, same) << "upper layer misses an end";
        // A full lower layer: one more bar of its smallest size leaves less than the clear gap.
        const double oneMore = (b - 2 * cover - sumD - dLeast) / static_cast<double>(lower.size());
        EXPECT_LT(oneMore, clearBars(c, dLower) + tol)
            << "an upper layer over a layer with room for another bar";
    }

    // Effective depth from the bars' centroid; the least and largest steel.
    double as = 0, moment = 0;
    std::vector<std::pair<double, double>> steel;
    for (const Placed& p : bars) {
        as += p.a;
        moment += p.a * (h / 2 - p.y);
        steel.emplace_back(h / 2 - p.y, p.a * 100);
    }
    const double d = moment / as;
    ASSERT_TRUE(row.effectiveDepthCm.has_value());
    EXPECT_NEAR(*row.effectiveDepthCm * 10, d, 1e-6);
    const double fc = fcOf(c), fy = fyOf(c);
    if (c.o.code == Code::EC2) {
        // EN 9.2.1.1(1) with fctm of Table 3.1 (fck ≤ 50 here); (3) 0.04 Ac.
        const double rho = std::max(0.26 * 0.30 * std::pow(fc, 2.0 / 3) / fy, 0.0013);
        EXPECT_GE(as, rho * b * d / 100 * (1 - 1e-9)) << "below EN 9.2.1.1(1), d = " << d;
        EXPECT_LE(as, 0.04 * b * h / 100 * (1 + 1e-9)) << "above 0.04 Ac";
    } else {
        // ACI 9.6.1.2, waived by 9.6.1.3 at 4/3 of the area asked for; 9.3.3.1.
        const double rho = std::max(0.25 * std::sqrt(fc) / fy, 1.4 / fy);
        if (as < 4.0 / 3 * c.m.areaCm2) {
            EXPECT_GE(as, rho * b * d / 100 * (1 - 1e-9)) << "below ACI 9.6.1.2, d = " << d;
        }
        const double et = netTensileStrain(fc, fy, b, steel);
        EXPECT_GE(et, 0.004 - 1e-9) << "net tensile strain below ACI 9.3.3.1";
    }
}

// Column: every bar inside the cover, a bar in each corner, the same count on opposite faces of
// a rectangle, clear gaps between any two bars, the largest spacing along a face.
void checkColumn(const Case& c, const std::vector<Placed>& bars) {
    constexpr double tol = 1e-3; // mm: the outline is drawn in single precision
    const auto P = outline(c);
    const std::size_t n = P.size();
    const double cover = c.m.coverCm * 10;
    // Distance of a bar's centre inside face i, and along it from the face's first vertex.
    auto inside = [&](const Placed& p, std::size_t i) {
        const Pt &a = P[i], &e = P[(i + 1) % n];
        const double len = std::hypot(e.y - a.y, e.z - a.z);
        return ((e.y - a.y) * (p.z - a.z) - (e.z - a.z) * (p.y - a.y)) / len;
    };
    auto along = [&](const Placed& p, std::size_t i) {
        const Pt &a = P[i], &e = P[(i + 1) % n];
        const double len = std::hypot(e.y - a.y, e.z - a.z);
        return ((e.y - a.y) * (p.y - a.y) + (e.z - a.z) * (p.z - a.z)) / len;
    };
    auto against = [&](const Placed& p, std::size_t i) {
        return std::fabs(inside(p, i) - cover - p.d / 2) <= tol;
    };
    std::vector<std::vector<const Placed*>> faces(n);
    for (const Placed& p : bars) {
        bool onAFace = false;
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_GE(inside(p, i), cover + p.d / 2 - tol)
                << "bar at (" << p.y << ", " << p.z << ") inside the cover of face " << i;
            if (against(p, i)) {
                faces[i].push_back(&p);
                onAFace = true;
            }
        }
        EXPECT_TRUE(onAFace) << "bar at (" << p.y << ", " << p.z << ") against no face";
    }
    for (std::size_t v = 0; v < n; ++v) {
        const Placed* near = &bars.front();
        for (const Placed& p : bars)
            if (std::hypot(p.y - P[v].y, p.z - P[v].z) <
                std::hypot(near->y - P[v].y, near->z - P[v].z))
                near = &p;
        EXPECT_TRUE(against(*near, v) && against(*near, (v + n - 1) % n))
            << "no bar at corner " << v;
    }
    if (n == 4) {
        EXPECT_EQ(faces[0].size(), faces[2].size()) << "opposite faces differ";
        EXPECT_EQ(faces[1].size(), faces[3].size()) << "opposite faces differ";
    }
    for (std::size_t i = 0; i < n; ++i) {
        auto& f = faces[i];
        std::sort(f.begin(), f.end(),
                  [&](const Placed* x, const Placed* y) { return along(*x, i) < along(*y, i); });
        for (std::size_t k = 1; k < f.size(); ++k)
            EXPECT_LE(along(*f[k], i) - along(*f[k - 1], i), c.o.maxSpacingMm + tol)
                << "centre distance along face " << i;
    }
    for (std::size_t i = 0; i < bars.size(); ++i)
        for (std::size_t k = i + 1; k < bars.size(); ++k) {
            const Placed &p = bars[i], &q = bars[k];
            const double gap = std::hypot(p.y - q.y, p.z - q.z) - (p.d + q.d) / 2;
            EXPECT_GE(gap, clearBars(c, std::max(p.d, q.d)) - tol)
                << "clear gap between bars " << i << " and " << k;
        }
    // ACI 10.7.3.1: four bars within rectangular or circular ties, three within triangular.
    if (c.o.code == Code::ACI) {
        EXPECT_GE(bars.size(), n == 3 ? 3u : 4u);
    }
}

void checkRow(const Case& c, const Cdiametro& cat, const code::Arrangement& row) {
    std::vector<Placed> bars;
    double as = 0;
    const double minD = c.o.minDiameterMm > 0 ? c.o.minDiameterMm : c.m.column ? 12 : 10;
    const double maxD = c.o.maxDiameterMm > 0 ? c.o.maxDiameterMm : 1e300;
    for (const code::Bar& b : row.placement) {
        ASSERT_GE(b.diameterIndex, cat.GetIndiMin());
        ASSERT_LE(b.diameterIndex, cat.GetIndiMax());
        // The catalogue keeps single precision: its sizes are whole micrometres.
        const double d = std::round(cat.GetDiametroMetros(b.diameterIndex) * 1e6) / 1e3;
        const double a = double{cat.GetAreaIndice(b.diameterIndex)} * 1e4;
        EXPECT_TRUE(d >= minD && d <= maxD) << "bar of " << d << " mm outside the options";
        // EN 4.4.1.2(3), Table 4.2: the cover for bond is no less than the bar.
        if (c.o.code == Code::EC2) {
            EXPECT_LE(d, c.m.coverCm * 10 + 1e-9) << "bar of " << d << " mm beyond its cover";
        }
        bars.push_back(Placed{b.y * 1000, b.z * 1000, d, a});
        as += a;
    }
    ASSERT_EQ(bars.size(), static_cast<std::size_t>(row.bars));
    ASSERT_FALSE(bars.empty());
    const double gross = grossAreaCm2(c);
    EXPECT_NEAR(row.totalAreaCm2, as, 1e-9 * as);
    EXPECT_GE(as, c.m.areaCm2 * (1 - 1e-12)) << "less than asked for";
    EXPECT_NEAR(row.ratioPct, as / gross * 100, 1e-5 * row.ratioPct);
    if (c.m.column) {
        // EN 9.5.2(2), (3) (outside laps); ACI 10.6.1.1.
        const bool en = c.o.code == Code::EC2;
        EXPECT_GE(as, (en ? 0.002 : 0.01) * gross * (1 - 1e-6)) << "below the column minimum";
        EXPECT_LE(as, (en ? 0.04 : 0.08) * gross * (1 + 1e-6)) << "above the column maximum";
        checkColumn(c, bars);
    } else {
        checkBeam(c, row, bars);
    }
}

TEST(CodeSearchProperty, PlacedBarsObeyTheClauses) {
    std::int32_t beams = 0, columns = 0, twoLayers = 0;
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.id);
        Cdiametro cat;
        cat.IniCodeSizes(c.series);
        const auto r = code::search(c.m, cat, c.o);
        ASSERT_FALSE(r.refused) << (r.messages.empty() ? "" : r.messages[0]);
        if (r.arrangements.empty()) {
            EXPECT_FALSE(r.messages.empty()) << "no row and no reason";
            continue;
        }
        ++(c.m.column ? columns : beams);
        double least = r.arrangements[0].totalAreaCm2;
        for (std::size_t i = 0; i < r.arrangements.size(); ++i) {
            const auto& row = r.arrangements[i];
            SCOPED_TRACE("row " + std::to_string(i) + " '" + row.line + "'");
            EXPECT_EQ(row.preferred, i == 0);
            least = std::min(least, row.totalAreaCm2);
            twoLayers += row.layers.size() > 1 ? 1 : 0;
            checkRow(c, cat, row);
            std::string error;
            const auto again = code::placeLine(row.line, c.m, cat, c.o, error);
            ASSERT_EQ(again.size(), row.placement.size()) << error;
            for (std::size_t k = 0; k < again.size(); ++k) {
                EXPECT_EQ(again[k].y, row.placement[k].y) << "bar " << k << " read back";
                EXPECT_EQ(again[k].z, row.placement[k].z) << "bar " << k << " read back";
                EXPECT_EQ(again[k].diameterIndex, row.placement[k].diameterIndex);
            }
        }
        // The preferred row is within 10 % of the least area, and a one-row list still holds
        // both.
        EXPECT_LE(r.arrangements[0].totalAreaCm2, 1.1 * least * (1 + 1e-12));
        code::Options one = c.o;
        one.top = 1;
        const auto shortList = code::search(c.m, cat, one);
        ASSERT_FALSE(shortList.arrangements.empty());
        EXPECT_EQ(shortList.arrangements[0].line, r.arrangements[0].line);
        EXPECT_TRUE(std::any_of(shortList.arrangements.begin(), shortList.arrangements.end(),
                                [&](const auto& a) { return a.totalAreaCm2 == least; }))
            << "the least area " << least << " is not in a one-row list";
    }
    // The range is worth its run: most members of each kind get rows, many in two layers.
    EXPECT_GT(beams, 120);
    EXPECT_GT(columns, 120);
    EXPECT_GT(twoLayers, 300);
}

} // namespace

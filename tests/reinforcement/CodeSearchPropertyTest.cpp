// Over a generated range of members: every listed arrangement obeys every rule, recomputed here
// from its groups and from where its bars actually are; a plain brute-force enumeration finds no
// feasible arrangement the full list misses; the order, `top` and the line round trip hold.
#include "reinforcement/CodeSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tresol;
using code::Code;

namespace {

constexpr double kPi = 3.14159265358979323846;

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
    template <class T> T pick(const std::vector<T>& v) { return v[next() % v.size()]; }
};

std::vector<Case> cases() {
    std::vector<Case> out;
    Lcg g{12345};
    for (int i = 0; i < 400; ++i) {
        Case c;
        c.series = g.pick<std::string>({"Euro", "Euro", "Mex"});
        c.o.code = g.pick<Code>({Code::EC2, Code::ACI});
        c.o.aggregateMm = g.pick<double>({10, 16, 20, 20, 32});
        c.o.maxSpacingMm = g.pick<double>({300, 300, 200, 150, 120, 100});
        c.o.minDiameterMm = g.pick<double>({0, 0, 0, 12, 16});
        c.m.coverCm = g.pick<double>({2, 2.5, 3, 3, 4, 5});
        c.m.column = i % 3 == 2;
        if (!c.m.column) {
            c.m.widthCm = g.pick<double>({20, 25, 27.5, 30, 35, 40, 50, 60});
            c.m.heightCm = g.pick<double>({20, 30, 40, 50, 70});
            c.m.areaCm2 = 1 + (g.next() % 4000) / 100.0;
        } else {
            c.m.sides = g.pick<std::int32_t>({3, 4, 4, 5, 6, 8, 10});
            c.m.widthCm = g.pick<double>({25, 30, 35, 40, 50, 60, 80});
            c.m.heightCm = c.m.sides == 4 ? g.pick<double>({0, 30, 45, 70}) : 0;
            c.m.areaCm2 = 2 + (g.next() % 8000) / 100.0;
        }
        c.id = "#" + std::to_string(i) + (c.m.column ? " column " : " beam ") + c.series + " " +
               (c.o.code == Code::EC2 ? "EC2" : "ACI") + " b=" + std::to_string(c.m.widthCm) +
               " h=" + std::to_string(c.m.heightCm) + " c=" + std::to_string(c.m.coverCm) +
               " n=" + std::to_string(c.m.sides) + " A=" + std::to_string(c.m.areaCm2) +
               " dg=" + std::to_string(c.o.aggregateMm) +
               " smax=" + std::to_string(c.o.maxSpacingMm) +
               " dmin=" + std::to_string(c.o.minDiameterMm);
        out.push_back(c);
    }
    return out;
}

// The rules, written out again from the codes' texts.
double sMin(Code code, bool column, double dmax, double dg) {
    if (code == Code::EC2)
        return std::max(std::max(dmax, dg + 5), 20.0);
    if (!column)
        return std::max(std::max(25.4, dmax), 4 * dg / 3);
    return std::max(std::max(38.1, 1.5 * dmax), 4 * dg / 3);
}

struct Bar {
    std::int32_t index;
    double d, a; // mm, cm²
};

struct Cat {
    std::string gen;
    std::map<std::int32_t, Bar> bars; // the sizes the member may use
};

Cat sizes(const Cdiametro& cat, const Case& c) {
    Cat out;
    out.gen = cat.GetRefGener();
    const double minD = c.o.minDiameterMm > 0 ? c.o.minDiameterMm : (c.m.column ? 12 : 10);
    for (std::int32_t i = cat.GetIndiMin(); i <= cat.GetIndiMax(); ++i) {
        const double d = std::round(cat.GetDiametroMetros(i) * 1e6) / 1e3;
        if (d >= minD)
            out.bars[i] = Bar{i, d, cat.GetAreaIndice(i) * 1e4};
    }
    return out;
}

std::string groupText(std::int32_t n, const Cat& s, const Cdiametro& cat, std::int32_t i) {
    return std::to_string(n) + " " + s.gen + " " + cat.GetDiamRefer(i);
}

// The side lengths of the outline offset inward by t, from the outline's own formulas.
std::vector<double> offsetSides(const Case& c, double t) {
    const double b = c.m.widthCm * 10;
    if (c.m.sides == 4) {
        const double h = c.m.heightCm == 0 ? b : c.m.heightCm * 10;
        return {h - 2 * t, b - 2 * t, h - 2 * t, b - 2 * t};
    }
    const double r = b * std::cos(kPi / c.m.sides) - t; // inradius
    return std::vector<double>(static_cast<std::size_t>(c.m.sides),
                               2 * r * std::tan(kPi / c.m.sides));
}

// Every arrangement the rules allow, by trying every count up to a bound no member here reaches.
// A margin within `band` of a limit is "borderline": the two computations may round it apart.
struct Brute {
    std::set<std::string> feasible, borderline;
    std::int32_t largestCount = 0;
};

Brute bruteForce(const Case& c, const Cdiametro& cat) {
    constexpr std::int32_t kBound = 40;
    const double band = c.m.column ? 1e-4 : 1e-7;
    const Cat s = sizes(cat, c);
    Brute out;
    const double req = c.m.areaCm2, cc = c.m.coverCm * 10;
    auto classify = [&](std::vector<double> margins, const std::string& line) {
        const double worst = *std::min_element(margins.begin(), margins.end());
        if (std::fabs(worst) < band)
            out.borderline.insert(line);
        else if (worst > 0)
            out.feasible.insert(line);
    };
    for (const auto& [ia, A] : s.bars)
        for (const auto& [ib, B] : s.bars) {
            if (ib != ia && ib != ia - 1)
                continue;
            for (std::int32_t k = ib == ia ? 0 : 1; k <= kBound; ++k) {
                if (!c.m.column) {
                    const double W = c.m.widthCm * 10 - 2 * cc, h = c.m.heightCm * 10;
                    const double g = (W - 2 * A.d - k * B.d) / (k + 1);
                    const double smin = sMin(c.o.code, false, A.d, c.o.aggregateMm);
                    const double centres = g + (k >= 1 ? (A.d + B.d) / 2 : A.d);
                    const std::vector<double> m1 = {g - smin, c.o.maxSpacingMm - centres,
                                                    h - 2 * cc - A.d};
                    const double area1 = 2 * A.a + k * B.a;
                    const std::string l1 =
                        ib == ia ? groupText(2 + k, s, cat, ia)
                                 : groupText(2, s, cat, ia) + " + " + groupText(k, s, cat, ib);
                    if (area1 >= req && area1 < 1.8 * req)
                        classify(m1, l1);
                    if (*std::min_element(m1.begin(), m1.end()) > -band)
                        out.largestCount = std::max(out.largestCount, k);
                    for (const std::int32_t i2 : {ia, ib}) {
                        const Bar& S = s.bars.at(i2);
                        for (std::int32_t j = 2; j <= 2 + k; ++j) {
                            const double area = area1 + j * S.a;
                            if (area < req || area >= 1.8 * req)
                                continue;
                            const double g2 = (W - j * S.d) / (j - 1);
                            const double v = c.o.code == Code::EC2
                                                 ? sMin(c.o.code, false, A.d, c.o.aggregateMm)
                                                 : 25.4;
                            std::vector<double> m2 = m1;
                            m2.push_back(g2 - sMin(c.o.code, false, S.d, c.o.aggregateMm));
                            m2.push_back(h - 2 * cc - A.d - v - S.d);
                            classify(m2, l1 + " / " + groupText(j, s, cat, i2));
                        }
                        if (ib == ia)
                            break;
                    }
                } else {
                    const auto L = offsetSides(c, cc + A.d / 2);
                    const auto n = static_cast<std::int32_t>(L.size());
                    const double area = n * (A.a + k * B.a);
                    if (area < req || area >= 1.8 * req)
                        continue;
                    std::vector<double> margins;
                    const double smin = sMin(c.o.code, true, A.d, c.o.aggregateMm);
                    for (const double side : L) {
                        const double g = (side - A.d - k * B.d) / (k + 1);
                        margins.push_back(g - smin);
                        margins.push_back(c.o.maxSpacingMm -
                                          (g + (k >= 1 ? (A.d + B.d) / 2 : A.d)));
                    }
                    const std::string line =
                        ib == ia ? groupText(n * (1 + k), s, cat, ia)
                                 : groupText(n, s, cat, ia) + " + " + groupText(n * k, s, cat, ib);
                    classify(margins, line);
                    if (*std::min_element(margins.begin(), margins.end()) > -band)
                        out.largestCount = std::max(out.largestCount, k);
                }
            }
        }
    return out;
}

struct Pt {
    double y, z;
};

// The outline, exactly, in mm, counter-clockwise.
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

// Checks one listed arrangement against every rule, from its groups and its bars' positions.
void checkRules(const Case& c, const Cdiametro& cat, const code::Arrangement& a) {
    SCOPED_TRACE(c.id + " | " + a.line);
    const Cat s = sizes(cat, c);
    const double cc = c.m.coverCm * 10;
    const double tol = c.m.column ? 1e-4 : 1e-7; // mm; a column's outline is in single precision
    std::map<std::int32_t, double> dia;
    double area = 0;
    std::int32_t bars = 0;
    std::set<std::int32_t> used;
    for (const auto& l : a.layers)
        for (const auto& g : l.groups) {
            ASSERT_TRUE(s.bars.count(g.diameterIndex)) << "size below the least or unknown";
            EXPECT_EQ(g.diameterMm, s.bars.at(g.diameterIndex).d);
            EXPECT_EQ(g.ref, cat.GetDiamRefer(g.diameterIndex));
            area += g.count * s.bars.at(g.diameterIndex).a;
            bars += g.count;
            used.insert(g.diameterIndex);
        }
    ASSERT_LE(used.size(), 2u);
    if (used.size() == 2) {
        EXPECT_EQ(*used.rbegin() - *used.begin(), 1) << "sizes are not neighbours";
    }
    EXPECT_EQ(a.bars, bars);
    ASSERT_EQ(a.placement.size(), static_cast<std::size_t>(bars));
    EXPECT_NEAR(a.totalAreaCm2, area, 1e-9 * area);
    EXPECT_GE(a.totalAreaCm2, c.m.areaCm2);
    EXPECT_LT(a.totalAreaCm2, 1.8 * c.m.areaCm2);
    EXPECT_NEAR(a.excessPct, (area / c.m.areaCm2 - 1) * 100, 1e-9);
    auto d = [&](const code::Bar& b) { return s.bars.at(b.diameterIndex).d; };
    auto barArea = [&](const code::Bar& b) { return s.bars.at(b.diameterIndex).a; };
    std::vector<std::string> flags;

    if (!c.m.column) {
        const double B = c.m.widthCm * 10, H = c.m.heightCm * 10;
        ASSERT_TRUE(a.layers.size() == 1 || a.layers.size() == 2);
        const auto& g1 = a.layers[0].groups;
        ASSERT_TRUE(g1.size() == 1 || g1.size() == 2);
        if (g1.size() == 2) {
            EXPECT_EQ(g1[0].count, 2);
            EXPECT_GT(g1[0].diameterMm, g1[1].diameterMm) << "the larger size takes the corners";
            EXPECT_GE(g1[1].count, 1);
        } else {
            EXPECT_GE(g1[0].count, 2);
        }
        std::int32_t n1 = 0;
        for (const auto& g : g1)
            n1 += g.count;
        double top1 = -1e300;
        std::size_t at = 0;
        for (std::size_t li = 0; li < a.layers.size(); ++li) {
            const auto& layer = a.layers[li];
            const std::size_t n = li == 0 ? static_cast<std::size_t>(n1)
                                          : static_cast<std::size_t>(layer.groups[0].count);
            std::vector<code::Bar> row(a.placement.begin() + static_cast<std::ptrdiff_t>(at),
                                       a.placement.begin() + static_cast<std::ptrdiff_t>(at + n));
            at += n;
            double dmax = 0, bottom = 1e300;
            for (const auto& b : row) {
                dmax = std::max(dmax, d(b));
                bottom = std::min(bottom, b.y * 1000 - d(b) / 2);
            }
            const double smin = sMin(c.o.code, false, dmax, c.o.aggregateMm);
            EXPECT_DOUBLE_EQ(layer.minClearMm, smin);
            if (li == 1) {
                ASSERT_EQ(layer.groups.size(), 1u);
                EXPECT_GE(layer.groups[0].count, 2);
                EXPECT_LE(layer.groups[0].count, n1);
                EXPECT_TRUE(layer.groups[0].diameterIndex == g1[0].diameterIndex ||
                            layer.groups[0].diameterIndex == g1.back().diameterIndex);
                const double v = c.o.code == Code::EC2
                                     ? sMin(c.o.code, false, g1[0].diameterMm, c.o.aggregateMm)
                                     : 25.4;
                EXPECT_NEAR(bottom - top1, v, 1e-6) << "vertical clear distance";
            }
            for (std::size_t i = 0; i < row.size(); ++i) {
                const double y = row[i].y * 1000, z = row[i].z * 1000, di = d(row[i]);
                if (li == 0) {
                    EXPECT_NEAR(y - di / 2, -H / 2 + cc, 1e-7) << "layer 1 bar off the cover";
                } else {
                    EXPECT_NEAR(y - di / 2, bottom, 1e-7);
                }
                EXPECT_LE(y + di / 2, H / 2 - cc + 1e-7) << "above the top cover";
                top1 = li == 0 ? std::max(top1, y + di / 2) : top1;
                if (i + 1 < row.size()) {
                    EXPECT_LT(z, row[i + 1].z * 1000);
                }
            }
            EXPECT_NEAR(row.front().z * 1000 - d(row.front()) / 2, -B / 2 + cc, 1e-7);
            EXPECT_NEAR(row.back().z * 1000 + d(row.back()) / 2, B / 2 - cc, 1e-7);
            EXPECT_EQ(d(row.front()), dmax);
            EXPECT_EQ(d(row.back()), dmax);
            double gMin = 1e300, gMax = -1e300, ccMax = 0;
            for (std::size_t i = 0; i + 1 < row.size(); ++i) {
                const double centre = (row[i + 1].z - row[i].z) * 1000;
                const double g = centre - (d(row[i]) + d(row[i + 1])) / 2;
                gMin = std::min(gMin, g);
                gMax = std::max(gMax, g);
                ccMax = std::max(ccMax, centre);
            }
            EXPECT_LT(gMax - gMin, 1e-7) << "gaps are not equal";
            EXPECT_NEAR(layer.clearSpacingMm, gMin, 1e-7);
            EXPECT_GE(gMin, smin - 1e-6);
            if (li == 0) {
                EXPECT_LE(ccMax, c.o.maxSpacingMm + 1e-6);
            }
        }
        double sa = 0, sy = 0;
        for (const auto& b : a.placement) {
            sa += barArea(b);
            sy += barArea(b) * (b.y * 1000 + H / 2);
        }
        ASSERT_TRUE(a.effectiveDepthCm);
        EXPECT_NEAR(*a.effectiveDepthCm, (H - sy / sa) / 10, 1e-9);
        const double ratio = area / (c.m.widthCm * c.m.heightCm) * 100;
        EXPECT_NEAR(a.ratioPct, ratio, 1e-9);
        if (c.o.code == Code::EC2 && ratio > 4)
            flags.push_back("cuantía > 4 %");
    } else {
        const auto P = outline(c);
        const auto n = static_cast<std::int32_t>(P.size());
        ASSERT_EQ(a.layers.size(), 1u);
        const auto& g1 = a.layers[0].groups;
        std::int32_t m = 0;
        if (g1.size() == 2) {
            EXPECT_EQ(g1[0].count, n);
            EXPECT_GT(g1[0].diameterMm, g1[1].diameterMm);
            ASSERT_EQ(g1[1].count % n, 0);
            m = g1[1].count / n;
            EXPECT_GE(m, 1);
        } else {
            ASSERT_EQ(g1.size(), 1u);
            ASSERT_EQ(g1[0].count % n, 0);
            m = g1[0].count / n - 1;
        }
        const double da = g1[0].diameterMm;
        const double smin = sMin(c.o.code, true, da, c.o.aggregateMm);
        EXPECT_DOUBLE_EQ(a.layers[0].minClearMm, smin);
        // Distance of a point inside the outline from side i.
        auto inside = [&](std::int32_t i, double y, double z) {
            const Pt& p0 = P[static_cast<std::size_t>(i)];
            const Pt& p1 = P[static_cast<std::size_t>((i + 1) % n)];
            const double ey = p1.y - p0.y, ez = p1.z - p0.z, l = std::hypot(ey, ez);
            return ((y - p0.y) * -ez + (z - p0.z) * ey) / l;
        };
        auto along = [&](std::int32_t i, double y, double z) {
            const Pt& p0 = P[static_cast<std::size_t>(i)];
            const Pt& p1 = P[static_cast<std::size_t>((i + 1) % n)];
            const double ey = p1.y - p0.y, ez = p1.z - p0.z, l = std::hypot(ey, ez);
            return ((y - p0.y) * ey + (z - p0.z) * ez) / l;
        };
        for (const auto& b : a.placement)
            for (std::int32_t i = 0; i < n; ++i)
                EXPECT_GE(inside(i, b.y * 1000, b.z * 1000), cc + d(b) / 2 - tol);
        double gAll = 1e300;
        for (std::int32_t i = 0; i < n; ++i) {
            const std::size_t first = static_cast<std::size_t>(i * (1 + m));
            const code::Bar& corner = a.placement[first];
            const code::Bar& next = a.placement[static_cast<std::size_t>(((i + 1) % n) * (1 + m))];
            EXPECT_EQ(d(corner), da);
            EXPECT_NEAR(inside(i, corner.y * 1000, corner.z * 1000), cc + da / 2, tol);
            EXPECT_NEAR(inside((i + n - 1) % n, corner.y * 1000, corner.z * 1000), cc + da / 2,
                        tol);
            std::vector<code::Bar> side{corner};
            for (std::int32_t k = 1; k <= m; ++k) {
                const code::Bar& b = a.placement[first + static_cast<std::size_t>(k)];
                EXPECT_NEAR(inside(i, b.y * 1000, b.z * 1000), cc + d(b) / 2, tol);
                side.push_back(b);
            }
            side.push_back(next);
            double gMin = 1e300, gMax = -1e300;
            for (std::size_t k = 0; k + 1 < side.size(); ++k) {
                const double s0 = along(i, side[k].y * 1000, side[k].z * 1000);
                const double s1 = along(i, side[k + 1].y * 1000, side[k + 1].z * 1000);
                const double g = s1 - s0 - (d(side[k]) + d(side[k + 1])) / 2;
                gMin = std::min(gMin, g);
                gMax = std::max(gMax, g);
                EXPECT_LE(s1 - s0, c.o.maxSpacingMm + tol);
            }
            EXPECT_LT(gMax - gMin, tol) << "gaps along side " << i << " are not equal";
            EXPECT_GE(gMin, smin - tol);
            gAll = std::min(gAll, gMin);
        }
        EXPECT_NEAR(a.layers[0].clearSpacingMm, gAll, tol);
        // No two bars closer than s_min anywhere, not only along a side.
        for (std::size_t i = 0; i < a.placement.size(); ++i)
            for (std::size_t j = i + 1; j < a.placement.size(); ++j) {
                const auto& p = a.placement[i];
                const auto& q = a.placement[j];
                EXPECT_GE(std::hypot(p.y - q.y, p.z - q.z) * 1000 - (d(p) + d(q)) / 2, smin - tol);
            }
        double twice = 0;
        for (std::int32_t i = 0; i < n; ++i) {
            const Pt& p0 = P[static_cast<std::size_t>(i)];
            const Pt& p1 = P[static_cast<std::size_t>((i + 1) % n)];
            twice += p0.y * p1.z - p1.y * p0.z;
        }
        const double ratio = area / (twice / 2 / 100) * 100;
        EXPECT_NEAR(a.ratioPct, ratio, 1e-5 * ratio);
        EXPECT_FALSE(a.effectiveDepthCm);
        if (c.o.code == Code::EC2) {
            if (ratio < 0.2)
                flags.push_back("cuantía < 0,2 %");
            if (ratio > 4)
                flags.push_back("cuantía > 4 %");
        } else {
            if (ratio < 1)
                flags.push_back("cuantía < 1 %");
            if (ratio > 8)
                flags.push_back("cuantía > 8 %");
        }
    }
    EXPECT_EQ(a.flags, flags);
}

struct Key {
    std::size_t layers;
    std::int32_t bars;
    std::size_t sizes;
    double area;
};

Key key(const code::Arrangement& a) {
    std::set<std::int32_t> used;
    for (const auto& l : a.layers)
        for (const auto& g : l.groups)
            used.insert(g.diameterIndex);
    return {a.layers.size(), a.bars, used.size(), a.totalAreaCm2};
}

} // namespace

TEST(CodeSearchProperty, EveryRowObeysTheRulesAndNoneIsMissing) {
    const Cdiametro euro = [] {
        Cdiametro c;
        c.Ini("Euro", "m");
        return c;
    }();
    const Cdiametro mex = [] {
        Cdiametro c;
        c.Ini("Mex", "m");
        return c;
    }();
    std::int32_t withRows = 0, rows = 0, twoLayers = 0, twoSizes = 0, noRow = 0;
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.id);
        const Cdiametro& cat = c.series == "Euro" ? euro : mex;
        code::Options all = c.o;
        all.top = 0;
        const auto full = code::search(c.m, cat, all);
        const Brute brute = bruteForce(c, cat);
        ASSERT_LT(brute.largestCount, 35) << "the brute force's bound is too tight";

        std::set<std::string> listed;
        for (const auto& a : full.arrangements) {
            EXPECT_TRUE(listed.insert(a.line).second) << "listed twice: " << a.line;
            EXPECT_TRUE(brute.feasible.count(a.line) || brute.borderline.count(a.line))
                << "listed but not allowed: " << a.line;
            checkRules(c, cat, a);
            twoLayers += a.layers.size() == 2;
            twoSizes += key(a).sizes == 2;
        }
        for (const auto& line : brute.feasible)
            EXPECT_TRUE(listed.count(line)) << "missing: " << line;

        if (full.arrangements.empty()) {
            ++noRow;
            EXPECT_EQ(full.messages.size(), 1u);
            continue;
        }
        EXPECT_TRUE(full.messages.empty());
        ++withRows;
        rows += static_cast<std::int32_t>(full.arrangements.size());

        // The preferred first: nothing within 10 % of the least area beats it.
        double least = 1e300;
        for (const auto& a : full.arrangements)
            least = std::min(least, a.totalAreaCm2);
        const Key p = key(full.arrangements[0]);
        EXPECT_LE(p.area, least * 1.1 * (1 + 1e-9));
        for (const auto& a : full.arrangements) {
            EXPECT_EQ(a.preferred, &a == &full.arrangements[0]);
            const Key k = key(a);
            if (k.area > least * 1.1 * (1 + 1e-9))
                continue;
            EXPECT_FALSE(std::tie(k.layers, k.bars, k.sizes, k.area) <
                         std::tie(p.layers, p.bars, p.sizes, p.area))
                << a.line << " beats the preferred " << full.arrangements[0].line;
        }
        // Then by area, ties to fewer bars, fewer layers, fewer sizes.
        for (std::size_t i = 2; i < full.arrangements.size(); ++i) {
            const Key x = key(full.arrangements[i - 1]), y = key(full.arrangements[i]);
            EXPECT_FALSE(std::tie(y.area, y.bars, y.layers, y.sizes) <
                         std::tie(x.area, x.bars, x.layers, x.sizes))
                << full.arrangements[i].line << " after " << full.arrangements[i - 1].line;
        }

        // `top` cuts the same list, keeping the least-area row.
        const auto cut = code::search(c.m, cat, c.o);
        const std::size_t want =
            std::min<std::size_t>(full.arrangements.size(), static_cast<std::size_t>(c.o.top));
        ASSERT_GE(cut.arrangements.size(), want);
        ASSERT_LE(cut.arrangements.size(), std::max<std::size_t>(want, 2));
        bool hasLeast = false;
        for (std::size_t i = 0; i < cut.arrangements.size(); ++i) {
            EXPECT_EQ(cut.arrangements[i].line, full.arrangements[i].line);
            hasLeast = hasLeast || cut.arrangements[i].totalAreaCm2 == least;
        }
        EXPECT_TRUE(hasLeast);

        // Each line reads back into the very bars it was listed with.
        for (const auto& a : full.arrangements) {
            std::string error;
            const auto bars = code::placeLine(a.line, c.m, cat, c.o, error);
            EXPECT_EQ(error, "") << a.line;
            ASSERT_EQ(bars.size(), a.placement.size()) << a.line;
            for (std::size_t i = 0; i < bars.size(); ++i) {
                EXPECT_EQ(bars[i].y, a.placement[i].y);
                EXPECT_EQ(bars[i].z, a.placement[i].z);
                EXPECT_EQ(bars[i].diameterIndex, a.placement[i].diameterIndex);
            }
        }
    }
    // The generated range exercises every branch of the rules.
    EXPECT_GT(withRows, 150);
    EXPECT_GT(noRow, 10);
    EXPECT_GT(twoLayers, 100);
    EXPECT_GT(twoSizes, 100);
    RecordProperty("rows", rows);
}

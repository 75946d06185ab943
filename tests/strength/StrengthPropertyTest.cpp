// Properties of the section-strength engine over several sections, codes and directions, and the
// refusals of bad input.
#include "Sections.h"
#include "strength/Engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace tresol::strength;
using namespace tresol::strength::testing;

namespace {

struct Case {
    const char* name;
    Section s;
};

std::vector<Case> cases() {
    Materials hi = Materials::en(70); // n = 1.4 + 23.4·0.2⁴ = 1.437, εcu2 = 2.66‰
    return {{"beam EN", beam(Materials::en(25), true)},
            {"column EN", column(Materials::en(25))},
            {"column C70", column(hi, 4)},
            {"column block", column(enBlock(30), 4)},
            {"column ACI", column(Materials::aci(35), 4)},
            {"tee EN", tee(Materials::en(30))},
            {"tee ACI lopsided", tee(Materials::aci(28), true)}};
}

// The same strain state integrated by a fine midpoint fibre mesh over the bounding box, with the
// bars as points: the engine's exact integration must agree with it.
detail::Forces fibres(const Section& s, double theta, const detail::Strain& e, double tMax,
                      int cells) {
    const DesignConstants k = s.constants();
    const auto& o = s.outline();
    const auto [ylo, yhi] = std::minmax_element(
        o.begin(), o.end(), [](const Point& a, const Point& b) { return a.y < b.y; });
    const auto [zlo, zhi] = std::minmax_element(
        o.begin(), o.end(), [](const Point& a, const Point& b) { return a.z < b.z; });
    const double c = std::cos(theta), sn = std::sin(theta);
    const Point g = s.centroid();
    const auto inside = [&](double y, double z) { // even-odd rule
        bool in = false;
        for (std::size_t i = 0, j = o.size() - 1; i < o.size(); j = i++)
            if ((o[i].z > z) != (o[j].z > z) &&
                y < (o[j].y - o[i].y) * (z - o[i].z) / (o[j].z - o[i].z) + o[i].y)
                in = !in;
        return in;
    };
    const auto sigmaC = [&](double eps, double t) {
        if (k.block) {
            const double x = e.kappa > 0 ? e.top / e.kappa : (e.top > 0 ? 1e9 : 0);
            return tMax - t <= k.blockDepth * x ? k.blockStress : 0.0;
        }
        return eps <= 0 ? 0.0 : k.fcd * (1 - std::pow(1 - std::min(eps / k.epsC, 1.0), k.n));
    };
    detail::Forces f;
    const auto add = [&](double force, double y, double z) {
        const double t = c * (y - g.y) + sn * (z - g.z);
        f.N += force;
        f.Mt += force * t;
        f.Ms += force * (-sn * (y - g.y) + c * (z - g.z));
    };
    const double dy = (yhi->y - ylo->y) / cells, dz = (zhi->z - zlo->z) / cells;
    for (int i = 0; i < cells; ++i)
        for (int j = 0; j < cells; ++j) {
            const double y = ylo->y + (i + 0.5) * dy, z = zlo->z + (j + 0.5) * dz;
            const double t = c * (y - g.y) + sn * (z - g.z);
            if (inside(y, z))
                add(sigmaC(e.top - e.kappa * (tMax - t), t) * dy * dz, y, z);
        }
    for (const Bar& b : s.bars()) {
        const double t = c * (b.y - g.y) + sn * (b.z - g.z);
        const double eps = e.top - e.kappa * (tMax - t);
        add(b.area * (std::clamp(k.Es * eps, -k.fyd, k.fyd) - sigmaC(eps, t)), b.y, b.z);
    }
    return f;
}

} // namespace

// The polygon integration (slabs of the rotated outline, Gauss on the parabola, closed forms on
// the plateau) agrees with a 600 × 600 fibre mesh on every section, at odd angles and depths.
TEST(StrengthProperty, IntegrationMatchesFibres) {
    for (const Case& c : cases()) {
        detail::Engine eng(c.s);
        for (double theta : {0.3, 1.9, 4.0})
            for (double p : {0.15, 0.5, 0.9, 1.4, 1.9}) {
                eng.direction(theta);
                const detail::Strain e = eng.strainAt(p);
                const detail::Forces a = eng.forces(e);
                const detail::Forces b = fibres(c.s, theta, e, eng.tMax(), 600);
                const double scale = c.s.area() * c.s.constants().fcd;
                SCOPED_TRACE(std::string(c.name) + " θ " + std::to_string(theta) + " p " +
                             std::to_string(p));
                EXPECT_NEAR(a.N, b.N, 3e-3 * scale);
                EXPECT_NEAR(a.Mt, b.Mt, 3e-3 * scale * eng.height());
                EXPECT_NEAR(a.Ms, b.Ms, 3e-3 * scale * eng.height());
            }
    }
}

// N falls as the neutral axis rises (x shrinks), from beyond the section's depth (the whole
// section compressed) to the tension vertex. Under ACI the nominal N (φ aside).
TEST(StrengthProperty, NFallsAsTheNeutralAxisRises) {
    for (const Case& c : cases())
        for (double theta : {0.0, 0.7, 2.5}) {
            SCOPED_TRACE(c.name);
            double last = std::numeric_limits<double>::infinity();
            for (double x = 3.0; x > 1e-4; x *= 0.95) {
                const StatePoint st = stateAt(c.s, theta, x);
                const double n = st.N / st.phi;
                EXPECT_LE(n, last + 1e-9);
                last = n;
            }
            EXPECT_GE(last, stateAt(c.s, theta, 0).N / 0.9 - 1e-9);
        }
}

// A section symmetric about a direction: its curve there has the moment in that direction at
// every point, with the neutral axis square to it.
TEST(StrengthProperty, SymmetricSectionsGiveSymmetricCurves) {
    struct Sym {
        Section s;
        double axis; // a direction the section is symmetric about
    };
    for (const Sym& c :
         {Sym{column(Materials::en(25)), 0.0}, Sym{column(Materials::aci(30), 4), 0.0},
          Sym{beam(Materials::en(30), true), kPi / 2}, Sym{tee(Materials::en(30)), kPi / 2},
          Sym{tee(Materials::aci(30)), -kPi / 2}}) {
        const Curve on = interactionCurve(c.s, c.axis);
        EXPECT_TRUE(on.everyPointAligned);
        for (const StatePoint& p : on.points) {
            EXPECT_NEAR(p.Mperp, 0, 1e-9);
            EXPECT_NEAR(p.theta, c.axis, 1e-12);
        }
    }
    // A beam with the same bars at both faces resists the same sagging and hogging.
    std::vector<Bar> bars;
    row(bars, 3, 0.016, 0.30, 0.04, 0.04);
    row(bars, 3, 0.016, 0.30, 0.04, 0.46);
    const Section s = *Section::make(rectangle(0.30, 0.50), bars, Materials::en(25));
    EXPECT_NEAR(beamStrength(s, Face::Bottom).MRd, -beamStrength(s, Face::Top).MRd, 1e-9);
}

// Every point of a curve (its moment along the direction asked) has a utilisation of 1: the
// check and the curve are one surface. EN without e0, which would add a moment. Where a curve's N
// dips (EN's pivot range with the bars mostly on the compressed side, ACI's φ) a point may lie
// inside the section's capacity, never outside it. Sections lopsided square to ψ may meet the
// direction ψ at N_Ed in several states (ACI's φ folds φPn; EN's pivot range): the curve follows
// one branch by continuation, the check the strongest it finds from ψ, and the two may differ
// (the lopsided ACI tee at N = 1842 kN: the check finds 419 kN·m where the curve has 552). There
// the check's state is asserted to be a true one: at N_Ed, its moment along M_Ed.
TEST(StrengthProperty, UtilisationIsOneOnTheCurve) {
    CheckOptions plain;
    plain.minimumEccentricity = false;
    for (const Case& c : cases())
        for (double psi : {0.0, 1.0, 2.2, 4.4, kPi / 2, -kPi / 2}) {
            const std::string name = c.name;
            const bool exact =
                name.rfind("column", 0) == 0 ||
                (std::abs(std::cos(psi)) < 1e-12 && name.find("lopsided") == std::string::npos);
            const Curve curve = interactionCurve(c.s, psi);
            // A point is inside the capacity when another stretch of the curve passes the same N
            // with a larger moment.
            const auto inside = [&](std::size_t i) {
                const StatePoint& p = curve.points[i];
                for (std::size_t k = 0; k + 1 < curve.points.size(); ++k) {
                    const StatePoint &a = curve.points[k], &b = curve.points[k + 1];
                    if (k + 1 == i || k == i || std::abs(a.Mperp) > 1e-6 ||
                        std::abs(b.Mperp) > 1e-6)
                        continue;
                    if (std::abs(a.N - p.N) <= 1e-9 * std::abs(p.N) && a.M > p.M * (1 + 1e-6))
                        return true; // a stretch of constant N (the EN block near squash)
                    if ((a.N - p.N) * (b.N - p.N) > 0 || a.N == b.N)
                        continue;
                    const double m = a.M + (b.M - a.M) * (p.N - a.N) / (b.N - a.N);
                    if (m > p.M * (1 + 1e-6) + 1e-6)
                        return true;
                }
                return false;
            };
            int checked = 0;
            for (std::size_t i = 0; i < curve.points.size(); ++i) {
                const StatePoint& p = curve.points[i];
                if (std::abs(p.Mperp) > 1e-6 || p.M < 0)
                    continue; // not in direction ψ (a lopsided section near its vertices)
                const Utilisation u = utilisation(c.s, {p.N, p.My, p.Mz}, plain);
                if (p.N > curve.NRdMax) {
                    // Bars mostly on the compressed side: the pivot's states pass the squash
                    // load, which the check keeps as the axial capacity (on the safe side).
                    EXPECT_NEAR(u.ratio, p.N / curve.NRdMax, 1e-12);
                    continue;
                }
                if (std::abs(p.N - curve.NRdMax) <= 1e-9 * curve.NRdMax) {
                    // A stretch at the squash load itself (the EN block, pivot at mid-depth,
                    // bars elastic): the check takes its largest moment.
                    EXPECT_LE(u.ratio, 1 + 2e-6);
                    continue;
                }
                if (!exact) {
                    // The check's capacity is an ultimate state at N_Ed with its moment along
                    // M_Ed, even where it is another branch than the curve's.
                    if (std::isfinite(u.ratio)) {
                        EXPECT_NEAR(u.state.N, p.N, 1e-6 * curve.NRdMax);
                        EXPECT_NEAR(u.state.Mperp, 0, 1e-6 * std::abs(u.state.M));
                        EXPECT_NEAR(u.ratio, std::hypot(p.My, p.Mz) / u.state.M, 1e-12);
                    }
                    ++checked;
                } else if (!inside(i)) {
                    EXPECT_NEAR(u.ratio, 1, 2e-6) << c.name << " ψ " << psi << " p " << p.p << " N "
                                                  << p.N << ": " << u.governing;
                    ++checked;
                } else {
                    EXPECT_LE(u.ratio, 1 + 2e-6) << c.name << " ψ " << psi << " p " << p.p;
                }
            }
            EXPECT_GT(checked, 40) << c.name << " ψ " << psi;
        }
}

// A section without bars has the plain-concrete curve: no tension, fcd·Ac in compression.
TEST(StrengthProperty, PlainConcrete) {
    const auto s = Section::make(rectangle(0.40, 0.40), {}, Materials::en(25));
    ASSERT_TRUE(s);
    const Curve c = interactionCurve(*s, 0.3);
    EXPECT_EQ(c.NRdMin, 0);
    EXPECT_NEAR(c.NRdMax, 25 / 1.5 * 0.16 * 1000, 1e-9);
    EXPECT_EQ(c.points.front().N, 0);
    const Utilisation pull = utilisation(*s, {-10, 0, 0});
    EXPECT_EQ(pull.ratio, std::numeric_limits<double>::infinity());
    EXPECT_NE(pull.governing.find("tracción sin armadura"), std::string::npos);
    EXPECT_NE(beamStrength(*s, Face::Bottom).error, "");
}

TEST(StrengthProperty, BadInputRefused) {
    const auto bars = perimeter(0.40, 0.016, 3, 0.038);
    const auto refused = [&](std::vector<Point> o, std::vector<Bar> b, Materials m,
                             const std::string& part) {
        const auto s = Section::make(std::move(o), std::move(b), m);
        EXPECT_FALSE(s);
        EXPECT_NE(s.error.find(part), std::string::npos) << s.error;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    refused(rectangle(0.4, 0.4), bars, Materials::en(95), "C12/15 a C90/105");
    refused(rectangle(0.4, 0.4), bars, Materials::en(10), "C12/15 a C90/105");
    refused(rectangle(0.4, 0.4), bars, Materials::en(nan), "hormigón no válido");
    refused(rectangle(0.4, 0.4), bars, Materials::en(25, 700), "acero no válido");
    refused(rectangle(0.4, 0.4), bars, Materials::aci(-28), "f'c de 17 a 100");
    refused(rectangle(0.4, 0.4), bars, Materials::aci(28, inf), "acero no válido");
    Materials gamma = Materials::en(25);
    gamma.gammaC = 0.5;
    refused(rectangle(0.4, 0.4), bars, gamma, "γc");
    refused({{0, 0}, {0.4, 0}, {0.8, 0}}, {}, Materials::en(25), "no encierra área");
    refused({{0, 0}, {0.4, 0}}, {}, Materials::en(25), "tres puntos");
    refused({{0, 0}, {0.4, 0.4}, {0.4, 0}, {0, 0.3}}, {}, Materials::en(25), "se corta");
    refused({{0, 0}, {nan, 0}, {0, 0.4}}, {}, Materials::en(25), "punto 2");
    refused(rectangle(0.4, 0.4), {{0.5, 0.2, 1e-4}}, Materials::en(25), "fuera del contorno");
    refused(rectangle(0.4, 0.4), {{0.2, 0.2, -1e-4}}, Materials::en(25), "área ha de ser positiva");
    refused(rectangle(0.4, 0.4), {{0.2, nan, 1e-4}}, Materials::en(25), "posición no finita");

    const Section s = column(Materials::en(25));
    for (const Action& a : {Action{nan, 0, 0}, Action{0, inf, 0}, Action{0, 0, -inf}}) {
        const Utilisation u = utilisation(s, a);
        EXPECT_NE(u.error.find("números finitos"), std::string::npos);
    }
    EXPECT_NE(interactionCurve(s, nan).error, "");
    EXPECT_NE(beamRequiredArea(Materials::en(25), 0.3, 0.46, -5).error, "");
    EXPECT_NE(beamRequiredArea(Materials::en(25), 0.3, nan, 5).error, "");
    EXPECT_NE(beamRequiredArea(Materials::en(91), 0.3, 0.46, 5).error, "");
    EXPECT_FALSE(columnMinimumArea(Materials::en(25), -5, 0.16));
    EXPECT_FALSE(columnMinimumArea(Materials::en(25), 5, 0));
    EXPECT_FALSE(columnMinimumArea(Materials::aci(200), 5, 0.16));
}

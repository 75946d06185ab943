#include "strength/Strength.h"

#include "strength/Engine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <optional>
#include <span>
#include <string>

namespace tresol::strength {

namespace {

using detail::Engine;
using detail::Forces;
using detail::Strain;

constexpr double kPi = std::numbers::pi;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kN = 1000; // kN per MN

// An angle taken modulo a half-turn, in (−π/2, π/2]: a moment along −ψ is as aligned as one
// along ψ (its component along ψ is then negative).
double wrapHalf(double a) {
    a = std::remainder(a, kPi);
    return a == -kPi / 2 ? kPi / 2 : a;
}

double wrap(double a) {
    while (a > kPi)
        a -= 2 * kPi;
    while (a <= -kPi)
        a += 2 * kPi;
    return a;
}

// A rough root of f in [a, b] (f(a), f(b) of opposite signs) for a start: `steps` steps of the
// false position.
template <class F>
double falsePosition(F&& f, double a, double b, double fa, double fb, int steps) {
    double x = a + (b - a) * fa / (fa - fb);
    for (int i = 1; i < steps; ++i) {
        const double fx = f(x);
        if (fx == 0)
            break;
        if ((fx < 0) == (fa < 0)) {
            a = x;
            fa = fx;
        } else {
            b = x;
            fb = fx;
        }
        x = a + (b - a) * fa / (fa - fb);
    }
    return x;
}

// Brent–Dekker: a root of f in [a, b] where f(a), f(b) differ in sign (or one is 0).
template <class F>
double brent(F&& f, double a, double b, double fa, double fb, double xtol, double ftol) {
    if (fa == 0)
        return a;
    if (fb == 0)
        return b;
    double c = a, fc = fa, d = b - a, e = d;
    for (int it = 0; it < 100; ++it) {
        if ((fb > 0) == (fc > 0)) {
            c = a;
            fc = fa;
            d = b - a;
            e = d;
        }
        if (std::abs(fc) < std::abs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol1 = 4e-16 * std::abs(b) + 0.5 * xtol;
        const double xm = 0.5 * (c - b);
        if (std::abs(xm) <= tol1 || std::abs(fb) <= ftol)
            return b;
        if (std::abs(e) >= tol1 && std::abs(fa) > std::abs(fb)) {
            const double s = fb / fa;
            double p, q;
            if (a == c) {
                p = 2 * xm * s;
                q = 1 - s;
            } else {
                const double qq = fa / fc, r = fb / fc;
                p = s * (2 * xm * qq * (qq - r) - (b - a) * (r - 1));
                q = (qq - 1) * (r - 1) * (s - 1);
            }
            if (p > 0)
                q = -q;
            p = std::abs(p);
            if (2 * p < std::min(3 * xm * q - std::abs(tol1 * q), std::abs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = xm;
                e = d;
            }
        } else {
            d = xm;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::abs(d) > tol1 ? d : std::copysign(tol1, xm);
        fb = f(b);
    }
    return b;
}

std::string num(double v, int decimals) {
    // Exact decimal rounding as printf's "%.*f" does, without its locale and parsing.
    char buf[400];
    const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string s(buf, end.ec == std::errc() ? end.ptr : buf);
    for (char& c : s)
        if (c == '.')
            c = ',';
    if (s == "-0" || s.rfind("-0,", 0) == 0) {
        bool zero = s.find_first_not_of("-0,") == std::string::npos;
        if (zero)
            s.erase(0, 1);
    }
    return s;
}

// The design state machinery of one section: an engine, φ, and the solves.
class Solver {
  public:
    // The axial capacities from the engine at θ = 0, as every solver of the section has them:
    // a check and a curve meet N_Rd,max on the same last bit.
    explicit Solver(const Section& s) : eng_(s), k_(s.constants()) {
        double po = 0;
        if (k_.code == Code::ACI) {
            // 22.4.2.2: Po = 0.85 f'c (Ag − Ast) + fy Ast; 22.4.2.1 tied: Pn,max = 0.80 Po.
            po = 0.85 * k_.fcd * (s.area() - s.steelArea()) + k_.fyd * s.steelArea();
            nMax_ = 0.65 * 0.80 * po;
            nMin_ = -0.90 * k_.fyd * s.steelArea();
        } else {
            nMax_ = eng_.forces(eng_.strainAt(2)).N;
            nMin_ = eng_.forces(eng_.strainAt(0)).N;
        }
        scaleM_ = (nMax_ - nMin_) * std::max(s.depthY(), s.depthZ());
    }

    struct Eval {
        double p = 0;
        Strain e;
        Forces f; // design (φ applied)
        double phi = 1;
    };

    Engine& engine() { return eng_; }
    double nMax() const { return nMax_; } // MN, design
    double nMin() const { return nMin_; }
    double momentScale() const { return scaleM_; }
    bool aci() const { return k_.code == Code::ACI; }

    Eval at(double p) {
        Eval v;
        v.p = p;
        v.e = eng_.strainAt(p);
        v.f = eng_.forces(v.e);
        if (aci()) {
            // 21.2.2: εt of the extreme tension bar; without bars the section is compression
            // controlled.
            v.phi = eng_.hasBars() ? phiTied(-eng_.strainAt(v.e, eng_.tBarMin()), k_.epsTy) : 0.65;
            v.f.N *= v.phi;
            v.f.Mt *= v.phi;
            v.f.Ms *= v.phi;
        }
        return v;
    }

    // At the current direction, the state whose design N is n (MN), nMin ≤ n ≤ its N at p = 2.
    // N rises with p where the neutral axis is inside the section (EN), but may dip where the
    // whole section is compressed (EN's pivot, bars mostly on the compressed side) and where φ
    // changes (ACI); where it has several roots the one of largest moment along the direction is
    // the capacity. Without a guess every root of a nine-state scan is tried; with one (the last
    // answer at a nearby direction) the same branch is followed.
    Eval solveN(double n, double guess, bool rough = false) {
        const auto f = [&](double p) { return at(p).f.N - n; };
        const double ftol = 1e-13 * (nMax_ - nMin_ + 1e-9);
        if (guess > 0 && guess < 2) {
            for (double w = 0.02; w < 0.5; w *= 4) {
                const double a = std::max(0.0, guess - w), b = std::min(2.0, guess + w);
                const double fa = f(a), fb = f(b);
                if ((fa <= 0) != (fb <= 0) || fa == 0 || fb == 0)
                    return at(brent(f, a, b, fa, fb, 1e-13, ftol));
            }
        }
        // A uniform scan, plus under ACI the two states where φ starts and ends its transition
        // (εt = εty + 0.003 and εty): φ·N peaks at the first, and two roots may sit either side.
        // A rough answer under EN needs fewer states where the neutral axis is inside the
        // section: N rises with p there (every fibre's strain rises, and no stress falls with
        // its strain), so one root at most lies in (0, 1].
        constexpr int kScan = 24;
        const bool coarse = rough && !aci();
        double grid[kScan + 2];
        int count = 0;
        // Beyond p = 1 the whole section is compressed: the concrete and the bars (σs above the
        // σc they displace, fyd being far above fcd) push, so N > 0 there and no N ≤ 0 is met.
        const int last = n <= 0 ? kScan / 2 : kScan;
        for (int i = 1; i <= last; ++i)
            if (!coarse || i > kScan / 2 || i % 3 == 0)
                grid[count++] = 2.0 * i / kScan;
        if (aci() && eng_.hasBars()) {
            const double dt = eng_.tMax() - eng_.tBarMin(), h = eng_.height();
            for (double et : {k_.epsTy + 0.003, k_.epsTy}) {
                const double p = 0.003 * dt / (0.003 + et) / h;
                if (!(p > 0 && p < 1))
                    continue;
                int at = count++;
                for (; at > 0 && grid[at - 1] > p; --at)
                    grid[at] = grid[at - 1];
                grid[at] = p;
            }
        }
        double pa = 0, fa = f(0);
        Eval best;
        bool found = false;
        nRoots_ = 0;
        const auto take = [&](const Eval& v) {
            if (nRoots_ < kMostRoots)
                roots_[nRoots_++] = v.p;
            if (!found || v.f.Mt > best.f.Mt)
                best = v;
            found = true;
        };
        if (std::abs(fa) <= ftol)
            take(at(0));
        for (int i = 0; i < count; ++i) {
            const double pb = grid[i], fb = f(pb);
            // A state on the level itself counts (N can be flat there: the EN block with the
            // pivot at mid-depth and elastic bars), and so does a root between two states.
            if (std::abs(fb) <= ftol && std::abs(fa) > ftol) {
                // Where N reaches the level and stays on it, the first state on it.
                double lo = pa, hi = pb;
                for (int k = 0; k < 60 && hi - lo > 1e-14; ++k) {
                    const double mid = (lo + hi) / 2;
                    (std::abs(f(mid)) <= ftol ? hi : lo) = mid;
                }
                take(at(hi));
            } else if (std::abs(fb) <= ftol)
                take(at(pb));
            else if (std::abs(fa) > ftol && (fa < 0) != (fb < 0))
                take(at(rough ? falsePosition(f, pa, pb, fa, fb, coarse ? 2 : 1)
                              : brent(f, pa, pb, fa, fb, 1e-13, ftol)));
            pa = pb;
            fa = fb;
        }
        if (!found) // n outside [N(0), N(2)]: the nearer end
            best = at(std::abs(f(0)) < std::abs(f(2)) ? 0 : 2);
        return best;
    }

    // The states of the last full scan whose N was the one asked (several where N dips).
    static constexpr std::size_t kMostRoots = 8;
    std::span<const double> roots() const { return {roots_.data(), nRoots_}; }

    // The direction θ near `guess` whose moment points along ψ, g(θ) the angle from ψ to the
    // moment of the state g evaluates (which sets the engine's direction).
    template <class G> std::optional<double> align(G&& g, double psi, double guess) {
        const double tol = 1e-11;
        const double lo = psi - 1.55, hi = psi + 1.55;
        double t0 = std::clamp(guess, lo, hi);
        double g0 = g(t0);
        if (std::abs(g0) <= tol)
            return t0;
        double t1 = std::clamp(t0 - g0, lo, hi);
        if (t1 == t0)
            t1 = std::clamp(t0 - std::copysign(0.1, g0), lo, hi);
        double g1 = g(t1);
        for (int it = 0; it < 8; ++it) {
            if (std::abs(g1) <= tol)
                return t1;
            if ((g0 > 0) != (g1 > 0) && std::abs(g0) < 1.4 && std::abs(g1) < 1.4)
                return brent(g, t0, t1, g0, g1, 1e-13, tol);
            double t2 = g1 != g0 ? t1 - g1 * (t1 - t0) / (g1 - g0) : t1 - g1;
            if (!std::isfinite(t2))
                break;
            // Never step backwards past the better end, and go at least a little further.
            t2 = std::clamp(t2, lo, hi);
            if (t2 == t1)
                break;
            t0 = t1;
            g0 = g1;
            t1 = t2;
            g1 = g(t1);
        }
        // Scan outwards from the guess, both ways alike, for the nearest sign change.
        const double t00 = std::clamp(guess, lo, hi), g00 = g(t00), step = (hi - lo) / 24;
        if (std::abs(g00) <= tol)
            return t00;
        double tu = t00, gu = g00, td = t00, gd = g00;
        for (int i = 1; i <= 24; ++i) {
            if (tu < hi) {
                const double t = std::min(hi, tu + step), gt = g(t);
                if (std::abs(gt) <= tol)
                    return t;
                if ((gu > 0) != (gt > 0) && std::abs(gu) < 1.4 && std::abs(gt) < 1.4)
                    return brent(g, tu, t, gu, gt, 1e-13, tol);
                tu = t;
                gu = gt;
            }
            if (td > lo) {
                const double t = std::max(lo, td - step), gt = g(t);
                if (std::abs(gt) <= tol)
                    return t;
                if ((gd > 0) != (gt > 0) && std::abs(gd) < 1.4 && std::abs(gt) < 1.4)
                    return brent(g, t, td, gt, gd, 1e-13, tol);
                td = t;
                gd = gt;
            }
        }
        return std::nullopt;
    }

    // Newton's method on the direction and the state together, from (θ, p) near the answer:
    // the state whose design N is n and whose moment points along ψ, to the tolerances of
    // solveN and align. Its Jacobian by forward differences; nothing when it does not settle
    // within a few steps or leaves the states (the nested solve then takes over). The engine is
    // left at the answer's direction.
    std::optional<Eval> newton(double n, double psi, double theta, double p) {
        const double ftol = 1e-13 * (nMax_ - nMin_ + 1e-9), atol = 1e-11;
        const double lo = psi - 1.55, hi = psi + 1.55;
        eng_.direction(theta);
        Eval v = at(p);
        double f1 = v.f.N - n, f2 = offset(v, psi);
        // The Jacobian's column along p by a forward difference at every step (no turning of
        // the section), along θ by one at the start and then by the secant of the last step.
        double a11 = 0, a21 = 0;
        for (int it = 0; it < 12; ++it) {
            if (std::abs(f1) <= ftol && std::abs(f2) <= atol)
                return v;
            const double hp = p + 1e-7 < 2 ? 1e-7 : -1e-7;
            const Eval vp = at(p + hp);
            const double a12 = (vp.f.N - v.f.N) / hp, a22 = (offset(vp, psi) - f2) / hp;
            if (it == 0) {
                const double ht = 1e-7;
                eng_.direction(theta + ht);
                const Eval vt = at(p);
                a11 = (vt.f.N - v.f.N) / ht;
                a21 = (offset(vt, psi) - f2) / ht;
            }
            const double det = a11 * a22 - a12 * a21;
            if (!(std::abs(det) > 0) || !std::isfinite(det))
                return std::nullopt;
            const double dt = (-f1 * a22 + f2 * a12) / det, dp = (-a11 * f2 + a21 * f1) / det;
            theta += dt;
            p += dp;
            if (!(p > 0 && p < 2 && theta > lo && theta < hi))
                return std::nullopt;
            eng_.direction(theta);
            v = at(p);
            const double g1 = v.f.N - n, g2 = offset(v, psi);
            if (std::abs(dt) > 1e-12) {
                a11 = (g1 - f1 - a12 * dp) / dt;
                a21 = (g2 - f2 - a22 * dp) / dt;
            }
            f1 = g1;
            f2 = g2;
        }
        return std::nullopt;
    }

    // Angle from the line of ψ to the moment of a state at the current direction.
    double offset(const Eval& v, double psi) const {
        if (v.f.Mt == 0 && v.f.Ms == 0)
            return wrapHalf(eng_.theta() - psi);
        return wrapHalf(eng_.theta() + std::atan2(v.f.Ms, v.f.Mt) - psi);
    }

    StatePoint point(const Eval& v, double psi) const {
        StatePoint s;
        const double c = eng_.cosT(), sn = eng_.sinT();
        s.N = v.f.N * kN;
        s.Mz = (v.f.Mt * c - v.f.Ms * sn) * kN;
        s.My = (v.f.Mt * sn + v.f.Ms * c) * kN;
        s.M = s.Mz * std::cos(psi) + s.My * std::sin(psi);
        s.Mperp = -s.Mz * std::sin(psi) + s.My * std::cos(psi);
        s.theta = eng_.theta();
        s.depth = Engine::depth(v.e);
        s.epsTop = v.e.top;
        s.epsBottom = eng_.strainAt(v.e, eng_.tMin());
        s.epsSteel = eng_.strainAt(v.e, eng_.tBarMin());
        s.phi = v.phi;
        s.p = v.p;
        return s;
    }

  private:
    Engine eng_;
    DesignConstants k_;
    double nMax_ = 0, nMin_ = 0, scaleM_ = 0;
    std::array<double, kMostRoots> roots_{};
    std::size_t nRoots_ = 0;
};

bool finite(const Action& a) {
    return std::isfinite(a.N) && std::isfinite(a.My) && std::isfinite(a.Mz);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Interaction curve

Curve interactionCurve(const Section& s, double angle, CurveAxis axis) {
    Curve out;
    out.angle = angle;
    out.axis = axis;
    if (!std::isfinite(angle)) {
        out.error = "ángulo no válido: ha de ser un número finito";
        return out;
    }
    const double psi = wrap(angle);
    Solver sv(s);
    Engine& eng = sv.engine();
    out.NRdMax = sv.nMax() * kN;
    out.NRdMin = sv.nMin() * kN;
    const bool fixed = axis == CurveAxis::NeutralAxis;

    struct Node {
        Solver::Eval v;
        double theta;
        bool aligned;
    };
    double lastTheta = psi;
    const auto solveAt = [&](double p) {
        Node nd{{}, psi, true};
        if (fixed || p <= 0 || p >= 2) {
            // The vertices' resultants do not depend on the direction.
            eng.direction(psi);
            nd.v = sv.at(p);
            return nd;
        }
        Solver::Eval v;
        const auto g = [&](double th) {
            eng.direction(th);
            v = sv.at(p);
            return sv.offset(v, psi);
        };
        const auto th = sv.align(g, psi, lastTheta);
        if (th) {
            if (eng.theta() != *th)
                g(*th);
            lastTheta = *th;
            nd.theta = *th;
        } else {
            nd.aligned = false;
            g(psi);
        }
        nd.v = v;
        return nd;
    };
    const auto N = [](const Node& n) { return n.v.f.N; };
    const auto M = [&](const Node& n) {
        const double c = std::cos(n.theta), sn = std::sin(n.theta);
        const double mz = n.v.f.Mt * c - n.v.f.Ms * sn, my = n.v.f.Mt * sn + n.v.f.Ms * c;
        return mz * std::cos(psi) + my * std::sin(psi);
    };

    // A base of 24 states with the neutral axis inside the section and 8 with all of it
    // compressed, each interval then halved, and halved again where its midpoint strays from the
    // chord by more than a tenth of the 0.5 % allowed.
    std::vector<double> ps;
    for (int i = 0; i <= 24; ++i)
        ps.push_back(i / 24.0);
    for (int i = 1; i <= 8; ++i)
        ps.push_back(1 + i / 8.0);
    std::vector<Node> base;
    base.reserve(ps.size());
    for (double p : ps)
        base.push_back(solveAt(p));
    double nLo = kInf, nHi = -kInf, mBig = 0;
    for (const Node& n : base) {
        nLo = std::min(nLo, N(n));
        nHi = std::max(nHi, N(n));
        mBig = std::max(mBig, std::abs(M(n)));
    }
    const double nScale = nHi - nLo > 0 ? nHi - nLo : 1, mScale = mBig > 0 ? mBig : 1;
    const double tol = 0.0005;

    std::vector<Node> nodes;
    nodes.reserve(4 * base.size());
    const auto refine = [&](auto&& self, const Node& a, const Node& b, int depth) -> void {
        lastTheta = a.theta;
        const Node m = solveAt((a.v.p + b.v.p) / 2);
        // Distance of the midpoint from the chord, in the scaled plane.
        const double ax = N(a) / nScale, ay = M(a) / mScale, bx = N(b) / nScale, by = M(b) / mScale,
                     mx = N(m) / nScale, my = M(m) / mScale;
        const double len = std::hypot(bx - ax, by - ay);
        const double dev = len > 0 ? std::abs((bx - ax) * (my - ay) - (by - ay) * (mx - ax)) / len
                                   : std::hypot(mx - ax, my - ay);
        if (dev > tol && depth < 12) {
            self(self, a, m, depth + 1);
            self(self, m, b, depth + 1);
        } else {
            nodes.push_back(m);
            nodes.push_back(b);
        }
    };
    nodes.push_back(base.front());
    for (std::size_t i = 0; i + 1 < base.size(); ++i)
        refine(refine, base[i], base[i + 1], 0);

    for (const Node& n : nodes) {
        eng.direction(n.theta);
        out.points.push_back(sv.point(n.v, psi));
        if (!n.aligned)
            out.everyPointAligned = false;
    }

    if (sv.aci()) {
        // 22.4.2.1: φPn no more than φ·0.80·Po; the curve is cut there, and its cap runs to M = 0.
        const double cap = out.NRdMax;
        std::size_t i = 0;
        while (i < out.points.size() && out.points[i].N <= cap)
            ++i;
        if (i > 0 && i < out.points.size()) {
            const StatePoint& lo = out.points[i - 1];
            const StatePoint& hi = out.points[i];
            lastTheta = lo.theta;
            const auto f = [&](double p) { return solveAt(p).v.f.N * kN - cap; };
            const double p =
                brent(f, lo.p, hi.p, lo.N - cap, hi.N - cap, 1e-13, 1e-10 * std::abs(cap));
            const Node n = solveAt(p);
            eng.direction(n.theta);
            StatePoint at = sv.point(n.v, psi);
            at.N = cap;
            out.points.resize(i);
            out.points.push_back(at);
        }
        StatePoint end = out.points.back();
        end.N = cap;
        end.M = end.My = end.Mz = end.Mperp = 0;
        out.points.push_back(end);
    }
    return out;
}

StatePoint stateAt(const Section& s, double theta, double depth) {
    Solver sv(s);
    sv.engine().direction(theta);
    const double p = std::isnan(depth) ? 0 : sv.engine().pForDepth(depth);
    return sv.point(sv.at(p), theta);
}

// ---------------------------------------------------------------------------------------------
// Utilisation

namespace {

struct OneCheck {
    double ratio = 0;
    std::string text;
    double MRd = 0;
    StatePoint state;
};

OneCheck checkOne(Solver& sv, const Action& a, const std::string& note) {
    OneCheck r;
    const double n = a.N / kN;
    const double m = std::hypot(a.My, a.Mz);
    const std::string nText = "N_Ed = " + num(a.N, 0) + " kN";
    if (n > sv.nMax()) {
        r.ratio = n / sv.nMax();
        r.text = "compresión: N_Ed/N_Rd,max = " + num(r.ratio, 3) + " (" + nText +
                 ", N_Rd,max = " + num(sv.nMax() * kN, 0) + " kN)";
        return r;
    }
    if (n < sv.nMin()) {
        if (sv.nMin() < 0) {
            r.ratio = n / sv.nMin();
            r.text = "tracción: N_Ed/N_Rd,min = " + num(r.ratio, 3) + " (" + nText +
                     ", N_Rd,min = " + num(sv.nMin() * kN, 0) + " kN)";
        } else {
            r.ratio = kInf;
            r.text = "tracción sin armadura que la resista (" + nText + ")";
        }
        return r;
    }
    if (m / kN <= 1e-9 * sv.momentScale()) {
        if (n > 0) {
            r.ratio = n / sv.nMax();
            r.text = "compresión simple: N_Ed/N_Rd,max = " + num(r.ratio, 3) + " (" + nText + ")";
        } else if (n < 0) {
            r.ratio = n / sv.nMin();
            r.text = "tracción simple: N_Ed/N_Rd,min = " + num(r.ratio, 3) + " (" + nText + ")";
        } else {
            r.text = "sin esfuerzos";
        }
        return r;
    }
    const double psi = std::atan2(a.My, a.Mz);
    Engine& eng = sv.engine();
    Solver::Eval v;
    double pGuess = -1;
    const auto g = [&](double th) {
        eng.direction(th);
        v = sv.solveN(n, pGuess);
        pGuess = v.p;
        return sv.offset(v, psi);
    };
    // Where N_Ed is met by several states (N dips), each branch is followed and the largest
    // resistance in the direction of M_Ed kept.
    bool any = false;
    std::array<double, 1 + Solver::kMostRoots> starts{-1};
    std::size_t nStarts = 1;
    for (std::size_t k = 0; k < nStarts; ++k) {
        pGuess = starts[k];
        if (k == 0) {
            // One state at ψ meets N_Ed: one branch, followed by Newton's method from near it.
            eng.direction(psi);
            v = sv.solveN(n, -1, true);
            const double off = sv.offset(v, psi);
            if (sv.roots().size() == 1 && std::abs(off) < 0.5 && v.p > 0 && v.p < 2) {
                if (const auto w = sv.newton(n, psi, psi, v.p)) {
                    v = *w;
                    r.state = sv.point(v, psi);
                    any = true;
                    break;
                }
            }
            pGuess = starts[k];
        }
        const auto th = sv.align(g, psi, psi);
        if (k == 0 && sv.roots().size() > 1)
            for (double p : sv.roots())
                if (p != v.p && p > 0 && p < 2 && nStarts < starts.size())
                    starts[nStarts++] = p;
        if (!th)
            continue;
        if (eng.theta() != *th)
            g(*th);
        const StatePoint st = sv.point(v, psi);
        if (!any || st.M > r.state.M)
            r.state = st;
        any = true;
    }
    r.MRd = r.state.M;
    if (!any || !(r.MRd > 0)) {
        r.ratio = kInf;
        r.text = "sin capacidad a flexión en la dirección de M_Ed con " + nText + note;
        return r;
    }
    r.ratio = m / r.MRd;
    const bool biaxial = std::abs(a.My) > 1e-9 * m && std::abs(a.Mz) > 1e-9 * m;
    const std::string kind =
        n == 0 ? (biaxial ? "flexión esviada" : "flexión simple")
               : (biaxial ? "flexión compuesta esviada" : "flexión compuesta recta");
    r.text = kind + ": M_Ed/M_Rd = " + num(r.ratio, 3) + " (" + nText + ", M_Ed = " + num(m, 1) +
             " kN·m, M_Rd = " + num(r.MRd, 1) + " kN·m" + note + ")";
    return r;
}

} // namespace

Utilisation utilisation(const Section& s, const Action& a, const CheckOptions& o) {
    Utilisation u;
    if (!finite(a)) {
        u.error = "esfuerzos no válidos: N_Ed, M_Ed,y y M_Ed,z han de ser números finitos";
        return u;
    }
    std::vector<std::pair<Action, std::string>> checks;
    checks.reserve(3);
    if (s.materials().code == Code::EC2 && o.minimumEccentricity && a.N > 0) {
        // 6.1(4): e0 = max(h/30, 20 mm), about one axis at a time.
        const double e0z = std::max(s.depthZ() / 30, 0.020), e0y = std::max(s.depthY() / 30, 0.020);
        Action ay = a, az = a;
        ay.My = std::copysign(std::max(std::abs(a.My), a.N * e0z), a.My);
        az.Mz = std::copysign(std::max(std::abs(a.Mz), a.N * e0y), a.Mz);
        const bool raisedY = std::abs(ay.My) > std::abs(a.My);
        const bool raisedZ = std::abs(az.Mz) > std::abs(a.Mz);
        if (raisedY)
            checks.emplace_back(ay, ", e0 = " + num(e0z * 1000, 0) + " mm en z");
        if (raisedZ)
            checks.emplace_back(az, ", e0 = " + num(e0y * 1000, 0) + " mm en y");
        // Moments already beyond N_Ed·e0 about an axis: that check is the action itself, once.
        if (!raisedY || !raisedZ)
            checks.emplace_back(a, std::string());
    } else {
        checks.emplace_back(a, std::string());
    }
    Solver sv(s);
    bool first = true;
    for (const auto& [act, note] : checks) {
        OneCheck c = checkOne(sv, act, note);
        if (first || c.ratio > u.ratio) {
            u.ratio = c.ratio;
            u.governing = std::move(c.text);
            u.checked = act;
            u.MRd = c.MRd;
            u.state = c.state;
            first = false;
        }
    }
    return u;
}

// ---------------------------------------------------------------------------------------------
// Beams

BeamStrength beamStrength(const Section& s, Face tension) {
    BeamStrength b;
    if (tension != Face::Bottom && tension != Face::Top) {
        b.error = "cara traccionada no válida";
        return b;
    }
    if (s.bars().empty()) {
        b.error = "la viga no tiene barras";
        return b;
    }
    const double theta = tension == Face::Bottom ? kPi / 2 : -kPi / 2;
    Solver sv(s);
    Engine& eng = sv.engine();
    eng.direction(theta);
    const Solver::Eval v = sv.solveN(0, -1);
    const StatePoint pt = sv.point(v, theta);
    b.MRd = tension == Face::Bottom ? pt.M : -pt.M;
    b.x = pt.depth;
    // Effective depth: to the centroid of the bars in tension at this state.
    double at = 0, a = 0;
    for (const Bar& bar : s.bars()) {
        const double t =
            eng.cosT() * (bar.y - s.centroid().y) + eng.sinT() * (bar.z - s.centroid().z);
        if (eng.strainAt(v.e, t) < 0) {
            at += bar.area * t;
            a += bar.area;
        }
    }
    b.d = eng.tMax() - (a > 0 ? at / a : eng.tBarMin());
    b.xOverD = b.x / b.d;
    b.epsT = -pt.epsSteel;
    b.phi = pt.phi;
    if (s.materials().code == Code::EC2) {
        b.xOverDLimit = xOverDLimit(s.materials().fc);
        b.xOverDExceeded = b.xOverD > b.xOverDLimit;
    } else {
        b.epsTBelow004 = b.epsT < 0.004;
    }
    return b;
}

// ---------------------------------------------------------------------------------------------
// Required areas

double effectiveDepthOneLayer(double h, double cover, double barDiameter) {
    return h - cover - barDiameter / 2;
}

RequiredArea beamRequiredArea(const Materials& m, double b, double d, double MEd) {
    RequiredArea r;
    if (const auto why = materialsProblem(m); !why.empty()) {
        r.error = why;
        return r;
    }
    if (!std::isfinite(b) || !(b > 0) || !std::isfinite(d) || !(d > 0)) {
        r.error = "sección no válida: b y d han de ser positivos";
        return r;
    }
    if (!std::isfinite(MEd) || MEd < 0) {
        r.error = "momento no válido: M_Ed ha de ser un número finito no negativo";
        return r;
    }
    const DesignConstants k = designConstants(m);
    const double M = MEd / kN;
    if (m.code == Code::EC2) {
        // 3.1.7(3): the block η·fcd over λ·x; M = η fcd b λx (d − λx/2).
        const double over = std::max(0.0, m.fc - 50);
        const double lambda = 0.8 - over / 400, sigma = (1 - over / 200) * k.fcd;
        const double mu = M / (b * d * d * sigma);
        if (mu > 0.5) {
            r.error =
                "M_Ed excede lo que resiste el hormigón comprimido sin armadura de compresión";
            return r;
        }
        const double lx = d * (1 - std::sqrt(1 - 2 * mu));
        r.x = lx / lambda;
        r.xOverD = r.x / d;
        r.As = sigma * b * lx / k.fyd;
        r.compressionSteelAdvised = r.xOverD > xOverDLimit(m.fc);
        return r;
    }
    // ACI 22.2.2.4: φMn = φ(εt) 0.85 f'c b a (d − a/2) with c = a/β1, εt = 0.003 (d − c)/c: the
    // least depth a that reaches Mu (φ falls as a grows, so φMn is searched, not inverted).
    const double b1 = beta1(m.fc);
    const auto phiOf = [&](double a) {
        const double c = a / b1;
        return phiTied(0.003 * (d - c) / c, k.epsTy);
    };
    const auto excess = [&](double a) { return phiOf(a) * 0.85 * m.fc * b * a * (d - a / 2) - M; };
    // The steel yields (εt ≥ εty) up to c = 0.003 d/(0.003 + εty).
    const double aYield = b1 * 0.003 * d / (0.003 + k.epsTy);
    double lo = 0, flo = -M, a = -1;
    constexpr int kSteps = 64;
    for (int i = 1; i <= kSteps; ++i) {
        const double hi = aYield * i / kSteps, fhi = excess(hi);
        if (fhi >= 0) {
            a = brent(excess, lo, hi, flo, fhi, 1e-15, 1e-15);
            break;
        }
        lo = hi;
        flo = fhi;
    }
    if (M == 0)
        a = 0;
    if (a < 0) {
        r.error = "M_Ed excede lo que resiste el hormigón comprimido sin armadura de compresión";
        return r;
    }
    r.x = a / b1;
    r.phi = a > 0 ? phiOf(a) : 0.90;
    r.xOverD = r.x / d;
    r.As = 0.85 * m.fc * b * a / m.fy;
    r.compressionSteelAdvised = r.x > 0 && 0.003 * (d - r.x) / r.x < 0.004; // 9.3.3.1
    return r;
}

Checked<double> columnMinimumArea(const Materials& m, double NEd, double Ac) {
    if (const auto why = materialsProblem(m); !why.empty())
        return Checked<double>::fail(why);
    if (!std::isfinite(NEd) || NEd < 0)
        return Checked<double>::fail("axil no válido: N_Ed ha de ser un número finito no negativo");
    if (!std::isfinite(Ac) || !(Ac > 0))
        return Checked<double>::fail("área de la sección no válida: ha de ser positiva");
    if (m.code == Code::ACI)
        return Checked<double>{0.01 * Ac, {}};
    const double fyd = m.fy / m.gammaS;
    return Checked<double>{std::max(0.10 * NEd / kN / fyd, 0.002 * Ac), {}};
}

} // namespace tresol::strength

#include "strength/Engine.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tresol::strength::detail {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Gauss–Legendre on [−1, 1]: three points integrate the parabola (n = 2) times the chord's
// polynomials (degree ≤ 4) exactly; six points serve the fractional exponents above C50/60.
constexpr double kG3x[] = {-0.7745966692414834, 0.0, 0.7745966692414834};
constexpr double kG3w[] = {0.5555555555555556, 0.8888888888888888, 0.5555555555555556};
constexpr double kG6x[] = {-0.9324695142031521, -0.6612093864662645, -0.2386191860831969,
                           0.2386191860831969,  0.6612093864662645,  0.9324695142031521};
constexpr double kG6w[] = {0.1713244923791704, 0.3607615730481386, 0.4679139345726910,
                           0.4679139345726910, 0.3607615730481386, 0.1713244923791704};

} // namespace

Engine::Engine(const Section& s) : sec_(&s), k_(s.constants()) {
    const std::size_t n = s.outline().size();
    vt_.reserve(n);
    vs_.reserve(n);
    levels_.reserve(n);
    order_.reserve(n);
    levelOf_.reserve(n);
    slabs_.reserve(n);
    // A bar's area and half the side of the square of that area do not turn with the section.
    bars_.reserve(s.bars().size());
    for (const Bar& b : s.bars())
        bars_.push_back({0, 0, b.area, std::sqrt(b.area) / 2});
    build(0);
}

void Engine::direction(double theta) {
    if (theta != theta_)
        build(theta);
}

void Engine::build(double theta) {
    theta_ = theta;
    c_ = std::cos(theta);
    s_ = std::sin(theta);
    const Point g = sec_->centroid();
    const auto& pts = sec_->outline();
    const int n = static_cast<int>(pts.size());
    vt_.resize(n);
    vs_.resize(n);
    order_.resize(n);
    levelOf_.resize(n);
    for (int i = 0; i < n; ++i) {
        const double y = pts[i].y - g.y, z = pts[i].z - g.z;
        vt_[i] = c_ * y + s_ * z;
        vs_[i] = -s_ * y + c_ * z;
        order_[i] = i;
    }
    std::sort(order_.begin(), order_.end(), [&](int a, int b) { return vt_[a] < vt_[b]; });
    tMin_ = vt_[order_.front()];
    tMax_ = vt_[order_.back()];
    // Levels a hair apart (a side almost square to d) are one: no sliver slab of huge slope.
    const double tol = 1e-10 * (tMax_ - tMin_);
    levels_.clear();
    for (int i : order_) {
        if (levels_.empty() || vt_[i] - levels_.back() > tol)
            levels_.push_back(vt_[i]);
        levelOf_[i] = static_cast<int>(levels_.size()) - 1;
    }
    slabs_.assign(levels_.size() - 1, Slab{});
    for (std::size_t k = 0; k + 1 < levels_.size(); ++k) {
        slabs_[k].a = levels_[k];
        slabs_[k].b = levels_[k + 1];
    }
    // Counter-clockwise in (t, s) as in (y, z): an edge running towards +t bounds the chord
    // from below (−s), one running towards −t from above (+s).
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        const int li = levelOf_[i], lj = levelOf_[j];
        if (li == lj)
            continue;
        const double m = (vs_[j] - vs_[i]) / (vt_[j] - vt_[i]);
        const double p = vs_[i] - m * vt_[i];
        const double sign = lj > li ? -1.0 : 1.0;
        for (int k = std::min(li, lj); k < std::max(li, lj); ++k) {
            Slab& sl = slabs_[k];
            sl.w0 += sign * p;
            sl.w1 += sign * m;
            sl.s0 += sign * p * p / 2;
            sl.s1 += sign * p * m;
            sl.s2 += sign * m * m / 2;
        }
    }
    const auto& bars = sec_->bars();
    tBarMin_ = kInf;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const double y = bars[i].y - g.y, z = bars[i].z - g.z;
        bars_[i].t = c_ * y + s_ * z;
        bars_[i].s = -s_ * y + c_ * z;
        tBarMin_ = std::min(tBarMin_, bars_[i].t);
    }
    if (bars.empty())
        tBarMin_ = tMin_;
    // EN 6.1(6): the whole-section pivot at (1 − εc2/εcu2)·h from the extreme fibre; ACI keeps
    // εcu at the extreme fibre.
    tPivot_ = tMax_ - (1 - k_.epsC / k_.epsCu) * (tMax_ - tMin_);
}

Strain Engine::strainAt(double p) const {
    const double h = tMax_ - tMin_;
    if (!(p > 0))
        return {-1.0, 0.0}; // far beyond yield in tension: every bar at −fyd, no concrete
    if (p <= 1)
        return {k_.epsCu, k_.epsCu / (p * h)};
    if (p >= 2)
        return {k_.epsC, 0.0};
    const double eb = (p - 1) * k_.epsC; // strain of the fibre opposite the extreme one
    if (k_.code == Code::ACI)
        return {k_.epsCu, (k_.epsCu - eb) / h};
    const double kappa = (k_.epsC - eb) / (tPivot_ - tMin_);
    return {k_.epsC + kappa * (tMax_ - tPivot_), kappa};
}

double Engine::pForDepth(double x) const {
    const double h = tMax_ - tMin_;
    if (!(x > 0))
        return 0;
    if (x <= h)
        return x / h;
    if (!std::isfinite(x))
        return 2;
    if (k_.code == Code::ACI) {
        const double kappa = k_.epsCu / x;
        return 1 + (k_.epsCu - kappa * h) / k_.epsC;
    }
    const double kappa = k_.epsC / (x - (tMax_ - tPivot_));
    return 1 + (k_.epsC - kappa * (tPivot_ - tMin_)) / k_.epsC;
}

double Engine::depth(const Strain& e) {
    if (e.kappa > 0)
        return e.top / e.kappa;
    return e.top > 0 ? kInf : 0.0;
}

void Engine::addConstant(const Slab& sl, double u, double v, double sigma, Forces& f) {
    const double d1 = v - u, d2 = (v * v - u * u) / 2, d3 = (v * v * v - u * u * u) / 3;
    f.N += sigma * (sl.w0 * d1 + sl.w1 * d2);
    f.Mt += sigma * (sl.w0 * d2 + sl.w1 * d3);
    f.Ms += sigma * (sl.s0 * d1 + sl.s1 * d2 + sl.s2 * d3);
}

void Engine::concreteParabola(const Strain& e, Forces& f) const {
    // Below tz no stress (ε ≤ 0), between tz and tp the parabola, above tp the plateau fcd.
    double tz = -kInf, tp = -kInf;
    if (e.kappa > 0) {
        tz = tMax_ - e.top / e.kappa;
        tp = tMax_ - (e.top - k_.epsC) / e.kappa;
    } else if (e.top <= 0) {
        return;
    } else if (e.top < k_.epsC) {
        tz = -kInf;
        tp = kInf;
    }
    const double fcd = k_.fcd, ec = k_.epsC, n = k_.n;
    const bool square = n == 2;
    const double* gx = square ? kG3x : kG6x;
    const double* gw = square ? kG3w : kG6w;
    const int ng = square ? 3 : 6;
    for (const Slab& sl : slabs_) {
        if (sl.b <= tz)
            continue;
        const double u = std::max(sl.a, tz), v = std::min(sl.b, tp);
        if (v > u) {
            const double mid = (u + v) / 2, half = (v - u) / 2;
            for (int g = 0; g < ng; ++g) {
                const double t = mid + half * gx[g];
                const double r = 1 - (e.top - e.kappa * (tMax_ - t)) / ec;
                const double sig = fcd * (1 - (square ? r * r : std::pow(std::max(r, 0.0), n)));
                const double w = half * gw[g] * sig;
                const double width = sl.w0 + sl.w1 * t;
                f.N += w * width;
                f.Mt += w * width * t;
                f.Ms += w * (sl.s0 + t * (sl.s1 + t * sl.s2));
            }
        }
        const double u2 = std::max(sl.a, tp);
        if (sl.b > u2)
            addConstant(sl, u2, sl.b, fcd, f);
    }
}

void Engine::concreteBlock(double tb, Forces& f) const {
    for (const Slab& sl : slabs_) {
        if (sl.b <= tb)
            continue;
        addConstant(sl, std::max(sl.a, tb), sl.b, k_.blockStress, f);
    }
}

Forces Engine::forces(const Strain& e) const {
    Forces f;
    double tb = kInf; // the block's lower edge
    if (k_.block) {
        if (e.kappa > 0)
            tb = tMax_ - k_.blockDepth * e.top / e.kappa;
        else if (e.top > 0)
            tb = -kInf;
        concreteBlock(tb, f);
    } else {
        concreteParabola(e, f);
    }
    const double Es = k_.Es, fyd = k_.fyd, fcd = k_.fcd, ec = k_.epsC, n = k_.n;
    for (const BarAt& b : bars_) {
        const double eps = e.top - e.kappa * (tMax_ - b.t);
        double sig = std::clamp(Es * eps, -fyd, fyd);
        // The concrete the bar displaces carries no stress: its share is taken off the bar.
        if (k_.block) {
            // The share of the bar (as a square of its area) inside the block, so that N does
            // not jump as the block's edge passes a bar.
            const double half = b.half;
            if (b.t + half > tb)
                sig -= k_.blockStress * std::min(1.0, (b.t + half - tb) / (2 * half));
        } else if (eps > 0) {
            const double r = 1 - std::min(eps / ec, 1.0);
            sig -= fcd * (1 - (n == 2 ? r * r : std::pow(r, n)));
        }
        const double F = b.a * sig;
        f.N += F;
        f.Mt += F * b.t;
        f.Ms += F * b.s;
    }
    return f;
}

} // namespace tresol::strength::detail

// The section-strength engine against a plain strain-compatibility fibre loop (100 × 100 fibres,
// the same bars, the same strain states) measured in the same run: a whole interaction curve of a
// 40 × 40 column with 12 bars, and the utilisation check of a two-layer beam. (Results are kept
// alive through DoNotOptimize on structs: on a lone double, benchmark 1.7's "+m,r" constraint
// lets GCC 12 hand back a clobbered value.)
#include "strength/Strength.h"
#include "strength/Engine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using namespace tresol::strength;

namespace {

constexpr double kPi = std::numbers::pi;

double area(double d) {
    return kPi * d * d / 4;
}

// 40 × 40, 12 Ø16 (four a side), centres 3.8 cm from the faces; C25/30, B500.
Section column() {
    std::vector<Bar> bars;
    const double e = 0.038, step = (0.40 - 2 * e) / 3;
    for (int i = 0; i < 4; ++i) {
        bars.push_back({e + step * i, e, area(0.016)});
        bars.push_back({e + step * i, 0.40 - e, area(0.016)});
    }
    for (int i = 1; i < 3; ++i) {
        bars.push_back({e, e + step * i, area(0.016)});
        bars.push_back({0.40 - e, e + step * i, area(0.016)});
    }
    return *Section::make(rectangle(0.40, 0.40), bars, Materials::en(25));
}

// 30 × 50, 5 Ø16 at 3.8 cm and 2 Ø16 at 7.8 cm from the bottom; C25/30, B500.
Section beam() {
    std::vector<Bar> bars;
    for (int i = 0; i < 5; ++i)
        bars.push_back({0.038 + 0.056 * i, 0.038, area(0.016)});
    bars.push_back({0.038, 0.078, area(0.016)});
    bars.push_back({0.262, 0.078, area(0.016)});
    return *Section::make(rectangle(0.30, 0.50), bars, Materials::en(25));
}

// The baseline: the outline's bounding box cut into n × n fibres (those inside kept), the
// parabola-rectangle at each fibre's centre, the bars as points with the displaced concrete
// deducted — the textbook loop.
struct Fibres {
    std::vector<double> y, z, a;
    const Section* s;
    DesignConstants k;

    Fibres(const Section& sec, int n) : s(&sec), k(sec.constants()) {
        double ylo = 1e9, yhi = -1e9, zlo = 1e9, zhi = -1e9;
        for (const Point& p : sec.outline()) {
            ylo = std::min(ylo, p.y);
            yhi = std::max(yhi, p.y);
            zlo = std::min(zlo, p.z);
            zhi = std::max(zhi, p.z);
        }
        const double dy = (yhi - ylo) / n, dz = (zhi - zlo) / n;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                y.push_back(ylo + (i + 0.5) * dy - sec.centroid().y);
                z.push_back(zlo + (j + 0.5) * dz - sec.centroid().z);
                a.push_back(dy * dz);
            }
    }

    double sigmaC(double eps) const {
        if (eps <= 0)
            return 0;
        const double r = 1 - std::min(eps / k.epsC, 1.0);
        return k.fcd * (1 - r * r);
    }

    // N (MN) and the moment along θ (MN·m) of the state ε(t) = top − κ (tMax − t).
    std::pair<double, double> forces(double theta, double top, double kappa) const {
        const double c = std::cos(theta), sn = std::sin(theta);
        double tMax = -1e9;
        for (const Point& p : s->outline())
            tMax = std::max(tMax, c * (p.y - s->centroid().y) + sn * (p.z - s->centroid().z));
        double N = 0, M = 0;
        for (std::size_t i = 0; i < y.size(); ++i) {
            const double t = c * y[i] + sn * z[i];
            const double F = sigmaC(top - kappa * (tMax - t)) * a[i];
            N += F;
            M += F * t;
        }
        for (const Bar& b : s->bars()) {
            const double t = c * (b.y - s->centroid().y) + sn * (b.z - s->centroid().z);
            const double eps = top - kappa * (tMax - t);
            const double F = b.area * (std::clamp(k.Es * eps, -k.fyd, k.fyd) - sigmaC(eps));
            N += F;
            M += F * t;
        }
        return {N, M};
    }
};

void Curve_Engine(benchmark::State& state, double angle) {
    const Section s = column();
    std::size_t points = 0;
    for (auto _ : state) {
        const Curve c = interactionCurve(s, angle);
        points = c.points.size();
        benchmark::DoNotOptimize(c.points.data());
    }
    state.counters["points"] = static_cast<double>(points);
}

// The same number of states as the engine's curve, each by the fibre loop.
void Curve_Fibres(benchmark::State& state) {
    const Section s = column();
    const Fibres f(s, 100);
    const Curve ref = interactionCurve(s, 0);
    detail::Engine eng(s);
    std::vector<detail::Strain> states;
    for (const StatePoint& p : ref.points)
        states.push_back(eng.strainAt(p.p));
    for (auto _ : state) {
        std::pair<double, double> sum{0, 0};
        for (const detail::Strain& e : states) {
            const auto [N, M] = f.forces(0, e.top, e.kappa);
            sum.first += N;
            sum.second += M;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["points"] = static_cast<double>(states.size());
}

void Check_Engine(benchmark::State& state, Action a, bool e0) {
    const Section s = beam();
    CheckOptions o;
    o.minimumEccentricity = e0;
    double ratio = 0;
    for (auto _ : state) {
        const Utilisation u = utilisation(s, a, o);
        benchmark::DoNotOptimize(u);
        ratio = u.ratio;
    }
    state.counters["ratio"] = ratio;
}

// A uniaxial check by fibres: bisection on the neutral-axis depth until N = N_Ed (to 1e-6 of h),
// then M_Ed/M_Rd — the plain loop with no cleverness.
void Check_Fibres(benchmark::State& state, Action a) {
    const Section s = beam();
    const Fibres f(s, 100);
    detail::Engine eng(s);
    eng.direction(kPi / 2);
    const double n = a.N / 1000;
    double ratio = 0;
    for (auto _ : state) {
        double lo = 0, hi = 2;
        for (int i = 0; i < 21; ++i) {
            const double mid = (lo + hi) / 2;
            const detail::Strain e = eng.strainAt(mid);
            (f.forces(kPi / 2, e.top, e.kappa).first < n ? lo : hi) = mid;
        }
        const detail::Strain e = eng.strainAt((lo + hi) / 2);
        const auto r = f.forces(kPi / 2, e.top, e.kappa);
        benchmark::DoNotOptimize(r);
        ratio = a.My / 1000 / r.second;
    }
    state.counters["ratio"] = ratio;
}

} // namespace

BENCHMARK_CAPTURE(Curve_Engine, column_uniaxial, 0.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Curve_Engine, column_biaxial_30deg, kPi / 6)->Unit(benchmark::kMicrosecond);
BENCHMARK(Curve_Fibres)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Check_Engine, beam_uniaxial, Action{0, 180, 0}, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Check_Engine, beam_biaxial, Action{200, 150, 20}, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Check_Engine, beam_biaxial_e0, Action{200, 150, 20}, true)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Check_Fibres, beam_uniaxial, Action{0, 180, 0})->Unit(benchmark::kMicrosecond);

// CSeccG::asigna_coor on regular polygons, with a plain double shoelace area loop over the same
// points as the baseline: the price of the strip integration (two strips per side, all the
// properties, the copy of the contour and its extremes) against the bare area formula.
#include "platform/Messages.h"
#include "sections/CSeccG.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace tresol;

namespace {

// A closed regular polygon of n vertices (n + 1 rows) off the origin.
PointArray regularPolygon(std::int32_t n) {
    PointArray p = makePointArray(n + 1);
    for (std::int32_t i = 1; i <= n; ++i) {
        const double a = 2 * M_PI * (i - 1) / n;
        p(i, 1) = static_cast<float>(0.3 + 0.5 * std::cos(a));
        p(i, 2) = static_cast<float>(-0.2 + 0.5 * std::sin(a));
    }
    p(n + 1, 1) = p(1, 1);
    p(n + 1, 2) = p(1, 2);
    return p;
}

void AsignaCoor(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const PointArray p = regularPolygon(n);
    for (auto _ : state) {
        CSeccG s;
        benchmark::DoNotOptimize(s.asigna_coor(n + 1, p));
        benchmark::DoNotOptimize(s.Izg());
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetLabel("vertices/s");
}

void ShoelaceBaseline(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const PointArray p = regularPolygon(n);
    const float* v = p.data();
    for (auto _ : state) {
        double twice = 0;
        for (std::int32_t i = 0; i < n; ++i)
            twice += double{v[2 * i]} * v[2 * i + 3] - double{v[2 * i + 2]} * v[2 * i + 1];
        benchmark::DoNotOptimize(twice / 2);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetLabel("vertices/s");
}

} // namespace

BENCHMARK(AsignaCoor)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ShoelaceBaseline)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// One arrangement search over each bar series, with a bare loop doing the arithmetic of the
// search (count, shortfall, multiple, spacing) over the same diameters as the baseline.
#include "platform/MemoryGrid.h"
#include "reinforcement/CArmador.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace tresol;

namespace {

std::shared_ptr<Cdiametro> catalogue(const char* series) {
    auto c = std::make_shared<Cdiametro>();
    c->Ini(series, "m");
    return c;
}

void Search(benchmark::State& state, const char* series) {
    const auto cat = catalogue(series);
    for (auto _ : state) {
        CArmador arm;
        float lado = 0.30f, recub = 0.03f;
        arm.Ini(0.001f, cat, lado, false, 0.05f, 0.3f, 1, 1000, recub, 1);
        benchmark::DoNotOptimize(arm.GetNumRedondos());
    }
}

void SearchAndTable(benchmark::State& state, const char* series) {
    const auto cat = catalogue(series);
    platform::MemoryGrid grid;
    for (auto _ : state) {
        CArmador arm;
        float lado = 0.30f, recub = 0.03f;
        arm.Ini(0.001f, cat, lado, false, 0.05f, 0.3f, 1, 1000, recub, 1);
        arm.PasaRedondosGrid(grid);
        benchmark::DoNotOptimize(grid.Rows());
    }
}

void BareLoopBaseline(benchmark::State& state, const char* series) {
    const auto cat = catalogue(series);
    std::vector<double> d;
    for (int i = cat->GetIndiMin(); i <= cat->GetIndiMax(); ++i)
        d.push_back(cat->GetDiametroMetros(i));
    for (auto _ : state) {
        int found = 0;
        for (double di : d) {
            const double a = 3.14159265359 * di * di / 4;
            double n = std::nearbyint(0.001 / a);
            if (a * n - 0.001 < -0.00001)
                n += 1;
            const double s = n <= 1 ? 0.12 : (0.24 - di) / (n - 1);
            found += (a * n - 0.001 < 0.0008 && s >= di && s >= 0.05 && s <= 0.3) ? 1 : 0;
        }
        benchmark::DoNotOptimize(found);
    }
}

} // namespace

BENCHMARK_CAPTURE(BareLoopBaseline, Euro, "Euro");
BENCHMARK_CAPTURE(Search, Euro, "Euro");
BENCHMARK_CAPTURE(SearchAndTable, Euro, "Euro");
BENCHMARK_CAPTURE(BareLoopBaseline, Mex, "Mex");
BENCHMARK_CAPTURE(Search, Mex, "Mex");
BENCHMARK_CAPTURE(SearchAndTable, Mex, "Mex");

// The code-checked search per member, beside the described search (CArmador::Ini) on the same
// member as the baseline, and a mixed run of many members for the rate a batch can reach.
#include "reinforcement/CArmador.h"
#include "reinforcement/CodeSearch.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace tresol;

namespace {

std::shared_ptr<Cdiametro> catalogue(const char* series) {
    auto c = std::make_shared<Cdiametro>();
    c->Ini(series, "m");
    return c;
}

code::Member beam() {
    code::Member m;
    m.areaCm2 = 10;
    m.coverCm = 3;
    m.widthCm = 30;
    m.heightCm = 50;
    return m;
}

code::Member column(std::int32_t sides) {
    code::Member m;
    m.column = true;
    m.areaCm2 = 16;
    m.coverCm = 3;
    m.widthCm = sides == 4 ? 40 : 30;
    m.heightCm = sides == 4 ? 40 : 0;
    m.sides = sides;
    return m;
}

void CodeSearch(benchmark::State& state, code::Member m, code::Code c, std::int32_t top) {
    const auto cat = catalogue("Euro");
    code::Options o;
    o.code = c;
    o.top = top;
    std::size_t rows = 0;
    for (auto _ : state) {
        auto r = code::search(m, *cat, o);
        rows = r.arrangements.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// The described search of the design window on the same member: 0.05…0.3 m spacing, 1…1000 bars.
void Described(benchmark::State& state, code::Member m) {
    const auto cat = catalogue("Euro");
    const double multiple = m.column ? m.sides : 1;
    for (auto _ : state) {
        CArmador arm;
        float lado = static_cast<float>(m.widthCm / 100),
              recub = static_cast<float>(m.coverCm / 100);
        arm.Ini(static_cast<float>(m.areaCm2 / 1e4), cat, lado, false, 0.05f, 0.3f, 1, 1000, recub,
                multiple);
        benchmark::DoNotOptimize(arm.GetNumRedondos());
    }
}

void PlaceLine(benchmark::State& state) {
    const auto cat = catalogue("Euro");
    const code::Options o;
    const auto m = beam();
    for (auto _ : state) {
        std::string error;
        auto bars = code::placeLine("2 fi 20 + 2 fi 16", m, *cat, o, error);
        benchmark::DoNotOptimize(bars);
    }
}

// A schedule of varied members (beams and columns, both codes, areas from 2 to 40 cm²), the
// preferred row and the default ten: items/s is members per second on one core.
void MixedSchedule(benchmark::State& state) {
    const auto cat = catalogue("Euro");
    std::vector<std::pair<code::Member, code::Options>> members;
    for (int i = 0; i < 200; ++i) {
        code::Member m = i % 4 == 3 ? column(4 + 2 * (i % 3)) : beam();
        m.areaCm2 = 2 + (i * 37 % 380) / 10.0;
        m.widthCm = m.column ? m.widthCm : 25 + 5 * (i % 6);
        m.heightCm = m.column ? m.heightCm : 40 + 10 * (i % 4);
        code::Options o;
        o.code = i % 2 ? code::Code::ACI : code::Code::EC2;
        members.emplace_back(m, o);
    }
    for (auto _ : state)
        for (const auto& [m, o] : members) {
            auto r = code::search(m, *cat, o);
            benchmark::DoNotOptimize(r);
        }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(members.size()));
}

} // namespace

BENCHMARK_CAPTURE(Described, Beam30x50, beam());
BENCHMARK_CAPTURE(CodeSearch, Beam30x50_EC2, beam(), code::Code::EC2, 10);
BENCHMARK_CAPTURE(CodeSearch, Beam30x50_ACI, beam(), code::Code::ACI, 10);
BENCHMARK_CAPTURE(CodeSearch, Beam30x50_EC2_all, beam(), code::Code::EC2, 0);
BENCHMARK_CAPTURE(Described, Column40Square, column(4));
BENCHMARK_CAPTURE(CodeSearch, Column40Square_EC2, column(4), code::Code::EC2, 10);
BENCHMARK_CAPTURE(CodeSearch, Column40Square_ACI, column(4), code::Code::ACI, 10);
BENCHMARK_CAPTURE(Described, ColumnHexagon, column(6));
BENCHMARK_CAPTURE(CodeSearch, ColumnHexagon_EC2, column(6), code::Code::EC2, 10);
BENCHMARK_CAPTURE(CodeSearch, ColumnHexagon_ACI, column(6), code::Code::ACI, 10);
BENCHMARK(PlaceLine);
BENCHMARK(MixedSchedule);

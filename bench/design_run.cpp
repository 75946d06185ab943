// One whole design run as the design window makes it (search, table, outline, bars of the first
// candidate, fit and drawing into a recorded canvas), for a beam and for a 10-sided column, with
// the arrangement search alone as the baseline. Beside it, the window's run through the design
// front door, which also places every candidate on a scratch section to mark the ones whose bars
// do not all fit, against the naive way of finding that out: one whole run per candidate. Last,
// the costliest members the window can make, which must stay within a few milliseconds.
#include "design/Design.h"
#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"
#include "geometry/MemberOutline.h"
#include "platform/MemoryGrid.h"
#include "reinforcement/CArmador.h"
#include "sections/CSeccEstruc.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace tresol;

namespace {

struct Member {
    bool column;
    float area, ancho, alto, recub;
    int multiplo;
};

constexpr Member kBeam{false, 0.001f, 0.30f, 0.50f, 0.03f, 1};
constexpr Member kColumn10{true, 0.003f, 0.40f, 0.40f, 0.03f, 10};
// The costliest members the window can make: 10 m sides, the largest multiple, and the area
// that lists up to a thousand bars of the smallest size in a line.
constexpr Member kWorstBeam{false, 0.02825f, 10.0f, 10.0f, 0.03f, 10};
constexpr Member kWorstColumn10{true, 0.0280f, 10.0f, 10.0f, 0.03f, 10};

std::shared_ptr<Cdiametro> euro() {
    auto c = std::make_shared<Cdiametro>();
    c->Ini("Euro", "m");
    return c;
}

PointArray outline(const Member& m) {
    return memberOutlinePoints(m.column ? m.multiplo : 4, m.ancho, m.alto);
}

void SearchOnly(benchmark::State& state, Member m) {
    const auto cat = euro();
    platform::MemoryGrid grid;
    for (auto _ : state) {
        CArmador arm;
        float lado = m.ancho, recub = m.recub;
        arm.Ini(m.area, cat, lado, false, 0.05f, 0.3f, 1, 1000, recub, m.multiplo);
        arm.PasaRedondosGrid(grid);
        benchmark::DoNotOptimize(grid.Rows());
    }
}

// A whole run drawing the bars of table row `row` (the first when there is no such row).
void wholeRun(const Member& m, const std::shared_ptr<Cdiametro>& cat, platform::MemoryGrid& grid,
              Canvas& canvas, int row) {
    CCuadroDibujo cuadro;
    cuadro.IniciaAPelo(canvas);
    CArmador arm;
    float lado = m.ancho, recub = m.recub;
    arm.Ini(m.area, cat, lado, false, 0.05f, 0.3f, 1, 1000, recub, m.multiplo);
    arm.PasaRedondosGrid(grid);
    CSeccEstruc secc;
    secc.IniPorPuntos(3, 0, outline(m), cat, Value{0.0f}, false);
    if (row >= grid.Rows())
        row = 1;
    const std::string linea = grid.Rows() > 1 ? grid.TextMatrix(row, 0) : std::string();
    if (!linea.empty()) {
        if (m.column)
            secc.AnyadeRefuerzoContorno(linea, recub);
        else
            secc.AnyadeRefuerzoLineaCentrada(linea, recub, 0);
    }
    secc.DibujaSeccion(cuadro, &secc, nullptr, 2, 1.2f, std::int16_t{0});
}

void WholeRun(benchmark::State& state, Member m) {
    const auto cat = euro();
    platform::MemoryGrid grid;
    Canvas canvas(177, 217);
    for (auto _ : state) {
        wholeRun(m, cat, grid, canvas, 1);
        benchmark::DoNotOptimize(canvas.items().size());
    }
}

design::Member frontDoorMember(const Member& m) {
    design::Member d;
    d.kind = m.column ? design::MemberKind::Column : design::MemberKind::Beam;
    d.areaCm2 = static_cast<double>(m.area) * 10000.0;
    d.widthCm = static_cast<double>(m.ancho) * 100.0;
    d.heightCm = static_cast<double>(m.alto) * 100.0;
    d.coverCm = static_cast<double>(m.recub) * 100.0;
    d.multiple = m.multiplo;
    return d;
}

// The window's run through the front door: search, table, every candidate placed and checked,
// the first row placed and drawn. Without the check when `checked` is false.
void FrontDoorRun(benchmark::State& state, Member m, bool checked) {
    const auto cat = euro();
    const design::Member member = frontDoorMember(m);
    platform::MemoryGrid grid;
    Canvas canvas(177, 217);
    std::size_t candidates = 0;
    for (auto _ : state) {
        const design::DesignResult r = design::design(member, cat, {checked});
        r.writeGrid(grid);
        design::DesignResult::draw(r.place(1), canvas);
        candidates = r.candidates().size();
        benchmark::DoNotOptimize(canvas.items().size());
    }
    state.counters["candidates"] = static_cast<double>(candidates);
}

// Knowing the same the naive way: a whole run for every candidate of the table.
void WholeRunPerCandidate(benchmark::State& state, Member m) {
    const auto cat = euro();
    platform::MemoryGrid grid;
    Canvas canvas(177, 217);
    wholeRun(m, cat, grid, canvas, 1);
    const int candidates = grid.Rows() - 1;
    for (auto _ : state) {
        for (int row = 1; row <= std::max(candidates, 1); ++row)
            wholeRun(m, cat, grid, canvas, row);
        benchmark::DoNotOptimize(canvas.items().size());
    }
    state.counters["candidates"] = candidates;
}

} // namespace

BENCHMARK_CAPTURE(SearchOnly, beam, kBeam)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WholeRun, beam, kBeam)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SearchOnly, column10, kColumn10)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WholeRun, column10, kColumn10)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FrontDoorRun, beam_unchecked, kBeam, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FrontDoorRun, beam_checked, kBeam, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WholeRunPerCandidate, beam, kBeam)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FrontDoorRun, column10_unchecked, kColumn10, false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FrontDoorRun, column10_checked, kColumn10, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WholeRunPerCandidate, column10, kColumn10)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FrontDoorRun, worst_beam_checked, kWorstBeam, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FrontDoorRun, worst_column10_checked, kWorstColumn10, true)
    ->Unit(benchmark::kMillisecond);

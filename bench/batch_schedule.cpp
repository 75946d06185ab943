// A schedule of 10⁵ generated members without drawings — read from CSV, designed, written as a
// CSV or JSON schedule into /dev/null — against the bare design run of the same members. The
// counters give members per second; the schedule's overhead is the ratio of the two times. The
// same schedule with the EN 1992-1-1 code search (tresol-batch --search ec2) runs beside them.
#include "batch/AtomicFile.h"
#include "batch/MemberReader.h"
#include "batch/Schedule.h"
#include "batch/SteelTotals.h"
#include "design/Run.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tresol;

namespace {

constexpr int kMembers = 100000;

// Beams and columns of both series, areas and sizes varied as a frame's members are.
// The same members, with design actions (a beam's moment, a column's axial load and moments) when
// `actions`, their areas then left to them.
std::string makeMembersCsv(bool actions) {
    {
        std::string t = "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,length_m";
        t += actions ? ",n_ed_kn,my_ed_knm,mz_ed_knm\n" : "\n";
        unsigned x = 12345;
        auto next = [&x](unsigned n) {
            x = x * 1103515245u + 12345u;
            return (x >> 16) % n;
        };
        for (int i = 0; i < kMembers; ++i) {
            const char* series = next(2) ? "Euro" : "Mex";
            // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "V" + temporary.
            const bool beam = i % 2;
            t += beam ? 'V' : 'P';
            t += std::to_string(i);
            t += beam ? ",viga," : ",pilar,";
            t += series;
            t += ',';
            const std::string area =
                std::to_string((beam ? 3 : 10) + next(beam ? 2700 : 5000) / 100.0);
            if (beam)
                t += (actions ? std::string() : area) + ",3," + std::to_string(25 + 5 * next(4)) +
                     "," + std::to_string(40 + 10 * next(3)) + "," +
                     (actions ? std::string("1") : std::to_string(1 + next(3))) + ",6";
            else
                t += (actions ? std::string() : area) + ",3," + std::to_string(30 + 10 * next(3)) +
                     ",," + std::to_string(4 + next(7)) + ",3";
            if (actions && beam) {
                t += ",,";
                t += std::to_string(40 + next(200));
                t += ",\n";
            } else if (actions) {
                for (const unsigned v : {200 + next(2000), next(150), next(80)}) {
                    t += ',';
                    t += std::to_string(v);
                }
                t += '\n';
            } else {
                t += '\n';
            }
        }
        return t;
    }
}

const std::string& membersCsv() {
    static const std::string text = makeMembersCsv(false);
    return text;
}

std::vector<design::Member> members() {
    std::vector<design::Member> out;
    std::istringstream in(membersCsv());
    batch::readCsvMembers(in, [&](batch::InputRow&& row) { out.push_back(*row.member); });
    return out;
}

void BareDesignRun(benchmark::State& state) {
    const auto list = members();
    const auto euro = design::standardCatalogue("Euro"), mex = design::standardCatalogue("Mex");
    for (auto _ : state)
        for (const auto& m : list)
            benchmark::DoNotOptimize(design::design(m, m.series == "Euro" ? euro : mex));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(list.size()));
}

// As the program runs: read, design (by the one run, under `search`), schedule, totals.
void WriteSchedule(benchmark::State& state, batch::OutputFormat format,
                   const design::Search& search, const std::string& csv = membersCsv()) {
    const int sink = ::open("/dev/null", O_WRONLY);
    design::Catalogues catalogues;
    std::int64_t designed = 0;
    for (auto _ : state) {
        std::istringstream in(csv);
        batch::BufferedWriter out(sink, "/dev/null");
        const auto writer = batch::makeScheduleWriter(format, out);
        writer->codeColumns(search.kind != design::SearchKind::Described);
        writer->strengthColumns(&csv != &membersCsv());
        batch::SteelTotals totals;
        batch::readCsvMembers(in, [&](batch::InputRow&& row) {
            const auto& m = *row.member;
            const auto result = design::run(m, search, catalogues.get(m.series, search.kind));
            writer->member(row.number, result);
            totals.add(result);
            ++designed;
        });
        writer->finish();
        out.flush();
    }
    ::close(sink);
    state.SetItemsProcessed(designed);
}

void Schedule(benchmark::State& state, batch::OutputFormat format) {
    WriteSchedule(state, format, {});
}

void BareCodeDesign(benchmark::State& state) {
    const auto list = members();
    const auto euro = design::codeCatalogue("Euro"), mex = design::codeCatalogue("Mex");
    const code::Options o;
    for (auto _ : state)
        for (const auto& m : list)
            benchmark::DoNotOptimize(design::designCode(m, o, m.series == "Euro" ? euro : mex));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(list.size()));
}

// As the program runs with --search ec2.
void CodeSchedule(benchmark::State& state, batch::OutputFormat format) {
    WriteSchedule(state, format, {design::SearchKind::EC2, {}});
}

// As the program runs with --search ec2 on members with actions: every row checked for strength,
// the areas of most found from the actions.
void StrengthSchedule(benchmark::State& state) {
    static const std::string csv = makeMembersCsv(true);
    WriteSchedule(state, batch::OutputFormat::Csv, {design::SearchKind::EC2, {}}, csv);
}

} // namespace

BENCHMARK(BareDesignRun)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(Schedule, csv, batch::OutputFormat::Csv)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(Schedule, json, batch::OutputFormat::Json)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BareCodeDesign)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(CodeSchedule, csv, batch::OutputFormat::Csv)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK_CAPTURE(CodeSchedule, json, batch::OutputFormat::Json)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(StrengthSchedule)->Unit(benchmark::kMillisecond)->Iterations(1);

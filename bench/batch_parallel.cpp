// tresol-batch's run over 10⁵ generated members (a mix of the described list and the EN 1992-1-1
// search, beams and columns of both series) into a CSV schedule, on 1, 2, … threads up to the
// cores present, in the same run: members per second, and the speed-up over one thread.
#include "batch/BatchRun.h"
#include "platform/WorkerPool.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

using namespace tresol;

namespace {

constexpr int kMembers = 100000;

// The members' file, removed when the program ends.
struct MembersFile {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("tresol-bench-parallel-" + std::to_string(::getpid()) + ".csv"))
                           .string();
    ~MembersFile() { std::remove(path.c_str()); }
};

const std::string& membersFile() {
    static const MembersFile file;
    static const bool written = [] {
        std::ofstream out(file.path, std::ios::binary);
        out << "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,length_m,search\n";
        unsigned x = 4242;
        auto next = [&x](unsigned n) {
            x = x * 1103515245u + 12345u;
            return (x >> 16) % n;
        };
        for (int i = 0; i < kMembers; ++i) {
            const bool beam = i % 2;
            // The code search arms one face of a beam.
            const bool code = next(4) == 0;
            out << (beam ? 'V' : 'P') << i << (beam ? ",viga," : ",pilar,")
                << (next(2) ? "Euro," : "Mex,");
            if (beam)
                out << 3 + next(2700) / 100.0 << ",3," << 25 + 5 * next(4) << ","
                    << 40 + 10 * next(3) << "," << (code ? 1 : 1 + next(3)) << ",6,";
            else
                out << 10 + next(5000) / 100.0 << ",3," << 30 + 10 * next(3) << ",," << 4 + next(7)
                    << ",3,";
            out << (code ? "ec2" : "described") << '\n';
        }
        return true;
    }();
    (void)written;
    return file.path;
}

void Schedule(benchmark::State& state) {
    batch::BatchOptions options;
    options.input = membersFile();
    options.outputs = {"/dev/null"};
    options.quiet = true;
    options.jobs = static_cast<unsigned>(state.range(0));
    for (auto _ : state)
        if (batch::runBatch(options) != batch::kAllDesigned)
            state.SkipWithError("the run failed");
    state.SetItemsProcessed(state.iterations() * kMembers);
}

} // namespace

BENCHMARK(Schedule)
    ->DenseRange(1, static_cast<int>(platform::defaultThreadCount()))
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// Design runs on many threads at once, sharing the catalogues as a schedule does, must give what
// they give one at a time: rows, messages (the result's and any the core shows on the thread's
// own sink) and the recorded drawing of the chosen bars.
#include "design/Run.h"

#include "drawing/Canvas.h"
#include "drawing/CanvasSvg.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tresol::design {
namespace {

struct Case {
    Member member;
    Search search;
};

// Beams and columns of both series under the three searches, with sizes from roomy to too tight,
// covers too wide for the width, areas no section holds and polygons of many sides.
std::vector<Case> cases(int n) {
    std::vector<Case> out;
    unsigned x = 2024;
    auto next = [&x](unsigned k) {
        x = x * 1103515245u + 12345u;
        return (x >> 16) % k;
    };
    for (int i = 0; i < n; ++i) {
        Case c;
        Member& m = c.member;
        m.id = "M" + std::to_string(i);
        m.kind = next(2) ? MemberKind::Beam : MemberKind::Column;
        m.series = next(2) ? "Euro" : "Mex";
        m.areaCm2 = next(20) == 0 ? 500.0 + next(1000) : 0.5 + next(6000) / 100.0;
        m.widthCm = 15.0 + 5 * next(12);
        m.coverCm = next(5) == 0 ? m.widthCm / 2 + 1 : 2.0 + next(4);
        if (m.kind == MemberKind::Beam) {
            m.heightCm = 30.0 + 10 * next(7);
            m.multiple = 1 + next(3);
            m.face = static_cast<std::int32_t>(next(2));
        } else {
            m.heightCm = m.widthCm;
            m.multiple = 4 + 2 * next(4);
        }
        if (next(2))
            m.lengthM = 3 + next(5);
        c.search.kind = static_cast<SearchKind>(next(3));
        c.search.code.aggregateMm = 16 + 4 * next(5);
        out.push_back(std::move(c));
    }
    return out;
}

void put(std::ostringstream& s, const std::optional<double>& v) {
    if (v)
        s << *v;
    else
        s << '-';
    s << ' ';
}

// Everything a face reads of the run, as text to compare.
std::string designed(const Case& c, const std::shared_ptr<const Cdiametro>& catalogue) {
    platform::RecordingSink shown; // the thread's own sink
    const RunResult r = run(c.member, c.search, catalogue);
    std::ostringstream s;
    s.precision(17);
    for (const Row& row : r.rows()) {
        s << row.number << ' ' << row.line << ' ' << row.bars << ' ' << row.totalAreaCm2 << ' '
          << row.excessPct << ' ' << row.spacingCm << ' ' << row.clearSpacingCm << ' ' << row.placed
          << row.placeable << row.isShort << ' ';
        put(s, row.massKg);
        put(s, row.ratioPct);
        for (const auto& f : row.flags)
            s << f << ';';
        for (const BarCircle& b : row.placement)
            s << b.y << ',' << b.z << ',' << b.diameter << ' ';
        s << '\n';
    }
    for (const Message& m : r.scheduleMessages())
        s << "message " << static_cast<int>(m.icon) << ' ' << m.text << '\n';
    if (!r.refused()) {
        const auto chosen = r.chosen();
        const Placement p = r.place(chosen ? r.rows()[*chosen].number : 0);
        Canvas canvas(480, 480);
        DesignResult::draw(p, canvas);
        for (const Message& m : p.messages)
            s << "placed " << m.text << '\n';
        s << canvasSvg(canvas, 480, 480);
    }
    for (const auto& text : shown.texts())
        s << "shown " << text << '\n';
    return s.str();
}

TEST(ParallelRun, ManyThreadsGiveWhatOneGives) {
    const std::vector<Case> all = cases(3000);
    Catalogues catalogues;
    std::vector<std::shared_ptr<const Cdiametro>> catalogue;
    for (const Case& c : all)
        catalogue.push_back(catalogues.get(c.member.series, c.search.kind));

    std::vector<std::string> serial;
    for (std::size_t i = 0; i < all.size(); ++i)
        serial.push_back(designed(all[i], catalogue[i]));

    std::vector<std::string> parallel(all.size());
    std::atomic<std::size_t> nextCase{0};
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&] {
                for (std::size_t i; (i = nextCase.fetch_add(1)) < all.size();)
                    parallel[i] = designed(all[i], catalogue[i]);
            });
    }
    int differ = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (parallel[i] != serial[i] && ++differ <= 3)
            ADD_FAILURE() << all[i].member.id << "\none thread:\n"
                          << serial[i] << "\neight:\n"
                          << parallel[i];
    EXPECT_EQ(differ, 0);
}

} // namespace
} // namespace tresol::design

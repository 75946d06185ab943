// A schedule with actions: what the program writes is what the design run and the strength engine
// give, the chosen rule among rows that carry the actions, a member nothing carries, bad actions.
#include "BatchTestSupport.h"

#include "batch/MemberReader.h"
#include "design/MemberRow.h"
#include "design/Run.h"
#include "strength/Strength.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <string>
#include <vector>

namespace tresol::batch {
namespace {

using testing::batch;
using testing::BatchDir;
using testing::Outcome;
using testing::slurp;

const std::string kExample = std::string(TRESOL_EXAMPLES_DIR) + "/members-actions.csv";

// The members of the example as the core reads them, each with its row's own search and
// strengths.
struct Read {
    design::Member member;
    design::Search search;
};
std::vector<Read> exampleMembers() {
    std::vector<Read> out;
    std::ifstream in(kExample, std::ios::binary);
    readCsvMembers(in, [&](InputRow&& row) {
        out.push_back({*row.member, design::searchOf(row, {})});
    });
    return out;
}

TEST(ScheduleWithActions, WritesTheEnginesFiguresAndChoosesAmongRowsThatCarry) {
    BatchDir dir;
    const std::string out = dir.file("s.json");
    const Outcome r = batch(dir, {kExample, "-q", "-o", out});
    ASSERT_EQ(r.status, 0) << r.err; // a member nothing carries does not change it
    const auto schedule = nlohmann::json::parse(slurp(out));
    const auto members = exampleMembers();
    ASSERT_EQ(schedule.size(), members.size());
    int nothingCarries = 0;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const auto& m = schedule[i];
        const design::RunResult run = design::run(members[i].member, members[i].search);
        ASSERT_EQ(m["candidates"].size(), run.rows().size()) << m["id"];
        for (std::size_t k = 0; k < run.rows().size(); ++k) {
            const auto& c = m["candidates"][k];
            const design::Row& row = run.rows()[k];
            EXPECT_EQ(c["utilisation"].get<double>(), *row.utilisation) << m["id"];
            EXPECT_EQ(c["m_rd_knm"].get<double>(), *row.mRdKnm) << m["id"];
            // The engine itself, on the row's bars as placed, with the member's moments turned
            // into the section's frame: M_Ed,y about the horizontal axis (stresses up the
            // height, y), M_Ed,z about the vertical one.
            std::vector<strength::Point> outline;
            const double b = members[i].member.widthCm / 100, h = members[i].member.heightCm / 100;
            if (members[i].member.kind == design::MemberKind::Beam ||
                members[i].member.multiple == 4)
                outline = {{-h / 2, -b / 2}, {h / 2, -b / 2}, {h / 2, b / 2}, {-h / 2, b / 2}};
            std::vector<strength::Bar> bars;
            for (const auto& bar : row.placement)
                bars.push_back({bar.y, bar.z, bar.area});
            const design::Search& search = members[i].search;
            const double fc = search.code.concreteMpa, fy = search.code.steelMpa;
            const auto section = strength::Section::make(
                outline, bars,
                search.kind == design::SearchKind::ACI
                    ? strength::Materials::aci(fc > 0 ? fc : 28, fy > 0 ? fy : 420)
                    : strength::Materials::en(fc > 0 ? fc : 25, fy > 0 ? fy : 500));
            ASSERT_TRUE(section) << section.error;
            const auto& a = *members[i].member.actions;
            const auto u = strength::utilisation(*section, {a.nKn, a.mzKnm, a.myKnm});
            EXPECT_NEAR(u.ratio, *row.utilisation, 1e-6 * u.ratio) << m["id"] << " " << row.line;
        }
        // The chosen row is the lightest that carries the actions; none when none does.
        const auto& list = m["candidates"];
        if (list.empty()) {
            ++nothingCarries;
            EXPECT_TRUE(m["chosen"].is_null());
            EXPECT_NE(m["messages"].back().get<std::string>().find("ningún armado resiste"),
                      std::string::npos);
            continue;
        }
        const auto& chosen = list[m["chosen"].get<int>() - 1];
        EXPECT_LE(chosen["utilisation"].get<double>(), 1) << m["id"];
    }
    EXPECT_EQ(nothingCarries, 1); // the ACI column under 4000 kN
}

TEST(ScheduleWithActions, BadActionsAreRefusedByRowAndColumn) {
    BatchDir dir;
    const std::string in =
        dir.file("bad.csv", "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,"
                            "multiple,n_ed_kn,my_ed_knm\n"
                            "A,pilar,Euro,10,3,40,40,4,abc,10\n"
                            "B,pilar,Euro,,3,40,40,4,,nan\n"
                            "C,viga,Euro,,3,30,50,1,,\n");
    const Outcome r = batch(dir, {in, "-q", "-o", dir.file("s.csv")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Fila 2, columna n_ed_kn: no es un número («abc»)"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Fila 3, columna my_ed_knm: no es un número finito"), std::string::npos)
        << r.err;
    // Without actions the area is needed.
    EXPECT_NE(r.err.find("Fila 4, columna area_cm2: sin valor"), std::string::npos) << r.err;
}

} // namespace
} // namespace tresol::batch

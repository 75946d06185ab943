// A schedule with actions: the program writes each row's figures and the choice as the design run
// gives them, a diagram for each member with a chosen row, the report. (Bad actions are refused
// by row and column: BatchProgram.BadRowsAreNamedAndTheOthersStillDesigned.)
#include "BatchTestSupport.h"

#include "batch/MemberReader.h"
#include "design/MemberRow.h"
#include "design/Run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace tresol::batch {
namespace {

const std::string kExample = std::string(TRESOL_EXAMPLES_DIR) + "/members-actions.csv";

std::size_t count(const std::string& text, const std::regex& what) {
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), what), {}));
}

// The example's seven members (the last an ACI column under 4000 kN that nothing carries).
TEST(ScheduleWithActions, WritesTheRunsFiguresAndADiagramOfEachChosenRow) {
    BatchDir dir;
    const Outcome r = batch(dir, {kExample, "-q", "-o", dir.file("s.json"), "--diagrams",
                                  dir.path() + "/dia", "--report", dir.file("r.pdf")});
    ASSERT_EQ(r.status, 0) << r.err; // a member nothing carries does not change it
    const auto schedule = nlohmann::json::parse(slurp(dir.file("s.json")));
    std::ifstream in(kExample, std::ios::binary);
    std::size_t i = 0, nothingCarries = 0;
    readCsvMembers(in, [&](InputRow&& row) {
        const auto& m = schedule.at(i++);
        SCOPED_TRACE(row.member->id);
        const design::RunResult run = design::run(*row.member, design::searchOf(row, {}));
        ASSERT_EQ(m["candidates"].size(), run.rows().size());
        for (std::size_t k = 0; k < run.rows().size(); ++k) {
            EXPECT_EQ(m["candidates"][k]["utilisation"].get<double>(), *run.rows()[k].utilisation);
            EXPECT_EQ(m["candidates"][k]["m_rd_knm"].get<double>(), *run.rows()[k].mRdKnm);
        }
        const std::string diagram = dir.path() + "/dia/" + row.member->id + ".svg";
        if (!run.chosen()) {
            ++nothingCarries;
            EXPECT_TRUE(m["chosen"].is_null());
            EXPECT_NE(m["messages"].back().get<std::string>().find("ningún armado resiste"),
                      std::string::npos);
            EXPECT_FALSE(std::filesystem::exists(diagram));
            return;
        }
        EXPECT_EQ(m["chosen"].get<std::int32_t>(), run.rows()[*run.chosen()].number);
        // The curve drawn as lines, and the design point.
        EXPECT_GT(count(slurp(diagram), std::regex("<(line|polyline|path)[ >]")), 64u);
    });
    EXPECT_EQ(i, schedule.size());
    EXPECT_EQ(nothingCarries, 1u);
    EXPECT_EQ(dir.names("dia").size(), schedule.size() - 1);
    // A page a member, and the summary.
    EXPECT_EQ(count(slurp(dir.file("r.pdf")), std::regex("/Type\\s*/Page[^s]")), i + 1);
}

} // namespace
} // namespace tresol::batch

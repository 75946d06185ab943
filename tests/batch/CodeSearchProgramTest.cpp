// The real tresol-batch program with a code-checked search: the materials of the run and of each
// row, in its schedules.

#include "BatchTestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tresol::batch {
namespace {

// Materials per run and per row: the 30 × 60 beam needing 1.2 cm² gets 3 fi 12 under C40/50 and
// 2 fi 12 under C25/30 (the search's own test works them out). A class the codes do not have
// refuses its row.
TEST(CodeSearchProgram, MaterialsPerRunAndPerRow) {
    BatchDir dir;
    const std::string input =
        dir.file("m.csv", "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,concrete\n"
                          "V1,viga,Euro,1.2,3,30,60,1,C40/50\n"
                          "V2,viga,Euro,1.2,3,30,60,1,\n"
                          "V3,viga,Euro,10,3,30,50,1,C99\n");
    const Outcome r = batch(dir, {input, "--search", "ec2", "--top", "1", "-q"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Fila 4, columna concrete: hormigón desconocido «C99»"), std::string::npos)
        << r.err;
    const auto rows = csvRecords(r.out);
    // V1's chosen row (with the least-area row beside it), then V2's.
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[1][4], "3 fi 12");
    EXPECT_EQ(rows[1][14], "mínimo de norma: 3,09 cm² (0,26 fctm/fyk · b·d)");
    EXPECT_EQ(rows.back()[0], "V2");
    EXPECT_EQ(rows.back()[4], "2 fi 12");
    // The run's concrete for the row without one; a bad class is a usage error.
    const Outcome run = batch(dir, {input, "--search", "ec2", "--top", "1", "-q", "--concrete",
                                    "C40/50", "--steel-mpa", "500"});
    const auto runRows = csvRecords(run.out);
    ASSERT_EQ(runRows.size(), 5u);
    EXPECT_EQ(runRows[3][0] + " " + runRows[3][4], "V2 3 fi 12");
    EXPECT_EQ(batch(dir, {input, "--search", "ec2", "--concrete", "C30"}).status, 2);
    // The JSON schedule names the strengths each member was worked with, and reads back as
    // the same members.
    const Outcome json =
        batch(dir, {input, "--search", "aci", "--format", "json", "-q", "-o", dir.file("s.json")});
    const auto members = nlohmann::json::parse(slurp(dir.file("s.json")));
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].at("concrete"), 40.0);
    EXPECT_EQ(members[1].at("concrete"), 28.0);
    EXPECT_EQ(members[1].at("steel_mpa"), 420.0);
    const Outcome again = batch(dir, {dir.file("s.json"), "--search", "aci", "--format", "json",
                                      "-q", "-o", dir.file("again.json")});
    EXPECT_EQ(again.status, 0) << again.err;
    auto back = nlohmann::json::parse(slurp(dir.file("again.json")));
    auto first = members;
    for (auto* list : {&back, &first})
        for (auto& m : *list)
            m.erase("row"); // a CSV line there, an element here
    EXPECT_EQ(back, first);
    // A beam's multiple the code search cannot take is a refused row too.
    const std::string two =
        dir.file("two.csv", "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple\n"
                            "V1,viga,Euro,10,3,30,50,2\n");
    const Outcome refused = batch(dir, {two, "--search", "aci", "-q"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Fila 2: la búsqueda por norma arma una sola cara"),
              std::string::npos)
        << refused.err;
}

} // namespace
} // namespace tresol::batch

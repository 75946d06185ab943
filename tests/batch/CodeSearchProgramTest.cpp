// The real tresol-batch program with a code-checked search (--search ec2|aci, or a member's own
// search and aggregate size); its schedules are checked against the front door's code design of
// the same members.
#include "batch/MemberReader.h"
#include "design/CodeDesign.h"
#include "reinforcement/Cdiametro.h"

#include "BatchTestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <sstream>

namespace tresol::batch {
namespace {

using testing::batch;
using testing::BatchDir;
using testing::csvRecords;
using testing::number;
using testing::Outcome;
using testing::slurp;

// Beams and columns of both series (square, hexagonal, octagonal), one beam that needs two
// layers and one where nothing fits (30 cm² in a 20 × 30 beam), with and without a length.
const std::string kMembers =
    "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,length_m\n"
    "V1,viga,Euro,10,3,30,50,1,6\n"
    "V2,viga,Mex,18.5,4,40,60,1,7.25\n"
    "V3,viga,Euro,24,3,25,60,1,5\n"
    "V9,viga,Euro,30,3,20,30,1,4\n"
    "P1,pilar,Euro,30,3,40,40,4,3\n"
    "P2,pilar,Mex,45,3.5,50,,8,\n"
    "\"P,3\",pilar,Euro,20,3,30,,6,3.1\n";

std::vector<InputRow> rowsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<InputRow> out;
    readMembers(in, InputFormat::Csv, [&](InputRow&& row) { out.push_back(std::move(row)); });
    return out;
}

// The radii (mm) of every CIRCLE entity of a DXF text.
std::multiset<double> dxfCircleRadii(const std::string& dxf) {
    std::istringstream in(dxf);
    std::vector<std::string> l;
    for (std::string s; std::getline(in, s);) {
        if (!s.empty() && s.back() == '\r')
            s.pop_back();
        l.push_back(s.substr(std::min(s.find_first_not_of(' '), s.size())));
    }
    std::multiset<double> radii;
    for (std::size_t i = 1; i + 1 < l.size(); i += 2) {
        if (l[i - 1] != "0" || l[i] != "CIRCLE")
            continue;
        for (std::size_t j = i + 1; j + 1 < l.size() && l[j] != "0"; j += 2)
            if (l[j] == "40")
                radii.insert(std::round(number(l[j + 1]) * 1000) / 1000);
    }
    return radii;
}

// Drawings and DXF show the chosen arrangement's true bars (the report is read in its own test).
TEST(CodeSearchProgram, DrawingsShowTheChosenBars) {
    BatchDir dir;
    const std::string input = dir.file("members.csv", kMembers);
    const Outcome r = batch(dir, {input, "--search", "ec2", "-o", dir.file("s.csv"), "--drawings",
                                  dir.path() + "/dibujos", "--as", "svg,dxf", "--report",
                                  dir.file("informe.pdf"), "-q"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const InputRow& in : rowsOf(kMembers)) {
        const design::Member& m = *in.member;
        SCOPED_TRACE(m.id);
        const std::string stem = dir.path() + "/dibujos/" + (m.id == "P,3" ? "P_3" : m.id);
        EXPECT_TRUE(std::filesystem::exists(stem + ".svg"));
        const std::string dxf = slurp(stem + ".dxf");
        ASSERT_FALSE(dxf.empty());
        const design::CodeDesignResult expected = design::designCode(m, {});
        std::multiset<double> want;
        if (!expected.arrangements().empty()) {
            const code::Arrangement& a = expected.arrangements()[0];
            for (const auto& layer : a.layers)
                for (const auto& g : layer.groups)
                    for (int k = 0; k < g.count; ++k)
                        want.insert(std::round(g.diameterMm / 2 * 1000) / 1000);
            EXPECT_NE(dxf.find(a.line), std::string::npos) << a.line;
        }
        EXPECT_EQ(dxfCircleRadii(dxf), want);
    }
}

// Materials per run and per row. C40/50: fctm = 0.30·40^(2/3) = 3.509, EN 9.2.1.1 minimum
// 0.26·3.509/500·300·564 = 3.09 cm² for one layer of fi 12 in a 30 × 60 beam: 3 fi 12 (3.39);
// with C25/30's 2.26 cm², 2 fi 12. A class the codes do not have refuses its row.
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

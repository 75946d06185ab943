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

const std::vector<std::string> kCodeHeader = {"id",
                                              "search",
                                              "aggregate_mm",
                                              "candidate",
                                              "line",
                                              "bars",
                                              "total_area_cm2",
                                              "excess_pct",
                                              "layers",
                                              "diameters_mm",
                                              "clear_spacing_mm",
                                              "min_clear_mm",
                                              "effective_depth_cm",
                                              "ratio_pct",
                                              "flags",
                                              "chosen",
                                              "messages",
                                              "mass_kg",
                                              "short",
                                              "centre_spacing_cm",
                                              "clear_gap_cm"};

std::vector<InputRow> rowsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<InputRow> out;
    readMembers(in, InputFormat::Csv, [&](InputRow&& row) { out.push_back(std::move(row)); });
    return out;
}

std::string joinedMessages(const design::CodeDesignResult& r) {
    std::string text;
    for (const auto& m : r.messages())
        text += (text.empty() ? "" : " | ") + m.text;
    return text;
}

// A row's per-layer values as the schedule flattens them: layers by " / ", groups by " + ".
std::string perLayer(const code::Arrangement& a, bool diameters, bool minimum = false) {
    std::ostringstream s;
    s.precision(17);
    for (std::size_t l = 0; l < a.layers.size(); ++l) {
        if (l)
            s << " / ";
        const code::Layer& layer = a.layers[l];
        if (!diameters) {
            s << (minimum ? layer.minClearMm : layer.clearSpacingMm);
            continue;
        }
        for (std::size_t g = 0; g < layer.groups.size(); ++g)
            s << (g ? " + " : "") << layer.groups[g].diameterMm;
    }
    return s.str();
}

// Each " / "-separated number of a field against the expected per-layer values.
void expectPerLayer(const std::string& field, const std::string& expected) {
    auto split = [](std::string text) {
        std::vector<double> out;
        for (std::size_t at; (at = text.find_first_of("/+")) != std::string::npos;) {
            out.push_back(number(text.substr(0, at - 1)));
            text.erase(0, at + 2);
        }
        out.push_back(number(text));
        return out;
    };
    const auto got = split(field), want = split(expected);
    ASSERT_EQ(got.size(), want.size()) << field << " vs " << expected;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_DOUBLE_EQ(got[i], want[i]) << field << " vs " << expected;
}

// One CSV record of a code row against the arrangement the front door gives.
void expectRow(const std::vector<std::string>& row, const design::Member& m,
               const design::CodeDesignResult& r, std::size_t i) {
    const code::Arrangement& a = r.arrangements()[i];
    ASSERT_EQ(row.size(), kCodeHeader.size());
    EXPECT_EQ(row[0], m.id);
    EXPECT_EQ(row[1], design::searchKindText(r.options().code == code::Code::ACI
                                                 ? design::SearchKind::ACI
                                                 : design::SearchKind::EC2));
    EXPECT_EQ(number(row[2]), r.options().aggregateMm);
    EXPECT_EQ(number(row[3]), static_cast<double>(i + 1));
    EXPECT_EQ(row[4], a.line);
    EXPECT_EQ(number(row[5]), a.bars);
    EXPECT_EQ(number(row[6]), a.totalAreaCm2);
    EXPECT_EQ(number(row[7]), a.excessPct);
    EXPECT_EQ(number(row[8]), static_cast<double>(a.layers.size()));
    expectPerLayer(row[9], perLayer(a, true));
    expectPerLayer(row[10], perLayer(a, false));
    expectPerLayer(row[11], perLayer(a, false, true));
    if (a.effectiveDepthCm)
        EXPECT_EQ(number(row[12]), *a.effectiveDepthCm);
    else
        EXPECT_EQ(row[12], "");
    EXPECT_EQ(number(row[13]), a.ratioPct);
    std::string flags;
    for (const auto& f : a.flags)
        flags += (flags.empty() ? "" : " | ") + f;
    EXPECT_EQ(row[14], flags);
    EXPECT_EQ(row[15], r.chosen() == i ? "true" : "false");
    EXPECT_EQ(row[16], joinedMessages(r));
    if (m.lengthM) // cm² → m², times the length, times 7850 kg/m³; seven digits
        EXPECT_NEAR(number(row[17]), a.totalAreaCm2 * 1e-4 * *m.lengthM * 7850,
                    5e-7 * number(row[17]));
    else
        EXPECT_EQ(row[17], "");
    EXPECT_EQ(row[18], "false");
    const auto gaps = r.gaps(i);
    ASSERT_TRUE(gaps);
    EXPECT_EQ(number(row[19]), gaps->centreCm);
    EXPECT_EQ(number(row[20]), gaps->clearCm);
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

TEST(CodeSearchProgram, EveryMemberIsTheFrontDoorsCodeDesignInBothCodes) {
    for (const char* search : {"ec2", "aci"}) {
        SCOPED_TRACE(search);
        BatchDir dir;
        const std::string input = dir.file("members.csv", kMembers);
        const Outcome r =
            batch(dir, {input, "--search", search, "--top", "4", "-o", dir.file("s.csv"), "-o",
                        dir.file("s.json"), "--totals", dir.file("t.json"), "-q"});
        // A member where nothing fits is designed (no row, its message), as the described
        // search treats a member without candidates: no refused row.
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");

        const auto rows = csvRecords(slurp(dir.file("s.csv")));
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0], kCodeHeader);
        const auto json = nlohmann::json::parse(slurp(dir.file("s.json")));

        code::Options o;
        o.code = std::string(search) == "aci" ? code::Code::ACI : code::Code::EC2;
        o.top = 4;
        std::size_t next = 1, member = 0;
        int nothingFits = 0;
        std::map<std::string, std::pair<std::int64_t, double>> byRef; // bars, mass
        for (const InputRow& in : rowsOf(kMembers)) {
            const design::Member& m = *in.member;
            SCOPED_TRACE(m.id);
            const design::CodeDesignResult expected = design::designCode(m, o);
            const auto& list = expected.arrangements();
            const nlohmann::json& jm = json.at(member++);
            EXPECT_EQ(jm.at("id"), m.id);
            EXPECT_EQ(jm.at("search"), search);
            EXPECT_EQ(jm.at("aggregate_mm"), 20.0);
            ASSERT_EQ(jm.at("candidates").size(), list.size());
            if (list.empty()) {
                ++nothingFits;
                ASSERT_LT(next, rows.size());
                const auto& row = rows[next++];
                EXPECT_EQ(row[0], m.id);
                EXPECT_EQ(row[4], "");
                EXPECT_EQ(row[16], joinedMessages(expected));
                EXPECT_TRUE(jm.at("chosen").is_null());
                continue;
            }
            EXPECT_EQ(jm.at("chosen"), 1);
            for (std::size_t i = 0; i < list.size(); ++i) {
                ASSERT_LT(next, rows.size());
                expectRow(rows[next++], m, expected, i);
                // The JSON candidate carries the same arrangement, its groups nested.
                const code::Arrangement& a = list[i];
                const nlohmann::json& jc = jm.at("candidates").at(i);
                EXPECT_EQ(jc.at("line"), a.line);
                EXPECT_EQ(jc.at("bars"), a.bars);
                EXPECT_EQ(jc.at("total_area_cm2"), a.totalAreaCm2);
                EXPECT_EQ(jc.at("excess_pct"), a.excessPct);
                EXPECT_EQ(jc.at("ratio_pct"), a.ratioPct);
                EXPECT_EQ(jc.at("flags"), a.flags);
                EXPECT_EQ(jc.at("chosen"), i == 0);
                EXPECT_EQ(jc.contains("effective_depth_cm"), a.effectiveDepthCm.has_value());
                ASSERT_EQ(jc.at("layers").size(), a.layers.size());
                std::int32_t bars = 0;
                for (std::size_t l = 0; l < a.layers.size(); ++l) {
                    const nlohmann::json& jl = jc.at("layers").at(l);
                    EXPECT_EQ(jl.at("clear_spacing_mm"), a.layers[l].clearSpacingMm);
                    EXPECT_EQ(jl.at("min_clear_mm"), a.layers[l].minClearMm);
                    ASSERT_EQ(jl.at("groups").size(), a.layers[l].groups.size());
                    for (std::size_t g = 0; g < a.layers[l].groups.size(); ++g) {
                        const code::Group& grp = a.layers[l].groups[g];
                        EXPECT_EQ(jl.at("groups").at(g).at("count"), grp.count);
                        EXPECT_EQ(jl.at("groups").at(g).at("diameter_mm"), grp.diameterMm);
                        EXPECT_EQ(jl.at("groups").at(g).at("ref"), grp.ref);
                        bars += jl.at("groups").at(g).at("count").get<std::int32_t>();
                    }
                }
                EXPECT_EQ(bars, a.bars);
            }
            // The chosen bars by their own diameters: mass = count · catalogue area · length · ρ.
            for (const auto& layer : list[0].layers)
                for (const auto& g : layer.groups) {
                    auto& t = byRef[m.series + " " + g.ref];
                    t.first += g.count;
                    if (m.lengthM)
                        t.second += g.count * expected.catalogue()->GetAreaIndice(g.diameterIndex) *
                                    1e4 * 1e-4 * *m.lengthM * 7850;
                }
        }
        EXPECT_EQ(next, rows.size());
        EXPECT_EQ(member, json.size());
        EXPECT_EQ(nothingFits, 1);

        const auto totals = nlohmann::json::parse(slurp(dir.file("t.json")));
        EXPECT_EQ(totals.at("without_choice"), 1);
        ASSERT_EQ(totals.at("by_diameter").size(), byRef.size());
        for (const auto& d : totals.at("by_diameter")) {
            const std::string key =
                d.at("series").get<std::string>() + " " + d.at("diameter").get<std::string>();
            SCOPED_TRACE(key);
            ASSERT_TRUE(byRef.count(key));
            EXPECT_EQ(d.at("bars"), byRef[key].first);
            // The sum given to its seven significant digits.
            EXPECT_NEAR(d.at("mass_kg").get<double>(), byRef[key].second, 5e-7 * byRef[key].second);
        }

        // The JSON schedule read back as input keeps each member's search: the same schedule.
        // (Only "row" differs: the element's number instead of the CSV line.)
        const Outcome again = batch(dir, {dir.file("s.json"), "--top", "4", "--format", "json"});
        ASSERT_EQ(again.status, 0) << again.err;
        auto back = nlohmann::json::parse(again.out);
        ASSERT_EQ(back.size(), json.size());
        for (std::size_t i = 0; i < back.size(); ++i) {
            back[i].erase("row");
            auto want = json[i];
            want.erase("row");
            EXPECT_EQ(back[i], want) << i;
        }
    }
}

// A member's own search and aggregate size stand over the command line's; blank ones take it.
TEST(CodeSearchProgram, RowsChooseTheirOwnSearchAndAggregate) {
    BatchDir dir;
    const std::string text = "id;kind;series;area_cm2;cover_cm;width_cm;height_cm;multiple;"
                             "search;aggregate_mm\n"
                             "A;viga;Euro;10;3;30;50;1;;\n"
                             "B;viga;Euro;10;3;30;50;1;ACI;32\n"
                             "C;viga;Euro;10;3;30;50;1;described;\n"
                             "D;viga;Euro;10;3;30;50;1; ec2 ;32,0\n";
    const Outcome r = batch(dir, {dir.file("m.csv", text), "--search", "ec2", "--aggregate-mm",
                                  "16", "-q", "--top", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = csvRecords(r.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], kCodeHeader);

    std::map<std::string, std::vector<std::vector<std::string>>> byId;
    for (std::size_t i = 1; i < rows.size(); ++i)
        byId[rows[i][0]].push_back(rows[i]);
    const auto members = rowsOf(text);
    ASSERT_EQ(members.size(), 4u);
    auto check = [&](const InputRow& in, code::Code c, double aggregate) {
        SCOPED_TRACE(in.member->id);
        code::Options o;
        o.code = c;
        o.aggregateMm = aggregate;
        o.top = 0;
        const design::CodeDesignResult expected = design::designCode(*in.member, o);
        const auto& got = byId[in.member->id];
        ASSERT_EQ(got.size(), expected.arrangements().size());
        for (std::size_t i = 0; i < got.size(); ++i)
            expectRow(got[i], *in.member, expected, i);
    };
    check(members[0], code::Code::EC2, 16);
    check(members[1], code::Code::ACI, 32);
    check(members[3], code::Code::EC2, 32);
    // s_min by hand, of a one-layer row with 16 mm bars at most:
    // EN, d_g 16: max(16, 16 + 5, 20) = 21; EN, d_g 32: max(16, 37, 20) = 37;
    // ACI beam, d_g 32: max(25.4, 16, 4/3 · 32) = 42.67.
    auto minClearOf = [&](const std::string& id, const std::string& line) {
        for (const auto& row : byId[id])
            if (row[4] == line)
                return number(row[11]);
        return -1.0;
    };
    EXPECT_DOUBLE_EQ(minClearOf("A", "5 fi 16"), 21);
    EXPECT_DOUBLE_EQ(minClearOf("D", "5 fi 16"), 37);
    // Under ACI every bar of the catalogue is below 42.67 mm: every layer's minimum is that.
    ASSERT_FALSE(byId["B"].empty());
    for (const auto& row : byId["B"])
        expectPerLayer(row[11], row[8] == "1" ? "42.66667" : "42.66667 / 42.66667");
    // 6 fi 16 in the 30 cm beam: g = (300 − 60 − 96)/5 = 28.8 mm, enough for 21, not for 37.
    EXPECT_GT(minClearOf("A", "6 fi 16"), 0);
    EXPECT_LT(minClearOf("D", "6 fi 16"), 0);

    // The described member: the window's candidates under the code columns.
    const design::DesignResult described = design::design(*members[2].member);
    const auto& got = byId["C"];
    ASSERT_EQ(got.size(), described.candidates().size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        const design::Candidate& c = described.candidates()[i];
        EXPECT_EQ(got[i][1], "described");
        EXPECT_EQ(got[i][2], "");
        EXPECT_EQ(got[i][4], c.line);
        EXPECT_EQ(number(got[i][6]), c.totalAreaCm2);
        EXPECT_EQ(number(got[i][9]), c.diameterMm);
        EXPECT_EQ(number(got[i][10]), c.clearSpacingCm * 10);
        EXPECT_EQ(got[i][15], described.chosen() == i ? "true" : "false");
    }
}

// Drawings, DXF and the report show the chosen arrangement's true bars.
TEST(CodeSearchProgram, DrawingsAndReportShowTheChosenBars) {
    BatchDir dir;
    const std::string input = dir.file("members.csv", kMembers);
    const Outcome r = batch(dir, {input, "--search", "ec2", "-o", dir.file("s.csv"), "--drawings",
                                  dir.path() + "/dibujos", "--as", "svg,dxf", "--report",
                                  dir.file("informe.pdf"), "-q"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t members = 0;
    for (const InputRow& in : rowsOf(kMembers)) {
        ++members;
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
    // A page per member and the summary.
    const std::string info = dir.file(".pdfinfo");
    ASSERT_EQ(std::system(("pdfinfo '" + dir.file("informe.pdf") + "' >'" + info + "'").c_str()),
              0);
    std::istringstream pdf(slurp(info));
    std::string pages;
    for (std::string l; std::getline(pdf, l);)
        if (l.rfind("Pages:", 0) == 0)
            pages = l.substr(l.find_first_not_of(' ', 6));
    EXPECT_EQ(pages, std::to_string(members + 1));
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

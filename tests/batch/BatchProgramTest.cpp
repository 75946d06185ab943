// The real tresol-batch program, run as a user runs it; its schedules are checked against the
// front door's own design run of the same members.
#include "batch/CsvReader.h"
#include "batch/MemberInput.h"
#include "batch/MemberReader.h"
#include "batch/SteelTotals.h"
#include "design/Design.h"

#include "BatchTestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <map>
#include <sstream>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tresol::batch {
namespace {

using testing::batch;
using testing::BatchDir;
using testing::csvRecords;
using testing::lines;
using testing::number;
using testing::Outcome;
using testing::shellQuoted;
using testing::slurp;

// Members read back from a CSV text, as the program reads them.
std::vector<design::Member> membersOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<design::Member> out;
    readMembers(in, InputFormat::Csv, [&](InputRow&& row) {
        if (row.member)
            out.push_back(*row.member);
    });
    return out;
}

// Beams and columns of both series; a beam too narrow for any bar line (no candidate), a
// column with a length and one without.
const std::string kMixed = "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,length_m\n"
                           "V1,viga,Euro,10,3,30,50,1,6\n"
                           "V2,viga,Mex,18.5,4,40,60,2,7.25\n"
                           "P1,pilar,Euro,30,3,40,40,4,3\n"
                           "P2,pilar,Mex,45,3.5,50,,8,\n"
                           "V3,viga,Euro,60,3,12,30,1,4\n"
                           "\"V,4\",viga,Mex,6,2.5,25,45,3,5.5\n"
                           "P3,pilar,Euro,12,3,35,35,10,3.1\n";

TEST(BatchProgram, ScheduleIsTheFrontDoorsDesignOfEachMember) {
    BatchDir dir;
    const std::string input = dir.file("members.csv", kMixed);
    const Outcome r = batch(
        dir, {input, "-o", dir.file("schedule.csv"), "--totals", dir.file("totals.csv"), "-q"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    const auto rows = csvRecords(slurp(dir.file("schedule.csv")));
    ASSERT_FALSE(rows.empty());
    // The columns earlier readers know, in their order, and after them the new ones.
    EXPECT_EQ(rows[0], (std::vector<std::string>{"id", "candidate", "line", "bars", "diameter_mm",
                                                 "bar_area_cm2", "total_area_cm2", "excess_pct",
                                                 "spacing_cm", "clear_spacing_cm", "placeable",
                                                 "placed", "chosen", "messages", "mass_kg", "short",
                                                 "centre_spacing_cm", "clear_gap_cm"}));
    std::size_t next = 1;
    int withoutCandidates = 0;
    std::map<std::pair<std::string, std::string>, std::pair<std::int64_t, double>> byDiameter;
    for (const design::Member& m : membersOf(kMixed)) {
        SCOPED_TRACE(m.id);
        const design::DesignResult expected = design::design(m);
        std::string messages;
        for (const auto& msg : expected.scheduleMessages())
            messages += (messages.empty() ? "" : " | ") + msg.text;
        if (expected.candidates().empty()) {
            ++withoutCandidates;
            ASSERT_LT(next, rows.size());
            const auto& row = rows[next++];
            EXPECT_EQ(row[0], m.id);
            EXPECT_EQ(row[2], "");
            EXPECT_EQ(row[13], messages);
            continue;
        }
        for (std::size_t i = 0; i < expected.candidates().size(); ++i) {
            const design::Candidate& c = expected.candidates()[i];
            ASSERT_LT(next, rows.size());
            const auto& row = rows[next++];
            ASSERT_EQ(row.size(), 18u);
            EXPECT_EQ(row[0], m.id);
            EXPECT_EQ(number(row[1]), c.row);
            EXPECT_EQ(row[2], c.line);
            EXPECT_EQ(number(row[3]), c.bars);
            // Written to round-trip: the very values of the front door.
            EXPECT_EQ(number(row[4]), c.diameterMm);
            EXPECT_EQ(number(row[5]), c.barAreaCm2);
            EXPECT_EQ(number(row[6]), c.totalAreaCm2);
            EXPECT_EQ(number(row[7]), c.excessPct);
            EXPECT_EQ(number(row[8]), c.spacingCm);
            EXPECT_EQ(number(row[9]), c.clearSpacingCm);
            EXPECT_EQ(row[10], c.placeable ? "true" : "false");
            EXPECT_EQ(number(row[11]), c.placed);
            EXPECT_EQ(row[12], expected.chosen() == i ? "true" : "false");
            EXPECT_EQ(row[13], messages);
            if (m.lengthM) // cm² → m², times the length, times 7850 kg/m³; seven digits
                EXPECT_NEAR(number(row[14]), c.totalAreaCm2 * 1e-4 * *m.lengthM * 7850,
                            5e-7 * number(row[14]));
            else
                EXPECT_EQ(row[14], "");
            EXPECT_EQ(row[15], c.isShort ? "true" : "false");
            // The bars' gaps as placed; none with fewer than two bars placed.
            EXPECT_EQ(row[16], c.centreSpacingCm ? shortestText(*c.centreSpacingCm) : "");
            EXPECT_EQ(row[17], c.clearGapCm ? shortestText(*c.clearGapCm) : "");
        }
        if (const auto k = expected.chosen()) {
            const design::Candidate& c = expected.candidates()[*k];
            auto& total = byDiameter[{m.series, c.ref}];
            total.first += c.bars;
            if (m.lengthM)
                total.second += c.totalAreaCm2 * 1e-4 * *m.lengthM * 7850;
        }
    }
    EXPECT_EQ(next, rows.size());
    EXPECT_EQ(withoutCandidates, 1);

    const auto totals = csvRecords(slurp(dir.file("totals.csv")));
    ASSERT_EQ(totals.size(), byDiameter.size() + 1);
    for (std::size_t i = 1; i < totals.size(); ++i) {
        const auto& t = totals[i];
        SCOPED_TRACE(t[0] + " " + t[1]);
        ASSERT_TRUE(byDiameter.count({t[0], t[1]}));
        const auto& [bars, mass] = byDiameter[{t[0], t[1]}];
        EXPECT_EQ(number(t[4]), bars);
        EXPECT_NEAR(number(t[6]), mass, 5e-7 * mass); // seven significant digits
    }
}

// The example schedule's rows as a user reads them: the chosen row never short where one with
// enough steel fits, and the spacing of the bars as drawn.
TEST(BatchProgram, ExampleScheduleChoosesEnoughSteelAndMeasuresThePlacedBars) {
    BatchDir dir;
    const Outcome r = batch(dir, {std::string(TRESOL_EXAMPLES_DIR) + "/members.csv", "-q"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = csvRecords(r.out);
    ASSERT_FALSE(rows.empty());
    std::map<std::string, std::size_t> at;
    for (std::size_t i = 0; i < rows[0].size(); ++i)
        at[rows[0][i]] = i;
    std::map<std::string, std::vector<std::string>> chosen, byLine;
    std::map<std::string, double> area = {{"V-103", 8.6}, {"P-3", 30}};
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i][at["chosen"]] == "true")
            chosen[rows[i][0]] = rows[i];
        byLine[rows[i][0] + " " + rows[i][at["line"]]] = rows[i];
    }
    // V-103 needs 8.6 (3 # 6 gives 8.55), P-3 needs 30 (42 # 3 gives 29.96): both now take
    // the lightest row at or above their area, and no note.
    for (const auto& [id, line] : {std::pair{"V-103", "2 # 8"}, {"P-3", "24 # 4"}}) {
        SCOPED_TRACE(id);
        const auto& row = chosen[id];
        ASSERT_FALSE(row.empty());
        EXPECT_EQ(row[at["line"]], line);
        EXPECT_GE(number(row[at["total_area_cm2"]]), area[id]);
        EXPECT_EQ(row[at["short"]], "false");
        EXPECT_EQ(row[at["messages"]], "");
    }
    EXPECT_EQ(byLine["V-103 3 # 6"][at["short"]], "true");
    EXPECT_EQ(byLine["P-3 42 # 3"][at["short"]], "true");
    // P-1's 12 fi 16: 10.8 cm between centres as placed, the line's figure beside it.
    const auto& p1 = byLine["P-1 12 fi 16"];
    ASSERT_FALSE(p1.empty());
    EXPECT_EQ(p1[at["centre_spacing_cm"]], "10.8");
    EXPECT_EQ(p1[at["clear_gap_cm"]], "9.2");
    EXPECT_EQ(p1[at["spacing_cm"]], "13.85455");
}

TEST(BatchProgram, SemicolonFileWithDecimalCommasGivesTheSameSchedule) {
    BatchDir dir;
    // The mixed members as a Spanish spreadsheet saves them: ';', decimal commas, CRLF, BOM.
    std::string spanish = "\xEF\xBB\xBF";
    for (const auto& line : lines(kMixed)) {
        std::string l;
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            l += (c == ',' && !quoted) ? ';' : (c == '.' && !quoted) ? ',' : c;
        }
        spanish += l + "\r\n";
    }
    ASSERT_NE(spanish.find("18,5;4"), std::string::npos);
    const Outcome a = batch(dir, {dir.file("a.csv", kMixed), "-q"});
    const Outcome b = batch(dir, {dir.file("b.csv", spanish), "-q"});
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(a.out, b.out);
}

TEST(BatchProgram, JsonInAndOutAgreeWithCsv) {
    BatchDir dir;
    nlohmann::json members = nlohmann::json::array();
    for (const design::Member& m : membersOf(kMixed)) {
        nlohmann::json j = {{"id", m.id},
                            {"kind", m.kind == design::MemberKind::Beam ? "viga" : "pilar"},
                            {"series", m.series},
                            {"area_cm2", m.areaCm2},
                            {"cover_cm", m.coverCm},
                            {"width_cm", m.widthCm},
                            {"height_cm", m.heightCm},
                            {"multiple", m.multiple}};
        if (m.lengthM)
            j["length_m"] = *m.lengthM;
        members.push_back(j);
    }
    const Outcome csv = batch(dir, {dir.file("m.csv", kMixed), "-q"});
    // From standard input, found to be JSON by its first character.
    const Outcome json =
        batch(dir, {"-", "--format", "json", "-q"}, dir.file("m.json", members.dump(1)));
    ASSERT_EQ(csv.status, 0) << csv.err;
    ASSERT_EQ(json.status, 0) << json.err;

    const auto rows = csvRecords(csv.out);
    const auto schedule = nlohmann::json::parse(json.out);
    ASSERT_EQ(schedule.size(), members.size());
    std::size_t next = 1;
    const char* numeric[] = {"diameter_mm", "bar_area_cm2", "total_area_cm2",
                             "excess_pct",  "spacing_cm",   "clear_spacing_cm"};
    for (const auto& m : schedule) {
        SCOPED_TRACE(m["id"].get<std::string>());
        if (m["candidates"].empty()) {
            EXPECT_EQ(rows[next++][0], m["id"]);
            continue;
        }
        for (const auto& c : m["candidates"]) {
            ASSERT_LT(next, rows.size());
            const auto& row = rows[next++];
            EXPECT_EQ(row[0], m["id"]);
            EXPECT_EQ(number(row[1]), c["candidate"].get<double>());
            EXPECT_EQ(row[2], c["line"]);
            EXPECT_EQ(number(row[3]), c["bars"].get<double>());
            for (int k = 0; k < 6; ++k)
                EXPECT_EQ(number(row[4 + k]), c[numeric[k]].get<double>()) << numeric[k];
            EXPECT_EQ(row[10], c["placeable"].dump());
            EXPECT_EQ(number(row[11]), c["placed"].get<double>());
            EXPECT_EQ(row[12], c["chosen"].dump());
            if (c.contains("mass_kg"))
                EXPECT_EQ(number(row[14]), c["mass_kg"].get<double>());
            else
                EXPECT_EQ(row[14], "");
            EXPECT_EQ(row[15], c["short"].dump());
            EXPECT_EQ(number(row[16]), c["centre_spacing_cm"].get<double>());
            EXPECT_EQ(number(row[17]), c["clear_gap_cm"].get<double>());
        }
    }
    EXPECT_EQ(next, rows.size());

    // The JSON schedule holds its members' inputs: read back, it gives itself again.
    const Outcome again = batch(dir, {dir.file("s.json", json.out), "--format", "json", "-q"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(nlohmann::json::parse(again.out), schedule);

    // A spreadsheet's Windows-1252 CSV ("Pórtico" with 0xF3) gives a JSON schedule in UTF-8, and
    // quotes, backslashes and control characters in an id come back as they were.
    const Outcome latin = batch(
        dir, {dir.file("l.csv", "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple\n"
                                "P\xf3rtico,viga,Euro,10,3,30,50,1\n"
                                "\"\"\"a\"\"\\\t\x01\",viga,Euro,10,3,30,50,1\n"),
              "--format", "json", "-q"});
    ASSERT_EQ(latin.status, 0) << latin.err;
    const auto latinSchedule = nlohmann::json::parse(latin.out);
    EXPECT_EQ(latinSchedule.at(0).at("id"), "Pórtico");
    EXPECT_EQ(latinSchedule.at(1).at("id"), "\"a\"\\\t\x01");
}

TEST(BatchProgram, BadRowsAreNamedAndTheOthersStillDesigned) {
    BatchDir dir;
    const std::string input =
        dir.file("m.csv", "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple\n"
                          "V1,viga,Euro,10,3,30,50,1\n"
                          "V2,viga,Euro,diez,3,30,50,1\n"
                          "V3,viga,Euro,10,3,30,50\n"
                          "P1,pilar,Euro,20,3,40,40,12\n"
                          "P2,pilar,Mex,20,3,40,40,6\n"
                          "P3,columna,Mex,-2,3,40,40,6\n");
    const Outcome r = batch(dir, {input, "-o", dir.file("s.csv")});
    EXPECT_EQ(r.status, 1);
    std::vector<std::string> rowMessages;
    for (const auto& l : lines(r.err))
        if (l.find("Fila ") != std::string::npos)
            rowMessages.push_back(l);
    ASSERT_EQ(rowMessages.size(), 4u) << r.err;
    EXPECT_NE(rowMessages[0].find("Fila 3, columna area_cm2: "), std::string::npos);
    EXPECT_NE(rowMessages[1].find("Fila 4, columna multiple: falta"), std::string::npos);
    EXPECT_NE(rowMessages[2].find("Fila 5, columna multiple: fuera de 4…10"), std::string::npos);
    EXPECT_NE(rowMessages[3].find("Fila 7, columna kind: "), std::string::npos);
    EXPECT_NE(rowMessages[3].find("columna area_cm2: "), std::string::npos);
    std::set<std::string> ids;
    for (const auto& row : csvRecords(slurp(dir.file("s.csv"))))
        ids.insert(row[0]);
    EXPECT_EQ(ids, (std::set<std::string>{"id", "V1", "P2"}));
    EXPECT_NE(r.err.find("2 miembros calculados, 4 filas rechazadas"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos); // no progress line when stderr is a file
}

TEST(BatchProgram, UsageAndFileErrorsEndWithStatusTwo) {
    BatchDir dir;
    const std::string good = dir.file("m.csv", kMixed);
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string message; // part of what stderr must say
    } cases[] = {
        {"no input", {}, "entrada"},
        {"unknown option", {good, "--colour"}, "--colour"},
        {"missing file", {dir.file("nada.csv")}, "No se puede leer"},
        {"empty file", {dir.file("vacio.csv", "")}, "está vacío"},
        {"no members",
         {dir.file("h.csv", "kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple\n")},
         "no contiene ningún miembro"},
        {"header without columns", {dir.file("x.csv", "a,b\n1,2\n")}, "le faltan las columnas"},
        {"broken JSON", {dir.file("x.json", "[{\"kind\":")}, "no es un JSON válido"},
        {"bad format", {good, "--format", "xml"}, "xml"},
        {"bad CSV dialect", {good, "--csv-dialect", "fr"}, "fr"},
        {"drawing format", {good, "--drawings", dir.path() + "/d", "--as", "svg,bmp"}, "bmp"},
        {"formats without a folder", {good, "--as", "svg"}, "--drawings"},
        {"output in a missing folder",
         {good, "-o", dir.path() + "/no/s.csv"},
         "No se puede escribir"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome r = batch(dir, c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(batch(dir, {"--help"}).status, 0);
}

TEST(BatchProgram, DrawingsTakeSafeNamesFromTheIds) {
    BatchDir dir;
    const std::string input =
        dir.file("m.csv", "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple\n"
                          "../fuera,viga,Euro,10,3,30,50,1\n"
                          "V1,viga,Euro,10,3,30,50,1\n"
                          "V1,viga,Euro,12,3,30,50,1\n"
                          "a/b,pilar,Mex,20,3,40,40,6\n"
                          ",pilar,Euro,20,3,40,40,4\n");
    const Outcome r = batch(dir, {input, "-q", "-o", dir.file("s.csv"), "--drawings",
                                  dir.path() + "/dibujos", "--as", "svg,PNG,pdf,dxf"});
    ASSERT_EQ(r.status, 0) << r.err;
    // '../fuera' is '_' '.' '_' 'fuera': no separator, no '..'.
    std::set<std::string> expected;
    for (const char* stem : {"_._fuera", "V1", "V1-2", "a_b", "fila-6"})
        for (const char* ext : {".svg", ".png", ".pdf", ".dxf"})
            expected.insert(std::string(stem) + ext);
    EXPECT_EQ(dir.names("dibujos"), expected);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"dibujos", "m.csv", "s.csv"}));
    const std::string png = slurp(dir.path() + "/dibujos/V1.png");
    EXPECT_TRUE(png.starts_with("\x89PNG")) << png.size();
    EXPECT_TRUE(slurp(dir.path() + "/dibujos/V1.pdf").starts_with("%PDF"));
    EXPECT_NE(slurp(dir.path() + "/dibujos/a_b.svg").find("<svg"), std::string::npos);
    // The second V1 (12 cm²) is drawn with its own chosen line.
    design::Member second;
    second.areaCm2 = 12;
    second.coverCm = 3;
    second.widthCm = 30;
    second.heightCm = 50;
    const design::DesignResult r12 = design::design(second);
    ASSERT_TRUE(r12.chosen());
    const std::string line = r12.candidates()[*r12.chosen()].line;
    EXPECT_NE(slurp(dir.path() + "/dibujos/V1-2.dxf").find(line), std::string::npos) << line;
    EXPECT_EQ(slurp(dir.path() + "/dibujos/V1.dxf").find(line), std::string::npos) << line;
}

int pdfPages(const std::string& path) {
    const std::string cmd = "pdfinfo " + shellQuoted(path) + " 2>/dev/null";
    std::FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return -1;
    char line[512];
    int pages = -1;
    while (std::fgets(line, sizeof line, p))
        if (std::string(line).starts_with("Pages:"))
            pages = std::atoi(line + 6);
    ::pclose(p);
    return pages;
}

TEST(BatchProgram, ReportHasAPagePerMemberAndASummary) {
    BatchDir dir;
    // Seven rows, one of them refused: six member pages and the summary.
    const std::string input = dir.file("m.csv", kMixed + "V9,viga,Euro,10,3,30,50,99,3\n");
    const Outcome r =
        batch(dir, {input, "-q", "-o", dir.file("s.csv"), "--report", dir.file("r.pdf")});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(pdfPages(dir.file("r.pdf")), 7 + 1);
}

TEST(BatchProgram, StoppedRunLeavesNoPartialFile) {
    BatchDir dir;
    std::string text = "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple\n";
    for (int i = 0; i < 200000; ++i) {
        text += 'V';
        text += std::to_string(i) + ",viga,Euro," + std::to_string(5 + i % 20) + ",3,30,50,1\n";
    }
    const std::string input = dir.file("m.csv", text);
    const std::string schedule = dir.file("s.csv", "previous schedule\n");
    const std::string report = dir.file("r.pdf");

    const std::string exe = TRESOL_BATCH_EXE;
    std::vector<std::string> args = {exe, input, "-q", "-o", schedule, "--report", report};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it was stopped";

    EXPECT_EQ(slurp(schedule), "previous schedule\n");
    EXPECT_FALSE(std::filesystem::exists(report));
    EXPECT_EQ(dir.names(), (std::set<std::string>{"m.csv", "s.csv"}));
}

} // namespace
} // namespace tresol::batch

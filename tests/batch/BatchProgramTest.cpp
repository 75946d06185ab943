// The real tresol-batch program, run as a user runs it; its schedules are checked against the
// front door's own design run of the same members.
#include "batch/MemberInput.h"
#include "design/MemberRow.h"
#include "design/Run.h"

#include "BatchTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tresol::batch {
namespace {

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

TEST(BatchProgram, SemicolonFileWithDecimalCommasGivesTheSameSchedule) {
    BatchDir dir;
    // The mixed members as a Spanish spreadsheet saves them: ';', decimal commas, CRLF, BOM.
    std::string spanish = "\xEF\xBB\xBF";
    bool quoted = false;
    for (char c : kMixed) {
        quoted ^= c == '"';
        spanish += c == '\n' ? "\r\n"
                             : std::string(1, quoted     ? c
                                              : c == ',' ? ';'
                                              : c == '.' ? ','
                                                         : c);
    }
    ASSERT_NE(spanish.find("18,5;4"), std::string::npos);
    const Outcome a = batch(dir, {dir.file("a.csv", kMixed), "-q"});
    const Outcome b = batch(dir, {dir.file("b.csv", spanish), "-q"});
    ASSERT_TRUE(a.status == 0 && b.status == 0) << a.err << b.err;
    EXPECT_EQ(a.out, b.out);
}

// The actions' columns are named like the others; without actions the area is needed.
TEST(BatchProgram, BadRowsAreNamedAndTheOthersStillDesigned) {
    BatchDir dir;
    const std::string input = dir.file(
        "m.csv", "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,n_ed_kn,my_ed_knm\n"
                 "V1,viga,Euro,10,3,30,50,1,,\n"
                 "V2,viga,Euro,diez,3,30,50,1,,\n"
                 "V3,viga,Euro,10,3,30,50,,,\n"
                 "P1,pilar,Euro,20,3,40,40,12,,\n"
                 "P2,pilar,Mex,20,3,40,40,6,,\n"
                 "P3,columna,Mex,-2,3,40,40,6,,\n"
                 "A,pilar,Euro,10,3,40,40,4,abc,10\n"
                 "B,pilar,Euro,,3,40,40,4,,nan\n"
                 "C,viga,Euro,,3,30,50,1,,\n");
    const Outcome r = batch(dir, {input, "-o", dir.file("s.csv")});
    EXPECT_EQ(r.status, 1);
    for (const char* message : {"Fila 3, columna area_cm2: ", "Fila 4, columna multiple: sin valor",
                                "Fila 5, columna multiple: fuera de 4…10", "Fila 7, columna kind: ",
                                "Fila 8, columna n_ed_kn: no es un número («abc»)",
                                "Fila 9, columna my_ed_knm: no es un número finito",
                                "Fila 10, columna area_cm2: sin valor"})
        EXPECT_NE(r.err.find(message), std::string::npos) << message << "\n" << r.err;
    std::set<std::string> ids;
    for (const auto& row : csvRecords(slurp(dir.file("s.csv"))))
        ids.insert(row[0]);
    EXPECT_EQ(ids, (std::set<std::string>{"id", "V1", "P2"}));
    EXPECT_NE(r.err.find("2 miembros calculados, 7 filas rechazadas"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos); // no progress line when stderr is a file
}

TEST(BatchProgram, UsageAndFileErrorsEndWithStatusTwo) {
    BatchDir dir;
    const std::string good = dir.file("m.csv", kMixed);
    const struct {
        std::vector<std::string> args;
        std::string message; // part of what stderr must say
    } cases[] = {
        {{}, "entrada"},
        {{good, "--colour"}, "--colour"},
        {{dir.file("nada.csv")}, "No se puede leer"},
        {{dir.file("vacio.csv", "")}, "está vacío"},
        {{good, "--format", "xml"}, "xml"},
        {{good, "--drawings", dir.path() + "/d", "--as", "svg,bmp"}, "bmp"},
        {{good, "--as", "svg"}, "--drawings"},
        {{good, "-o", dir.path() + "/no/s.csv"}, "No se puede escribir"},
        {{good, "--link-mm", "-1"}, "--link-mm"},
        {{good, "-j", "0"}, "se espera un número entero de hilos"},
        {{good, "-j", "2.5"}, "se espera un número entero de hilos"},
        {{good, "-j", "100000"}, "se espera un número entero de hilos"},
    };
    for (const auto& c : cases) {
        const Outcome r = batch(dir, c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << c.message;
    }
    EXPECT_EQ(batch(dir, {"--help"}).status, 0);
}

// Each drawing named from its member's id, in every format asked for, showing the member's chosen
// row: the second V1 (12 cm²) its own, a member with an EC2 search its arrangement.
TEST(BatchProgram, DrawingsTakeSafeNamesFromTheIds) {
    BatchDir dir;
    const std::string members =
        "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,search\n"
        "../fuera,viga,Euro,10,3,30,50,1,\n"
        "V1,viga,Euro,10,3,30,50,1,\n"
        "V1,viga,Euro,12,3,30,50,1,\n"
        "a/b,pilar,Mex,20,3,40,40,6,\n"
        ",pilar,Euro,20,3,40,40,4,\n"
        "V2,viga,Euro,24,3,25,60,1,ec2\n";
    const Outcome r =
        batch(dir, {dir.file("m.csv", members), "-q", "-o", dir.file("s.csv"), "--drawings",
                    dir.path() + "/dibujos", "--as", "svg,PNG,pdf,dxf"});
    ASSERT_EQ(r.status, 0) << r.err;
    // '../fuera' is '_' '.' '_' 'fuera': no separator, no '..'.
    std::set<std::string> expected;
    for (const char* stem : {"_._fuera", "V1", "V1-2", "a_b", "fila-6", "V2"})
        for (const char* ext : {".svg", ".png", ".pdf", ".dxf"})
            expected.insert(std::string(stem) + ext);
    EXPECT_EQ(dir.names("dibujos"), expected);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"dibujos", "m.csv", "s.csv"}));
    const std::string at = dir.path() + "/dibujos/";
    EXPECT_TRUE(slurp(at + "V1.png").starts_with("\x89PNG"));
    EXPECT_TRUE(slurp(at + "V1.pdf").starts_with("%PDF"));
    EXPECT_NE(slurp(at + "a_b.svg").find("<svg"), std::string::npos);
    const auto rows = testing::rowsOf(members);
    std::string chosen;
    for (const auto& [file, row] : {std::pair{"V1.dxf", 1}, {"V1-2.dxf", 2}, {"V2.dxf", 5}}) {
        const auto& in = rows.at(row);
        const design::RunResult run = design::run(*in.member, design::searchOf(in, {}));
        ASSERT_TRUE(run.chosen());
        chosen = run.rows()[*run.chosen()].line;
        EXPECT_NE(slurp(at + file).find(chosen), std::string::npos) << file << " " << chosen;
        if (row == 2) {
            EXPECT_EQ(slurp(at + "V1.dxf").find(chosen), std::string::npos) << chosen;
        }
    }
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
    std::vector<char*> argv{args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                            args[4].data(), args[5].data(), args[6].data(), nullptr};
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

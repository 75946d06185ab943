#include "batch/AtomicFile.h"
#include "batch/SafeName.h"
#include "batch/Schedule.h"

#include "BatchTestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace tresol::batch {
namespace {

TEST(SafeName, KeepsDrawingsInsideTheirFolder) {
    // clang-format off
    const struct {
        std::string id, stem;
    } cases[] = {
        {"V1", "V1"}, {"P 1.2", "P_1.2"}, {"../../etc/passwd", "_._.__etc_passwd"}, {"..", "fila-7"},
        {"a/b\\c:d", "a_b_c_d"}, {".oculto", "_oculto"}, {"viga.", "viga"}, {"", "fila-7"},
        {"Viga-Ñ_2", "Viga-Ñ_2"}, {"x\ny\tz", "x_y_z"}, {std::string(200, 'a'), std::string(120, 'a')}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(safeStem(c.id, 7), c.stem) << c.id;
}

TEST(SafeName, NeverHandsOutANameTwice) {
    SafeNames names;
    EXPECT_EQ(names.take("V1", 2), "V1");
    EXPECT_EQ(names.take("V1", 3), "V1-2");
    EXPECT_EQ(names.take("v1", 4), "v1-3"); // same file where case does not count
    EXPECT_EQ(names.take("V1-2", 5), "V1-2-2");
    EXPECT_EQ(names.take("V/1", 6), "V_1");
    EXPECT_EQ(names.take("V:1", 7), "V_1-2");
    EXPECT_EQ(names.take("", 8), "fila-8");
}

TEST(AtomicFile, ReplacesTheFileOnlyWhenCommittedAndRefusesPlacesItCannotWrite) {
    BatchDir dir;
    const std::string path = dir.file("out.csv", "old\n");
    {
        AtomicFile f(path);
        f.open();
        ASSERT_EQ(::write(f.fd(), "half", 4), 4);
    } // dropped without a commit, as when a run fails
    EXPECT_EQ(slurp(path), "old\n");
    EXPECT_EQ(dir.names(), std::set<std::string>{"out.csv"});
    {
        AtomicFile f(path);
        f.open();
        BufferedWriter out(f.fd(), path);
        out.write("new\n");
        out.flush();
        EXPECT_EQ(slurp(path), "old\n");
        f.commit();
    }
    EXPECT_EQ(slurp(path), "new\n");
    EXPECT_EQ(dir.names(), std::set<std::string>{"out.csv"});
    EXPECT_THROW(AtomicFile(dir.path() + "/no/such/folder/out.csv").open(), OutputError);
    EXPECT_THROW(AtomicFile(dir.path()).open(), OutputError);
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
    // clang-format off
    const struct {
        std::string text, field;
    } cases[] = {
        {"5 fi 16", "5 fi 16"}, {"P,1", "\"P,1\""}, {"a;b", "\"a;b\""},
        {"say \"x\"", "\"say \"\"x\"\"\""}, {"two\nlines", "\"two\nlines\""}, {"", ""}};
    // clang-format on
    for (const auto& c : cases) {
        std::string line;
        appendCsvField(line, c.text);
        EXPECT_EQ(line, c.field) << c.text;
    }
}

} // namespace
} // namespace tresol::batch

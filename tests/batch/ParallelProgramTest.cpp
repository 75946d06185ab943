// The real tresol-batch program designing on several threads writes what it writes on one, byte
// for byte, messages in row order included.
#include "BatchTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace tresol::batch {
namespace {

// Members of both kinds, series and searches, with a bad row now and then: an unknown kind or
// series, a missing or unreadable field, a cover wider than the section, an area nothing holds.
std::string members(int n) {
    std::string t = "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,length_m,search,"
                    "aggregate_mm,concrete,steel_mpa\n";
    unsigned x = 77;
    auto next = [&x](unsigned k) {
        x = x * 1103515245u + 12345u;
        return (x >> 16) % k;
    };
    const char* searches[] = {"", "described", "ec2", "aci"};
    const char* bad[] = {"losa,Euro,10,3,30,50,1",  "viga,Xyz,10,3,30,50,1",
                         "viga,Euro,,3,30,50,1",    "pilar,Mex,abc,3,40,40,4",
                         "viga,Euro,12,40,30,50,1", "pilar,Euro,900,3,30,30,4"};
    for (int i = 0; i < n; ++i) {
        t += "M" + std::to_string(i) + ",";
        const std::string search = searches[next(4)];
        if (next(12) == 0) {
            t += bad[next(6)];
        } else if (next(2)) {
            t += "viga,";
            t += next(2) ? "Euro," : "Mex,";
            t += std::to_string(0.5 + next(5000) / 100.0) + "," + std::to_string(2 + next(4)) +
                 "," + std::to_string(20 + 5 * next(8)) + "," + std::to_string(30 + 10 * next(6)) +
                 "," + std::to_string(1 + next(3));
        } else {
            t += "pilar,";
            t += next(2) ? "Euro," : "Mex,";
            const unsigned w = 25 + 5 * next(8);
            t += std::to_string(4 + next(6000) / 100.0) + ",3," + std::to_string(w) + "," +
                 (next(2) ? std::to_string(w) : std::string()) + "," +
                 std::to_string(4 + 2 * next(3));
        }
        t += "," + std::string(next(2) ? "4.5" : "") + "," + search + ",";
        t += search == "ec2" || search == "aci" ? std::to_string(16 + 4 * next(3)) : "";
        t += search == "ec2" ? ",C30/37,500\n" : search == "aci" ? ",35,\n" : ",,\n";
    }
    return t;
}

TEST(ParallelProgram, FourThreadsWriteWhatOneWrites) {
    // Qt orders a PDF's fonts by its hashes, seeded anew in every process unless told not to.
    ::setenv("QT_HASH_SEED", "0", 1);
    BatchDir dir;
    const std::string input = dir.file("m.csv", members(3000));
    const std::string small = dir.file("s.csv", members(40));
    struct Written {
        Outcome outcome;
        std::vector<std::string> files;
    };
    auto runWith = [&](const std::string& jobs) {
        const std::string o = dir.path() + "/j" + jobs;
        std::filesystem::create_directory(o);
        Written w;
        w.outcome = batch(dir, {input, "-j", jobs, "-o", o + "/m.csv", "-o", o + "/m.json",
                                "--totals", o + "/t.json", "--csv-dialect", "es"});
        // The drawings and the report on a few members: painted on the writing thread.
        const Outcome drawn =
            batch(dir, {small, "-q", "-j", jobs, "--search", "ec2", "-o", o + "/s.csv",
                        "--drawings", o + "/d", "--as", "svg,dxf", "--report", o + "/r.pdf"});
        w.outcome.err += drawn.err + std::to_string(drawn.status);
        for (const auto& name : {"m.csv", "m.json", "t.json", "s.csv"})
            w.files.push_back(slurp(o + "/" + name));
        for (const auto& name : dir.names("j" + jobs + "/d"))
            w.files.push_back(name + "\n" + slurp(o + "/d/" + name));
        // The report's bytes but its dates.
        static const std::regex date(R"(\(D:[0-9+\-Z']*\))");
        w.files.push_back(std::regex_replace(slurp(o + "/r.pdf"), date, "()"));
        return w;
    };
    const Written one = runWith("1"), four = runWith("4");
    EXPECT_EQ(one.outcome.status, 1); // rows refused
    EXPECT_NE(one.outcome.err.find("Fila "), std::string::npos);
    EXPECT_EQ(four.outcome.status, one.outcome.status);
    EXPECT_EQ(four.outcome.out, one.outcome.out);
    EXPECT_EQ(four.outcome.err, one.outcome.err);
    ASSERT_EQ(four.files.size(), one.files.size());
    EXPECT_GT(one.files.size(), 40u);
    for (std::size_t i = 0; i < one.files.size(); ++i)
        EXPECT_TRUE(four.files[i] == one.files[i]) << one.files[i].substr(0, 200);
}

} // namespace
} // namespace tresol::batch

// The examples' schedules, byte for byte, against the files kept beside this test: any change
// to what a schedule says shows up here as a diff to review. After a change that is meant,
// TRESOL_UPDATE_GOLDEN=1 writes the files again (and the test then says so and fails, so that
// an update is never silent).
#include "BatchTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace tresol::batch {
namespace {

struct Golden {
    const char* name;  // the kept file, under tests/batch/golden
    const char* input; // under examples/
    std::vector<std::string> options;
    int status = 0;
};

void PrintTo(const Golden& g, std::ostream* os) {
    *os << g.name;
}

class ExampleSchedules : public ::testing::TestWithParam<Golden> {};

TEST_P(ExampleSchedules, AreAsKept) {
    const Golden& g = GetParam();
    BatchDir dir;
    const std::string out = dir.file(g.name);
    std::vector<std::string> args = {std::string(TRESOL_EXAMPLES_DIR) + "/" + g.input, "-q", "-o",
                                     out};
    args.insert(args.end(), g.options.begin(), g.options.end());
    const Outcome r = batch(dir, args);
    ASSERT_EQ(r.status, g.status) << r.err;
    const std::string kept = std::string(TRESOL_GOLDEN_DIR) + "/" + g.name;
    if (std::getenv("TRESOL_UPDATE_GOLDEN")) {
        std::ofstream(kept, std::ios::binary) << slurp(out);
        FAIL() << "written again: " << kept;
    }
    EXPECT_EQ(slurp(out), slurp(kept)) << "diff " << out << " " << kept;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ExampleSchedules,
    ::testing::Values(Golden{"members.csv", "members.csv", {}},
                      Golden{"members.json", "members.json", {"--format", "json"}},
                      Golden{"members-es.csv", "members.csv", {"--csv-dialect", "es"}},
                      Golden{"members-ec2.csv", "members-code.csv", {"--search", "ec2"}},
                      Golden{"members-ec2.json", "members-code.csv", {"--search", "ec2"}},
                      Golden{"members-aci.csv", "members-code.csv", {"--search", "aci"}},
                      Golden{"members-actions.csv", "members-actions.csv", {}}),
    [](const ::testing::TestParamInfo<Golden>& info) {
        std::string id = info.param.name;
        for (char& c : id)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return id;
    });

} // namespace
} // namespace tresol::batch

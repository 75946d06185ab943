// tresol-batch with links: the schedules' link columns against the design run, and a bad link
// refused by row, column and reason. (Without links the schedules have no link columns: the
// golden schedules.)
#include "batch/MemberReader.h"
#include "design/Run.h"

#include "BatchTestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace tresol::batch {
namespace {

using testing::batch;
using testing::BatchDir;
using testing::csvRecords;
using testing::number;
using testing::Outcome;
using testing::slurp;

// A beam and columns with their own links; P3 leaves its link to --link-mm; the last row's link
// is none of the Euro sizes.
const std::string kMembers =
    "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,link_mm\n"
    "V1,viga,Euro,10,3,30,50,1,8\n"
    "P1,pilar,Euro,45,4,60,60,4,10\n"
    "P2,pilar,Mex,40,4,50,,6,9.5\n"
    "P3,pilar,Euro,30,3,40,40,4,\n"
    "P4,pilar,Euro,30,3,40,40,4,7\n";

TEST(LinkProgram, ScheduleColumnsAndARefusedLink) {
    BatchDir dir;
    const std::string input = dir.file("members.csv", kMembers);
    const Outcome r = batch(dir, {input, "--search", "ec2", "--top", "0", "--link-mm", "12", "-o",
                                  dir.file("s.csv"), "-o", dir.file("s.json"), "-q"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "Tresol error: Fila 6, columna link_mm: el cerco de 7 mm no es un diámetro de "
                     "la serie Euro.\n");

    const auto records = csvRecords(slurp(dir.file("s.csv")));
    ASSERT_FALSE(records.empty());
    const auto& header = records.front();
    const std::size_t h = header.size();
    ASSERT_GE(h, 3u);
    EXPECT_EQ(std::vector<std::string>(header.end() - 3, header.end()),
              (std::vector<std::string>{"link", "crossties", "link_spacing_mm"}));
    const nlohmann::json json = nlohmann::json::parse(slurp(dir.file("s.json")));
    ASSERT_EQ(json.size(), 4u);

    std::istringstream in(kMembers);
    std::size_t member = 0;
    readMembers(
        in, InputFormat::Csv,
        [&](InputRow&& row) {
            if (!row.member)
                return;
            const design::Member& m = *row.member;
            SCOPED_TRACE(m.id);
            EXPECT_EQ(m.linkMm, m.id == "P3" ? 12 : m.id == "V1" ? 8 : m.id == "P1" ? 10 : 9.5);
            const design::RunResult expected =
                design::run(m, design::Search{design::SearchKind::EC2, {.top = 0}});
            const nlohmann::json& j = json[member++];
            EXPECT_EQ(j["link_mm"].get<double>(), m.linkMm);
            const auto& rows = expected.rows();
            ASSERT_EQ(j["candidates"].size(), rows.size());
            std::size_t matched = 0;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const design::Row& e = rows[i];
                ASSERT_TRUE(e.link);
                EXPECT_EQ(!e.link->spacingMm, m.kind == design::MemberKind::Beam);
                const nlohmann::json& c = j["candidates"][i];
                EXPECT_EQ(c["link"], e.link->text);
                EXPECT_EQ(c["crossties"], e.link->crossties.size());
                EXPECT_EQ(c["link_spacing_mm"], e.link->spacingMm
                                                    ? nlohmann::json(*e.link->spacingMm)
                                                    : nlohmann::json());
                for (const auto& rec : records)
                    if (rec.size() == h && rec[0] == m.id && rec[4] == e.line) {
                        ++matched;
                        EXPECT_EQ(rec[h - 3], e.link->text);
                        EXPECT_EQ(rec[h - 2], std::to_string(e.link->crossties.size()));
                        EXPECT_EQ(rec[h - 1].empty() ? -1.0 : number(rec[h - 1]),
                                  e.link->spacingMm.value_or(-1.0));
                    }
            }
            EXPECT_EQ(matched, rows.size());
        },
        {design::SearchKind::EC2, 12});
    EXPECT_EQ(member, 4u);
}

} // namespace
} // namespace tresol::batch

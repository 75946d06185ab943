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
    const std::size_t h = records.at(0).size();
    ASSERT_GE(h, 5u);
    EXPECT_EQ(std::vector<std::string>(records[0].end() - 3, records[0].end()),
              (std::vector<std::string>{"link", "crossties", "link_spacing_mm"}));
    const nlohmann::json json = nlohmann::json::parse(slurp(dir.file("s.json")));
    ASSERT_EQ(json.size(), 4u);

    std::istringstream in(kMembers);
    std::size_t member = 0, record = 0;
    readMembers(
        in, InputFormat::Csv,
        [&](InputRow&& row) {
            if (!row.member)
                return;
            const design::Member& m = *row.member;
            SCOPED_TRACE(m.id);
            EXPECT_EQ(m.linkMm, m.id == "P3" ? 12 : m.id == "V1" ? 8 : m.id == "P1" ? 10 : 9.5);
            const nlohmann::json& j = json[member++];
            EXPECT_EQ(j["link_mm"].get<double>(), m.linkMm);
            const auto rows =
                design::run(m, design::Search{design::SearchKind::EC2, {.top = 0}}).rows();
            ASSERT_EQ(j["candidates"].size(), rows.size());
            for (std::size_t i = 0; i < rows.size(); ++i) {
                ASSERT_TRUE(rows[i].link);
                const links::LinkDetail& e = *rows[i].link;
                EXPECT_EQ(!e.spacingMm, m.kind == design::MemberKind::Beam);
                const auto spacing = e.spacingMm ? nlohmann::json(*e.spacingMm) : nlohmann::json();
                const nlohmann::json& c = j["candidates"][i];
                EXPECT_EQ(std::tuple(c["link"], c["crossties"], c["link_spacing_mm"]),
                          std::tuple(nlohmann::json(e.text), nlohmann::json(e.crossties.size()),
                                     spacing));
                // The CSV lists the same rows in the same order.
                const auto& rec = records.at(++record);
                EXPECT_EQ(
                    std::tuple(rec[0], rec[4], rec[h - 3], rec[h - 2]),
                    std::tuple(m.id, rows[i].line, e.text, std::to_string(e.crossties.size())));
                EXPECT_EQ(rec[h - 1].empty() ? -1.0 : number(rec[h - 1]),
                          e.spacingMm.value_or(-1.0));
            }
        },
        {design::SearchKind::EC2, 12});
    EXPECT_EQ(member, 4u);
    EXPECT_EQ(record + 1, records.size());
}

} // namespace
} // namespace tresol::batch

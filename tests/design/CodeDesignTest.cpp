#include "design/CodeDesign.h"
#include "design/Members.h"

#include "design/RowFields.h"
#include "design/Run.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tresol::design {
namespace {

using fixtures::member;

TEST(CodeDesign, NothingFitsAndNoOutline) {
    // 30 cm² in a 20 × 30 beam: above the code's largest steel; no row, a message, not refused.
    const CodeDesignResult full = designCode(member(MemberKind::Beam, 30, 3, 20, 30, 1), {});
    EXPECT_TRUE(full.arrangements().empty());
    EXPECT_FALSE(full.chosen());
    EXPECT_FALSE(full.refused());
    ASSERT_EQ(full.messages().size(), 1u);
    // The bare outline is still drawn for it.
    EXPECT_TRUE(full.place(0).section);

    const CodeDesignResult none = designCode(member(MemberKind::Beam, 10, 3, 0, 50, 1), {});
    EXPECT_FALSE(none.hasOutline());
    EXPECT_TRUE(none.refused());
    EXPECT_TRUE(none.arrangements().empty());
    EXPECT_FALSE(none.messages().empty());
    EXPECT_FALSE(none.place(1).section);
}

// What a field writes, as text ("-" for nothing).
class Written : public FieldSink {
  public:
    std::string text_ = "?";
    void empty() override { text_ = "-"; }
    void number(double v) override { text_ = std::to_string(v); }
    void integer(std::int64_t v) override { text_ = std::to_string(v); }
    void boolean(bool v) override { text_ = v ? "true" : "false"; }
    void text(std::string_view t) override { text_ = t; }
    void texts(const std::vector<std::string>& l) override { text_ = std::to_string(l.size()); }
    void layered(const std::vector<RowLayer>&, LayerFigure) override { text_ = "layered"; }
    void layers(const std::vector<RowLayer>&) override { text_ = "layers"; }
};

// The schedule's line of a member without rows holds the member's own fields, its messages among
// them, and nothing of a row.
TEST(CodeDesign, TheLineOfAMemberWithoutRowsHoldsItsOwnFields) {
    Member m = member(MemberKind::Beam, 30, 3, 20, 30, 1);
    m.id = "V9";
    const RunResult r = run(m, {SearchKind::EC2, {}});
    ASSERT_TRUE(r.rows().empty());
    const std::map<std::string_view, std::string> own = {{"id", "V9"},
                                                         {"search", "ec2"},
                                                         {"aggregate_mm", std::to_string(20.0)},
                                                         {"messages", "why"}};
    for (const Field* f : layout(Layout::CsvCode)) {
        Written w;
        readField(*f, w, RowView{r, nullptr, false, "why"});
        EXPECT_EQ(w.text_, own.contains(f->name) ? own.at(f->name) : "-") << f->name;
    }
}

} // namespace
} // namespace tresol::design

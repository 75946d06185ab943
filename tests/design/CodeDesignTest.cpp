#include "design/CodeDesign.h"

#include "drawing/Canvas.h"
#include "reinforcement/Carmasec.h"
#include "sections/CSeccEstruc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace tresol::design {
namespace {

Member member(MemberKind kind, double area, double cover, double width, double height,
              double multiple, const char* series = "Euro") {
    Member m;
    m.kind = kind;
    m.series = series;
    m.areaCm2 = area;
    m.coverCm = cover;
    m.widthCm = width;
    m.heightCm = height;
    m.multiple = multiple;
    return m;
}

code::Options ec2() {
    return {};
}

TEST(CodeDesign, PreferredBeamRowIsPlacedWhereTheRulesPutIt) {
    const CodeDesignResult r = designCode(member(MemberKind::Beam, 10, 3, 30, 50, 1), ec2());
    ASSERT_FALSE(r.arrangements().empty());
    EXPECT_EQ(r.arrangements()[0].line, "2 fi 20 + 2 fi 16");
    EXPECT_EQ(r.chosen(), 0u);
    EXPECT_TRUE(r.messages().empty());

    const Placement p = r.place(1);
    ASSERT_TRUE(p.section);
    EXPECT_EQ(p.line, "2 fi 20 + 2 fi 16");
    EXPECT_TRUE(p.messages.empty());
    ASSERT_EQ(p.placed, 4);
    const auto armado = p.section->GetArmado();
    const auto& want = r.arrangements()[0].placement;
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NEAR(armado->GetY(i), want[i - 1].y, 1e-6) << i;
        EXPECT_NEAR(armado->GetZ(i), want[i - 1].z, 1e-6) << i;
        EXPECT_EQ(armado->GetIndiDiam(i), want[i - 1].diameterIndex) << i;
    }
    // Bottom layer: y = −0.25 + 0.03 + 0.010 for the 20 mm corners.
    EXPECT_NEAR(armado->GetY(1), -0.21, 1e-6);

    // Figures to the catalogue's seven digits, so '5 fi 16' reads here as the described run
    // gives it (10.0531 cm², 0.531 %), and a layer's gap and depth read 56 and 46.07805, not
    // 46.07804878599883.
    const code::Arrangement& a = r.arrangements()[0];
    EXPECT_EQ(a.totalAreaCm2, 10.30442);
    EXPECT_EQ(a.excessPct, 3.0442);
    EXPECT_EQ(a.effectiveDepthCm, 46.07805);
    EXPECT_EQ(a.layers[0].clearSpacingMm, 56.0);
    const auto five16 =
        std::find_if(r.arrangements().begin(), r.arrangements().end(),
                     [](const code::Arrangement& x) { return x.line == "5 fi 16"; });
    ASSERT_NE(five16, r.arrangements().end());
    const DesignResult described = design(member(MemberKind::Beam, 10, 3, 30, 50, 1));
    EXPECT_EQ(five16->totalAreaCm2, described.candidates()[0].totalAreaCm2);
    EXPECT_EQ(five16->excessPct, described.candidates()[0].excessPct);

    // Drawn with true diameters: two circles of 10 mm radius and two of 8 mm.
    Canvas canvas(400, 300);
    DesignResult::draw(p, canvas);
    int r10 = 0, r8 = 0;
    for (const auto& c : canvas.circles()) {
        r10 += std::abs(c.r - 0.010f) < 1e-6f;
        r8 += std::abs(c.r - 0.008f) < 1e-6f;
    }
    EXPECT_EQ(r10, 2);
    EXPECT_EQ(r8, 2);

    // A beam whose bars go on the face of largest y: the same bars, mirrored.
    Member top = member(MemberKind::Beam, 10, 3, 30, 50, 1);
    top.face = 1;
    const Placement up = designCode(top, ec2()).place(1);
    ASSERT_EQ(up.placed, 4);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NEAR(up.section->GetArmado()->GetY(i), -armado->GetY(i), 1e-7) << i;
        EXPECT_NEAR(up.section->GetArmado()->GetZ(i), armado->GetZ(i), 1e-7) << i;
    }

    // The line handed back (a saved member, the window's "Salir") places the same bars.
    const Placement again = r.placeLine("2 fi 20 + 2 fi 16");
    EXPECT_EQ(again.placed, 4);
    EXPECT_NEAR(again.section->GetArmado()->GetZ(3), armado->GetZ(3), 1e-7);
    const Placement foreign = r.placeLine("9 fi 25");
    EXPECT_EQ(foreign.placed, 0);
    EXPECT_TRUE(foreign.line.empty());
    ASSERT_EQ(foreign.messages.size(), 1u);
}

// Every row of a range of beams and columns, in both codes and series, is placed whole on the
// section: the overlap check of the reinforcement set agrees with the code's clear gaps.
TEST(CodeDesign, EveryRowOfARangeIsPlacedWhole) {
    int rows = 0;
    for (const char* series : {"Euro", "Mex"})
        for (auto c : {code::Code::EC2, code::Code::ACI})
            for (auto kind : {MemberKind::Beam, MemberKind::Column})
                for (int width : {25, 40, 60})
                    for (int area : {4, 15, 40})
                        for (int m : {4, 6}) {
                            if (kind == MemberKind::Beam && m != 4)
                                continue;
                            const Member mem =
                                member(kind, area, 3, width,
                                       kind == MemberKind::Beam ? 2 * width : width, m, series);
                            code::Options o;
                            o.code = c;
                            o.top = 0;
                            const CodeDesignResult r = designCode(mem, o);
                            for (std::size_t i = 0; i < r.arrangements().size(); ++i, ++rows) {
                                const Placement p = r.place(static_cast<std::int32_t>(i) + 1);
                                ASSERT_EQ(p.placed, r.arrangements()[i].bars)
                                    << series << " " << width << " " << area << " " << m << " "
                                    << p.line;
                                ASSERT_TRUE(p.messages.empty()) << p.line;
                            }
                        }
    EXPECT_GT(rows, 500);
}

TEST(CodeDesign, NothingFitsAndNoOutline) {
    // 30 cm² in a 20 × 30 beam: above the code's largest steel; no row, a message, not refused.
    const CodeDesignResult full = designCode(member(MemberKind::Beam, 30, 3, 20, 30, 1), ec2());
    EXPECT_TRUE(full.arrangements().empty());
    EXPECT_FALSE(full.chosen());
    EXPECT_FALSE(full.refused());
    ASSERT_EQ(full.messages().size(), 1u);
    // The bare outline is still drawn for it.
    EXPECT_TRUE(full.place(0).section);

    const CodeDesignResult none = designCode(member(MemberKind::Beam, 10, 3, 0, 50, 1), ec2());
    EXPECT_FALSE(none.hasOutline());
    EXPECT_TRUE(none.refused());
    EXPECT_TRUE(none.arrangements().empty());
    EXPECT_FALSE(none.messages().empty());
    EXPECT_FALSE(none.place(1).section);
}

} // namespace
} // namespace tresol::design

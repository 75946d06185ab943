// The design run against a member's actions: each row checked with its own bars as placed, the
// choice made among those that carry them, the area found from the actions when none is given.
#include "design/Run.h"

#include "design/Members.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tresol::design {
namespace {

// A 30 × 50 beam, cover 3 cm to the bars, C25/30 and B500 (the searches' EN defaults).
Member beam(double area, double myKnm) {
    Member m = fixtures::beam(area, 3, 30, 50);
    m.actions = Actions{0, myKnm, 0};
    return m;
}

const Row& rowOf(const RunResult& r, const std::string& line) {
    for (const Row& row : r.rows())
        if (row.line == line)
            return row;
    ADD_FAILURE() << "no row " << line;
    return r.rows().front();
}

// '5 fi 16' at 3.8 cm from the face: d = 46.2 cm, As = 10.053 cm², fyd = 434.78 MPa, fcd = 16.67.
// Rectangular block: x = As·fyd / (0.8·b·fcd) = 10.927 cm, M_Rd = As·fyd·(d − 0.4x) = 182.83
// kN·m; the parabola-rectangle the engine integrates lies within 1 % of it. Under 200 kN·m that
// row fails and the lightest that carries the moment is chosen.
TEST(RunStrength, DescribedRowsAreCheckedAndTheChoiceCarriesTheMoment) {
    const RunResult r = run(beam(10, 200), {});
    const Row& five = rowOf(r, "5 fi 16");
    ASSERT_TRUE(five.mRdKnm && five.utilisation);
    EXPECT_NEAR(*five.mRdKnm, 182.83, 0.01 * 182.83);
    EXPECT_NEAR(*five.utilisation, 200 / *five.mRdKnm, 1e-6);
    ASSERT_TRUE(r.chosen());
    const Row& chosen = r.rows()[*r.chosen()];
    EXPECT_EQ(chosen.line, "4 fi 20");
    EXPECT_LE(*chosen.utilisation, 1);
    for (const Row& row : r.rows()) { // every lighter placeable row fails
        if (row.placeable && row.totalAreaCm2 < chosen.totalAreaCm2) {
            EXPECT_GT(*row.utilisation, 1) << row.line;
        }
    }

    // The same beam with its bars on the other face, under the same moment on that face: a
    // mirror image, the same resistance.
    Member flipped = beam(10, 200);
    flipped.face = 1;
    const RunResult f = run(flipped, {});
    EXPECT_NEAR(*rowOf(f, "5 fi 16").mRdKnm, *five.mRdKnm, 1e-9 * *five.mRdKnm);
    // A moment that stretches the face without bars leaves them on the compressed side.
    const RunResult hogging = run(beam(10, -200), {});
    EXPECT_LT(std::abs(*rowOf(hogging, "5 fi 16").mRdKnm), 100);
}

// No area: μ = M/(b·d²·fcd) = 150/(0.3·0.462²·16 667) = 0.1406, ξ = (0.8 − √(0.64 − 1.28μ))/0.64
// = 0.1902, z = d(1 − 0.4ξ) = 0.4269 m, As = M/(z·fyd) = 8.08 cm² with one layer of Ø16 assumed.
// The code search lists from there only arrangements that carry 150 kN·m.
TEST(RunStrength, AreaFromTheActionsAndOnlyCarryingCodeRows) {
    const RunResult r = run(beam(0, 150), {SearchKind::EC2, {}});
    EXPECT_NEAR(r.areaCm2(), 8.08, 0.01);
    ASSERT_FALSE(r.rows().empty());
    for (const Row& row : r.rows())
        EXPECT_LE(*row.utilisation, 1) << row.line;
    EXPECT_EQ(r.chosen(), 0u);
    EXPECT_NE(r.messages().back().text.find("8,08 cm²"), std::string::npos);
}

// 9 cm² asked under 250 kN·m: none of the first arrangements the run checks (30, three times the
// three rows asked for and no fewer than 30) carries it, so it looks down the whole list and lists
// the first three that do.
TEST(RunStrength, AShortListThatCarriesNothingIsSearchedFurther) {
    Search ec2{SearchKind::EC2, {}};
    ec2.code.top = 3;
    const RunResult r = run(beam(9, 250), ec2);
    ASSERT_EQ(r.rows().size(), 3u);
    for (const Row& row : r.rows())
        EXPECT_LE(*row.utilisation, 1) << row.line;
}

// ACI 40 × 40 column, 8 cm² asked, N = 4000 kN: the list's window reaches 14.4 cm², whose
// φ·0.80·Po = 0.65·0.80·(0.85·28·(1600 − 14.4) + 420·14.4)·0.1 = 2 277 kN < 4000 kN — nothing
// carries it, said with the least utilisation, and nothing is chosen.
TEST(RunStrength, NothingCarriesTheLoad) {
    Member m = beam(8, 300);
    m.kind = MemberKind::Column;
    m.widthCm = m.heightCm = 40;
    m.multiple = 4;
    m.actions->nKn = 4000;
    const RunResult r = run(m, {SearchKind::ACI, {}});
    EXPECT_TRUE(r.rows().empty());
    EXPECT_FALSE(r.chosen());
    ASSERT_FALSE(r.messages().empty());
    EXPECT_EQ(r.messages().back().text.rfind("ningún armado resiste las acciones", 0), 0u);

    m.actions->nKn = std::numeric_limits<double>::quiet_NaN();
    const RunResult bad = run(m, {SearchKind::ACI, {}});
    EXPECT_TRUE(bad.refused());
    EXPECT_TRUE(bad.rows().empty());
}

} // namespace
} // namespace tresol::design

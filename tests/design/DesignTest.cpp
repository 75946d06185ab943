#include "design/Design.h"
#include "design/Members.h"

#include "design/CodeDesign.h"
#include "design/Run.h"
#include "drawing/Canvas.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tresol::design {
namespace {

using fixtures::beam;

Member column(double area, double cover, double width, int sides, const char* series = "Euro") {
    Member m = beam(area, cover, width, width, sides, series);
    m.kind = MemberKind::Column;
    return m;
}

std::vector<std::string> lines(const DesignResult& r) {
    std::vector<std::string> out;
    for (const auto& c : r.candidates())
        out.push_back(c.line);
    return out;
}

const Candidate* findLine(const DesignResult& r, const std::string& line) {
    for (const auto& c : r.candidates())
        if (c.line == line)
            return &c;
    return nullptr;
}

// The window's beam, 30 × 50, cover 3, 10 cm² (CArmador's test works out its three lines): figures
// to the seven digits single precision holds (16 mm, not 16.00000075995922), the excess following
// from the area shown, the least steel chosen; five 16 mm bars spread over 0.30 − 2 × 0.038 =
// 0.224, so 0.056 apart.
TEST(Design, WindowBeamGivesItsThreeCandidates) {
    const DesignResult r = design(beam(10, 3, 30, 50));
    ASSERT_EQ(lines(r), (std::vector<std::string>{"5 fi 16", "4 fi 20", "3 fi 25"}));
    for (const Candidate& c : r.candidates()) {
        SCOPED_TRACE(c.line);
        EXPECT_NEAR(c.excessPct, (c.totalAreaCm2 - 10) * 10, 1e-3);
        EXPECT_TRUE(c.placeable);
        EXPECT_EQ(c.placed, c.bars);
    }
    const Candidate& first = r.candidates()[0];
    EXPECT_EQ(first.diameterMm, 16.0);
    EXPECT_EQ(first.totalAreaCm2, 10.0531);
    EXPECT_EQ(first.excessPct, 0.531);
    EXPECT_EQ(first.spacingCm, 5.6);
    ASSERT_TRUE(r.chosen());
    EXPECT_EQ(*r.chosen(), 0u); // least steel
    EXPECT_TRUE(r.messages().empty());
    EXPECT_TRUE(r.searched());

    const Placement p = r.place(1);
    EXPECT_EQ(p.line, "5 fi 16");
    EXPECT_EQ(p.placed, 5);
    EXPECT_TRUE(p.messages.empty());
    // 6 m long: 10.0531e-4 m² · 6 m · 7850 kg/m³ = 47.3501 kg of steel in row 1.
    Member six = beam(10, 3, 30, 50);
    six.lengthM = 6;
    EXPECT_NEAR(*run(six, {}).rows().at(0).massKg, 47.3501, 1e-4);
}

// Rows whose bars do not all fit are marked and say how many do; picking one raises the messages.
TEST(Design, UnplaceableCandidatesAreMarked) {
    struct Case {
        const char* name;
        Member m;
        std::string line;
    } cases[] = {
        // 20 bars of 8 mm on a 20 cm beam face with 2 cm cover: 16 cm less a diameter leaves
        // 15.2 cm for 19 gaps, exactly touching bars, which single precision refuses in part.
        {"beam", beam(10, 2, 20, 40, 5), "20 fi 8"},
        // 12 # 8 on a 20 cm column with 6 cm cover: 3 bars a face on a 5.5 cm bar line.
        {"column", column(60, 6, 20, 4, "Mex"), "12 # 8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DesignResult r = design(c.m);
        const Candidate* hit = findLine(r, c.line);
        ASSERT_NE(hit, nullptr);
        EXPECT_FALSE(hit->placeable);
        EXPECT_LT(hit->placed, hit->bars);
        const Placement p = r.place(hit->row);
        EXPECT_EQ(p.placed, hit->placed);
        ASSERT_FALSE(p.messages.empty());
        EXPECT_EQ(p.messages.front().text, "Se ha intentado meter un redondo que no cabe");
        if (r.chosen()) {
            EXPECT_TRUE(r.candidates()[*r.chosen()].placeable);
        }
    }
}

TEST(Design, RefusedAndOutlinelessMembers) {
    // A multiple below one half: refused, nothing searched.
    const DesignResult refused = design(beam(10, 3, 30, 50, 0.2));
    EXPECT_FALSE(refused.searched());
    EXPECT_FALSE(refused.chosen());
    for (double width : {0.0, -30.0, std::nan(""), 1e30}) {
        SCOPED_TRACE(width);
        const DesignResult r = design(beam(10, 3, width, 50));
        EXPECT_FALSE(r.hasOutline());
        for (const auto& c : r.candidates())
            EXPECT_FALSE(c.placeable);
        EXPECT_FALSE(r.chosen());
        Canvas canvas(400, 300);
        canvas.Line(0, 0, 10, 10);
        DesignResult::draw(r.place(1), canvas);
        EXPECT_TRUE(canvas.items().empty());
    }
    EXPECT_FALSE(design(column(10, 3, 40, 2)).hasOutline());
    EXPECT_TRUE(design(column(10, 3, 40, 6)).hasOutline());
}

// A list left empty on sound data says why in one message, worked out by hand from the list's
// rules (a count that is a multiple of the multiple, at most 1000 bars, centres at least a
// diameter and 5 cm apart and at most 30 cm; the bar line multiple × width − 2 × cover, its
// n bars (line − d)/(n − 1) apart, or line/2 for one):
// - column 30 × 30, cover 3, 4 sides, 300 cm²: line 4 × 30 − 6 = 114 cm. fi 25: n − 1 ≤
//   (114 − 2.5)/5 = 22.3, so n ≤ 23, and a multiple of 4: 20 bars 5.87 cm apart, 20 × 4.9087 =
//   98.17 cm²; fi 20 gives at most 20 × 3.1416 = 62.83. 98.17 < 300, given rounded down: 98,1.
// - beam 100 × 50, cover 3, 1 cm²: line 94 cm. 4 fi 6 are 31.1 cm apart; 2 fi 8, 2 fi 10, 1 fi 12
//   are 93 or 47 cm apart, and one fi 16 (2.01 cm²) is 101 % over. The section holds far more
//   (19 fi 25): the 0.99…1.8 cm² the list takes is named instead.
// - beam 6 wide, cover 2: a 2 cm line; one bar has 1 cm either side, under 5 cm.
// - a 10 km beam: 1000 bars on it are 10 m apart.
TEST(Design, AnEmptyListSaysWhyOnce) {
    const struct {
        const char* id;
        Member m;
        std::string message; // empty: none
    } cases[] = {
        {"column 30 x 30 needing 300", column(300, 3, 30, 4), "no cabe: como máximo 98,1 cm²"},
        {"beam 100 wide needing 1", beam(1, 3, 100, 50),
         "ninguna disposición da entre 0,99 y 1,80 cm² con los redondos a entre 5 y 30 cm"},
        {"beam 6 wide", beam(1, 2, 6, 50),
         "ninguna disposición de 1 a 1000 redondos queda a entre 5 y 30 cm"},
        {"beam 10 km wide", beam(10, 3, 1e6, 50),
         "ninguna disposición de 1 a 1000 redondos queda a entre 5 y 30 cm"},
        {"area 0", beam(0, 3, 30, 50), ""},
        {"cover wider than half the width", beam(10, 20, 30, 50),
         "Recubrimiento incompatible con ancho. Se hacen cero."},
        {"multiple 0", beam(10, 3, 30, 50, 0), "Error: el múltipo debe ser >= 0"},
    };
    for (const char separator : {'.', ','}) {
        platform::ScopedNumberLocale locale(separator);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.id);
            const DesignResult r = design(c.m);
            EXPECT_TRUE(r.candidates().empty());
            std::vector<std::string> texts;
            for (const Message& m : r.messages())
                texts.push_back(m.text);
            EXPECT_EQ(texts, c.message.empty() ? std::vector<std::string>{}
                                               : std::vector<std::string>{c.message});
        }
    }
    // The figure is what the section does hold: asked for just that, the list gives its row.
    EXPECT_EQ(lines(design(column(98.17, 3, 30, 4))), (std::vector<std::string>{"20 fi 25"}));
}

// The schedule's choice: the lightest placeable row with at least the required area; only when
// every placeable row is short (the search lists rows up to 1 % short), the least short one,
// with a note of its shortfall, which the window (it does not choose) is not shown.
TEST(Design, ChosenIsNeverShortUnlessEveryPlaceableRowIs) {
    struct Case {
        const char* name;
        Member m;
        std::vector<std::string> shortLines;
        std::string chosen;
        std::string note; // empty: none
    } cases[] = {
        // examples/members.csv V-103: 3 # 6 = 3 × π·1.905²/4 = 8.5507 < 8.6 is short;
        // 2 # 8 = 2 × π·2.54²/4 = 10.134 is not.
        {"V-103", beam(8.6, 4, 25, 45, 1, "Mex"), {"3 # 6"}, "2 # 8", ""},
        // 60 × 80 beam needing 34.6: 11 fi 20 = 34.5575 and 7 fi 25 = 34.3612, both short: the
        // one that comes closer, 11 fi 20, though 7 fi 25 is lighter. It lacks
        // (34.6 − 34.55752)/34.6 = 0.1228 %, said as 0,2 (never as less than it is).
        {"all short",
         beam(34.6, 3, 60, 80),
         {"11 fi 20", "7 fi 25"},
         "11 fi 20",
         "Ninguno de los armados que caben llega al área necesaria; se elige el que más se "
         "acerca, 11 fi 20 (34,55752 cm² de 34,6 cm²): falta 0,2 % del área necesaria."},
        // A 20 cm beam needing 9.9: only 2 fi 25 = 2 × 4.908739 = 9.817478 fits, short by
        // 0.082522/9.9 = 0.834 %: 0,9, where rounding to the nearest would say 0,8.
        {"rounded up",
         beam(9.9, 3, 20, 40),
         {"2 fi 25"},
         "2 fi 25",
         "Ninguno de los armados que caben llega al área necesaria; se elige el que más se "
         "acerca, 2 fi 25 (9,817478 cm² de 9,9 cm²): falta 0,9 % del área necesaria."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DesignResult r = design(c.m);
        std::vector<std::string> shortLines;
        for (const auto& cand : r.candidates())
            if (cand.isShort)
                shortLines.push_back(cand.line);
        EXPECT_EQ(shortLines, c.shortLines);
        ASSERT_TRUE(r.chosen());
        EXPECT_EQ(r.candidates()[*r.chosen()].line, c.chosen);
        const auto schedule = r.scheduleMessages();
        EXPECT_EQ(schedule.size(), r.messages().size() + !c.note.empty());
        if (!c.note.empty()) {
            EXPECT_EQ(schedule.back().text, c.note);
            for (const auto& m : r.messages())
                EXPECT_NE(m.text, c.note);
        }
    }
}

// The gaps of the bars as placed, which the line's figure does not always give.
TEST(Design, GapsAreMeasuredOnTheBarsPlaced) {
    struct Case {
        const char* name;
        Member m;
        std::string line;
        double centre, clear; // cm
    } cases[] = {
        // P-1 (40 × 40, cover 3): the centres of 12 fi 16 lie on a square 3 + 0.8 = 3.8 cm in
        // from the faces, 40 − 2·3.8 = 32.4 cm a side, four bars a side with the corners
        // shared: 32.4/3 = 10.8 apart, 10.8 − 1.6 = 9.2 clear (the line's figure: 13.85).
        {"P-1", column(24, 3, 40, 4), "12 fi 16", 10.8, 9.2},
        // A beam whose two faces share the line (multiple 2) still has all 8 fi 16 on its one
        // face: 30 − 2·3 − 1.6 = 22.4 cm between the end centres, 22.4/7 = 3.2 apart, 1.6 clear
        // (the line's figure: 7.49).
        {"two faces", beam(14.2, 3, 30, 60, 2), "8 fi 16", 3.2, 1.6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DesignResult r = design(c.m);
        const Candidate* cand = findLine(r, c.line);
        ASSERT_NE(cand, nullptr);
        ASSERT_TRUE(cand->centreSpacingCm && cand->clearGapCm);
        EXPECT_NEAR(*cand->centreSpacingCm, c.centre, 1e-5);
        EXPECT_NEAR(*cand->clearGapCm, c.clear, 1e-5);
    }
    const DesignResult unchecked = design(beam(10, 3, 30, 50), nullptr, {.checkPlacement = false});
    EXPECT_FALSE(unchecked.candidates().at(0).centreSpacingCm);

    // EC2's preferred row for the window beam, 2 fi 20 + 2 fi 16, has its centres 4.0, 11.4,
    // 18.6 and 26.0 cm across: nearest 11.4 → 18.6 = 7.2; clear 7.4 − (1.0 + 0.8) = 5.6 at the
    // corners, 7.2 − 0.8 − 0.8 = 5.6 between the small bars.
    const CodeDesignResult code = designCode(beam(10, 3, 30, 50), {});
    ASSERT_FALSE(code.arrangements().empty());
    ASSERT_EQ(code.arrangements()[0].line, "2 fi 20 + 2 fi 16");
    const auto gaps = code.gaps(0);
    ASSERT_TRUE(gaps);
    EXPECT_NEAR(gaps->centreCm, 7.2, 1e-5);
    EXPECT_NEAR(gaps->clearCm, 5.6, 1e-5);
    EXPECT_FALSE(code.isShort(0));
}

} // namespace
} // namespace tresol::design

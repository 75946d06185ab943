#include "reinforcement/CArmador.h"
#include "platform/MemoryGrid.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "reinforcement/Fixtures.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace tresol;
using platform::MemoryGrid;
using platform::RecordingSink;
constexpr auto catalogue = fixtures::windowCatalogue;

namespace {

struct Search {
    CArmador arm;
    bool ok = false;
    float lado = 0, recub = 0;
};

// The design window's call: open line, spacing 0.05…0.3, 1…1000 bars.
std::unique_ptr<Search> search(const char* series, float area, float lado, float recub,
                               double multiplo) {
    auto s = std::make_unique<Search>();
    s->lado = lado;
    s->recub = recub;
    s->ok = s->arm.Ini(area, catalogue(series), s->lado, false, 0.05f, 0.3f, 1, 1000, s->recub,
                       multiplo);
    return s;
}

std::vector<std::string> lines(const CArmador& a) {
    std::vector<std::string> out;
    for (std::int32_t i = 1; i <= a.GetNumRedondos(); ++i)
        out.push_back(a.GetLinea(i));
    return out;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(CArmador, BeamOnEuroListsThreeDiametersWithTheirTableRows) {
    platform::ScopedNumberLocale point('.');
    RecordingSink rec;
    auto s = search("Euro", 0.001f, 0.30f, 0.03f, 1);
    EXPECT_TRUE(s->ok);
    EXPECT_TRUE(rec.texts().empty());
    EXPECT_EQ(lines(s->arm), (Lines{"5 fi 16", "4 fi 20", "3 fi 25"}));
    // The other two rows' spacings show in the table, c/7 and c/10 cm.
    EXPECT_NEAR(s->arm.GetSeparacion(5, 0.016f), 0.056, 1e-6);

    MemoryGrid g;
    s->arm.PasaRedondosGrid(g);
    EXPECT_EQ(g.Cols(), 5);
    EXPECT_EQ(g.Rows(), 4);
    EXPECT_EQ(g.ColWidth(0), 600);
    EXPECT_EQ(g.ColWidth(3), 800);
    const Lines expected[] = {{"5 fi 16", "2.01", "10.05", "fi 16 c/5", ""},
                              {"4 fi 20", "3.14", "12.57", "fi 20 c/7", ""},
                              {"3 fi 25", "4.91", "14.73", "fi 25 c/10", ""}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(g.TextMatrix(r, c), expected[r - 1][static_cast<std::size_t>(c)])
                << "row " << r << " col " << c;
}

TEST(CArmador, BeamOnMexAndTheDecimalSeparatorOfTheLocale) {
    platform::ScopedNumberLocale comma(',');
    auto s = search("Mex", 0.001f, 0.30f, 0.03f, 1);
    EXPECT_EQ(lines(s->arm), (Lines{"5 # 5", "4 # 6", "2 # 8"}));
    MemoryGrid g;
    s->arm.PasaRedondosGrid(g);
    EXPECT_EQ(g.TextMatrix(3, 3), "# 8 c/21");
    EXPECT_EQ(g.TextMatrix(3, 1), "5,07");
}

// With two faces laid end to end (width 2 x 0.30 - 0.06 = 0.54) the steps of the search give
// 12 mm: 9 -> 10 (multiple), spacing 0.0587; 16 mm: 5 -> 6, 0.1048; 20 mm: 3 -> 4, 0.1733;
// 25 mm: 2 -> 3 (shortfall) -> 4 (multiple), excess 96 % rejected. A 40 cm column, multiple 4.
TEST(CArmador, MultiplesFollowTheSearchSteps) {
    auto s = search("Euro", 0.001f, 0.30f, 0.03f, 2);
    EXPECT_EQ(lines(s->arm), (Lines{"10 fi 12", "6 fi 16", "4 fi 20"}));
    EXPECT_NEAR(s->arm.GetSeparacion(10, 0.012f), 0.528 / 9, 1e-6);
    EXPECT_EQ(lines(search("Euro", 0.002f, 0.40f, 0.03f, 4)->arm),
              (Lines{"28 fi 10", "20 fi 12", "12 fi 16", "8 fi 20"}));
}

// A fractional multiple behaves as the whole number it rounds to (halves to even), which is what
// the window's scroll bar would have given: same candidates, same spacing, every count a
// multiple of it. 2.6 once kept 5 bars of 16 mm (⌊5 ÷ 2.6 + 1⌋ × 2.6 = 5.2 → 5), not a multiple
// of 3.
TEST(CArmador, FractionalMultipleIsRoundedLikeTheWindowsWholeValue) {
    const struct {
        double fractional;
        int whole;
    } rows[] = {{2.5, 2}, {2.6, 3}, {3.5, 4}, {0.5000001, 1}};
    for (const auto& row : rows) {
        auto frac = search("Euro", 0.001f, 0.30f, 0.03f, row.fractional);
        auto whole = search("Euro", 0.001f, 0.30f, 0.03f, row.whole);
        EXPECT_TRUE(frac->ok) << row.fractional;
        EXPECT_EQ(lines(frac->arm), lines(whole->arm)) << row.fractional;
        for (std::int32_t i = 1; i <= frac->arm.GetNumRedondos(); ++i)
            EXPECT_EQ(frac->arm.GetNumero(i) % row.whole, 0) << row.fractional;
        EXPECT_EQ(frac->arm.GetSeparacion(6, 0.016f), whole->arm.GetSeparacion(6, 0.016f))
            << row.fractional;
    }
}

// A multiple past 2^24 has no exact single-precision copy (18803827 is stored as 18803828):
// the counts must still be multiples of the whole number asked for. Found by fuzzing.
TEST(CArmador, HugeMultipleKeepsItsCountsWhole) {
    const double m = 18803827.2; // rounds to 18803827
    const auto cat = catalogue("Euro");
    // fi 6 (2.827e-5 m²): 46.5·m bars' worth of area goes up to 47·m bars, half a multiple over.
    const float area = static_cast<float>(46.5 * 18803827 * cat->GetAreaIndice(1));
    float lado = 1.0f, recub = 0.0f;
    CArmador arm;
    EXPECT_TRUE(arm.Ini(area, cat, lado, false, std::nullopt, std::nullopt, 1,
                        std::numeric_limits<std::int32_t>::max(), recub, m));
    ASSERT_GT(arm.GetNumRedondos(), 0);
    for (std::int32_t i = 1; i <= arm.GetNumRedondos(); ++i)
        EXPECT_EQ(arm.GetNumero(i) % 18803827, 0) << arm.GetLinea(i);
}

TEST(CArmador, SpacingOfOneBarAndOfAClosedRing) {
    auto s = search("Euro", 0.0f, 0.30f, 0.03f, 1);
    EXPECT_EQ(s->arm.GetNumRedondos(), 0); // area 0: an excess of 0 is not below 0
    EXPECT_NEAR(s->arm.GetSeparacion(1, 0.016f), 0.12, 1e-7);
    EXPECT_NEAR(s->arm.GetSeparacion(0, 0.016f), 0.12, 1e-7);

    CArmador ring;
    float lado = 0.4f, recub = 0.03f;
    ring.Ini(0.0f, catalogue("Euro"), lado, true, {}, {}, 1, 1000, recub, 4);
    EXPECT_NEAR(ring.GetSeparacion(8, 0.02f), (0.4 - 0.06 - 0.02) * 4 / 8, 1e-6);
}

TEST(CArmador, MessagesOfIniAndTheirResults) {
    RecordingSink rec;
    // Cover too large: message, both zeroed for the caller, no candidate, still true.
    auto s = search("Euro", 0.001f, 0.30f, 0.16f, 1);
    EXPECT_TRUE(s->ok);
    EXPECT_EQ(s->lado, 0.0f);
    EXPECT_EQ(s->recub, 0.0f);
    EXPECT_EQ(s->arm.GetNumRedondos(), 0);
    EXPECT_EQ(rec.texts(), Lines{"Recubrimiento incompatible con ancho. Se hacen cero."});
    rec.clear();
    // Exactly twice the cover is accepted.
    EXPECT_EQ(search("Euro", 0.001f, 0.30f, 0.15f, 1)->lado, 0.30f);
    EXPECT_TRUE(rec.texts().empty());

    for (double m :
         {0.0, -1.0, 0.3, 0.5 /* to even: 0 */, std::numeric_limits<double>::quiet_NaN(), 1e12}) {
        rec.clear();
        auto bad = search("Euro", 0.001f, 0.30f, 0.03f, m);
        EXPECT_FALSE(bad->ok) << m;
        EXPECT_EQ(bad->arm.GetNumRedondos(), 0) << m;
        EXPECT_EQ(rec.texts(), Lines{"Error: el múltipo debe ser >= 0"}) << m;
    }

    rec.clear();
    CArmador a;
    float lado = 0.3f, recub = 0.03f;
    EXPECT_FALSE(a.Ini(0.001f, catalogue("Euro"), lado, false, 0.05f, 0.3f, 0, 1000, recub, 1));
    EXPECT_EQ(rec.texts(), Lines{"Error: el número minimo de redondos debe ser 1"});
    EXPECT_EQ(a.GetNumRedondos(), 3); // the search still runs with the values given

    rec.clear();
    CArmador b;
    EXPECT_FALSE(b.Ini(0.001f, catalogue("Euro"), lado, false, 0.05f, 0.3f, 5, 4, recub, 1));
    EXPECT_EQ(rec.texts(),
              Lines{"Error: el número máximo de redondos debe ser mayor que el número mínimo"});
    EXPECT_EQ(b.GetNumRedondos(), 0);

    CArmador c; // equal limits are accepted
    EXPECT_TRUE(c.Ini(0.001f, catalogue("Euro"), lado, false, 0.05f, 0.3f, 5, 5, recub, 1));
    EXPECT_EQ(lines(c), Lines{"5 fi 16"});
}

TEST(CArmador, HugeOrNonFiniteAreasFindNothingWithoutOverflow) {
    for (float area : {1e30f, std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::quiet_NaN(), -1.0f}) {
        auto s = search("Euro", area, 0.30f, 0.03f, 1);
        EXPECT_EQ(s->arm.GetNumRedondos(), 0) << area;
    }
}

TEST(CArmador, SecondIniAppendsAndBadIndicesAreProgrammingErrors) {
    CArmador a;
    auto cat = catalogue("Euro");
    float lado = 0.3f, recub = 0.03f;
    a.Ini(0.001f, cat, lado, false, 0.05f, 0.3f, 1, 1000, recub, 1);
    a.Ini(0.001f, cat, lado, false, 0.05f, 0.3f, 1, 1000, recub, 1);
    EXPECT_EQ(a.GetNumRedondos(), 6);
    EXPECT_THROW(a.GetLinea(0), ProgrammingError);
    EXPECT_THROW(a.GetLinea(7), ProgrammingError);
}

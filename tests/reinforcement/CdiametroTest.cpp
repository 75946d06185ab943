#include "reinforcement/Cdiametro.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"

#include <gtest/gtest.h>

using namespace tresol;
using platform::RecordingSink;

TEST(Cdiametro, EuroSeriesWithAndWithoutTheOptional14) {
    Cdiametro c;
    EXPECT_FALSE(c.Ini("Euro", "m"));
    EXPECT_EQ(c.GetIndiMin(), 1);
    EXPECT_EQ(c.GetIndiMax(), 7);
    EXPECT_EQ(c.GetDiamRefer(5), "16");
    EXPECT_FLOAT_EQ(c.GetDiametroMetros(7), 0.025f);
    EXPECT_EQ(c.GetRefGener(), "fi");
    // Area of the 16 mm bar: pi d^2 / 4 with pi = 3.14159265359.
    EXPECT_NEAR(c.GetAreaIndice(5), 2.0106193e-4f, 1e-10);

    c.Ini("Euro", "m", true);
    EXPECT_EQ(c.GetIndiMax(), 8);
    EXPECT_EQ(c.GetDiamRefer(5), "14");
    EXPECT_EQ(c.GetDiamRefer(6), "16");
    EXPECT_FLOAT_EQ(c.GetDiametroMetros(5), 0.014f);
}

TEST(Cdiametro, MexSeriesWithAndWithoutBar7) {
    Cdiametro c;
    c.Ini("Mex", "m", std::nullopt, true);
    EXPECT_EQ(c.GetIndiMax(), 8);
    EXPECT_EQ(c.GetDiamRefer(7), "7");
    EXPECT_FLOAT_EQ(c.GetDiametroMetros(7), 0.02223f);
    EXPECT_EQ(c.GetRefGener(), "#");

    c.Ini("Mex", "m");
    EXPECT_EQ(c.GetIndiMax(), 7);
    EXPECT_EQ(c.GetDiamRefer(7), "8");
    EXPECT_FLOAT_EQ(c.GetDiametroMetros(7), 0.0254f);
    EXPECT_FLOAT_EQ(c.GetDiametroMetros(1), 0.00318f);
}

TEST(Cdiametro, FindsReferencesTrimmedAndReportsMissingOnes) {
    Cdiametro c;
    c.Ini("Euro", "m");
    RecordingSink rec;
    EXPECT_EQ(c.GetIndiceDeDiametro("  16 "), 5);
    EXPECT_TRUE(rec.texts().empty());
    EXPECT_EQ(c.GetIndiceDeDiametro("14"), 0);
    ASSERT_EQ(rec.entries().size(), 1u);
    EXPECT_EQ(rec.entries()[0].text, "no se ha encontrado diametro.");
    EXPECT_EQ(rec.entries()[0].icon, platform::MsgIcon::Critical);
}

TEST(Cdiametro, ParsesArrangementLines) {
    Cdiametro c;
    c.Ini("Euro", "m");
    std::int32_t n = 0, idx = 0;
    std::string ref;
    float d = 0;
    c.GetNumArmaRefDiam("12 fi 20", n, ref, idx, d);
    EXPECT_EQ(n, 12);
    EXPECT_EQ(ref, " 20");
    EXPECT_EQ(idx, 6);
    EXPECT_FLOAT_EQ(d, 0.02f);
    // The middle word is not examined.
    c.GetNumArmaRefDiam("4 # 16", n, ref, idx, d);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(idx, 5);

    Cdiametro mex;
    mex.Ini("Mex", "m");
    mex.GetNumArmaRefDiam("3 # 6", n, ref, idx, d);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(idx, 6);
    EXPECT_FLOAT_EQ(d, 0.01905f);

    RecordingSink rec;
    for (const char* bad : {"4fi16", "4 fi", "x fi 16", "4 fi x", "99999999999 fi 16", "4 fi 14"})
        EXPECT_THROW(c.GetNumArmaRefDiam(bad, n, ref, idx, d), ProgrammingError) << bad;
}

TEST(Cdiametro, LetTipoRebuildsOnlyOnAChangeOfSeries) {
    Cdiametro c;
    c.Ini("Euro", "m", true);
    EXPECT_FALSE(c.LetTipo("Euro"));
    EXPECT_EQ(c.GetIndiMax(), 8); // the 14 mm bar survives
    EXPECT_TRUE(c.LetTipo("Mex"));
    EXPECT_EQ(c.GetTipo(), "Mex");
    EXPECT_EQ(c.GetIndiMax(), 7);
    EXPECT_TRUE(c.LetTipo("Euro"));
    EXPECT_EQ(c.GetIndiMax(), 7); // optional bars dropped
    EXPECT_EQ(c.GetUnidades(), "m");
}

TEST(Cdiametro, OutOfRangeUseIsAProgrammingError) {
    Cdiametro c;
    EXPECT_EQ(c.GetIndiMax(), 0);
    EXPECT_THROW(c.GetRefGener(), ProgrammingError);
    c.Ini("Euro", "m");
    EXPECT_THROW(c.GetDiamRefer(0), ProgrammingError);
    EXPECT_THROW(c.GetAreaIndice(8), ProgrammingError);
    EXPECT_THROW(c.GetDiametroMetros(-1), ProgrammingError);
    EXPECT_THROW(c.LetRefUnidades("cm"), ProgrammingError);
    EXPECT_THROW(c.Ini("euro", "m"), ProgrammingError);
}

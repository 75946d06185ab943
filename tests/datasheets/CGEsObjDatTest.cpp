#include "datasheets/CGEsObjDat.h"
#include "datasheets/CHojaFrm.h"
#include "datasheets/MemoryForm.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

using namespace tresol;
using Kind = tresol::MemoryForm::Kind;

TEST(CGEsObjDat, PassesOverInputsAndResults) {
    MemoryForm form("f");
    form.add(Kind::TextBox, "a", std::nullopt, std::string("1"));
    form.add(Kind::TextBox, "b", std::nullopt, std::string("texto"));
    const auto r = form.add(Kind::Label, "r");
    form.add(Kind::TextBox, "Viga.luz", std::nullopt, std::string("6"));
    platform::RecordingSink rec;
    CHojaFrm hoja;
    ASSERT_TRUE(hoja.Ini(form));
    CGEsObjDat gestor;
    gestor.Ini();
    gestor.AnyadeDatObj("a", true, "dato a");
    gestor.AnyadeDatObj("b", true, "dato b");
    gestor.AnyadeDatObj("r", false, "resultado r");

    EXPECT_FLOAT_EQ(gestor.GetDatFloat("a", hoja, false), 1.0f);
    EXPECT_FALSE(gestor.FinGestIO(true)); // b forgotten
    EXPECT_FLOAT_EQ(gestor.GetDatBoolean("a", hoja), -1.0f);
    EXPECT_EQ(gestor.GetDatString("b", hoja, true), "texto");
    EXPECT_TRUE(gestor.FinGestIO(true));
    EXPECT_FALSE(gestor.FinGestIO(true)); // the pass ended: nothing handled any more

    // Results are judged on their own; the inputs, unhandled now, do not count.
    EXPECT_FALSE(gestor.FinGestIO(false));
    gestor.OutHoja("r", 2.5f, hoja);
    EXPECT_EQ(valueText(form.at(r).value), "2.5");
    EXPECT_EQ(form.at(r).toolTip, "resultado r");
    EXPECT_TRUE(gestor.FinGestIO(false));

    EXPECT_THROW(gestor.GetDatFloat("c", hoja, false), ProgrammingError);
    EXPECT_THROW(gestor.OutHoja("c", 1, hoja), ProgrammingError);
    EXPECT_THROW(gestor.AnyadeDatObj("a", false, ""), ProgrammingError);
    EXPECT_THROW(gestor.AnyadeDatObj("", true, ""), ProgrammingError);
    gestor.Ini(); // a new manager: nothing declared
    EXPECT_TRUE(gestor.FinGestIO(true));
    EXPECT_THROW(gestor.GetDatFloat("a", hoja, false), ProgrammingError);

    // Read twice through the object's qualified name: the first read must not qualify the
    // declared name again.
    gestor.AnyadeDatObj("luz", true, "");
    hoja.SetUsaNombre(true);
    hoja.SetObjetoIni("Viga", false);
    for (int vez = 1; vez <= 2; ++vez)
        EXPECT_FLOAT_EQ(gestor.GetDatFloat("luz", hoja, true), 6.0f) << "read " << vez;
    EXPECT_TRUE(gestor.FinGestIO(true));
    EXPECT_TRUE(rec.texts().empty());
}

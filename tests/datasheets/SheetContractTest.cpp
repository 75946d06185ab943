#include "datasheets/CHojaFrm.h"
#include "datasheets/CHojaText.h"
#include "datasheets/MemoryForm.h"

#include <gtest/gtest.h>

using namespace tresol;

// Cell-addressed operations (and window-only ones on text) are refused; SetNombreObj does nothing.
TEST(SheetContract, UnsupportedOperationsAreRefused) {
    MemoryForm form("f");
    CHojaFrm frm;
    frm.Ini(form);
    CHojaText text;
    for (IHojaDat* hoja : {static_cast<IHojaDat*>(&frm), static_cast<IHojaDat*>(&text)}) {
        SCOPED_TRACE(hoja == &frm ? "window sheet" : "text sheet");
        std::int32_t a = 0, b = 0, c = 0, d = 0;
        Array2<float> m;
        EXPECT_THROW(hoja->GetCeldaDeHoja("x", a, b, "h"), ProgrammingError);
        EXPECT_THROW(hoja->MuestraHojaActiva(), ProgrammingError);
        EXPECT_THROW(hoja->GetValorCelda(1, 1), ProgrammingError);
        EXPECT_THROW(hoja->LlenaTablaNoRefSingle(1, 1, 2, 2, m), ProgrammingError);
        EXPECT_THROW(hoja->GetRango("a", "b", a, b, c, d, "h"), ProgrammingError);
        EXPECT_THROW(hoja->CompruebaCeldaNumerica(1, 1, false), ProgrammingError);
        EXPECT_THROW(hoja->GetDirHoja(), ProgrammingError);
        EXPECT_THROW(hoja->BorraHoja("h"), ProgrammingError);
        EXPECT_THROW(hoja->LetValcelda(1, 1, 1), ProgrammingError);
        EXPECT_THROW(hoja->LetMatriz1D(Array1<float>(1, 2), 1, 1, true), ProgrammingError);
        EXPECT_THROW(hoja->LetSumaColumnas("h", 1, 1, 1, 1), ProgrammingError);
        hoja->SetNombreObj("x");
    }
    EXPECT_THROW(text.GetVarBoolean("x"), ProgrammingError);
    EXPECT_THROW(text.LetIncrementa("x", 1), ProgrammingError);
    EXPECT_THROW(text.LetIncrePorcen("x", 1), ProgrammingError);
    EXPECT_THROW(text.GetNombreHoja(), ProgrammingError);
    EXPECT_EQ(text.GetTexto(), "");
}

#include "datasheets/CHojaText.h"
#include "reinforcement/Cdiametro.h"

#include <gtest/gtest.h>

using namespace tresol;

TEST(CdiametroHoja, WritesSeriesAndUnitAndLeavesTheObjectOpen) {
    Cdiametro euro;
    euro.Ini("Euro", "m", true);
    CHojaText hoja;
    euro.OutDatHoja(hoja);
    const std::string open = "\r\n<Diametros \r\nrefTipo= \"Euro\"\r\nrefUnidades= \"m\"";
    EXPECT_EQ(hoja.GetTexto(), open);

    // Its owner goes on in the same object and closes it.
    hoja.SetVariable("largo", 2.5f);
    hoja.SetObjetoFin();
    EXPECT_EQ(hoja.GetTexto(),
              open + "\r\nlargo= \"2.5\">\r\nTipo = Euro\r\n</Diametros> \r\n\r\n");
}

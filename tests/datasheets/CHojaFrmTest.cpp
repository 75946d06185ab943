#include "datasheets/CHojaFrm.h"
#include "datasheets/MemoryForm.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

using namespace tresol;
using Kind = tresol::MemoryForm::Kind;
using tresol::platform::RecordingSink;
using Texts = std::vector<std::string>;

TEST(CHojaFrm, ObjectNamesAndPrefixQualifyTags) {
    MemoryForm form("Materialfrm");
    const auto nombre = form.add(Kind::TextBox, "Material.nombre");
    const auto libre = form.add(Kind::Label, "");
    RecordingSink rec;
    {
        CHojaFrm hoja;
        ASSERT_TRUE(hoja.Ini(form));
        hoja.SetUsaNombre(true);
        hoja.SetObjetoIni("Material", false);
        hoja.SetVariable("nombre", std::string("tierra"), "Nombre del material");
        EXPECT_EQ(form.at(nombre).value, Value(std::string("tierra")));
        EXPECT_EQ(form.at(nombre).toolTip, "Nombre del material");
        // The reader hands the qualified name back to the caller.
        std::string name = "nombre";
        EXPECT_EQ(hoja.GetVariableDeHoja(name), Value(std::string("tierra")));
        EXPECT_EQ(name, "Material.nombre");
        hoja.SetUsaNombre(false);
        EXPECT_EQ(valueText(hoja.GetVariableDeHoja("MATERIAL.NOMBRE")), "tierra");
    }
    CHojaFrm conPrefijo;
    ASSERT_TRUE(conPrefijo.Ini(form, false, "P", "sub"));
    EXPECT_EQ(form.at(nombre).tag, "P.Material.nombre");
    EXPECT_EQ(form.at(libre).tag, "");
    EXPECT_EQ(conPrefijo.GetSubRefObjeto(), "sub");
    conPrefijo.SetUsaNombre(true);
    conPrefijo.SetObjetoIni("P.Material", false);
    EXPECT_EQ(valueText(conPrefijo.GetVariableDeHoja("nombre")), "tierra");
    EXPECT_TRUE(rec.texts().empty());
    conPrefijo.SetObjetoIni("Material", false);
    EXPECT_EQ(valueText(conPrefijo.GetVariableDeHoja("nombre")), "");
    EXPECT_EQ(rec.texts(), Texts{"Error grave: no se encuentra la referencia Material.nombre"});
}

TEST(CHojaFrm, TableOnAControlArray) {
    MemoryForm form("f");
    // Window order differs from index order: the index places a cell.
    for (std::int32_t index : {8, 3, 5, 4, 7, 6})
        form.add(Kind::TextBox, "T", index);
    form.add(Kind::TextBox, "otro");
    Array2<float> m(0, 2, 1, 2);
    for (std::int32_t j = 1; j <= 2; ++j)
        for (std::int32_t i = 0; i <= 2; ++i)
            m(i, j) = static_cast<float>(10 * j + i) + 0.5f;

    CHojaFrm hoja;
    ASSERT_TRUE(hoja.Ini(form));
    hoja.PoneTablaEnHoja("t", 0, 3, m, false);
    EXPECT_EQ(valueText(form.at(1).value), "10.5"); // index 3: (0, 1)
    EXPECT_EQ(valueText(form.at(5).value), "20.5"); // index 6: (0, 2)
    EXPECT_EQ(valueText(form.at(0).value), "22.5"); // index 8: (2, 2)
    EXPECT_EQ(valueText(form.at(6).value), "");

    Array2<float> leida;
    hoja.LlenaDeTablaSingle("T", "", 3, leida, false, false);
    EXPECT_EQ(leida, m);
    hoja.LlenaDeTablaSingle("T", "", 2, leida, false, false); // 3 rows of 2
    EXPECT_EQ(leida.upper(1), 1);
    EXPECT_EQ(leida.upper(2), 3);
    EXPECT_FLOAT_EQ(leida(1, 3), 22.5f);

    // Not whole rows, a plain control, no such array, no columns: refused.
    EXPECT_THROW(hoja.LlenaDeTablaSingle("T", "", 4, leida, false, false), ProgrammingError);
    EXPECT_THROW(hoja.LlenaDeTablaSingle("otro", "", 1, leida, false, false), ProgrammingError);
    EXPECT_THROW(hoja.LlenaDeTablaSingle("nada", "", 1, leida, false, false), ProgrammingError);
    EXPECT_THROW(hoja.PoneTablaEnHoja("T", 0, 0, m, false), ProgrammingError);
    EXPECT_THROW(hoja.PoneTablaEnHoja("T", 0, 2, m, false), ProgrammingError); // beyond matriz
    form.add(Kind::TextBox, "T", 10);                                          // index 9 missing
    EXPECT_THROW(hoja.LlenaDeTablaSingle("T", "", 1, leida, false, false), ProgrammingError);
}

TEST(CHojaFrm, ReadsNumbersAndTellsZerosAndBlanks) {
    MemoryForm form("f");
    form.add(Kind::TextBox, "canto", std::nullopt, std::string("12.5 cm"));
    form.add(Kind::TextBox, "texto", std::nullopt, std::string("abc"));
    form.add(Kind::TextBox, "vacio");
    const auto check = form.add(Kind::CheckBox, "activo");
    const auto apagado = form.add(Kind::TextBox, "apagado", std::nullopt, std::string("7"));
    form.at(apagado).enabled = false;

    RecordingSink rec;
    CHojaFrm hoja;
    ASSERT_TRUE(hoja.Ini(form));
    EXPECT_FLOAT_EQ(hoja.GetVarFloat("canto", true), 12.5f);
    EXPECT_FLOAT_EQ(hoja.GetVarFloat("texto"), 0.0f);
    EXPECT_FALSE(hoja.GetVarBoolean("texto"));
    EXPECT_TRUE(rec.texts().empty());

    EXPECT_FLOAT_EQ(hoja.GetVarFloat("texto", true), 0.0f);
    EXPECT_EQ(valueText(hoja.GetVariableDeHoja("vacio", true)), "");
    EXPECT_FLOAT_EQ(hoja.GetVarFloat("apagado"), 7.0f); // still taken
    EXPECT_EQ(valueText(hoja.GetVariableDeHoja("falta", true)), "");
    EXPECT_EQ(rec.texts(), (Texts{"Error : valor 0. no esperado en la referencia texto",
                                  "Error : vacio no esperado en la referencia vacio",
                                  "Error grave: se toma un valor de un control desactivado.apagado",
                                  "Error grave: no se encuentra la referencia falta"}));
    for (const auto& e : rec.entries())
        EXPECT_EQ(e.icon, platform::MsgIcon::Critical) << e.text;

    hoja.SetVariable("activo", true);
    EXPECT_EQ(form.at(check).value, Value(std::int32_t{1}));
    EXPECT_TRUE(hoja.GetVarBoolean("activo"));
    hoja.SetVariable("activo", 0);
    EXPECT_FALSE(hoja.GetVarBoolean("activo"));
}

TEST(CHojaFrm, WritesWithFormatAndIncrementsTheQualifiedControl) {
    platform::ScopedNumberLocale comma(',');
    MemoryForm form("f");
    const auto x = form.add(Kind::TextBox, "Obj.x");
    const auto e = form.add(Kind::Label, "Obj.e");
    CHojaFrm hoja;
    ASSERT_TRUE(hoja.Ini(form));
    hoja.SetUsaNombre(true);
    hoja.SetObjetoIni("Obj", false);

    // Without a format a value keeps every digit, in the user's locale, and reads back whole.
    hoja.SetVariable("e", 24821128.0f);
    hoja.SetVariable("x", 0.2f);
    EXPECT_EQ(valueText(form.at(e).value), "24821128");
    EXPECT_EQ(valueText(form.at(x).value), "0,2");
    EXPECT_FLOAT_EQ(hoja.GetVarFloat("e"), 24821128.0f);
    EXPECT_FLOAT_EQ(hoja.GetVarFloat("x"), 0.2f);

    hoja.SetVariable("x", 0.5f);
    hoja.LetIncrementa("x", 1.0f);
    EXPECT_EQ(valueText(form.at(x).value), "1,5");
    hoja.LetIncrePorcen("x", 50.0f);
    EXPECT_EQ(valueText(form.at(x).value), "2,25");

    hoja.LetFormatoVariable("#.00");
    hoja.SetVariable("x", 0.789);
    EXPECT_EQ(valueText(form.at(x).value), ",79");
    hoja.SetVariable("x", std::string("abc"));
    EXPECT_EQ(valueText(form.at(x).value), "abc");

    hoja.SetVariable("", 1); // nothing to write
    EXPECT_THROW(hoja.SetVariable("nada", 1), ProgrammingError);
}

TEST(CHojaFrm, TagChecksAndSheetSelection) {
    RecordingSink rec;
    MemoryForm dup("Dupfrm");
    dup.add(Kind::TextBox, "Material.Nombre");
    dup.add(Kind::TextBox, "material.nombre");
    CHojaFrm hoja;
    EXPECT_FALSE(hoja.Ini(dup));

    // Members of one control array share a tag.
    MemoryForm arr("Datosfrm");
    arr.add(Kind::TextBox, "T", 0);
    arr.add(Kind::TextBox, "T", 1);
    arr.add(Kind::TextBox, "x");
    CHojaFrm otra;
    EXPECT_TRUE(otra.Ini(arr));

    EXPECT_FALSE(otra.SeleccionaHoja("Material", &arr));
    EXPECT_TRUE(otra.SeleccionaHoja("DATOS", &arr));
    EXPECT_FALSE(otra.SeleccionaHoja("dup", &dup));
    EXPECT_THROW(otra.SeleccionaHoja("Datos"), ProgrammingError);
    EXPECT_EQ(rec.texts(), (Texts{"Formulario no válido, hay 2 tags iguales (Material.Nombre)",
                                  "Error grave: hoja no valida :Materialfrm",
                                  "Formulario no válido, hay 2 tags iguales (Material.Nombre)"}));
    EXPECT_EQ(otra.GetNombreHoja(), "Dupfrm"); // bound, although its tags are not valid

    // When several plain controls bear a name, the last one is written.
    CHojaFrm ultima;
    ultima.Ini(dup);
    ultima.SetVariable("MATERIAL.NOMBRE", 5);
    EXPECT_EQ(valueText(dup.at(1).value), "5");
    EXPECT_EQ(valueText(dup.at(0).value), "");
}

TEST(CHojaFrm, ReleaseUnloadsTheWindowWhenAsked) {
    MemoryForm form("f");
    {
        CHojaFrm hoja;
        EXPECT_THROW(hoja.GetNombreHoja(), ProgrammingError); // before Ini
        hoja.Ini(form, true);
        EXPECT_FALSE(form.unloaded());
    }
    EXPECT_TRUE(form.unloaded());
}

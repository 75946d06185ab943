#include "datasheets/CHojaFrm.h"
#include "datasheets/CGEsObjDat.h"
#include "datasheets/CHojaText.h"
#include "datasheets/MemoryForm.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

using namespace tresol;
using Kind = tresol::MemoryForm::Kind;
using tresol::platform::RecordingSink;
using Texts = std::vector<std::string>;

TEST(CHojaFrm, ValuesNamesAndPrefixOnOneWindow) {
    MemoryForm form("Materialfrm");
    const auto nombre = form.add(Kind::TextBox, "Material.nombre");
    const auto x = form.add(Kind::TextBox, "Material.x");
    const auto e = form.add(Kind::Label, "Material.e");
    const auto libre = form.add(Kind::Label, "");
    const auto check = form.add(Kind::CheckBox, "activo");
    form.add(Kind::TextBox, "canto", std::nullopt, std::string("12.5 cm"));
    form.add(Kind::TextBox, "texto", std::nullopt, std::string("abc"));
    form.add(Kind::TextBox, "vacio");
    form.at(form.add(Kind::TextBox, "apagado", std::nullopt, std::string("7"))).enabled = false;
    RecordingSink rec;
    {
        CHojaFrm hoja;
        ASSERT_TRUE(hoja.Ini(form, true));
        EXPECT_FLOAT_EQ(hoja.GetVarFloat("canto", true), 12.5f);
        EXPECT_FLOAT_EQ(hoja.GetVarFloat("texto"), 0.0f);
        EXPECT_TRUE(rec.texts().empty());
        EXPECT_FLOAT_EQ(hoja.GetVarFloat("texto", true), 0.0f);
        EXPECT_EQ(valueText(hoja.GetVariableDeHoja("vacio", true)), "");
        EXPECT_FLOAT_EQ(hoja.GetVarFloat("apagado"), 7.0f); // still taken
        EXPECT_EQ(valueText(hoja.GetVariableDeHoja("falta", true)), "");
        EXPECT_EQ(rec.texts(),
                  (Texts{"Error : valor 0. no esperado en la referencia texto",
                         "Error : vacio no esperado en la referencia vacio",
                         "Error grave: se toma un valor de un control desactivado.apagado",
                         "Error grave: no se encuentra la referencia falta"}));
        for (const auto& m : rec.entries())
            EXPECT_EQ(m.icon, platform::MsgIcon::Critical) << m.text;
        rec.clear();
        hoja.SetVariable("activo", true);
        EXPECT_EQ(form.at(check).value, Value(std::int32_t{1}));
        EXPECT_THROW(hoja.SetVariable("nada", 1), ProgrammingError);

        hoja.SetUsaNombre(true);
        hoja.SetObjetoIni("Material", false);
        hoja.SetVariable("nombre", std::string("tierra"), "Nombre del material");
        EXPECT_EQ(form.at(nombre).value, Value(std::string("tierra")));
        EXPECT_EQ(form.at(nombre).toolTip, "Nombre del material");
        std::string name = "nombre"; // the reader hands the qualified name back
        EXPECT_EQ(hoja.GetVariableDeHoja(name), Value(std::string("tierra")));
        EXPECT_EQ(name, "Material.nombre");
        // Without a format a value keeps every digit, in the user's locale, and reads back whole.
        platform::ScopedNumberLocale comma(',');
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
        hoja.SetUsaNombre(false);
        EXPECT_EQ(valueText(hoja.GetVariableDeHoja("MATERIAL.NOMBRE")), "tierra");
        EXPECT_FALSE(form.unloaded());
    }
    EXPECT_TRUE(form.unloaded()); // released with UnloadAlSalir

    CHojaFrm conPrefijo;
    ASSERT_TRUE(conPrefijo.Ini(form, false, "P", "sub"));
    EXPECT_EQ(form.at(nombre).tag, "P.Material.nombre");
    EXPECT_EQ(form.at(libre).tag, "");
    EXPECT_EQ(conPrefijo.GetSubRefObjeto(), "sub");
    conPrefijo.SetUsaNombre(true);
    conPrefijo.SetObjetoIni("P.Material", false);
    EXPECT_EQ(valueText(conPrefijo.GetVariableDeHoja("nombre")), "tierra");
    conPrefijo.SetObjetoIni("Material", false);
    EXPECT_EQ(valueText(conPrefijo.GetVariableDeHoja("nombre")), "");
    EXPECT_EQ(rec.texts(), Texts{"Error grave: no se encuentra la referencia Material.nombre"});
}

TEST(CHojaFrm, TableOnAControlArrayAndSheetSelection) {
    MemoryForm form("Datosfrm");
    for (std::int32_t index : {8, 3, 5, 4, 7, 6}) // members share a tag; window order differs
        form.add(Kind::TextBox, "T", index);
    form.add(Kind::TextBox, "otro");
    Array2<float> m(0, 2, 1, 2);
    for (std::int32_t j = 1; j <= 2; ++j)
        for (std::int32_t i = 0; i <= 2; ++i)
            m(i, j) = static_cast<float>(10 * j + i) + 0.5f;
    RecordingSink rec;
    CHojaFrm hoja;
    ASSERT_TRUE(hoja.Ini(form));
    hoja.PoneTablaEnHoja("t", 0, 3, m, false);
    EXPECT_EQ(valueText(form.at(1).value), "10.5"); // index 3: (0, 1)
    EXPECT_EQ(valueText(form.at(5).value), "20.5"); // index 6: (0, 2)
    EXPECT_EQ(valueText(form.at(0).value), "22.5"); // index 8: (2, 2)
    Array2<float> leida;
    hoja.LlenaDeTablaSingle("T", "", 3, leida, false, false);
    EXPECT_EQ(leida, m);
    // Not whole rows, a plain control, no such array, no columns: refused.
    EXPECT_THROW(hoja.LlenaDeTablaSingle("T", "", 4, leida, false, false), ProgrammingError);
    EXPECT_THROW(hoja.LlenaDeTablaSingle("otro", "", 1, leida, false, false), ProgrammingError);
    EXPECT_THROW(hoja.PoneTablaEnHoja("T", 0, 0, m, false), ProgrammingError);

    MemoryForm dup("Dupfrm");
    dup.add(Kind::TextBox, "Material.Nombre");
    dup.add(Kind::TextBox, "material.nombre");
    EXPECT_FALSE(CHojaFrm().Ini(dup));
    EXPECT_FALSE(hoja.SeleccionaHoja("Material", &form));
    EXPECT_TRUE(hoja.SeleccionaHoja("DATOS", &form));
    EXPECT_FALSE(hoja.SeleccionaHoja("dup", &dup));
    EXPECT_THROW(hoja.SeleccionaHoja("Datos"), ProgrammingError);
    EXPECT_EQ(rec.texts(), (Texts{"Formulario no válido, hay 2 tags iguales (Material.Nombre)",
                                  "Error grave: hoja no valida :Materialfrm",
                                  "Formulario no válido, hay 2 tags iguales (Material.Nombre)"}));
    EXPECT_EQ(hoja.GetNombreHoja(), "Dupfrm"); // bound, although its tags are not valid
    hoja.SetVariable("MATERIAL.NOMBRE", 5);    // of several plain controls, the last is written
    EXPECT_EQ(valueText(dup.at(1).value), "5");
    EXPECT_EQ(valueText(dup.at(0).value), "");

    form.add(Kind::TextBox, "T", 10); // index 9 missing
    ASSERT_TRUE(hoja.SeleccionaHoja("Datos", &form));
    EXPECT_THROW(hoja.LlenaDeTablaSingle("T", "", 1, leida, false, false), ProgrammingError);
}

TEST(CGEsObjDat, PassesOverInputsAndResults) {
    MemoryForm form("f");
    form.add(Kind::TextBox, "a", std::nullopt, std::string("1"));
    form.add(Kind::TextBox, "b", std::nullopt, std::string("texto"));
    const auto r = form.add(Kind::Label, "r");
    form.add(Kind::TextBox, "Viga.luz", std::nullopt, std::string("6"));
    RecordingSink rec;
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

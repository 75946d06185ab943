#include "pieces/Cmateria.h"
#include "datasheets/CHojaFrm.h"
#include "datasheets/CHojaText.h"
#include "datasheets/MemoryForm.h"
#include "datasheets/TempDir.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

using namespace tresol;
using tresol::platform::RecordingSink;
using Texts = std::vector<std::string>;

namespace {

Array1<Value> datos(Value e, Value peso, Value nu, Value tension, Value kp) {
    Array1<Value> d(1, 5);
    d(1) = e;
    d(2) = peso;
    d(3) = nu;
    d(4) = tension;
    d(5) = kp;
    return d;
}

void expectSameMaterial(const Cmateria& a, const Cmateria& b, const std::string& id) {
    EXPECT_EQ(a.nombre(), b.nombre()) << id;
    EXPECT_EQ(a.tipoMaterial(), b.tipoMaterial()) << id;
    for (std::int32_t code = 1; code <= 5; ++code) {
        EXPECT_EQ(a.definido(code), b.definido(code)) << id << " code " << code;
        if (a.definido(code)) {
            EXPECT_EQ(a.GetPropMateria(code), b.GetPropMateria(code)) << id << " code " << code;
        }
    }
}

} // namespace

TEST(Cmateria, ConcreteAndSoilDefaults) {
    Cmateria hormigon;
    ASSERT_TRUE(hormigon.IniSegunTipo(0));
    EXPECT_EQ(hormigon.nombre(), "Hormigon");
    EXPECT_EQ(hormigon.GetPropMateria(1), 24821128.0f);
    EXPECT_EQ(hormigon.GetPropMateria(3), 0.2f);
    EXPECT_EQ(hormigon.GetPropMateria(7), static_cast<float>(24821128.0 / 2.4));
    EXPECT_THROW(hormigon.GetPropMateria(5), ProgrammingError); // never applies
    EXPECT_THROW(hormigon.GetPropMateria(6), ProgrammingError);
    EXPECT_THROW(hormigon.GetPropMateria(0), ProgrammingError);
    EXPECT_THROW(hormigon.GetEmpujePasivo(2, 1, 1), ProgrammingError); // no coefficient

    Cmateria tierra;
    ASSERT_TRUE(tierra.IniSegunTipo(3));
    EXPECT_EQ(tierra.GetPropMateria(2), 18.0f);
    EXPECT_FALSE(tierra.definido(1));
    EXPECT_THROW(tierra.GetPropMateria(1), ProgrammingError);
    // h² · Kp / coefMin / 2 · lado · γ = 4 · 1.8 · 1 · 18
    EXPECT_FLOAT_EQ(tierra.GetEmpujePasivo(2, 1, 1), 129.6f);
    EXPECT_FLOAT_EQ(tierra.GetEmpujePasivo(2, 1, 2), 64.8f);
    EXPECT_THROW(tierra.GetEmpujePasivo(2, 1, 0.5f), ProgrammingError);
    EXPECT_THROW(tierra.GetEmpujePasivo(2, 1, 2.5f), ProgrammingError);
    EXPECT_THROW(tierra.GetEmpujePasivo(1e30f, 1, 1), ProgrammingError); // beyond a single

    Cmateria nuevo;
    EXPECT_THROW(nuevo.GetPropMateria(2), ProgrammingError);
}

TEST(Cmateria, RejectedData) {
    RecordingSink rec;
    Cmateria m;
    EXPECT_FALSE(m.Ini("Barro", 1, datos(1000, 0, 0.3, 10, 0)));
    EXPECT_EQ(m.GetPropMateria(1), 1000.0f); // the values stay stored
    EXPECT_TRUE(m.Ini("Acero", 2, datos(std::int32_t{210000000}, 78.5f, 0.3, 1, Value())));
    EXPECT_FALSE(m.IniSegunTipo(5));
    EXPECT_EQ(m.nombre(), "Acero"); // untouched
    EXPECT_EQ(rec.texts(),
              (Texts{"Datos incorrectos del material Barro", "Material no definido todavía"}));

    EXPECT_THROW(m.Ini("x", 4, datos(1, 1, 1, 1, 1)), ProgrammingError);
    EXPECT_THROW(m.Ini("x", 0, datos(1, std::string("25"), 1, 1, 1)), ProgrammingError);
    EXPECT_THROW(m.Ini("x", 0, datos(1, 1e300, 1, 1, 1)), ProgrammingError);
    EXPECT_THROW(m.Ini("x", 0, Array1<Value>(1, 4)), ProgrammingError);
}

TEST(Cmateria, WritesOnlyTheApplicableProperties) {
    platform::ScopedNumberLocale comma(','); // the text sheet keeps the point
    Cmateria tierra;
    ASSERT_TRUE(tierra.IniSegunTipo(3));
    CHojaText hoja;
    tierra.OutDatHoja(hoja);
    EXPECT_EQ(hoja.GetTexto(), "\r\n<Material \r\n"
                               "nombre= \"tierra\"\r\n"
                               "tipoMat= \"3\"\r\n"
                               "pesoPorVolumen= \"18\"\r\n"
                               "tensionAdmisible= \"200\">\r\n"
                               "ref. tipo: = 3Peso por volumen = 18Tension admisible = 200\r\n"
                               "</Material> \r\n\r\n");

    Cmateria hormigon;
    ASSERT_TRUE(hormigon.IniSegunTipo(0));
    CHojaText otra;
    hormigon.OutDatHoja(otra);
    const std::string text = otra.GetTexto();
    std::size_t at = 0;
    for (const char* key :
         {"nombre= \"Hormigon\"", "tipoMat= \"0\"", "modYoung= \"24821128\"",
          "pesoPorVolumen= \"25\"", "modpoisson= \"0.2\"", "tensionAdmisible= \"25000\""}) {
        at = text.find(key, at);
        EXPECT_NE(at, std::string::npos) << key << " in order in " << text;
    }
    EXPECT_EQ(text.find("coefEmpujePasivo"), std::string::npos);
}

TEST(Cmateria, SurvivesTheRoundTripThroughBothSheets) {
    platform::ScopedNumberLocale comma(',');
    Cmateria hormigon, tierra, propio;
    ASSERT_TRUE(hormigon.IniSegunTipo(0));
    ASSERT_TRUE(tierra.IniSegunTipo(3));
    ASSERT_TRUE(propio.Ini("Mortero <1> & \"2\"", 1, datos(1.2345678e7, 21.5, 1.0 / 3, 0.1, 9)));
    RecordingSink rec;
    tresol::testing::TempDir dir;
    for (const Cmateria* m : {&hormigon, &tierra, &propio}) {
        // Text sheet: the material inside its owner's object, saved to a file.
        CHojaText escribe;
        escribe.IniEscritura("datos");
        escribe.SetObjetoIni("Obra", false);
        m->OutDatHoja(escribe);
        escribe.SetObjetoFin();
        CHojaText lee;
        ASSERT_TRUE(lee.IniLectura(dir.file("m.xml", escribe.GetTexto())));
        Cmateria leido;
        EXPECT_TRUE(leido.IniDesdeHoja(lee));
        expectSameMaterial(*m, leido, "text " + m->nombre());

        // Window sheet: one control per value, tagged with the object's name.
        MemoryForm form("Materialfrm");
        for (const char* key :
             {"nombre", "tipoMat", "modYoung", "pesoPorVolumen", "modpoisson", "tensionAdmisible"})
            form.add(MemoryForm::Kind::TextBox, std::string("Material.") + key);
        CHojaFrm ventana;
        ASSERT_TRUE(ventana.Ini(form));
        m->OutDatHoja(ventana);
        Cmateria deVentana;
        EXPECT_TRUE(deVentana.IniDesdeHoja(ventana));
        expectSameMaterial(*m, deVentana, "window " + m->nombre());
    }
    EXPECT_TRUE(rec.texts().empty());

    // A type the program does not know, read from a file, is bad data, not a crash.
    CHojaText lee;
    ASSERT_TRUE(lee.IniLectura(dir.file(
        "malo.xml", "<d><Material nombre=\"x\" tipoMat=\"9\" pesoPorVolumen=\"1\"/></d>")));
    Cmateria malo;
    EXPECT_FALSE(malo.IniDesdeHoja(lee));
    EXPECT_EQ(rec.texts(), Texts{"Datos incorrectos del material x"});
}

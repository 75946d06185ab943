#include "pieces/Cmateria.h"
#include "TempDir.h"
#include "datasheets/CHojaFrm.h"
#include "datasheets/CHojaText.h"
#include "datasheets/MemoryForm.h"
#include "pieces/PieceTestSupport.h"
#include "platform/Numbers.h"

#include <optional>

using namespace tresol;
using namespace tresol::testing;

namespace {

Array1<Value> datos(std::initializer_list<Value> values) {
    Array1<Value> d(1, static_cast<std::int32_t>(values.size()));
    std::int32_t i = 1;
    for (const Value& v : values)
        d(i++) = v;
    return d;
}

// Name, type and every defined property (codes 1 to 5) of a material.
auto props(const Cmateria& m) {
    std::vector<std::optional<float>> v;
    for (std::int32_t code = 1; code <= 5; ++code)
        v.push_back(m.definido(code) ? std::optional(m.GetPropMateria(code)) : std::nullopt);
    return std::tuple(m.nombre(), m.tipoMaterial(), v);
}

} // namespace

TEST(Cmateria, DefaultsAndRejectedData) {
    const auto hormigon = material(0), tierra = material(3);
    EXPECT_EQ(hormigon->nombre(), "Hormigon");
    EXPECT_EQ(std::tuple(hormigon->GetPropMateria(1), hormigon->GetPropMateria(3),
                         hormigon->GetPropMateria(4), hormigon->GetPropMateria(7),
                         tierra->GetPropMateria(2)),
              std::tuple(24821128.0f, 0.2f, 25000.0f, static_cast<float>(24821128.0 / 2.4), 18.0f));
    // h² · Kp / coefMin / 2 · lado · γ = 4 · 1.8 · 1 · 18
    EXPECT_FLOAT_EQ(tierra->GetEmpujePasivo(2, 1, 1), 129.6f);
    EXPECT_FLOAT_EQ(tierra->GetEmpujePasivo(2, 1, 2), 64.8f);

    // What does not apply or lies outside its range is a programming error.
    for (std::int32_t code : {0, 5, 6})
        EXPECT_THROW(hormigon->GetPropMateria(code), ProgrammingError) << code;
    EXPECT_THROW(hormigon->GetEmpujePasivo(2, 1, 1), ProgrammingError); // no coefficient
    EXPECT_THROW(tierra->GetEmpujePasivo(2, 1, 0.5f), ProgrammingError);
    EXPECT_THROW(tierra->GetEmpujePasivo(2, 1, 2.5f), ProgrammingError);
    EXPECT_THROW(tierra->GetEmpujePasivo(1e30f, 1, 1), ProgrammingError); // beyond a single
    EXPECT_THROW(Cmateria().GetPropMateria(2), ProgrammingError);

    RecordingSink rec;
    Cmateria m;
    EXPECT_FALSE(m.Ini("Barro", 1, datos({1000, 0, 0.3, 10, 0})));
    EXPECT_TRUE(m.Ini("Acero", 2, datos({210000000, 78.5f, 0.3, 1, Value()})));
    EXPECT_FALSE(m.IniSegunTipo(5));
    EXPECT_EQ(m.nombre(), "Acero") << "untouched";
    EXPECT_EQ(rec.texts(),
              (Texts{"Datos incorrectos del material Barro", "Material no definido todavía"}));
    EXPECT_THROW(m.Ini("x", 4, datos({1, 1, 1, 1, 1})), ProgrammingError);
    EXPECT_THROW(m.Ini("x", 0, datos({1, 1e300, 1, 1, 1})), ProgrammingError);
    EXPECT_THROW(m.Ini("x", 0, datos({1, 1, 1, 1})), ProgrammingError);
}

TEST(Cmateria, SoilWritesOnlyWhatAppliesAndEveryMaterialReadsBack) {
    platform::ScopedNumberLocale comma(','); // the text sheet keeps the point
    const auto hormigon = material(0), tierra = material(3);
    Cmateria propio;
    ASSERT_TRUE(propio.Ini("Mortero <1> & \"2\"", 1, datos({1.2345678e7, 21.5, 1.0 / 3, 0.1, 9})));
    CHojaText hoja;
    tierra->OutDatHoja(hoja);
    EXPECT_EQ(hoja.GetTexto(), "\r\n<Material \r\nnombre= \"tierra\"\r\ntipoMat= \"3\"\r\n"
                               "pesoPorVolumen= \"18\"\r\ntensionAdmisible= \"200\">\r\n"
                               "ref. tipo: = 3Peso por volumen = 18Tension admisible = 200\r\n"
                               "</Material> \r\n\r\n");

    RecordingSink rec;
    TempDir dir;
    for (const Cmateria* m : {hormigon.get(), tierra.get(), &std::as_const(propio)}) {
        CHojaText escribe, lee; // the material inside its owner's object, saved to a file
        escribe.SetObjetoIni("Obra", false);
        m->OutDatHoja(escribe);
        escribe.SetObjetoFin();
        MemoryForm form("Materialfrm"); // one control per value, tagged with the object's name
        for (const char* key :
             {"nombre", "tipoMat", "modYoung", "pesoPorVolumen", "modpoisson", "tensionAdmisible"})
            form.add(MemoryForm::Kind::TextBox, std::string("Material.") + key);
        CHojaFrm ventana;
        ASSERT_TRUE(ventana.Ini(form));
        m->OutDatHoja(ventana);
        Cmateria deTexto, deVentana;
        ASSERT_TRUE(lee.IniLectura(dir.file("m.xml", escribe.GetTexto())));
        EXPECT_TRUE(deTexto.IniDesdeHoja(lee));
        EXPECT_TRUE(deVentana.IniDesdeHoja(ventana));
        EXPECT_EQ(props(deTexto), props(*m)) << "text";
        EXPECT_EQ(props(deVentana), props(*m)) << "window";
    }
    EXPECT_TRUE(rec.texts().empty());

    // A type the program does not know, read from a file, is bad data, not a crash.
    CHojaText lee;
    ASSERT_TRUE(lee.IniLectura(dir.file(
        "malo.xml", "<d><Material nombre=\"x\" tipoMat=\"9\" pesoPorVolumen=\"1\"/></d>")));
    EXPECT_FALSE(Cmateria().IniDesdeHoja(lee));
    EXPECT_EQ(rec.texts(), Texts{"Datos incorrectos del material x"});
}

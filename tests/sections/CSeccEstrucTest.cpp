#include "sections/CSeccEstruc.h"

#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "sections/CSeccG.h"
#include "sections/MemoryLabelSet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace tresol;
using platform::RecordingSink;
using testing::ElementsAre, testing::FloatEq, testing::Pointwise;

namespace {

const char* const kCdg = "cdg fuera de cero, no esta preparado el tema...)";
const PointArray kTriangle = makePointArray({{0, 0}, {3, 0}, {0, 6}, {0, 0}});

std::vector<float> extra(const CSeccEstruc& s) {
    Array1<Value> datos;
    s.GetDatosExtra(datos);
    std::vector<float> out;
    for (std::int32_t i = datos.lower(); i <= datos.upper(); ++i)
        out.push_back(static_cast<float>(valueNumber(datos(i))));
    return out;
}

// Web, flange, an unused datum 3 and the flange-to-web radius.
Array1<Value> profile(float alma, float ala, float radio) {
    Array1<Value> d(1, 4);
    d(1) = alma, d(2) = ala, d(3) = 0.5f, d(4) = radio;
    return d;
}

} // namespace

TEST(CSeccEstruc, RectangleAndCircle) {
    RecordingSink rec;
    CSeccEstruc s;
    ASSERT_TRUE(s.IniRectang(0, 0.4f, 0.3f, nullptr));
    const float got[] = {s.GetCantoY(), s.GetCantoZ(), s.GetArea(), s.GetIyy(), s.GetIzz()};
    EXPECT_THAT(got, Pointwise(FloatEq(), {0.3f, 0.4f, 0.12f, 0.0016f, 0.0009f}));
    EXPECT_NEAR(s.GetIT(), 0.0019434, 1e-7);
    EXPECT_TRUE(s.GetTipoSecc() == 1 && s.NumP() == 5);
    EXPECT_FLOAT_EQ(s.GetCoorExtrema(2), 0.15f);
    EXPECT_FLOAT_EQ(s.GetCoorExtrema(1), -0.2f);
    EXPECT_THROW(s.GetCoorExtrema(4), ProgrammingError);
    std::int32_t np = 0, indi = 2;
    PointArray c;
    MemoryLabelSet labels(0, 9);
    EXPECT_FALSE(s.LetPropiedadesDeContorno(labels, indi));
    EXPECT_EQ(indi, 2) << "nothing written";
    EXPECT_THAT(
        rec.texts(),
        ElementsAre("Se han pedido propiedades de contorno cuando son las únicas que hay."));
    rec.clear();
    CSeccEstruc fresh; // a dimension that is not positive: false, no message, nothing stored
    EXPECT_FALSE(fresh.IniRectang(0, 0.4f, 0, nullptr) || fresh.IniRectang(0, NAN, 0.3f, nullptr));
    EXPECT_TRUE(fresh.GetArea() == 0 && fresh.NumP() == 0);

    CSeccEstruc circle;
    ASSERT_TRUE(circle.IniCircular(0, 0.5f));
    EXPECT_NEAR(circle.GetArea(), 0.19635, 1e-6);
    EXPECT_NEAR(circle.GetIyy(), 0.0030680, 1e-7);
    EXPECT_TRUE(circle.GetIyy() == circle.GetIzz() && circle.GetIT() == 0.006125f);
    circle.GeneraContorno(np, c);
    ASSERT_EQ(np, 17);
    EXPECT_TRUE(c(17, 1) == c(1, 1) && c(17, 2) == c(1, 2)) << "closed";
    EXPECT_NEAR(c(1, 1), 0.25 * std::cos(M_PI / 16), 1e-6);
    EXPECT_NEAR(c(1, 2), 0.25 * std::sin(M_PI / 16), 1e-6);
    indi = 1; // described as the 16-gon: area 8·r²·sin(π/8)
    EXPECT_TRUE(circle.LetPropiedadesDeContorno(labels, indi));
    EXPECT_EQ(indi, 6);
    EXPECT_NEAR(platform::leadingNumber(labels.Caption(1).substr(7)),
                8 * 0.0625 * std::sin(M_PI / 8), 1e-6);
    EXPECT_TRUE(rec.texts().empty());
    EXPECT_THROW(circle.GetCoorExtrema(2), ProgrammingError);
    EXPECT_THROW(circle.Iz(), ProgrammingError);
    EXPECT_THROW(circle.YgA(), ProgrammingError);
}

TEST(CSeccEstruc, PolygonByPoints) {
    RecordingSink rec;
    CSeccEstruc s;
    ASSERT_TRUE(s.IniPorPuntos(3, 0, kTriangle, nullptr, Value{0}));
    EXPECT_THAT(rec.texts(), ElementsAre(kCdg)) << "centroid at (1, 2)";
    const float got[] = {s.GetArea(), s.Yg(), s.Zg(), s.GetIzz(), s.GetIyy(), s.izy(), s.cantoY()};
    EXPECT_THAT(got, Pointwise(FloatEq(), {9.f, 1.f, 2.f, 4.5f, 18.f, -4.5f, 3.f}));
    EXPECT_TRUE(s.GetIT() == 0 && s.pto2d(3, 2) == 6);
    rec.clear();
    platform::ScopedNumberLocale comma(',');
    ASSERT_TRUE(s.IniPorPuntos(3, 1, kTriangle, nullptr, Value{std::string("0,25")}, true));
    EXPECT_TRUE(rec.texts().empty()) << "the centroid may lie anywhere";
    EXPECT_FLOAT_EQ(s.GetIT(), 0.25f);

    const std::pair<const char*, PointArray> bad[] = {
        {"two rows", makePointArray({{0, 0}, {0, 0}})},
        {"no points", PointArray()},
        {"clockwise", makePointArray({{0, 0}, {0, 6}, {3, 0}, {0, 0}})}};
    for (const auto& [id, pts] : bad)
        EXPECT_THROW(CSeccEstruc().IniPorPuntos(3, 0, pts, nullptr, Value{0}, true),
                     ProgrammingError)
            << id;
    EXPECT_THROW(CSeccEstruc().IniPorPuntos(2, 0, kTriangle), ProgrammingError) << "kind 2";
    EXPECT_THROW(CSeccEstruc().IniPorPuntos(3, 2, kTriangle), ProgrammingError) << "material 2";
}

TEST(CSeccEstruc, GivenValuesAndProfiles) {
    RecordingSink rec;
    CSeccEstruc s;
    // A double-T keeps data 1, 2 and 4; its flanges stand across Y at ±h/2. Given again, the
    // data are replaced.
    ASSERT_TRUE(s.Ini(2, 0, 0.3f, 0.15f, 8e-5f, 6e-6f, 0, 1e-7f, 0.0054f, 0, 0,
                      profile(0.008f, 0.012f, 0.02f)));
    ASSERT_TRUE(s.Ini(2, 0, 0.3f, 0.15f, 8e-5f, 6e-6f, 0, 1e-7f, 0.0054f, 0, 0,
                      profile(0.007f, 0.01f, 0.015f)));
    EXPECT_THAT(extra(s), ElementsAre(0.007f, 0.01f, 0, 0.015f));
    std::int32_t np = 0;
    PointArray c;
    s.GeneraContorno(np, c);
    ASSERT_EQ(np, 13);
    EXPECT_TRUE(c(2, 1) == -0.14f && c(3, 2) == -0.0035f) << c(2, 1) << ' ' << c(3, 2);
    CSeccG outline;
    ASSERT_TRUE(outline.asigna_coor(np, c));
    EXPECT_NEAR(outline.area(), 2 * 0.01 * 0.15 + 0.28 * 0.007, 1e-7) << "counter-clockwise";
    // A torsion constant that is not positive: false, no message, the values given are kept.
    EXPECT_FALSE(s.Ini(1, 0, 0.3f, 0.4f, 0.0016f, 0.0009f, 0, -1, 0.12f, 0, 0, {}));
    EXPECT_TRUE(s.GetArea() == 0.12f && rec.texts().empty());
    // Kind 3 given by values draws a centred rectangle, and its parallel contour inside.
    ASSERT_TRUE(s.Ini(3, 3, 0.3f, 0.4f, 0.0016f, 0.0009f, 0, 0, 0.12f, 0.1f, 0, {}));
    EXPECT_THAT(rec.texts(), ElementsAre(kCdg));
    s.GeneraContorno(np, c, 0.05f);
    EXPECT_NEAR(c(1, 1), -0.1, 1e-6);

    const std::tuple<const char*, std::int32_t, std::int32_t, float, float> bad[] = {
        {"kind 4", 4, 0, 0.3f, 1},
        {"material 2", 1, 2, 0.3f, 1},
        {"zero depth", 1, 0, 0, 1},
        {"double-T without j", 2, 0, 0.3f, 0}};
    for (const auto& [id, kind, material, canto, j] : bad)
        EXPECT_THROW(CSeccEstruc().Ini(kind, material, canto, 0.4f, 0.0016f, 0.0009f, 0, j, 0.12f,
                                       0, 0, profile(0.01f, 0.01f, 0)),
                     ProgrammingError)
            << id;
    CSeccEstruc rect;
    ASSERT_TRUE(rect.Ini(1, 0, 0.3f, 0.4f, 0.0016f, 0.0009f, 0, 0, 0.12f, 0, 0, {}));
    EXPECT_THROW(rect.GeneraContorno(np, c), ProgrammingError) << "rectangle without contour";
}

TEST(CDatGener, NamedDatum) {
    CDatGener d;
    EXPECT_THROW(d.Ini("", "x", Value{1}), ProgrammingError);
    for (const Value& zero : {Value{}, Value{0}, Value{0.0f}, Value{std::string("0")}})
        EXPECT_THROW(d.Ini("a", "x", zero), ProgrammingError) << valueText(zero);
    d.Ini("a", "x", Value{0}, true);
    d.Ini("DatoAux1", "Espesor del alma", Value{std::string("12.5 cm")});
    EXPECT_TRUE(d.fValue() == 12.5f && std::get<std::string>(d.GetValue()) == "12.5 cm");
    platform::ScopedNumberLocale comma(',');
    d.Ini("a", "x", Value{0.25f});
    EXPECT_EQ(d.fValue(), 0.25f) << "the fraction survives a decimal comma";
}

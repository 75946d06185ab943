#include "pieces/CPieza3D.h"
#include "drawing/CCuaMaxMin.h"
#include "pieces/PieceTestSupport.h"
#include "sections/CSeccEstruc.h"

#include <limits>

using namespace tresol;
using namespace tresol::testing;

// The reference beam: 0.3 wide, 0.5 deep, 6 long (0.9 m³ of concrete).
TEST(CPieza3D, ReferenceBeam) {
    RecordingSink rec;
    CPieza3D p;
    ASSERT_TRUE(p.IniRectang("V1", 0, 0, material(0), 6, 0.3f, 0.5f, euro()));
    EXPECT_TRUE(rec.entries().empty());
    const auto pt = [&p](void (IPieza3D::*get)(float&, float&, float&) const) {
        float v[3];
        (p.*get)(v[0], v[1], v[2]);
        return std::vector<double>(v, v + 3);
    };
    for (const CSeccEstruc* s : {&p.SeccionIni(), &p.SeccionFin()}) {
        std::vector<double> got;
        for (std::int16_t i = 1; i <= s->NumP(); ++i)
            got.insert(got.end(), {s->pto2d(i, 1), s->pto2d(i, 2)});
        expectNear(got,
                   {-0.15f, -0.25f, 0.15f, -0.25f, 0.15f, 0.25f, -0.15f, 0.25f, -0.15f, -0.25f}, 0,
                   "section outline");
    }
    EXPECT_EQ(std::pair(p.GetPuntoExtremo(0), p.GetPuntoExtremo(1)), std::pair(-0.15f, 0.15f));
    EXPECT_NEAR(p.GetVolumen(), 0.9, 1e-6);

    Array2<float> ptos(1, 4, 1, 3);
    std::vector<double> face;
    p.GetPuntosPlano(1, ptos);
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 3; ++j)
            face.push_back(ptos(i, j));
    expectNear(face, {-3, 0.15f, -0.25f, 3, 0.15f, -0.25f, 3, 0.15f, 0.25f, -3, 0.15f, 0.25f}, 0,
               "face of plane 1");
    p.GetPuntosPlano(0, ptos);
    EXPECT_FLOAT_EQ(ptos(3, 2), -0.15f) << "plane 0 is the face of smallest y";
    Array2<float> small(1, 3, 1, 3);
    EXPECT_THROW(p.GetPuntosPlano(0, small), ProgrammingError);

    expectNear(pt(&IPieza3D::GetCoorPtoIni3D), {-3, 0, 0}, 1e-6, "start");
    expectNear(pt(&IPieza3D::GetCoorPtoFin3D), {3, 0, 0}, 1e-6, "end");
    p.LetCoorTrasla(1, 0, 0);
    expectNear(pt(&IPieza3D::GetCoorPtoIni3D), {-2, 0, 0}, 1e-6, "start moved");
    expectNear(pt(&IPieza3D::GetCoorPtoMedio3D), {1, 0, 0}, 1e-6, "middle moved");

    p.AnyadeLineaArma3D("V1", "4 fi 16", 1, 0, -0.2f, 0.2f, 0.03f);
    p.AnyadeLineaArma3D("V1", "2 fi 12", 2, 1, -0.2f, 0.2f, 0.03f);
    EXPECT_EQ(std::tuple(p.GetLineaArma(1), p.GetLineaArma(2), p.GetLineaArma(3)),
              std::tuple("4 fi 16", "2 fi 12", ""))
        << "a missing key gives the empty text";
    EXPECT_THROW(p.AnyadeLineaArma3D("V1", "4 fi 16", 1, 0, -0.2f, 0.2f, 0.03f), ProgrammingError)
        << "line numbers are keys";
    p.BorraArma();
    EXPECT_EQ(p.GetLineaArma(1), "");
    p.AnyadeLineaArma3D("V1", "3 fi 20", 1, 0, -0.2f, 0.2f, 0.03f);
    EXPECT_EQ(p.GetLineaArma(1), "3 fi 20") << "a new collection after BorraArma";
}

TEST(CPieza3D, RefusedAndIncompleteSetupsAndColours) {
    RecordingSink rec;
    const auto m = material(0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(CPieza3D().IniRectang("V2", 3, 0, m, 4, 0.3f, 0.5f, euro())) << "type 3";
    for (const auto& [tipo, largo] :
         {std::pair(4, 4.0f), std::pair(-1, 4.0f), std::pair(0, 0.0f), std::pair(0, nan)})
        EXPECT_FALSE(CPieza3D().IniRectang("V2", tipo, 0, m, largo, 0.3f, 0.5f, euro()))
            << "type " << tipo << ", length " << largo;
    EXPECT_TRUE(rec.texts().empty()) << "type and length are checked silently";
    for (const auto& [ancho, canto] :
         {std::pair(0.3f, 0.0f), std::pair(-0.3f, 0.5f), std::pair(0.3f, nan)}) {
        rec.clear();
        EXPECT_FALSE(CPieza3D().IniRectang("V2", 0, 0, m, 4, ancho, canto, euro())) << ancho;
        EXPECT_EQ(rec.texts(), Texts{"Error en la creación de V2"}) << ancho << " × " << canto;
    }
    CPieza3D refused; // a section refused by its own initialiser (no positive torsion constant)
    EXPECT_FALSE(refused.IniSeccGener("S", 0, 3, m, 1, 0, 0.3f, 0.4f, 0.0016f, 0.0009f, -1, 0.12f,
                                      0, 0, Array1<Value>(), euro()));
    rec.clear();
    CPieza3D sinMaterial;
    EXPECT_TRUE(sinMaterial.IniRectang("M", 0, 0, nullptr, 4, 0.3f, 0.5f, euro()));
    EXPECT_EQ(rec.texts(), Texts{"Falta asignar mateial a pieza."});
    EXPECT_THROW(sinMaterial.GetPropMateria(2), ProgrammingError);
    EXPECT_EQ(sinMaterial.GetVolumenMaterial(nullptr), 0);

    // Soil is drawn in colour 4 and concrete in 0, whatever colour was asked.
    for (const auto& [tipo, drawn] : {std::pair(3, 4), std::pair(0, 0)}) {
        CPieza3D q;
        ASSERT_TRUE(q.IniRectang("P", 0, tipo, material(tipo), 4, 0.3f, 0.5f, euro()));
        CCuaMaxMin extremos;
        extremos.Ini(0);
        std::int16_t color = 7;
        q.DibujaSeccion(extremos, 2, 99, 1, color);
        EXPECT_EQ(color, drawn) << "material " << tipo;
        EXPECT_EQ(extremos.puntos().size(), 10u) << "both end contours of five points";
    }
}

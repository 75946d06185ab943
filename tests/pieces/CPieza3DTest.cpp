#include "pieces/CPieza3D.h"
#include "drawing/CCuaMaxMin.h"
#include "pieces/Cmateria.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Cdiametro.h"
#include "sections/CSeccEstruc.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

using namespace tresol;
using platform::RecordingSink;

namespace {

std::shared_ptr<const Cdiametro> euro() {
    auto c = std::make_shared<Cdiametro>();
    c->Ini("Euro", "m");
    return c;
}

std::shared_ptr<const Cmateria> material(std::int32_t tipo) {
    auto m = std::make_shared<Cmateria>();
    m->IniSegunTipo(tipo);
    return m;
}

struct Pt {
    float x, y, z;
};

Pt ini(const IPieza3D& p) {
    Pt r{};
    p.GetCoorPtoIni3D(r.x, r.y, r.z);
    return r;
}
Pt fin(const IPieza3D& p) {
    Pt r{};
    p.GetCoorPtoFin3D(r.x, r.y, r.z);
    return r;
}
Pt medio(const IPieza3D& p) {
    Pt r{};
    p.GetCoorPtoMedio3D(r.x, r.y, r.z);
    return r;
}

void expectPt(const Pt& got, const Pt& want, const std::string& id) {
    EXPECT_NEAR(got.x, want.x, 1e-6) << id;
    EXPECT_NEAR(got.y, want.y, 1e-6) << id;
    EXPECT_NEAR(got.z, want.z, 1e-6) << id;
}

} // namespace

TEST(CPieza3D, IniRectangBuildsBothSectionsFromTheRectangle) {
    RecordingSink rec;
    CPieza3D p;
    ASSERT_TRUE(p.IniRectang("V1", 0, 0, material(0), 4, 0.3f, 0.5f, euro()));
    EXPECT_TRUE(rec.entries().empty());
    const std::array<std::array<float, 2>, 5> want = {
        {{-0.15f, -0.25f}, {0.15f, -0.25f}, {0.15f, 0.25f}, {-0.15f, 0.25f}, {-0.15f, -0.25f}}};
    for (const CSeccEstruc* s : {&p.SeccionIni(), &p.SeccionFin()}) {
        ASSERT_EQ(s->NumP(), 5);
        for (std::int16_t i = 1; i <= 5; ++i) {
            EXPECT_EQ(s->pto2d(i, 1), want[static_cast<std::size_t>(i - 1)][0]) << "row " << i;
            EXPECT_EQ(s->pto2d(i, 2), want[static_cast<std::size_t>(i - 1)][1]) << "row " << i;
        }
    }
    EXPECT_EQ(p.SeccionIni().ptoyd(), -2);
    EXPECT_EQ(p.SeccionFin().ptoyd(), 2);
    EXPECT_EQ(p.GetTipoSeccion(), 1);
    EXPECT_EQ(p.GetRef(), "V1");
    EXPECT_EQ(p.GetLargoX(), 4);
    EXPECT_FLOAT_EQ(p.GetCantoIniY(), 0.3f);
    EXPECT_FLOAT_EQ(p.GetCantoIniZ(), 0.5f);
    EXPECT_NEAR(p.GetAreaIni(), 0.15, 1e-7);
    EXPECT_NEAR(p.GetIyyIni(), 0.3 * 0.125 / 12, 1e-8);
    EXPECT_NEAR(p.GetIzzIni(), 0.5 * 0.027 / 12, 1e-8);
    EXPECT_GT(p.GetJIni(), 0);
    EXPECT_FLOAT_EQ(p.GetPuntoExtremo(0), -0.15f);
    EXPECT_FLOAT_EQ(p.GetPuntoExtremo(1), 0.15f);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const auto& [id, y, z] : std::vector<std::tuple<const char*, float, float>>{
             {"depth 0", 0.3f, 0}, {"negative width", -0.3f, 0.5f}, {"NaN depth", 0.3f, nan}}) {
        rec.clear();
        CPieza3D bad;
        EXPECT_FALSE(bad.IniRectang("V2", 0, 0, material(0), 4, y, z, euro())) << id;
        EXPECT_EQ(rec.texts(), std::vector<std::string>{"Error en la creación de V2"}) << id;
        EXPECT_THROW(bad.SeccionIni(), ProgrammingError) << id << ": nothing created";
    }
}

TEST(CPieza3D, ValidationAndMissingMaterial) {
    RecordingSink rec;
    const auto m = material(0);
    struct Case {
        const char* id;
        std::int32_t tipo;
        float largo;
        bool valid;
    };
    for (const Case& c :
         {Case{"type 3", 3, 4, true}, Case{"length 0", 0, 0, false}, Case{"type 4", 4, 4, false},
          Case{"type -1", -1, 4, false}, Case{"negative length", 0, -1, false},
          Case{"NaN length", 0, std::numeric_limits<float>::quiet_NaN(), false}}) {
        CPieza3D p;
        EXPECT_EQ(p.IniRectang("P", c.tipo, 0, m, c.largo, 0.3f, 0.5f, euro()), c.valid) << c.id;
    }
    EXPECT_TRUE(rec.entries().empty());

    // A section refused by its own initialiser (no positive torsion constant) leaves the piece
    // invalid rather than half built.
    CPieza3D refused;
    EXPECT_FALSE(refused.IniSeccGener("S", 0, 3, m, 1, 0, 0.3f, 0.4f, 0.0016f, 0.0009f, -1, 0.12f,
                                      0, 0, Array1<Value>(), euro()));

    CPieza3D sinMaterial;
    EXPECT_TRUE(sinMaterial.IniRectang("M", 0, 0, nullptr, 4, 0.3f, 0.5f, euro()))
        << "the piece is still set up";
    EXPECT_EQ(rec.texts(), std::vector<std::string>{"Falta asignar mateial a pieza."});
    EXPECT_THROW(sinMaterial.GetPropMateria(2), ProgrammingError);
    EXPECT_EQ(sinMaterial.GetVolumenMaterial(nullptr), 0);
}

TEST(CPieza3D, FacePlanesAndRefusedPlanes) {
    CPieza3D p;
    ASSERT_TRUE(p.IniRectang("V1", 0, 0, material(0), 4, 0.3f, 0.5f, euro()));
    Array2<float> ptos(1, 4, 1, 3);
    p.GetPuntosPlano(1, ptos);
    const float want[4][3] = {
        {-2, 0.15f, -0.25f}, {2, 0.15f, -0.25f}, {2, 0.15f, 0.25f}, {-2, 0.15f, 0.25f}};
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 3; ++j)
            EXPECT_FLOAT_EQ(ptos(i, j), want[i - 1][j - 1]) << "point " << i << " coord " << j;
    p.GetPuntosPlano(0, ptos);
    EXPECT_FLOAT_EQ(ptos(3, 2), -0.15f) << "plane 0 is the face of smallest y";

    Array2<float> small(1, 3, 1, 3);
    EXPECT_THROW(p.GetPuntosPlano(0, small), ProgrammingError);
    EXPECT_THROW(p.GetPuntosPlano(2, ptos), ProgrammingError);
    EXPECT_THROW(p.GetPuntoExtremo(-1), ProgrammingError);
    float a, b, c, d, e, f;
    EXPECT_THROW(p.GetMaxMinXYZ(a, b, c, d, e, f), ProgrammingError);

    CPieza3D circ;
    ASSERT_TRUE(circ.IniCircular("C", 0, 0, material(0), 3, 0.4f, euro()));
    EXPECT_EQ(circ.GetTipoSeccion(), 0);
    EXPECT_NEAR(circ.GetVolumen(), std::acos(-1.0) * 0.04 * 3, 1e-6);
    EXPECT_THROW(circ.GetPuntoExtremo(0), ProgrammingError) << "extremes of rectangles only";

    CPieza3D vacia;
    EXPECT_THROW(vacia.GetVolumen(), ProgrammingError);
    EXPECT_THROW(vacia.LetCoorTrasla(1, 0, 0), ProgrammingError);
    EXPECT_THROW(ini(vacia), ProgrammingError);
}

TEST(CPieza3D, AxisPointsFollowThePlacement) {
    CPieza3D p;
    ASSERT_TRUE(p.IniRectang("V1", 0, 0, material(0), 4, 0.3f, 0.5f, euro()));
    expectPt(ini(p), {-2, 0, 0}, "start");
    expectPt(fin(p), {2, 0, 0}, "end");
    expectPt(medio(p), {0, 0, 0}, "middle");

    p.LetCoorTrasla(1, 0, 0);
    expectPt(ini(p), {-1, 0, 0}, "start moved");
    expectPt(fin(p), {3, 0, 0}, "end moved");
    expectPt(medio(p), {1, 0, 0}, "middle moved");

    p.LetCoorGiro(0, 0, 90);
    expectPt(ini(p), {1, -2, 0}, "start turned about z");
    expectPt(fin(p), {1, 2, 0}, "end turned about z");
    float x, y, z;
    p.GetCoorTrasla(x, y, z);
    EXPECT_EQ((std::array{x, y, z}), (std::array{1.f, 0.f, 0.f}));
    p.GetCoorGiro(x, y, z);
    EXPECT_EQ(x, 0);
    EXPECT_NEAR(z, std::acos(-1.0) / 2, 1e-6) << "radians";
}

TEST(CPieza3D, VolumeAndMaterial) {
    const auto hormigon = material(0);
    const auto otro = material(0);
    CPieza3D p;
    ASSERT_TRUE(p.IniRectang("V", 0, 0, hormigon, 3, 0.6f, 0.5f, euro()));
    EXPECT_NEAR(p.GetVolumen(), 0.9, 1e-6);
    EXPECT_EQ(p.GetVolumenMaterial(hormigon.get()), p.GetVolumen());
    EXPECT_EQ(p.GetVolumenMaterial(otro.get()), 0) << "an equal material is another object";
    EXPECT_EQ(p.GetPropMateria(2), 25);
    EXPECT_EQ(p.GetTipoMaterial(), 0);

    CPieza3D suelo;
    ASSERT_TRUE(suelo.IniRectang("T", 0, 3, material(3), 2, 1, 1, euro()));
    EXPECT_EQ(suelo.GetTipoMaterial(), 3);
    EXPECT_EQ(suelo.GetPropMateria(2), 18);
}

TEST(CPieza3D, ReinforcementLines) {
    RecordingSink rec;
    CPieza3D p;
    ASSERT_TRUE(p.IniRectang("V1", 0, 0, material(0), 4, 0.3f, 0.5f, euro()));
    EXPECT_EQ(p.GetLineaArma(1), "") << "no reinforcement yet";
    p.AnyadeLineaArma3D("V1", "4 fi 16", 1, 0, -0.2f, 0.2f, 0.03f);
    p.AnyadeLineaArma3D("V1", "2 fi 12", 2, 1, -0.2f, 0.2f, 0.03f);
    EXPECT_TRUE(rec.entries().empty()) << rec.texts().front();
    EXPECT_EQ(p.GetLineaArma(1), "4 fi 16");
    EXPECT_EQ(p.GetLineaArma(2), "2 fi 12");
    EXPECT_EQ(p.GetLineaArma(3), "") << "a missing key gives the empty text";
    EXPECT_THROW(p.AnyadeLineaArma3D("V1", "4 fi 16", 1, 0, -0.2f, 0.2f, 0.03f), ProgrammingError)
        << "line numbers are keys";
    EXPECT_THROW(p.AnyadeLineaArma3D("V1", "4 fi 16", 5, 2, -0.2f, 0.2f, 0.03f), ProgrammingError)
        << "plane 2";
    p.BorraArma();
    EXPECT_EQ(p.GetLineaArma(1), "");
    p.AnyadeLineaArma3D("V1", "3 fi 20", 1, 0, -0.2f, 0.2f, 0.03f);
    EXPECT_EQ(p.GetLineaArma(1), "3 fi 20") << "a new collection after BorraArma";

    CPieza3D sinCatalogo;
    ASSERT_TRUE(sinCatalogo.IniRectang("X", 0, 0, material(0), 4, 0.3f, 0.5f, nullptr));
    EXPECT_THROW(sinCatalogo.AnyadeLineaArma3D("X", "4 fi 16", 1, 0, -0.2f, 0.2f, 0.03f),
                 ProgrammingError);
}

TEST(CPieza3D, DrawingColourFollowsTheMaterialType) {
    struct Case {
        const char* id;
        std::int32_t tipoMaterial;
        std::int16_t given, drawn;
    };
    for (const Case& c :
         {Case{"soil", 3, 7, 4}, Case{"soil given 4", 3, 4, 4}, Case{"concrete", 0, 7, 0}}) {
        CPieza3D p;
        ASSERT_TRUE(p.IniRectang("P", 0, c.tipoMaterial, material(c.tipoMaterial == 3 ? 3 : 0), 4,
                                 0.3f, 0.5f, euro()));
        CCuaMaxMin extremos;
        extremos.Ini(0);
        std::int16_t color = c.given;
        p.DibujaSeccion(extremos, 2, 99, 1, color);
        EXPECT_EQ(color, c.drawn) << c.id;
        // Both end contours, five points each, placed along the axis.
        EXPECT_EQ(extremos.puntos().size(), 10u) << c.id;
    }
}

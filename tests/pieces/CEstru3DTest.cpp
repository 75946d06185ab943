#include "pieces/CEstru3D.h"
#include "pieces/Cmateria.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Cdiametro.h"
#include "sections/CSeccEstruc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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

} // namespace

TEST(CEstru3D, VolumesAndPiecesAdded) {
    RecordingSink rec;
    const auto hormigon = material(0);
    const auto tierra = material(3);
    const auto otro = material(0);
    CEstru3D e;
    EXPECT_EQ(e.Ini(euro()), 0);
    EXPECT_EQ(e.GetNumPiezas(), 0);
    EXPECT_EQ(e.GetVolumen(), 0);

    ASSERT_TRUE(e.AnyadePieza("A", 0, 0, hormigon, 3, 0.6f, 0.5f, 1)); // 0.3 × 3
    ASSERT_TRUE(e.AnyadePieza("B", 0, 3, tierra, 4, 0.25f, 0.5f, 1));  // 0.125 × 4
    EXPECT_NEAR(e.GetVolumen(), 1.4, 1e-6);
    EXPECT_NEAR(e.GetVolumenMaterial(hormigon.get()), 0.9, 1e-6);
    EXPECT_NEAR(e.GetVolumenMaterial(tierra.get()), 0.5, 1e-6);
    EXPECT_EQ(e.GetVolumenMaterial(otro.get()), 0);
    ASSERT_TRUE(e.AnyadePieza("A2", 0, 0, hormigon, 1, 0.5f, 0.5f, 1));
    EXPECT_NEAR(e.GetVolumenMaterial(hormigon.get()), 1.15, 1e-6) << "both concrete pieces";
    EXPECT_TRUE(rec.entries().empty());

    EXPECT_FALSE(e.AnyadePieza("Z", 0, 0, hormigon, 3, 0.3f, 0, 1));
    EXPECT_FALSE(e.AnyadePieza("L0", 0, 0, hormigon, 0, 0.3f, 0.3f, 1)) << "no length";
    EXPECT_FALSE(e.AnyadePieza("C", 0, 0, hormigon, 3, 0.3f, 0.4f)) << "a circle of two sizes";
    EXPECT_EQ(rec.texts(),
              (std::vector<std::string>{"Error en la creación de Z", "Error en la creación de C"}));
    EXPECT_EQ(e.GetNumPiezas(), 3) << "only the pieces added successfully";

    ASSERT_TRUE(e.AnyadePieza("C", 0, 0, hormigon, 3, 0.4f, 0.4f)) << "circular by default";
    EXPECT_NEAR(e.GetPieza("C")->GetVolumen(), std::acos(-1.0) * 0.04 * 3, 1e-6);
    EXPECT_EQ(e.GetPieza("C")->GetTipoSeccion(), 0);

    CSeccEstruc s;
    ASSERT_TRUE(s.IniRectang(0, 0.4f, 0.3f, euro()));
    ASSERT_TRUE(e.AnyadePiezaSeccGener("S", 2, 5, hormigon, s));
    const auto p = e.GetPieza("S");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetCantoIniY(), s.GetCantoY());
    EXPECT_EQ(p->GetCantoIniZ(), s.GetCantoZ());
    EXPECT_EQ(p->GetAreaIni(), s.GetArea());
    EXPECT_EQ(p->GetJIni(), s.GetIT());
    EXPECT_EQ(p->GetIyyIni(), s.GetIyy());
    EXPECT_EQ(p->GetTipoSeccion(), 1);
    EXPECT_NEAR(p->GetVolumen(), 0.6, 1e-6);
    EXPECT_FALSE(e.AnyadePiezaSeccGener("S0", 2, 0, hormigon, s)) << "no length";
    EXPECT_EQ(e.GetNumPiezas(), 5);

    EXPECT_THROW(e.AnyadePieza("A", 0, 0, hormigon, 3, 0.6f, 0.5f, 1), ProgrammingError)
        << "keys are unique";
    EXPECT_THROW(e.AnyadePiezaSeccGener("S", 0, 3, hormigon, s), ProgrammingError);
    EXPECT_THROW(e.AnyadePieza("Q", 0, 0, hormigon, 3, 0.6f, 0.5f, 2), ProgrammingError);
    CEstru3D sinIni;
    EXPECT_THROW(sinIni.AnyadePieza("A", 0, 0, hormigon, 3, 0.6f, 0.5f, 1), ProgrammingError);
}

TEST(CEstru3D, PlacingAndFindingPieces) {
    RecordingSink rec;
    CEstru3D e;
    e.Ini(euro());
    ASSERT_TRUE(e.AnyadePieza("V", 0, 0, material(0), 4, 0.3f, 0.5f, 1));

    float x, y, z;
    e.TomaPtoIniPieza("V", x, y, z);
    EXPECT_EQ((std::array{x, y, z}), (std::array{-2.f, 0.f, 0.f}));

    EXPECT_EQ(e.PosicionaPieza("nada", 1, 2, 3, 0, 0, 0), 0);
    EXPECT_EQ(rec.texts(), std::vector<std::string>{"No se ha localizado pieza"});
    e.TomaPtoFinPieza("V", x, y, z);
    EXPECT_EQ((std::array{x, y, z}), (std::array{2.f, 0.f, 0.f})) << "nothing changed";

    EXPECT_EQ(e.PosicionaPieza("V", 10, 0, 1, 0, 0, 90), -1);
    EXPECT_EQ(rec.entries().size(), 1u);
    EXPECT_EQ(e.TomaPtoIniPieza("V", x, y, z), 0);
    EXPECT_NEAR(x, 10, 1e-6);
    EXPECT_NEAR(y, -2, 1e-6);
    EXPECT_NEAR(z, 1, 1e-6);
    EXPECT_EQ(e.TomaPtoFinPieza("V", x, y, z), 0);
    EXPECT_NEAR(x, 10, 1e-6);
    EXPECT_NEAR(y, 2, 1e-6);
    EXPECT_NEAR(z, 1, 1e-6);

    EXPECT_EQ(e.GetPieza("nada"), nullptr);
    EXPECT_EQ(rec.entries().size(), 1u) << "GetPieza is silent";
    EXPECT_EQ(e.GetPiezaI("V").GetRef(), "V");
    EXPECT_THROW(e.GetPiezaI("nada"), ProgrammingError);
    EXPECT_THROW(e.TomaPtoIniPieza("nada", x, y, z), ProgrammingError);
}

TEST(CEstru3D, ReinforcementGoesToThePieceNamed) {
    CEstru3D e;
    e.Ini(euro());
    ASSERT_TRUE(e.AnyadePieza("A", 0, 0, material(0), 4, 0.3f, 0.5f, 1));
    ASSERT_TRUE(e.AnyadePieza("B", 0, 0, material(0), 4, 0.3f, 0.5f, 1));
    e.AnyadeLineaArma3D("B", "3 fi 12", 1, 1, -0.2f, 0.2f, 0.03f);
    EXPECT_EQ(e.GetPieza("B")->GetLineaArma(1), "3 fi 12");
    EXPECT_EQ(e.GetPieza("A")->GetLineaArma(1), "");
    EXPECT_THROW(e.AnyadeLineaArma3D("nada", "3 fi 12", 1, 1, -0.2f, 0.2f, 0.03f),
                 ProgrammingError);
    e.BorraArma();
    EXPECT_EQ(e.GetPieza("B")->GetLineaArma(1), "");
}

TEST(CEstru3D, SinglePieceQuestionsAreRefused) {
    CEstru3D e;
    e.Ini(euro());
    float a = 0;
    const std::vector<std::pair<const char*, std::function<void()>>> refused = {
        {"GetCantoIniY", [&] { e.GetCantoIniY(); }},
        {"GetCantoIniZ", [&] { e.GetCantoIniZ(); }},
        {"GetAreaIni", [&] { e.GetAreaIni(); }},
        {"GetJIni", [&] { e.GetJIni(); }},
        {"GetIyyIni", [&] { e.GetIyyIni(); }},
        {"GetIzzIni", [&] { e.GetIzzIni(); }},
        {"GetRef", [&] { e.GetRef(); }},
        {"GetCoorPtoFin3D", [&] { e.GetCoorPtoFin3D(a, a, a); }},
        {"GetCoorPtoMedio3D", [&] { e.GetCoorPtoMedio3D(a, a, a); }},
        {"GetCoorPtoIni3D", [&] { e.GetCoorPtoIni3D(a, a, a); }},
        {"LetCoorTrasla", [&] { e.LetCoorTrasla(1, 2, 3); }},
        {"GetCoorTrasla", [&] { e.GetCoorTrasla(a, a, a); }},
        {"LetCoorGiro", [&] { e.LetCoorGiro(1, 2, 3); }},
        {"GetCoorGiro", [&] { e.GetCoorGiro(a, a, a); }},
        {"GetLineaArma", [&] { e.GetLineaArma(1); }},
        {"GetLargoX", [&] { e.GetLargoX(); }},
        {"GetTipoMaterial", [&] { e.GetTipoMaterial(); }},
        {"GetPropMateria", [&] { e.GetPropMateria(2); }},
    };
    for (const auto& [id, call] : refused)
        EXPECT_THROW(call(), ProgrammingError) << id;
}

// Beam A 0.3 × 0.5 × 4 at the origin spans x -2…2, y -0.15…0.15, z -0.25…0.25. Block B
// 0.2 × 0.4 × 2 turned 90° about z and moved to (5, 0, 1): its own x runs along y (-1…1), its
// own y along -x (5 - 0.1…5 + 0.1), z 1 - 0.2…1 + 0.2.
TEST(CEstru3D, ExtentsOfTwoPlacedPieces) {
    CEstru3D e;
    e.Ini(euro());
    ASSERT_TRUE(e.AnyadePieza("A", 0, 0, material(0), 4, 0.3f, 0.5f, 1));
    ASSERT_TRUE(e.AnyadePieza("B", 0, 0, material(0), 2, 0.2f, 0.4f, 1));
    e.PosicionaPieza("B", 5, 0, 1, 0, 0, 90);
    float xmax, xmin, ymax, ymin, zmax, zmin;
    e.GetMaxMinXYZ(xmax, xmin, ymax, ymin, zmax, zmin);
    const std::array<float, 6> got{xmax, xmin, ymax, ymin, zmax, zmin};
    const std::array<float, 6> want{5.1f, -2, 1, -1, 1.2f, -0.25f};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-5) << "extent " << i;
}

#include "pieces/CEstru3D.h"
#include "pieces/PieceTestSupport.h"
#include "sections/CSeccEstruc.h"

#include <cmath>

using namespace tresol;
using namespace tresol::testing;

TEST(CEstru3D, PiecesVolumesAndMaterials) {
    RecordingSink rec;
    const auto hormigon = material(0), tierra = material(3);
    CEstru3D e;
    EXPECT_EQ(e.Ini(euro()), 0);
    EXPECT_EQ(std::pair(e.GetNumPiezas(), e.GetVolumen()), std::pair(0, 0.0f));
    ASSERT_TRUE(e.AnyadePieza("A", 0, 0, hormigon, 3, 0.6f, 0.5f, 1)); // 0.3 × 3
    ASSERT_TRUE(e.AnyadePieza("B", 0, 3, tierra, 4, 0.25f, 0.5f, 1));  // 0.125 × 4
    EXPECT_NEAR(e.GetVolumen(), 1.4, 1e-6);
    EXPECT_NEAR(e.GetVolumenMaterial(hormigon.get()), 0.9, 1e-6);
    EXPECT_NEAR(e.GetVolumenMaterial(tierra.get()), 0.5, 1e-6);
    EXPECT_EQ(e.GetVolumenMaterial(material(0).get()), 0) << "an equal material is another object";

    EXPECT_FALSE(e.AnyadePieza("C", 0, 0, hormigon, 3, 0.3f, 0.4f)) << "a circle of two sizes";
    EXPECT_EQ(rec.texts(), Texts{"Error en la creación de C"});
    ASSERT_TRUE(e.AnyadePieza("C", 0, 0, hormigon, 3, 0.4f, 0.4f)) << "circular by default";
    EXPECT_NEAR(e.GetVolumenMaterial(hormigon.get()), 0.9 + std::acos(-1.0) * 0.04 * 3, 1e-6);

    CSeccEstruc s;
    ASSERT_TRUE(s.IniRectang(0, 0.4f, 0.3f, euro()));
    ASSERT_TRUE(e.AnyadePiezaSeccGener("S", 2, 5, hormigon, s));
    const auto& p = *e.GetPieza("S");
    EXPECT_EQ(std::tuple(p.GetCantoIniZ(), p.GetAreaIni(), p.GetJIni(), p.GetTipoSeccion()),
              std::tuple(s.GetCantoZ(), s.GetArea(), s.GetIT(), 1));
    EXPECT_NEAR(p.GetVolumen(), 0.6, 1e-6);
    EXPECT_EQ(e.GetNumPiezas(), 4) << "only the pieces added successfully";
    EXPECT_THROW(e.AnyadePieza("A", 0, 0, hormigon, 3, 0.6f, 0.5f, 1), ProgrammingError);
    EXPECT_THROW(CEstru3D().AnyadePieza("A", 0, 0, hormigon, 3, 0.6f, 0.5f, 1), ProgrammingError);
}

// V 0.3 × 0.5 × 4 turned 90° about z and moved to (10, 0, 1): its own x runs along y (-2…2), its
// own y along -x (10 - 0.15…10 + 0.15), z 1 - 0.25…1 + 0.25. B 0.2 × 0.4 × 2 stays at the origin.
TEST(CEstru3D, PlacingFindingReinforcingAndRefusing) {
    RecordingSink rec;
    CEstru3D e;
    e.Ini(euro());
    ASSERT_TRUE(e.AnyadePieza("V", 0, 0, material(0), 4, 0.3f, 0.5f, 1));
    ASSERT_TRUE(e.AnyadePieza("B", 0, 0, material(0), 2, 0.2f, 0.4f, 1));
    const auto ends = [&](const char* ref) {
        float v[6];
        EXPECT_EQ(
            e.TomaPtoIniPieza(ref, v[0], v[1], v[2]) + e.TomaPtoFinPieza(ref, v[3], v[4], v[5]), 0);
        return std::vector<double>(v, v + 6);
    };
    EXPECT_EQ(e.PosicionaPieza("nada", 1, 2, 3, 0, 0, 0), 0);
    EXPECT_EQ(rec.texts(), Texts{"No se ha localizado pieza"});
    expectNear(ends("V"), {-2, 0, 0, 2, 0, 0}, 0, "nothing moved");
    EXPECT_EQ(e.PosicionaPieza("V", 10, 0, 1, 0, 0, 90), -1);
    expectNear(ends("V"), {10, -2, 1, 10, 2, 1}, 1e-6, "moved and turned about z");
    float v[6];
    e.GetMaxMinXYZ(v[0], v[1], v[2], v[3], v[4], v[5]);
    expectNear({v, v + 6}, {10.15, -1, 2, -2, 1.25, -0.2}, 1e-5, "xmax xmin ymax ymin zmax zmin");
    EXPECT_EQ(e.GetPieza("nada"), nullptr);
    EXPECT_EQ(e.GetPiezaI("V").GetRef(), "V");
    EXPECT_THROW(e.GetPiezaI("nada"), ProgrammingError);
    EXPECT_THROW(ends("nada"), ProgrammingError);

    e.AnyadeLineaArma3D("B", "3 fi 12", 1, 1, -0.1f, 0.1f, 0.03f);
    EXPECT_EQ(e.GetPieza("B")->GetLineaArma(1), "3 fi 12");
    EXPECT_EQ(e.GetPieza("V")->GetLineaArma(1), "");
    EXPECT_THROW(e.AnyadeLineaArma3D("nada", "3 fi 12", 1, 1, -0.2f, 0.2f, 0.03f),
                 ProgrammingError);
    e.BorraArma();
    EXPECT_EQ(e.GetPieza("B")->GetLineaArma(1), "");

    // What only a single piece can answer is refused on the whole.
    EXPECT_THROW(e.GetAreaIni(), ProgrammingError);
    EXPECT_THROW(e.GetCoorPtoMedio3D(v[0], v[1], v[2]), ProgrammingError);
    EXPECT_THROW(e.LetCoorGiro(1, 2, 3), ProgrammingError);
    EXPECT_THROW(e.GetRef(), ProgrammingError);
    EXPECT_THROW(e.GetLargoX(), ProgrammingError);
    EXPECT_THROW(e.GetTipoMaterial(), ProgrammingError);
    EXPECT_THROW(e.GetPropMateria(2), ProgrammingError);
    EXPECT_THROW(e.GetLineaArma(1), ProgrammingError);
}

#include "drawing/CadSession.h"
#include "drawing/DxfCheck.h"
#include "drawing/DxfExport.h"
#include "drawing/ICuadro.h"
#include "pieces/CEstru3D.h"
#include "pieces/PieceTestSupport.h"
#include "reinforcement/Carmasec.h"
#include "sections/CSeccEstruc.h"

#include <cmath>

using namespace tresol;
using namespace tresol::testing;

// A 0.30 × 0.50 beam section with three 16 mm bars at a cover of 0.04 over its bottom face, drawn
// as the design window exports it: in the CAD front view (X = the section's Z, Z = its Y).
TEST(CPieza3DDxf, ReinforcedBeamSectionReadBackByAnIndependentReader) {
    CSeccEstruc s;
    ASSERT_TRUE(s.IniRectang(0, 0.5f, 0.3f, euro()));
    s.AnyadeRefuerzoLineaCentrada("3 fi 16", 0.04f, 0);
    ASSERT_NE(s.GetArmado(), nullptr);
    // Another drawing open in the process must not leak into the exported file.
    const auto other = CadStart(kCadClassName);
    other->ActiveDocument().ModelSpace().AddSphere({9, 9, 9}, 1);

    const auto draw = [&](ICuadro& c) {
        std::int32_t NP = 0;
        PointArray contorno;
        s.GeneraContorno(NP, contorno, 1);
        DibujaContornoFrontal(c, NP, contorno);
        s.GetArmado()->Dibuja(c);
        c.PoneText(-0.25f, 0, -0.21f, "3 fi 16", 0.03f);
    };
    DxfDir dir;
    const std::string path = dir.file("beam-section.dxf");
    std::string error;
    ASSERT_TRUE(ExportDxf(path, draw, error)) << error;
    const auto r = readDxf(path);
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    ASSERT_TRUE(r.failure.empty()) << r.failure;
    EXPECT_EQ(r.auditErrors, 0);
    ASSERT_EQ(r.entities.size(), 5u);

    EXPECT_EQ(r.entities[0].kind, "POLYLINE3D");
    expectNear(r.entities[0].numbers("pts"),
               {-0.25, 0, -0.15, -0.25, 0, 0.15, 0.25, 0, 0.15, 0.25, 0, -0.15, -0.25, 0, -0.15},
               1e-7, "outline");
    // Bars: centres 0.04 + 0.008 inside the bottom and side faces, in the outline's plane.
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& b = r.entities[1 + i];
        EXPECT_EQ(b.kind, "SPHERE") << i;
        expectNear(b.numbers("centre"), {-0.202 + 0.202 * i, 0, -0.102}, 1e-6, "bar centre");
        EXPECT_NEAR(b.numbers("centre").at(1), 0, 1e-12) << i << ": in the plane of the outline";
        EXPECT_NEAR(b.number("radius"), 0.008, 1e-7) << i;
    }
    EXPECT_EQ(r.entities[4].kind + " " + r.entities[4].at("text"), "TEXT 3 fi 16");
    EXPECT_NEAR(r.entities[4].numbers("ins").at(2), -0.21, 1e-7) << "beneath the section";
}

// A concrete beam with a line of bars and a soil block turned a quarter turn, drawn in the
// section plane view, where the CAD plotter receives true 3D coordinates.
TEST(CEstru3DDxf, AssemblyReadBackByAnIndependentReader) {
    CEstru3D e;
    e.Ini(euro());
    ASSERT_TRUE(e.AnyadePieza("A", 0, 0, material(0), 4, 0.3f, 0.5f, 1));
    ASSERT_TRUE(e.AnyadePieza("B", 0, 3, material(3), 2, 0.2f, 0.4f, 1));
    ASSERT_EQ(e.PosicionaPieza("B", 5, 0, 1, 0, 0, 90), -1);
    e.AnyadeLineaArma3D("A", "2 fi 12", 1, 0, -0.1f, 0.1f, 0.03f);
    DxfDir dir;
    const std::string path = dir.file("assembly.dxf");
    std::string error;
    std::int16_t color = 0;
    ASSERT_TRUE(ExportDxf(
        path, [&](ICuadro& c) { e.DibujaSeccion(c, 2, 0, 1, color); }, error))
        << error;
    const auto r = readDxf(path);
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    ASSERT_TRUE(r.failure.empty()) << r.failure;
    EXPECT_EQ(r.auditErrors, 0);
    // Per piece two contours and five edges; per bar two hexagons and seven edges. The beam and
    // its bars are black; the soil block comes last, in colour 4.
    ASSERT_EQ(r.entities.size(), 7u + 2 * 9 + 7);
    for (std::size_t k = 0; k < r.entities.size(); ++k) {
        EXPECT_EQ(r.entities[k].kind, "POLYLINE3D") << k;
        EXPECT_EQ(r.entities[k].at(k < 25 ? "aci" : "rgb"), k < 25 ? "7" : "800000") << k;
    }
    const double sy[] = {-1, 1, 1, -1, -1}, sz[] = {-1, -1, 1, 1, -1}; // corners in turn
    for (std::size_t end = 0; end < 2; ++end) { // beam A's end contours at x = -2 and 2
        std::vector<double> want;
        for (std::size_t i = 0; i < 5; ++i)
            want.insert(want.end(), {end ? 2.0 : -2.0, 0.15 * sy[i], 0.25 * sz[i]});
        expectNear(r.entities[end].numbers("pts"), want, 1e-6, "beam end " + std::to_string(end));
    }
    // Its bars: 12 mm, edge 0.03 above the bottom face (centres at y = -0.114), at z = -0.1 and
    // 0.1, drawn as hexagonal prisms of circumradius d along the whole beam: the end hexagons.
    for (std::size_t k : {7, 8, 16, 17}) {
        const auto v = r.entities[k].numbers("pts");
        ASSERT_EQ(v.size(), 21u) << k;
        for (std::size_t i = 0; i < 21; i += 3) {
            EXPECT_NEAR(v[i], k % 9 == 7 ? -2 : 2, 1e-6) << k;
            EXPECT_NEAR(std::hypot(v[i + 1] + 0.114, v[i + 2] - (k < 16 ? -0.1 : 0.1)), 0.012, 1e-6)
                << k;
        }
    }
    // Soil block B's start contour (its own x = -1), turned a quarter turn and moved to (5, 0, 1).
    std::vector<double> soil;
    for (std::size_t i = 0; i < 5; ++i)
        soil.insert(soil.end(), {5 - 0.1 * sy[i], -1, 1 + 0.2 * sz[i]});
    expectNear(r.entities[25].numbers("pts"), soil, 1e-5, "soil start contour");
}

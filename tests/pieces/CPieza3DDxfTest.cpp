#include "drawing/CadSession.h"
#include "drawing/DxfCheck.h"
#include "drawing/DxfExport.h"
#include "drawing/ICuadro.h"
#include "reinforcement/Carmasec.h"
#include "reinforcement/Cdiametro.h"
#include "sections/CSeccEstruc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace tresol;
using tresol::testing::DxfDir;
using tresol::testing::readDxf;

// The section of a 0.30 × 0.50 beam with three 16 mm bars at a cover of 0.04 over its bottom
// face, exported as the design window shows it: outline, bars as balls of their radius and the
// arrangement line beneath, all in the CAD front view (X = the section's Z, Z = its Y).
TEST(CPieza3DDxf, ReinforcedBeamSectionReadBackByAnIndependentReader) {
    auto cat = std::make_shared<Cdiametro>();
    cat->Ini("Euro", "m");
    CSeccEstruc s;
    ASSERT_TRUE(s.IniRectang(0, 0.5f, 0.3f, cat));
    s.AnyadeRefuerzoLineaCentrada("3 fi 16", 0.04f, 0);
    ASSERT_NE(s.GetArmado(), nullptr);
    const std::string linea = s.GetArmado()->GetLineaRedondos();
    ASSERT_EQ(linea, "3 fi 16");

    // Another drawing open in the process must not leak into the exported file.
    const auto other = CadStart(kCadClassName);
    other->ActiveDocument().ModelSpace().AddSphere({9, 9, 9}, 1);

    DxfDir dir;
    const std::string path = dir.file("beam-section.dxf");
    std::string error;
    ASSERT_TRUE(ExportDxf(
        path,
        [&](ICuadro& c) {
            std::int32_t NP = 0;
            PointArray contorno;
            s.GeneraContorno(NP, contorno, 1);
            DibujaContornoFrontal(c, NP, contorno);
            s.GetArmado()->Dibuja(c);
            c.PoneText(-0.25f, 0, -0.21f, linea, 0.03f);
        },
        error))
        << error;

    const auto r = readDxf(path);
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    ASSERT_TRUE(r.failure.empty()) << r.failure;
    EXPECT_EQ(r.auditErrors, 0);
    ASSERT_EQ(r.entities.size(), 5u);

    const auto& outline = r.entities[0];
    EXPECT_EQ(outline.kind, "POLYLINE3D");
    const auto pts = outline.numbers("pts");
    const std::vector<double> want = {-0.25, 0,    -0.15, -0.25, 0,     0.15, 0.25, 0,
                                      0.15,  0.25, 0,     -0.15, -0.25, 0,    -0.15};
    ASSERT_EQ(pts.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(pts[i], want[i], 1e-7) << "outline value " << i;

    // Bars: centres 0.04 + 0.008 inside the bottom and side faces, in the outline's plane.
    const double zs[] = {-0.202, 0, 0.202};
    for (int i = 0; i < 3; ++i) {
        const auto& b = r.entities[static_cast<std::size_t>(1 + i)];
        const std::string id = "bar " + std::to_string(i + 1);
        ASSERT_EQ(b.kind, "SPHERE") << id;
        const auto c = b.numbers("centre");
        ASSERT_EQ(c.size(), 3u) << id;
        EXPECT_NEAR(c[0], zs[i], 1e-6) << id;
        EXPECT_NEAR(c[1], 0, 1e-12) << id << ": in the plane of the outline";
        EXPECT_NEAR(c[2], -0.102, 1e-6) << id;
        EXPECT_NEAR(b.number("radius"), 0.008, 1e-7) << id;
        EXPECT_GE(c[2] - b.number("radius"), -0.15 + 0.04 - 1e-6) << id << ": cover below";
        EXPECT_LE(std::fabs(c[0]) + b.number("radius"), 0.25 - 0.04 + 1e-6) << id << ": sides";
    }
    const auto& t = r.entities[4];
    EXPECT_EQ(t.kind, "TEXT");
    EXPECT_EQ(t.at("text"), "3 fi 16");
    const auto ins = t.numbers("ins");
    ASSERT_EQ(ins.size(), 3u);
    EXPECT_NEAR(ins[2], -0.21, 1e-7) << "beneath the section";
    EXPECT_NEAR(t.numbers("normal")[1], -std::sin(1.57), 1e-9) << "facing the front view";
}

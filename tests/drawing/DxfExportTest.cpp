#include "drawing/DxfExport.h"
#include "drawing/CadSession.h"
#include "drawing/DxfCheck.h"
#include "drawing/ICuadro.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace tresol;
using tresol::testing::DxfDir;
using tresol::testing::readDxf;

namespace {

void expectNear(const std::vector<double>& got, const std::vector<double>& want,
                const std::string& id) {
    ASSERT_EQ(got.size(), want.size()) << id;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], 1e-7) << id << " value " << i; // sent as singles
}

// A 0.30 (Y) × 0.50 (Z) beam with three 16 mm bars 0.04 from its bottom face, drawn as the
// picture box shows it (Z across, Y up): in the CAD front view that is X = z, Z = y.
void drawBeam(ICuadro& c) {
    const float ys[] = {-0.15f, -0.15f, 0.15f, 0.15f, -0.15f};
    const float zs[] = {-0.25f, 0.25f, 0.25f, -0.25f, -0.25f};
    PointArray outline = makePointArray(5);
    for (int i = 1; i <= 5; ++i) {
        outline(i, 1) = ys[i - 1];
        outline(i, 2) = zs[i - 1];
    }
    DibujaContornoFrontal(c, 5, outline);
    for (float z : {-0.202f, 0.0f, 0.202f})
        c.bolita(z, -0.102f, 0.008f, std::nullopt, std::int16_t{4});
    c.PoneText(-0.25f, 0, -0.22f, "3 fi 16", 0.03f);
}

} // namespace

TEST(DxfExport, BeamSectionReadBackByAnIndependentReader) {
    DxfDir dir;
    // Another drawing open in the process must not leak into the exported file.
    const auto other = CadStart(kCadClassName);
    other->ActiveDocument().ModelSpace().AddSphere({9, 9, 9}, 1);

    const std::string path = dir.file("beam.dxf");
    std::string error;
    ASSERT_TRUE(ExportDxf(path, drawBeam, error)) << error;

    const auto r = readDxf(path);
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    ASSERT_TRUE(r.failure.empty()) << r.failure;
    EXPECT_EQ(r.auditErrors, 0);
    ASSERT_EQ(r.entities.size(), 5u);

    EXPECT_EQ(r.entities[0].kind, "POLYLINE3D");
    EXPECT_EQ(r.entities[0].at("aci"), "7");
    expectNear(r.entities[0].numbers("pts"),
               {-0.25, 0, -0.15, 0.25, 0, -0.15, 0.25, 0, 0.15, -0.25, 0, 0.15, -0.25, 0, -0.15},
               "outline in the front view");
    const double zs[] = {-0.202, 0, 0.202};
    for (int i = 0; i < 3; ++i) {
        const auto& s = r.entities[static_cast<std::size_t>(1 + i)];
        const std::string id = "bar " + std::to_string(i + 1);
        EXPECT_EQ(s.kind, "SPHERE") << id;
        expectNear(s.numbers("centre"), {zs[i], 0, -0.102}, id);
        EXPECT_NEAR(s.number("radius"), 0.008, 1e-9) << id;
        EXPECT_EQ(s.at("closed"), "1") << id;
        EXPECT_EQ(s.at("rgb"), "800000") << id;
    }
    const auto& t = r.entities[4];
    EXPECT_EQ(t.kind, "TEXT");
    EXPECT_EQ(t.at("text"), "3 fi 16");
    EXPECT_NEAR(t.number("height"), 0.03, 1e-9);
    expectNear(t.numbers("ins"), {-0.25, 0, -0.22}, "text below the section");
    expectNear(t.numbers("normal"), {0, -std::sin(1.57), std::cos(1.57)},
               "turned upright by 1.57 rad into the front view");
}

TEST(DxfExport, FailuresLeaveNoFile) {
    DxfDir dir;
    std::string error;
    {
        ScopedCadProvider none(kCadClassName, nullptr);
        platform::RecordingSink rec;
        EXPECT_FALSE(ExportDxf(dir.file("a.dxf"), drawBeam, error));
        EXPECT_EQ(error, "No se ha creado sesion de CAD");
        EXPECT_TRUE(rec.entries().empty()) << "the caller reports the error";
    }
    error.clear();
    EXPECT_FALSE(ExportDxf(dir.file("missing/b.dxf"), drawBeam, error));
    EXPECT_EQ(error, "No se ha podido escribir el archivo " + dir.file("missing/b.dxf"));

    const auto faulty = [](ICuadro& c) { c.MinX(); };
    EXPECT_THROW(ExportDxf(dir.file("c.dxf"), faulty, error), ProgrammingError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.dxf")));
}

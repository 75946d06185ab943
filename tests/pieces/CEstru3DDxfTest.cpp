#include "drawing/DxfCheck.h"
#include "drawing/DxfExport.h"
#include "pieces/CEstru3D.h"
#include "pieces/Cmateria.h"
#include "reinforcement/Cdiametro.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace tresol;
using tresol::testing::DxfDir;
using tresol::testing::DxfEntity;
using tresol::testing::readDxf;

namespace {

std::shared_ptr<const Cmateria> material(std::int32_t tipo) {
    auto m = std::make_shared<Cmateria>();
    m->IniSegunTipo(tipo);
    return m;
}

// Rows of a polyline as (x, y, z) triples.
std::vector<std::array<double, 3>> vertices(const DxfEntity& e) {
    const auto v = e.numbers("pts");
    std::vector<std::array<double, 3>> out;
    for (std::size_t i = 0; i + 2 < v.size(); i += 3)
        out.push_back({v[i], v[i + 1], v[i + 2]});
    return out;
}

} // namespace

// A concrete beam with a line of bars and a soil block turned a quarter turn, drawn in the
// section plane view, where the CAD plotter receives true 3D coordinates.
TEST(CEstru3DDxf, AssemblyReadBackByAnIndependentReader) {
    auto cat = std::make_shared<Cdiametro>();
    cat->Ini("Euro", "m");
    CEstru3D e;
    e.Ini(cat);
    ASSERT_TRUE(e.AnyadePieza("A", 0, 0, material(0), 4, 0.3f, 0.5f, 1));
    ASSERT_TRUE(e.AnyadePieza("B", 0, 3, material(3), 2, 0.2f, 0.4f, 1));
    ASSERT_EQ(e.PosicionaPieza("B", 5, 0, 1, 0, 0, 90), -1);
    e.AnyadeLineaArma3D("A", "2 fi 12", 1, 0, -0.1f, 0.1f, 0.03f);

    DxfDir dir;
    const std::string path = dir.file("assembly.dxf");
    std::string error;
    ASSERT_TRUE(ExportDxf(
        path,
        [&](ICuadro& c) {
            std::int16_t color = 0;
            e.DibujaSeccion(c, 2, 0, 1, color);
        },
        error))
        << error;

    const auto r = readDxf(path);
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    ASSERT_TRUE(r.failure.empty()) << r.failure;
    EXPECT_EQ(r.auditErrors, 0);
    // Per piece two contours and five edges; per bar two hexagons and seven edges.
    ASSERT_EQ(r.entities.size(), 7u + 2 * 9 + 7);
    for (const auto& ent : r.entities)
        EXPECT_EQ(ent.kind, "POLYLINE3D");

    // Beam A: its two end contours at x = -2 and 2, the edges between them.
    const double ay[] = {-0.15, 0.15, 0.15, -0.15, -0.15};
    const double az[] = {-0.25, -0.25, 0.25, 0.25, -0.25};
    for (int end = 0; end < 2; ++end) {
        const auto v = vertices(r.entities[static_cast<std::size_t>(end)]);
        ASSERT_EQ(v.size(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            const std::string id = "beam end " + std::to_string(end) + " row " + std::to_string(i);
            EXPECT_NEAR(v[i][0], end == 0 ? -2 : 2, 1e-6) << id;
            EXPECT_NEAR(v[i][1], ay[i], 1e-6) << id;
            EXPECT_NEAR(v[i][2], az[i], 1e-6) << id;
        }
        EXPECT_EQ(r.entities[static_cast<std::size_t>(end)].at("aci"), "7") << "concrete: black";
    }
    for (std::size_t k = 2; k < 7; ++k) {
        const auto v = vertices(r.entities[k]);
        ASSERT_EQ(v.size(), 2u);
        EXPECT_NEAR(v[0][0], -2, 1e-6);
        EXPECT_NEAR(v[1][0], 2, 1e-6);
        EXPECT_NEAR(v[0][1], v[1][1], 1e-6);
        EXPECT_NEAR(v[0][2], v[1][2], 1e-6);
    }

    // Its bars: 12 mm, edge 0.03 above the bottom face (centres at y = -0.114), at z = -0.1 and
    // 0.1, drawn as hexagonal prisms of circumradius d along the whole beam.
    const double bz[] = {-0.1, 0.1};
    for (int bar = 0; bar < 2; ++bar) {
        const std::size_t first = 7 + 9 * static_cast<std::size_t>(bar);
        for (int end = 0; end < 2; ++end) {
            const auto v = vertices(r.entities[first + static_cast<std::size_t>(end)]);
            ASSERT_EQ(v.size(), 7u);
            for (const auto& p : v) {
                const std::string id = "bar " + std::to_string(bar) + " end " + std::to_string(end);
                EXPECT_NEAR(p[0], end == 0 ? -2 : 2, 1e-6) << id;
                EXPECT_NEAR(std::hypot(p[1] + 0.114, p[2] - bz[bar]), 0.012, 1e-6) << id;
            }
        }
    }

    // Soil block B: colour 4, start contour at local x = -1, turned so that its own x runs
    // along y and its own y along -x, then moved to (5, 0, 1).
    const double by[] = {-0.1, 0.1, 0.1, -0.1, -0.1};
    const double bzs[] = {-0.2, -0.2, 0.2, 0.2, -0.2};
    const auto v = vertices(r.entities[25]);
    ASSERT_EQ(v.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const std::string id = "soil row " + std::to_string(i);
        EXPECT_NEAR(v[i][0], 5 - by[i], 1e-5) << id;
        EXPECT_NEAR(v[i][1], -1, 1e-5) << id;
        EXPECT_NEAR(v[i][2], 1 + bzs[i], 1e-5) << id;
    }
    for (std::size_t k = 25; k < 32; ++k)
        EXPECT_EQ(r.entities[k].at("rgb"), "800000") << "soil in colour 4, entity " << k;
}

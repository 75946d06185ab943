#include "drawing/CCuaMaxMin.h"
#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"

#include <gtest/gtest.h>

using namespace tresol;

namespace {

struct Ext {
    float xmax, xmin, ymax, ymin, zmax, zmin;
    std::int32_t n;
};

Ext extents(const CCuaMaxMin& c) {
    Ext e{};
    e.n = c.GetMaxMinXYZ(e.xmax, e.xmin, e.ymax, e.ymin, e.zmax, e.zmin);
    return e;
}

} // namespace

TEST(Collector, RecordsWhatIsDrawn) {
    CCuaMaxMin c;
    c.Ini(0);
    PointArray P = makePointArray(3); // (y, x) = (0, 0), (0, 4), (3, 4)
    P(1, 1) = 0, P(1, 2) = 0;
    P(2, 1) = 0, P(2, 2) = 4;
    P(3, 1) = 3, P(3, 2) = 4;
    EXPECT_FALSE(c.DibuGener(3, P));
    Ext e = extents(c);
    EXPECT_EQ(e.n, 3);
    EXPECT_EQ((std::array{e.xmax, e.xmin, e.ymax, e.ymin, e.zmax, e.zmin}),
              (std::array{4.f, 0.f, 3.f, 0.f, 0.f, 0.f}));

    c.Ini(0);
    c.bolita(1, 1, 0.5f);
    e = extents(c);
    EXPECT_EQ(e.n, 1);
    EXPECT_FLOAT_EQ(e.xmax, 1.5f);
    EXPECT_FLOAT_EQ(e.xmin, 1.5f);
    EXPECT_FLOAT_EQ(e.ymax, 1.5f);
    EXPECT_FLOAT_EQ(e.ymin, 1.5f);
    EXPECT_FLOAT_EQ(e.zmax, 0.5f);

    c.Ini(0);
    c.Ini(0);
    e = extents(c);
    EXPECT_EQ(e.n, 0) << "an empty store reports no points";
    EXPECT_EQ(e.xmax, 0);

    Array1<float> along(1, 3);
    along(1) = -1, along(2) = 5, along(3) = 2;
    c.DibuGener3D(3, P, along, true);
    c.PoneText(-7, 1, 0, "t");
    e = extents(c);
    EXPECT_EQ(e.n, 4);
    EXPECT_FLOAT_EQ(e.zmax, 5);
    EXPECT_FLOAT_EQ(e.zmin, -1);
    EXPECT_FLOAT_EQ(e.xmin, -7);
}

TEST(Collector, UnsupportedOperationsStop) {
    CCuaMaxMin c;
    PointArray P = makePointArray(1);
    Array1<float> v(1, 1);
    EXPECT_THROW(c.DibuGener(1, P), ProgrammingError) << "before Ini";
    c.Ini(1);
    EXPECT_THROW(c.DibuGener3D(1, P, v, false), ProgrammingError) << "view 1";
    c.Ini(0);
    Canvas box;
    EXPECT_THROW(c.MargenSinPic(1, 0, 1, 0), ProgrammingError);
    EXPECT_THROW(c.Margen(box, 1, 0, 1, 0), ProgrammingError);
    EXPECT_THROW(c.DibuGener2(1, v, v), ProgrammingError);
    EXPECT_THROW(c.Borra(), ProgrammingError);
    EXPECT_THROW((void)c.MinX(), ProgrammingError);
    EXPECT_THROW((void)c.MaxY(), ProgrammingError);
    EXPECT_THROW(c.DibuGener(2, P), ProgrammingError) << "NP beyond the rows";
    EXPECT_FALSE(c.Iniciado());
}

// The collector and the plotter read a point array the same way, so collected extents fit the
// plotter's window.
TEST(Collector, SameColumnsAsThePlotter) {
    PointArray P = makePointArray(4);
    const float rows[4][2] = {{0.2f, -0.1f}, {0.2f, 0.3f}, {-0.4f, 0.3f}, {0.2f, -0.1f}};
    for (std::int32_t i = 1; i <= 4; ++i) {
        P(i, 1) = rows[i - 1][0];
        P(i, 2) = rows[i - 1][1];
    }
    Canvas box(200, 100);
    CCuadroDibujo plotter;
    plotter.IniciaAPelo(box);
    CCuaMaxMin collector;
    collector.Ini(0);
    for (ICuadro* surface : {static_cast<ICuadro*>(&plotter), static_cast<ICuadro*>(&collector)})
        surface->DibuGener(4, P, nullptr, false);
    const auto s = box.segments();
    const auto& pts = collector.puntos();
    ASSERT_EQ(s.size(), 3u);
    ASSERT_EQ(pts.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s[i].x1, pts[i][0]) << "point " << i + 1;
        EXPECT_EQ(s[i].y1, pts[i][1]) << "point " << i + 1;
        EXPECT_EQ(s[i].x2, pts[i + 1][0]) << "point " << i + 2;
        EXPECT_EQ(s[i].y2, pts[i + 1][1]) << "point " << i + 2;
    }
}

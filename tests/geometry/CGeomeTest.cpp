#include "geometry/CGeome.h"

#include "platform/Messages.h"

#include <gtest/gtest.h>

using namespace tresol;
using Rows = std::vector<std::pair<float, float>>;

static Rows rows(const CGeome& g, std::int32_t n) {
    Rows out;
    for (std::int32_t i = 1; i <= n; ++i)
        out.emplace_back(g.VecSal(i, 1), g.VecSal(i, 2));
    return out;
}

TEST(CGeome, CrossingsWithAVerticalLine) {
    // The segment or line from (x1, 0) to (x2, 4) cut at xCut; y −1: no crossing, y unchanged.
    const std::tuple<const char*, float, float, Value, float> cases[] = {
        {"segment inside", 0, 2, 1.0f, 2},  {"segment end", 0, 2, 2.0f, 4},
        {"segment beyond", 0, 2, 3.0f, -1}, {"segment vertical on the line", 1, 1, 1.0f, -1},
        {"line beyond", 0, 2, 3.0f, 6},     {"line cut as text", 0, 2, std::string("3"), 6},
        {"line vertical", 1, 1, 1.0f, -1}};
    for (const auto& [id, x1, x2, xCut, y] : cases) {
        CGeome g;
        g.IntersTramoX(0, -1, 1, -1, Value{0.0f}); // y = −1
        const bool found = std::string(id).starts_with("segment")
                               ? g.IntersTramoX(x1, 0, x2, 4, xCut)
                               : g.IntersRectaX(x1, 0, x2, 4, xCut);
        EXPECT_TRUE(found == (y != -1) && g.y() == y) << id << ": y = " << g.y();
    }
}

TEST(CGeome, DivisionMeshAndDistance) {
    platform::RecordingSink rec;
    CGeome g;
    g.Xv(2, 3), g.Yv(2, 4);
    EXPECT_TRUE(g.Modulo(1, 2) == 5 && g.Modulo(1, 1) == 0);
    g.NP(5), g.DivVector(1, 2, 4, 0);
    EXPECT_EQ(rows(g, 5), (Rows{{0, 0}, {0.75f, 1}, {1.5f, 2}, {2.25f, 3}, {3, 4}}));
    g.NP(6), g.DivVector(2, 1, 2, 3); // rows 4 … 6, from point 2
    EXPECT_EQ(rows(g, 6), (Rows{{0, 0}, {0, 0}, {0, 0}, {3, 4}, {1.5f, 2}, {0, 0}}));
    EXPECT_TRUE(rec.texts().empty());
    g.NP(4), g.DivVector(1, 2, 4, 0);
    EXPECT_EQ(rec.texts(),
              std::vector<std::string>{"Error fatal: no ser ha dimensionado el vector de salida."});
    EXPECT_EQ(rows(g, 4), Rows(4, {0, 0})) << "nothing written";
    EXPECT_THROW(g.DivVector(1, 2, 0, 0), ProgrammingError);

    Array1<float> xs(1, 4), ys(1, 4);
    xs(2) = xs(3) = ys(3) = ys(4) = 1; // the unit square (0,0), (1,0), (1,1), (0,1)
    g.GeneraMalla(xs, ys, 1, 1);
    EXPECT_EQ(rows(g, 4), (Rows{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    // Counter-clockwise cells count positive; the running area adds them up.
    EXPECT_TRUE(g.AreaCuadrito(1, 3, 4, 2) == 1 && g.AreaCuadrito(1, 2, 4, 3) == -1);
    g.GeneraMalla(xs, ys, 2, 3); // rung i at x = (i − 1)/3, step j at y = (j − 1)/2
    EXPECT_EQ(g.VecSal(2, 2), 0.5f);
    EXPECT_EQ(rows(g, 12)[3], (std::pair{1.0f / 3, 0.0f}));
    g.area(10);
    EXPECT_NEAR(g.AreaCuadrito(1, 4, 5, 2), 1.0f / 6, 1e-7);
    EXPECT_NEAR(g.area(), 10 + 1.0f / 6, 1e-6);
}

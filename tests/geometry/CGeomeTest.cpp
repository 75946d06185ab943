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
    struct Case {
        const char* id;
        bool segment;
        float x1, x2;
        Value xCut;
        bool found;
        float y; // −1: unchanged; the line runs from (x1, 0) to (x2, 4)
    };
    const Case cases[] = {
        {"segment inside", true, 0, 2, Value{1.0f}, true, 2},
        {"segment end", true, 0, 2, Value{2.0f}, true, 4},
        {"segment beyond", true, 0, 2, Value{3.0f}, false, -1},
        {"segment vertical on the line", true, 1, 1, Value{1.0f}, false, -1},
        {"line beyond", false, 0, 2, Value{3.0f}, true, 6},
        {"line cut as text", false, 0, 2, Value{std::string("3")}, true, 6},
        {"line vertical", false, 1, 1, Value{1.0f}, false, -1},
    };
    for (const Case& c : cases) {
        CGeome g;
        g.IntersTramoX(0, -1, 1, -1, Value{0.0f});
        EXPECT_EQ(c.segment ? g.IntersTramoX(c.x1, 0, c.x2, 4, c.xCut)
                            : g.IntersRectaX(c.x1, 0, c.x2, 4, c.xCut),
                  c.found)
            << c.id;
        EXPECT_EQ(g.y(), c.y) << c.id;
    }
}

TEST(CGeome, DivisionAndDistance) {
    platform::RecordingSink rec;
    CGeome g;
    g.Xv(2, 3);
    g.Yv(2, 4);
    EXPECT_TRUE(g.Modulo(1, 2) == 5 && g.Modulo(1, 1) == 0);
    EXPECT_THROW(g.Modulo(0, 2), ProgrammingError);
    g.Xv(2, 4);
    g.Yv(2, 8);
    g.NP(5);
    g.DivVector(1, 2, 4, 0);
    EXPECT_EQ(rows(g, 5), (Rows{{0, 0}, {1, 2}, {2, 4}, {3, 6}, {4, 8}}));
    g.NP(6);
    g.DivVector(2, 1, 2, 3); // rows 4 … 6, from point 2
    EXPECT_EQ(rows(g, 6), (Rows{{0, 0}, {0, 0}, {0, 0}, {4, 8}, {2, 4}, {0, 0}}));
    EXPECT_TRUE(rec.texts().empty());
    g.NP(4);
    g.DivVector(1, 2, 4, 0);
    EXPECT_EQ(rec.texts(),
              std::vector<std::string>{"Error fatal: no ser ha dimensionado el vector de salida."});
    EXPECT_EQ(rows(g, 4), Rows(4, {0, 0})) << "nothing written";
    EXPECT_THROW(g.DivVector(1, 2, 0, 0), ProgrammingError);
}

TEST(CGeome, MeshAndCellAreas) {
    Array1<float> xs(1, 4), ys(1, 4);
    xs(2) = xs(3) = ys(3) = ys(4) = 1; // the unit square (0,0), (1,0), (1,1), (0,1)
    CGeome g;
    g.GeneraMalla(xs, ys, 1, 1);
    EXPECT_EQ(rows(g, 4), (Rows{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_THROW(g.VecSal(5, 1), ProgrammingError);
    // Counter-clockwise cells count positive; the running area adds them up.
    EXPECT_EQ(g.AreaCuadrito(1, 3, 4, 2), 1.0f);
    EXPECT_EQ(g.AreaCuadrito(1, 2, 4, 3), -1.0f);
    g.GeneraMalla(xs, ys, 2, 3); // rung i at x = (i − 1)/3, step j at y = (j − 1)/2
    EXPECT_EQ(g.VecSal(2, 2), 0.5f);
    EXPECT_EQ(rows(g, 12)[3], (std::pair{1.0f / 3, 0.0f}));
    g.area(10);
    EXPECT_NEAR(g.AreaCuadrito(1, 4, 5, 2), 1.0f / 6, 1e-7);
    EXPECT_NEAR(g.area(), 10 + 1.0f / 6, 1e-6);
    EXPECT_THROW(g.GeneraMalla(xs, ys, 0, 1), ProgrammingError);
}

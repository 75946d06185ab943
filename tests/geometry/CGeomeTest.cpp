#include "geometry/CGeome.h"

#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tresol;
using platform::RecordingSink;

namespace {

std::vector<std::pair<float, float>> rows(const CGeome& g, std::int32_t n) {
    std::vector<std::pair<float, float>> out;
    for (std::int32_t i = 1; i <= n; ++i)
        out.emplace_back(g.VecSal(i, 1), g.VecSal(i, 2));
    return out;
}

using Rows = std::vector<std::pair<float, float>>;

} // namespace

TEST(CGeome, CrossingsWithAVerticalLine) {
    struct Case {
        const char* id;
        bool segment;
        float x1, y1, x2, y2;
        Value xCut;
        bool found;
        float y;
    };
    const Case cases[] = {
        {"segment inside", true, 0, 0, 2, 4, Value{1.0f}, true, 2},
        {"segment end", true, 0, 0, 2, 4, Value{2.0f}, true, 4},
        {"segment reversed", true, 2, 4, 0, 0, Value{0.5}, true, 1},
        {"segment beyond", true, 0, 0, 2, 4, Value{3.0f}, false, -1},
        {"segment vertical on the line", true, 1, 0, 1, 4, Value{1.0f}, false, -1},
        {"line beyond", false, 0, 0, 2, 4, Value{3.0f}, true, 6},
        {"line cut as text", false, 0, 0, 2, 4, Value{std::string("3")}, true, 6},
        {"line vertical", false, 1, 0, 1, 4, Value{1.0f}, false, -1},
    };
    for (const Case& c : cases) {
        CGeome g;
        g.IntersTramoX(0, -1, 1, -1, Value{0.0f}); // y = −1 before the case
        const bool found = c.segment ? g.IntersTramoX(c.x1, c.y1, c.x2, c.y2, c.xCut)
                                     : g.IntersRectaX(c.x1, c.y1, c.x2, c.y2, c.xCut);
        EXPECT_EQ(found, c.found) << c.id;
        EXPECT_EQ(g.y(), c.y) << c.id;
        EXPECT_EQ(g.x(), 0.0f) << c.id;
    }
}

TEST(CGeome, WorkingPointsAndDivision) {
    RecordingSink rec;
    CGeome g;
    g.Xv(2, 3);
    g.Yv(2, 4);
    EXPECT_EQ(g.Modulo(1, 2), 5.0f);
    EXPECT_EQ(g.Modulo(2, 1), 5.0f);
    EXPECT_EQ(g.Modulo(1, 1), 0.0f);
    EXPECT_THROW(g.Modulo(0, 2), ProgrammingError);
    EXPECT_THROW(g.Xv(3, 1), ProgrammingError);

    g.Xv(2, 4);
    g.Yv(2, 8);
    g.NP(5);
    g.DivVector(1, 2, 4, 0);
    EXPECT_EQ(rows(g, 5), (Rows{{0, 0}, {1, 2}, {2, 4}, {3, 6}, {4, 8}}));
    g.NP(6);
    g.DivVector(2, 1, 2, 3);
    EXPECT_EQ(rows(g, 6), (Rows{{0, 0}, {0, 0}, {0, 0}, {4, 8}, {2, 4}, {0, 0}}));
    EXPECT_TRUE(rec.texts().empty());

    g.NP(4);
    g.DivVector(1, 2, 4, 0);
    EXPECT_EQ(rec.texts(),
              std::vector<std::string>{"Error fatal: no ser ha dimensionado el vector de salida."});
    EXPECT_EQ(rows(g, 4), (Rows(4, {0, 0}))) << "nothing written";

    EXPECT_THROW(g.DivVector(1, 2, 0, 0), ProgrammingError);
    EXPECT_THROW(g.DivVector(1, 2, -2, 0), ProgrammingError);
    EXPECT_THROW(g.VecSal(5, 1), ProgrammingError);
    EXPECT_THROW(g.VecSal(1, 3), ProgrammingError);
}

TEST(CGeome, MeshAndCellAreas) {
    Array1<float> xs(1, 4), ys(1, 4);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int k = 1; k <= 4; ++k) {
        xs(k) = corners[k - 1][0];
        ys(k) = corners[k - 1][1];
    }
    CGeome g;
    g.GeneraMalla(xs, ys, 1, 1);
    EXPECT_EQ(rows(g, 4), (Rows{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_THROW(g.VecSal(5, 1), ProgrammingError);

    // Two steps across, three along: rung i runs from P1P2 towards P4P3.
    g.GeneraMalla(xs, ys, 2, 3);
    EXPECT_EQ(g.VecSal(1, 1), 0.0f);
    EXPECT_EQ(g.VecSal(2, 2), 0.5f);
    EXPECT_NEAR(g.VecSal(4, 1), 1.0f / 3, 1e-7);
    EXPECT_EQ(g.VecSal(4, 2), 0.0f);
    EXPECT_EQ(g.VecSal(12, 1), 1.0f);
    EXPECT_EQ(g.VecSal(12, 2), 1.0f);
    EXPECT_THROW(g.GeneraMalla(xs, ys, 0, 1), ProgrammingError);

    // Cells given counter-clockwise count positive and accumulate.
    g.GeneraMalla(xs, ys, 1, 1);
    EXPECT_EQ(g.AreaCuadrito(1, 3, 4, 2), 1.0f);
    EXPECT_EQ(g.AreaCuadrito(1, 2, 4, 3), -1.0f);
    g.GeneraMalla(xs, ys, 2, 2);
    EXPECT_EQ(g.AreaCuadrito(1, 4, 5, 2), 0.25f);
    EXPECT_EQ(g.area(), 0.25f);
    g.area(10);
    EXPECT_EQ(g.AreaCuadrito(5, 8, 9, 6), 0.25f);
    EXPECT_EQ(g.area(), 10.25f);
    EXPECT_THROW(g.AreaCuadrito(1, 2, 3, 10), ProgrammingError);
}

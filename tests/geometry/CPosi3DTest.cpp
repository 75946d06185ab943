#include "geometry/CPosi3D.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

using namespace tresol;
using P3 = std::array<float, 3>;

static P3 moved(const CPosi3D& pos, P3 p) {
    pos.TranfPtoXYZ(p[0], p[1], p[2]);
    return p;
}

TEST(CPosi3D, IdentityTurnsAndTranslation) {
    CPosi3D pos;
    EXPECT_FALSE(pos.HayMovimiento());
    EXPECT_EQ(moved(pos, {1.5f, -2, 3}), (P3{1.5f, -2, 3}));
    struct Case {
        const char* id;
        P3 degrees, from, to;
    };
    const Case cases[] = {
        {"about Z", {0, 0, 90}, {1, 0, 0}, {0, 1, 0}},
        {"about X", {90, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"about Y", {0, 90, 0}, {0, 0, 1}, {1, 0, 0}},
        // X first turns y into z, which Z leaves alone; Z first would give (−1, 0, 0).
        {"X then Z", {90, 0, 90}, {0, 1, 0}, {0, 0, 1}},
        {"X then Y", {90, 90, 0}, {0, 1, 0}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        pos.LetGiroGrados(c.degrees[0], c.degrees[1], c.degrees[2]);
        const P3 got = moved(pos, c.from);
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(got[k], c.to[k], 1e-6) << c.id << " coordinate " << k;
    }
    pos.LetGiroGrados(180, 0, 0);
    EXPECT_NEAR(pos.GetGX(), 3.1415927f, 1e-6) << "held in radians";
    pos.LetGiroGrados(0, 0, 0);
    pos.LetTraslacion(1, 2, 3);
    EXPECT_TRUE(pos.HayMovimiento());
    EXPECT_EQ(moved(pos, {0, 0, 0}), (P3{1, 2, 3}));

    // Rows of a point array are (y, z), their x beside them.
    PointArray yz = makePointArray(1);
    Array1<float> xs(1, 1);
    yz(1, 2) = 5;
    pos.TranfPtos(yz, xs);
    EXPECT_TRUE(xs(1) == 1 && yz(1, 1) == 2 && yz(1, 2) == 8);
}

TEST(CPosi3D, PlacementsPreserveDistances) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<float> angle(-360, 360), coord(-100, 100);
    for (int k = 0; k < 300; ++k) {
        CPosi3D pos;
        pos.LetGiroGrados(angle(gen), angle(gen), angle(gen));
        pos.LetTraslacion(coord(gen), coord(gen), coord(gen));
        const P3 a{coord(gen), coord(gen), coord(gen)}, b{coord(gen), coord(gen), coord(gen)};
        const P3 ma = moved(pos, a), mb = moved(pos, b);
        EXPECT_NEAR(std::hypot(ma[0] - mb[0], ma[1] - mb[1], ma[2] - mb[2]),
                    std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]), 2e-4)
            << "case " << k;
    }
}

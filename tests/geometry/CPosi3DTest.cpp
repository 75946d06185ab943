#include "geometry/CPosi3D.h"

#include <gmock/gmock.h>
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

TEST(CPosi3D, TurnsTranslationAndDistances) {
    CPosi3D pos;
    EXPECT_FALSE(pos.HayMovimiento());
    EXPECT_EQ(moved(pos, {1.5f, -2, 3}), (P3{1.5f, -2, 3}));
    // Degrees about X, Y, Z; a point; its image. X turns first (Z first: (0,1,0) → (−1, 0, 0)).
    const float cases[][9] = {{0, 0, 90, 1, 0, 0, 0, 1, 0},   // about Z
                              {90, 0, 0, 0, 1, 0, 0, 0, 1},   // about X
                              {0, 90, 0, 0, 0, 1, 1, 0, 0},   // about Y
                              {90, 0, 90, 0, 1, 0, 0, 0, 1},  // X, then Z
                              {90, 90, 0, 0, 1, 0, 1, 0, 0}}; // X, then Y
    for (const auto& c : cases) {
        pos.LetGiroGrados(c[0], c[1], c[2]);
        EXPECT_THAT(moved(pos, {c[3], c[4], c[5]}),
                    testing::Pointwise(testing::FloatNear(1e-6f), P3{c[6], c[7], c[8]}))
            << "case " << &c - cases;
    }
    pos.LetGiroGrados(180, 0, 0);
    EXPECT_NEAR(pos.GetGX(), 3.1415927f, 1e-6) << "held in radians";
    pos.LetGiroGrados(0, 0, 0);
    pos.LetTraslacion(1, 2, 3);
    EXPECT_TRUE(pos.HayMovimiento() && moved(pos, {0, 0, 0}) == (P3{1, 2, 3}));
    // Any placement keeps the distances between points.
    std::mt19937 gen(7);
    std::uniform_real_distribution<float> angle(-360, 360), coord(-100, 100);
    const auto dist = [](P3 a, P3 b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); };
    for (int k = 0; k < 300; ++k) {
        CPosi3D pos;
        pos.LetGiroGrados(angle(gen), angle(gen), angle(gen));
        pos.LetTraslacion(coord(gen), coord(gen), coord(gen));
        const P3 a{coord(gen), coord(gen), coord(gen)}, b{coord(gen), coord(gen), coord(gen)};
        EXPECT_NEAR(dist(moved(pos, a), moved(pos, b)), dist(a, b), 2e-4) << "case " << k;
    }
}

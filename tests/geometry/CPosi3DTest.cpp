#include "geometry/CPosi3D.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

using namespace tresol;

namespace {

using P3 = std::array<float, 3>;

P3 moved(const CPosi3D& pos, P3 p) {
    pos.TranfPtoXYZ(p[0], p[1], p[2]);
    return p;
}

void expectNear(const P3& got, const P3& want, const char* id) {
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_NEAR(got[k], want[k], 1e-6) << id << " coordinate " << k;
}

} // namespace

TEST(CPosi3D, IdentityTurnsAndTranslation) {
    CPosi3D pos;
    EXPECT_FALSE(pos.HayMovimiento());
    EXPECT_EQ(moved(pos, {1.5f, -2, 3}), (P3{1.5f, -2, 3}));

    struct Case {
        const char* id;
        float gx, gy, gz;
        P3 from, to;
    };
    const Case cases[] = {
        {"about Z", 0, 0, 90, {1, 0, 0}, {0, 1, 0}},
        {"about X", 90, 0, 0, {0, 1, 0}, {0, 0, 1}},
        {"about Y", 0, 90, 0, {0, 0, 1}, {1, 0, 0}},
        // X first turns y into z, which Z then leaves alone; Z first would give (−1, 0, 0).
        {"X then Z", 90, 0, 90, {0, 1, 0}, {0, 0, 1}},
        {"X then Y", 90, 90, 0, {0, 1, 0}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        pos.LetGiroGrados(c.gx, c.gy, c.gz);
        expectNear(moved(pos, c.from), c.to, c.id);
        EXPECT_TRUE(pos.HayMovimiento()) << c.id;
    }

    pos.LetGiroGrados(0, 0, 0);
    EXPECT_FALSE(pos.HayMovimiento());
    pos.LetTraslacion(1, 2, 3);
    EXPECT_TRUE(pos.HayMovimiento());
    EXPECT_EQ(moved(pos, {0, 0, 0}), (P3{1, 2, 3}));
    EXPECT_EQ(pos.GetZ(), 3.0f);

    pos.LetGiroGrados(180, 0, 0);
    EXPECT_NEAR(pos.GetGX(), 3.1415927f, 1e-6) << "angles are held in radians";
}

TEST(CPosi3D, TranfPtosMovesEveryRowWithItsX) {
    CPosi3D pos;
    pos.LetGiroGrados(0, 0, 90);
    pos.LetTraslacion(10, 0, 0);
    PointArray yz = makePointArray(2);
    Array1<float> xs(1, 2);
    xs(1) = 1;
    yz(2, 2) = 5; // (x, y, z) = (0, 0, 5)
    pos.TranfPtos(yz, xs);
    EXPECT_NEAR(xs(1), 10, 1e-6);
    EXPECT_NEAR(yz(1, 1), 1, 1e-6);
    EXPECT_NEAR(xs(2), 10, 1e-6);
    EXPECT_NEAR(yz(2, 2), 5, 1e-6);

    Array1<float> shortXs(1, 1);
    EXPECT_THROW(pos.TranfPtos(yz, shortXs), ProgrammingError);
}

TEST(CPosi3D, TurnsPreserveDistancesOverRandomPlacements) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<float> angle(-360, 360), coord(-100, 100);
    for (int k = 0; k < 300; ++k) {
        CPosi3D pos;
        pos.LetGiroGrados(angle(gen), angle(gen), angle(gen));
        pos.LetTraslacion(coord(gen), coord(gen), coord(gen));
        const P3 a{coord(gen), coord(gen), coord(gen)}, b{coord(gen), coord(gen), coord(gen)};
        const P3 ma = moved(pos, a), mb = moved(pos, b);
        const double before = std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
        const double after = std::hypot(ma[0] - mb[0], ma[1] - mb[1], ma[2] - mb[2]);
        // A few single roundings of coordinates up to ~300.
        EXPECT_NEAR(after, before, 2e-4) << "case " << k;
    }
}

#include "geometry/CVector.h"

#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

using namespace tresol;
using Texts = std::vector<std::string>;
using Seg = std::array<float, 5>; // x1, y1, x2, y2, modulus

static Seg seg(const CVector& v) {
    return {v.GetX1(), v.GetY1(), v.GetX2(), v.GetY2(), v.GetModulo()};
}

TEST(CVector, ZeroLengthAndRescaling) {
    platform::RecordingSink rec;
    CVector v;
    ASSERT_TRUE(v.Ini(0, 0, 0, 3, 4, 0));
    EXPECT_TRUE(v.GetIncX() == 3 && v.GetIncY() == 4 && v.GetIncZ() == 0 && v.GetModulo() == 5);
    EXPECT_FALSE(v.Ini(7, 7, 7, 7, 7, 7));
    EXPECT_EQ(seg(v), (Seg{0, 0, 3, 4, 0})) << "refused: points kept, modulus already 0";
    EXPECT_TRUE(v.Ini(7, 7, 7, 7, 7, 7, true));
    EXPECT_EQ(seg(v), (Seg{7, 7, 7, 7, 0}));
    EXPECT_EQ(rec.texts(), Texts{"Se ha cogido un vector de modulo cero"});
    EXPECT_EQ(rec.entries()[0].icon, platform::MsgIcon::Critical);

    rec.clear();
    v.Ini(0, 0, 0, 3, 4, 0);
    v.LetModulo(-10);
    EXPECT_EQ(seg(v), (Seg{0, 0, -6, -8, 10}));
    v.LetModulo(0);  // message, points kept, modulus |modIn| = 0
    v.LetModulo(-3); // the same on the zero modulus left behind
    EXPECT_EQ(seg(v), (Seg{0, 0, -6, -8, 3}));
    EXPECT_EQ(rec.texts(), (Texts{"Modulo =0.", "Modulo =0."}));
}

TEST(CVector, SlopesAndIntersections) {
    CVector v, w;
    bool vertical = true;
    v.Ini(0, 0, 0, 0.00001f, 1, 0); // dx equal to the tolerance: not vertical
    EXPECT_NEAR(v.GetPendienteA(vertical), 100000.0f, 1.0f);
    EXPECT_FALSE(vertical);
    v.Ini(0, 0, 0, 0.000005f, 1, 0);
    EXPECT_TRUE(v.GetPendienteA(vertical) == 3.4028235e38f && vertical);

    float x = -1, y = -1;
    v.Ini(0, 0, 0, 1, 1, 0);
    w.Ini(2, -5, 0, 2, 5, 0);
    EXPECT_TRUE(v.GetXYintersec(w, x, y) && x == 2 && y == 2);
    x = y = -1;
    EXPECT_TRUE(w.GetXYintersec(v, x, y) && x == 2 && y == 2);

    // No intersection, x and y untouched: exactly parallel; slopes equal in single precision
    // with a non-zero cross product; both lines under the vertical tolerance.
    const float cases[][6] = {
        {1, 1, 0, 1, 2, 3}, {3, 1, 0, 0, 7, 2.3333335f}, {0.000001f, 1, 1, 0, 1.000002f, 1}};
    for (const auto& c : cases) {
        v.Ini(0, 0, 0, c[0], c[1], 0);
        w.Ini(c[2], c[3], 0, c[4], c[5], 0);
        x = y = -1;
        EXPECT_FALSE(v.GetXYintersec(w, x, y)) << c[0];
        EXPECT_TRUE(x == -1 && y == -1) << c[0];
        // All but the first must get past the parallel test to the slopes.
        EXPECT_EQ(v.SonParalelos(w), &c == &cases[0]) << c[0];
    }

    v.Ini(0, 0, 0, 1, 1, 0);
    w.Ini(5, 5, 0, 7, 7, 0);
    EXPECT_TRUE(v.SonParalelos(w) && v.SonParalelos(CVector{}));
    w.Ini(0, 0, 0, 1, 1.0000001f, 0);
    EXPECT_FALSE(v.SonParalelos(w)) << "a tiny cross product is not zero";
    w.Ini(3, 3, 0, 4, 2, 0);
    EXPECT_TRUE(v.SonPerpen(w) && !v.SonPerpen(v));
}

TEST(CVector, PerpendicularAndParallelInXY) {
    platform::RecordingSink rec;
    CVector v;
    ASSERT_TRUE(v.IniPerpenEnXY(0, 0, 0, 1, 0, 0, Value{2.0f}));
    EXPECT_EQ(seg(v), (Seg{0, 0, 0, 2, 2}));
    ASSERT_TRUE(v.IniPerpenEnXY(0, 0, 0, 0, 4, 0, Value{std::string("abc")})); // counts as 0
    EXPECT_EQ(seg(v), (Seg{0, 0, -4, 0, 4}));
    for (const float d : {2.0f, -2.0f}) {
        ASSERT_TRUE(v.IniParaleEnXY(0, 0, 0, 1, 0, 0, d)) << d;
        EXPECT_EQ(seg(v), (Seg{0, d, 1, d, 1})) << d;
    }
    EXPECT_TRUE(rec.texts().empty());
    // Points in different XY planes are refused and leave the vector as it was.
    EXPECT_FALSE(v.IniParaleEnXY(5, 5, 0, 1, 0, 0.001f, 2));
    EXPECT_EQ(seg(v), (Seg{0, -2, 1, -2, 1}));

    std::mt19937 gen(4);
    std::uniform_real_distribution<float> coord(-50, 50), dist(-10, 10);
    for (int k = 0; k < 300; ++k) {
        const float x1 = coord(gen), y1 = coord(gen), x2 = coord(gen), y2 = coord(gen);
        const float d = dist(gen);
        const double ux = double{x2} - x1, uy = double{y2} - y1, len = std::hypot(ux, uy);
        if (len < 1)
            continue;
        ASSERT_TRUE(v.IniParaleEnXY(x1, y1, 0, x2, y2, 0, d)) << "case " << k;
        // Signed distances of both new points from the original line, positive on its left.
        EXPECT_NEAR((ux * (v.GetY1() - y1) - uy * (v.GetX1() - x1)) / len, d, 1e-4) << k;
        EXPECT_NEAR((ux * (v.GetY2() - y1) - uy * (v.GetX2() - x1)) / len, d, 1e-4) << k;
        EXPECT_NEAR(v.GetModulo(), len, 1e-4) << "case " << k;
    }
}

TEST(CVector, CirclePolygons) {
    CVector v;
    v.Ini(0, 0, 0, 1, 1, 0); // modulus √2
    PointArray p;
    v.CreaPtosCircunf(4, 0, p, 0);
    ASSERT_EQ(p.upper(1), 5);
    const float square[5][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_NEAR(p(i, 1), square[i - 1][0], 1e-6) << "row " << i;
        EXPECT_NEAR(p(i, 2), square[i - 1][1], 1e-6) << "row " << i;
    }
    // Two sides on the ellipse with semi-axes A = 3 along y and B = 5 along x, centre (10, 20).
    v.Ini(10, 20, 0, 10, 23, 0);
    v.CreaPtosCircunf(2, 0, p, 5);
    ASSERT_EQ(p.upper(1), 3);
    EXPECT_NEAR(p(1, 1), 10, 1e-5);
    EXPECT_NEAR(p(1, 2), 23, 1e-5);
    EXPECT_NEAR(p(2, 2), 17, 1e-5);
    v.CreaPtosCircunf(2, -1.57079633f, p, 5);
    EXPECT_NEAR(p(1, 1), 15, 1e-5);
    EXPECT_THROW(v.CreaPtosCircunf(0, 0, p, 0), ProgrammingError);
}

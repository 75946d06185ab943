#include "geometry/CVector.h"

#include "platform/Messages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

using namespace tresol;
using testing::FloatNear, testing::Pointwise;
using Seg = std::array<float, 5>; // x1, y1, x2, y2, modulus

static Seg seg(const CVector& v) {
    return {v.GetX1(), v.GetY1(), v.GetX2(), v.GetY2(), v.GetModulo()};
}

TEST(CVector, LengthsSlopesAndIntersections) {
    platform::RecordingSink rec;
    CVector v, w;
    ASSERT_TRUE(v.Ini(0, 0, 0, 3, 4, 0));
    EXPECT_TRUE(v.GetIncX() == 3 && v.GetIncY() == 4 && v.GetIncZ() == 0 && v.GetModulo() == 5);
    EXPECT_FALSE(v.Ini(7, 7, 7, 7, 7, 7));
    EXPECT_TRUE(v.Ini(7, 7, 7, 7, 7, 7, true));
    EXPECT_EQ(seg(v), (Seg{7, 7, 7, 7, 0}));
    const auto rescaled = [&v](float m) { return v.LetModulo(m), seg(v); };
    v.Ini(0, 0, 0, 3, 4, 0);
    EXPECT_EQ(rescaled(-10), (Seg{0, 0, -6, -8, 10}));
    EXPECT_EQ(rescaled(0), (Seg{0, 0, -6, -8, 0})) << "message, points kept";
    EXPECT_EQ(rescaled(-3), (Seg{0, 0, -6, -8, 3})) << "the same from a zero modulus";
    EXPECT_EQ(rec.texts(), (std::vector<std::string>{"Se ha cogido un vector de modulo cero",
                                                     "Modulo =0.", "Modulo =0."}));
    bool vertical = true;
    v.Ini(0, 0, 0, 0.00001f, 1, 0); // dx at the tolerance: not vertical
    EXPECT_TRUE(std::fabs(v.GetPendienteA(vertical) - 1e5f) <= 1 && !vertical);
    v.Ini(0, 0, 0, 0.000005f, 1, 0);
    EXPECT_TRUE(v.GetPendienteA(vertical) == 3.4028235e38f && vertical);

    // v from the origin to (a, b), w from (c, d) to (e, f); the crossing (x, y), or −1 −1 when
    // there is none and x and y stay as they were; whether they count as parallel.
    const float cases[][9] = {
        {1, 1, 2, -5, 2, 5, 2, 2, 0},                   // y = x and x = 2
        {1, 1, 0, 1, 2, 3, -1, -1, 1},                  // exactly parallel
        {3, 1, 0, 0, 7, 2.3333335f, -1, -1, 0},         // slopes equal in single precision
        {0.000001f, 1, 1, 0, 1.000002f, 1, -1, -1, 0}}; // both under the vertical tolerance
    for (const auto& c : cases) {
        v.Ini(0, 0, 0, c[0], c[1], 0), w.Ini(c[2], c[3], 0, c[4], c[5], 0);
        float x = -1, y = -1, x2 = -1, y2 = -1;
        const auto row = &c - cases;
        EXPECT_TRUE(v.GetXYintersec(w, x, y) == (c[6] != -1) && x == c[6] && y == c[7]) << row;
        EXPECT_TRUE(w.GetXYintersec(v, x2, y2) == (c[6] != -1) && x2 == c[6] && y2 == c[7]) << row;
        EXPECT_EQ(v.SonParalelos(w), c[8] == 1) << row;
    }
    v.Ini(0, 0, 0, 1, 1, 0);
    w.Ini(0, 0, 0, 1, 1.0000001f, 0);
    EXPECT_TRUE(v.SonParalelos(CVector{}) && !v.SonParalelos(w)) << "only an exact zero";
    w.Ini(3, 3, 0, 4, 2, 0);
    EXPECT_TRUE(v.SonPerpen(w) && !v.SonPerpen(v));
}

TEST(CVector, PerpendicularsParallelsAndCircles) {
    CVector v;
    ASSERT_TRUE(v.IniPerpenEnXY(0, 0, 0, 1, 0, 0, Value{2.0f}));
    EXPECT_EQ(seg(v), (Seg{0, 0, 0, 2, 2}));
    for (const float d : {2.0f, -2.0f}) {
        ASSERT_TRUE(v.IniParaleEnXY(0, 0, 0, 1, 0, 0, d)) << d;
        EXPECT_EQ(seg(v), (Seg{0, d, 1, d, 1})) << d;
    }
    EXPECT_FALSE(v.IniParaleEnXY(5, 5, 0, 1, 0, 0.001f, 2)) << "points in different XY planes";
    EXPECT_EQ(seg(v), (Seg{0, -2, 1, -2, 1})) << "left as it was";

    // Random lines: both points of the parallel at signed distance d (left positive).
    std::mt19937 gen(4);
    std::uniform_real_distribution<float> coord(-50, 50), dist(-10, 10);
    for (int k = 0; k < 300; ++k) {
        const float x1 = coord(gen), y1 = coord(gen), x2 = coord(gen), y2 = coord(gen);
        const float d = dist(gen);
        const double ux = double{x2} - x1, uy = double{y2} - y1, len = std::hypot(ux, uy);
        if (len < 1)
            continue;
        ASSERT_TRUE(v.IniParaleEnXY(x1, y1, 0, x2, y2, 0, d)) << "case " << k;
        EXPECT_NEAR((ux * (v.GetY1() - y1) - uy * (v.GetX1() - x1)) / len, d, 1e-4) << k;
        EXPECT_NEAR((ux * (v.GetY2() - y1) - uy * (v.GetX2() - x1)) / len, d, 1e-4) << k;
        EXPECT_NEAR(v.GetModulo(), len, 1e-4) << "case " << k;
    }

    // Rows (x, y): from radius √2 the square (±1, ±1); two sides on the ellipse of semi-axes
    // A = 3 along y and B = 5 along x about (10, 20).
    using F = std::vector<float>;
    const auto flat = [](const PointArray& q) { return F(q.data(), q.data() + q.size()); };
    PointArray p;
    v.Ini(0, 0, 0, 1, 1, 0);
    v.CreaPtosCircunf(4, 0, p, 0);
    EXPECT_THAT(flat(p), Pointwise(FloatNear(1e-6f), F{1, 1, -1, 1, -1, -1, 1, -1, 1, 1}));
    v.Ini(10, 20, 0, 10, 23, 0);
    v.CreaPtosCircunf(2, 0, p, 5);
    EXPECT_THAT(flat(p), Pointwise(FloatNear(1e-5f), F{10, 23, 10, 17, 10, 23}));
    EXPECT_THROW(v.CreaPtosCircunf(0, 0, p, 0), ProgrammingError);
}

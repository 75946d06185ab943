#include "geometry/CVector.h"

#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace tresol;
using platform::RecordingSink;
using Texts = std::vector<std::string>;

TEST(CVector, IniStoresLengthAndRefusesZeroLengthUnlessAllowed) {
    RecordingSink rec;
    CVector v;
    ASSERT_TRUE(v.Ini(0, 0, 0, 3, 4, 0));
    EXPECT_EQ(v.GetModulo(), 5.0f);
    EXPECT_EQ(v.GetIncX(), 3.0f);
    EXPECT_EQ(v.GetIncY(), 4.0f);
    EXPECT_EQ(v.GetIncZ(), 0.0f);

    // Refused: the points stay, the modulus is already 0.
    EXPECT_FALSE(v.Ini(7, 7, 7, 7, 7, 7));
    EXPECT_EQ(rec.texts(), Texts{"Se ha cogido un vector de modulo cero"});
    EXPECT_EQ(rec.entries()[0].icon, platform::MsgIcon::Critical);
    EXPECT_EQ(v.GetModulo(), 0.0f);
    EXPECT_EQ(v.GetX2(), 3.0f);
    EXPECT_EQ(v.GetY2(), 4.0f);

    EXPECT_TRUE(v.Ini(7, 7, 7, 7, 7, 7, true));
    EXPECT_EQ(v.GetX1(), 7.0f);
    EXPECT_EQ(v.GetModulo(), 0.0f);
    EXPECT_EQ(rec.texts().size(), 1u);
}

TEST(CVector, LetModuloRescalesAboutTheOrigin) {
    RecordingSink rec;
    CVector v;
    v.Ini(0, 0, 0, 3, 4, 0);
    v.LetModulo(-10);
    EXPECT_EQ(v.GetX2(), -6.0f);
    EXPECT_EQ(v.GetY2(), -8.0f);
    EXPECT_EQ(v.GetModulo(), 10.0f);
    EXPECT_TRUE(rec.texts().empty());

    // A zero argument, or a zero vector: message, points kept, modulus |modIn|.
    v.LetModulo(0);
    EXPECT_EQ(v.GetX2(), -6.0f);
    EXPECT_EQ(v.GetModulo(), 0.0f);
    v.LetModulo(-3);
    EXPECT_EQ(v.GetX2(), -6.0f);
    EXPECT_EQ(v.GetModulo(), 3.0f);
    EXPECT_EQ(rec.texts(), (Texts{"Modulo =0.", "Modulo =0."}));
}

TEST(CVector, SlopeAtAndBelowTheVerticalTolerance) {
    CVector v;
    bool vertical = true;
    v.Ini(0, 0, 0, 0.00001f, 1, 0);
    EXPECT_NEAR(v.GetPendienteA(vertical), 100000.0f, 1.0f);
    EXPECT_FALSE(vertical);

    v.Ini(0, 0, 0, 0.000005f, 1, 0);
    EXPECT_EQ(v.GetPendienteA(vertical), 3.4028235e38f);
    EXPECT_TRUE(vertical);
    float a = 0, b = 42;
    v.GetParamAyB(a, b, vertical);
    EXPECT_EQ(b, 42.0f) << "the intercept of a vertical line is left alone";

    v.Ini(1, 3, 0, 3, 7, 0);
    v.GetParamAyB(a, b, vertical);
    EXPECT_EQ(a, 2.0f);
    EXPECT_EQ(b, 1.0f);
}

TEST(CVector, IntersectionOfLines) {
    CVector diagonal, upright, other;
    diagonal.Ini(0, 0, 0, 1, 1, 0);
    upright.Ini(2, -5, 0, 2, 5, 0);
    float x = -1, y = -1;
    ASSERT_TRUE(diagonal.GetXYintersec(upright, x, y));
    EXPECT_EQ(x, 2.0f);
    EXPECT_EQ(y, 2.0f);
    ASSERT_TRUE(upright.GetXYintersec(diagonal, x, y));
    EXPECT_EQ(x, 2.0f);
    EXPECT_EQ(y, 2.0f);
    other.Ini(0, 4, 0, 1, 3, 0);
    ASSERT_TRUE(diagonal.GetXYintersec(other, x, y));
    EXPECT_EQ(x, 2.0f);
    EXPECT_EQ(y, 2.0f);

    struct Case {
        const char* id;
        float ax, ay, bx1, by1, bx2, by2;
    };
    // No intersection, x and y untouched: exactly parallel; slopes equal in single precision with
    // a non-zero cross product; two lines both under the vertical tolerance.
    const Case cases[] = {
        {"parallel", 1, 1, 0, 1, 2, 3},
        {"equal single slopes", 3, 1, 0, 0, 7, 2.3333335f},
        {"both nearly vertical", 0.000001f, 1, 1, 0, 1.000002f, 1},
    };
    for (const Case& c : cases) {
        CVector a, b;
        a.Ini(0, 0, 0, c.ax, c.ay, 0);
        b.Ini(c.bx1, c.by1, 0, c.bx2, c.by2, 0);
        x = y = -1;
        EXPECT_FALSE(a.GetXYintersec(b, x, y)) << c.id;
        EXPECT_EQ(x, -1.0f) << c.id;
        EXPECT_EQ(y, -1.0f) << c.id;
    }
    CVector a, b;
    a.Ini(0, 0, 0, 3, 1, 0);
    b.Ini(0, 0, 0, 7, 2.3333335f, 0);
    bool v1 = false, v2 = false;
    ASSERT_FALSE(a.SonParalelos(b)) << "the case must test the slope guard";
    ASSERT_EQ(a.GetPendienteA(v1), b.GetPendienteA(v2));
}

TEST(CVector, PerpendicularAndParallelInXY) {
    RecordingSink rec;
    CVector v;
    ASSERT_TRUE(v.IniPerpenEnXY(0, 0, 0, 1, 0, 0, Value{2.0f}));
    EXPECT_EQ(v.GetX1(), 0.0f);
    EXPECT_EQ(v.GetY1(), 0.0f);
    EXPECT_EQ(v.GetX2(), 0.0f);
    EXPECT_EQ(v.GetY2(), 2.0f);
    EXPECT_EQ(v.GetModulo(), 2.0f);
    // Modulo as text, and 0 keeping the segment's own length.
    ASSERT_TRUE(v.IniPerpenEnXY(0, 0, 0, 1, 0, 0, Value{std::string("3")}));
    EXPECT_EQ(v.GetY2(), 3.0f);
    ASSERT_TRUE(v.IniPerpenEnXY(0, 0, 0, 0, 4, 0, Value{std::string("abc")}));
    EXPECT_EQ(v.GetX2(), -4.0f);
    EXPECT_EQ(v.GetModulo(), 4.0f);

    for (const float d : {2.0f, -2.0f}) {
        ASSERT_TRUE(v.IniParaleEnXY(0, 0, 0, 1, 0, 0, d)) << d;
        EXPECT_EQ(v.GetX1(), 0.0f) << d;
        EXPECT_EQ(v.GetY1(), d) << d;
        EXPECT_EQ(v.GetX2(), 1.0f) << d;
        EXPECT_EQ(v.GetY2(), d) << d;
        EXPECT_EQ(v.GetModulo(), 1.0f) << d;
    }
    EXPECT_TRUE(rec.texts().empty());

    // Points in different XY planes are refused and leave the vector as it was.
    EXPECT_FALSE(v.IniParaleEnXY(0, 0, 0, 1, 0, 0.001f, 2));
    EXPECT_FALSE(v.IniPerpenEnXY(0, 0, 0, 1, 0, 0.001f, Value{2.0f}));
    EXPECT_EQ(v.GetY1(), -2.0f);
    EXPECT_TRUE(v.IniPerpenEnXY(0, 0, 0, 1, 0, 0.00001f, Value{2.0f}));
}

TEST(CVector, ParallelLinePropertyOverRandomSegments) {
    std::mt19937 gen(4);
    std::uniform_real_distribution<float> coord(-50, 50), dist(-10, 10);
    for (int k = 0; k < 300; ++k) {
        const float x1 = coord(gen), y1 = coord(gen), x2 = coord(gen), y2 = coord(gen);
        const float d = dist(gen);
        if (std::hypot(x2 - x1, y2 - y1) < 1 || std::fabs(d) < 0.01f)
            continue;
        CVector p;
        ASSERT_TRUE(p.IniParaleEnXY(x1, y1, 0, x2, y2, 0, d)) << "case " << k;
        const double ux = double{x2} - x1, uy = double{y2} - y1, len = std::hypot(ux, uy);
        // Signed distance of both new points from the original line; positive on its left.
        const double s1 = (ux * (p.GetY1() - y1) - uy * (p.GetX1() - x1)) / len;
        const double s2 = (ux * (p.GetY2() - y1) - uy * (p.GetX2() - x1)) / len;
        EXPECT_NEAR(s1, d, 1e-4) << "case " << k;
        EXPECT_NEAR(s2, d, 1e-4) << "case " << k;
        EXPECT_NEAR(p.GetModulo(), len, 1e-4) << "case " << k;
    }
}

TEST(CVector, CirclePolygons) {
    CVector v;
    v.Ini(0, 0, 0, 1, 1, 0);
    PointArray p;
    v.CreaPtosCircunf(4, 0, p, 0);
    ASSERT_EQ(p.upper(1), 5);
    const float square[5][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_NEAR(p(i, 1), square[i - 1][0], 1e-6) << "row " << i;
        EXPECT_NEAR(p(i, 2), square[i - 1][1], 1e-6) << "row " << i;
    }
    EXPECT_EQ(p(5, 1), p(1, 1));

    // Two sides on an ellipse: the vertices at 90° and 270° lie on the y semi-axis A (= 3).
    v.Ini(10, 20, 0, 10, 23, 0);
    v.CreaPtosCircunf(2, 0, p, 5);
    ASSERT_EQ(p.upper(1), 3);
    EXPECT_NEAR(p(1, 1), 10, 1e-5);
    EXPECT_NEAR(p(1, 2), 23, 1e-5);
    EXPECT_NEAR(p(2, 1), 10, 1e-5);
    EXPECT_NEAR(p(2, 2), 17, 1e-5);
    // Along x the ellipse reaches B: a start angle of −π/2 puts a vertex there.
    v.CreaPtosCircunf(2, -1.57079633f, p, 5);
    EXPECT_NEAR(p(1, 1), 15, 1e-5);

    EXPECT_THROW(v.CreaPtosCircunf(0, 0, p, 0), ProgrammingError);
    EXPECT_THROW(v.CreaPtosCircunf(-3, 0, p, 0), ProgrammingError);
}

TEST(CVector, ParallelAndPerpendicularTestsAreExact) {
    CVector a, b, zero;
    a.Ini(0, 0, 0, 1, 1, 0);
    b.Ini(5, 5, 0, 7, 7, 0);
    EXPECT_TRUE(a.SonParalelos(b));
    EXPECT_TRUE(a.SonParalelos(zero)) << "a zero vector is parallel to anything";
    b.Ini(0, 0, 0, 1, 1.0000001f, 0);
    EXPECT_FALSE(a.SonParalelos(b)) << "a tiny cross product is not zero";

    b.Ini(3, 3, 0, 4, 2, 0);
    EXPECT_TRUE(a.SonPerpen(b));
    b.Ini(0, 0, 0, 1, 0, 0);
    EXPECT_FALSE(a.SonPerpen(b));

    CVector cross;
    a.Ini(0, 0, 0, 2, 0, 0);
    b.Ini(0, 0, 0, 0, 3, 0);
    ASSERT_TRUE(cross.IniProdVectorial(a, b));
    EXPECT_EQ(cross.GetIncZ(), 6.0f);
    EXPECT_EQ(cross.GetModulo(), 6.0f);
}

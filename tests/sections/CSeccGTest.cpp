#include "sections/CSeccG.h"

#include "drawing/CCuaMaxMin.h"
#include "geometry/CPosi3D.h"
#include "geometry/CPto2d.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "sections/MemoryLabelSet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>

using namespace tresol;
using platform::RecordingSink;
using testing::ElementsAre;

namespace {

const PointArray kSquare = makePointArray({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}});
const PointArray kSquareCw = makePointArray({{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}});
const PointArray kTriangle = makePointArray({{0, 0}, {3, 0}, {0, 6}, {0, 0}});

// "y,z y,z … | x x …"
std::string text(const PointArray& p, const Array1<float>* x = nullptr) {
    std::ostringstream out;
    for (std::int32_t i = 1; i <= p.upper(1); ++i)
        out << (i > 1 ? " " : "") << p(i, 1) << ',' << p(i, 2);
    for (std::int32_t i = 1; x && i <= x->upper(); ++i)
        out << (i == 1 ? " | " : " ") << (*x)(i);
    return out.str();
}

// Logs the calls made to draw; an unexpected target or "fast" flag shows as " ?".
struct DrawLog : CCuaMaxMin {
    std::vector<std::string> calls;
    void PoneQBColor(std::int16_t c) override { calls.push_back("color " + std::to_string(c)); }
    void DibuGener3D(std::int32_t n, const PointArray& p, const Array1<float>& x,
                     bool fast) override {
        calls.push_back(std::to_string(n) + (fast ? " fast " : " ") + text(p, &x));
    }
    void DibuUnePtos3D(const PointArray& a, const PointArray& b, const Array1<float>& xa,
                       const Array1<float>& xb) override {
        calls.push_back("join " + text(a, &xa) + " to " + text(b, &xb));
    }
    bool DibuGener(std::int32_t n, const PointArray& p, DrawingTarget* target,
                   std::optional<bool> fast) override {
        calls.push_back("polyline " + std::to_string(n) + " " + text(p) +
                        (target || fast != false ? " ?" : ""));
        return false;
    }
    void DibuGener2(std::int32_t n, const Array1<float>& y, const Array1<float>& z,
                    DrawingTarget* target, std::optional<std::int16_t>,
                    std::optional<bool>) override {
        PointArray face = makePointArray(n);
        for (std::int32_t i = 1; i <= n; ++i)
            face(i, 1) = y(i), face(i, 2) = z(i);
        calls.push_back("face " + text(face) + (target ? " ?" : ""));
    }
};

} // namespace

TEST(CSeccG, PropertiesOfKnownFigures) {
    RecordingSink rec;
    const double t = 1.0 / 12, th = 1.0 / 3;
    const auto contour = [](const PointArray& p) {
        return [&p](CSeccG& s) { return s.asigna_coor(p.upper(1), p); };
    };
    // area, Yg, Zg, Izg, Iyg, izy, Iz, Iy, YgA, ZgA, cantoY, cantoZ. Clockwise, everything but
    // the centroid and the depths changes sign. The example loads and returns.
    const std::tuple<const char*, std::function<bool(CSeccG&)>, std::array<double, 12>> cases[] = {
        {"square ccw", contour(kSquare), {1, .5, .5, t, t, 0, th, th, .5, .5, 1, 1}},
        {"square cw", contour(kSquareCw), {-1, .5, .5, -t, -t, 0, -th, -th, -.5, -.5, 1, 1}},
        {"triangle", contour(kTriangle), {9, 1, 2, 4.5, 18, -4.5, 13.5, 54, 9, 18, 3, 6}},
        {"rectangle 2 × 4",
         [](CSeccG& s) { return s.IniRectangulo(2, 4); },
         {8, 0, 0, 8 * th, 32 * th, 0, 8 * th, 32 * th, 0, 0, 2, 4}},
        {"Z example",
         [](CSeccG& s) { return s.asigna_coorEjemplo(); },
         {2592, 0, 0, 3442176, 2312064, -2177280, 3442176, 2312064, 0, 0, 96, 132}}};
    for (const auto& [id, load, want] : cases) {
        CSeccG s;
        ASSERT_TRUE(load(s)) << id;
        const float got[] = {s.area(), s.Yg(), s.Zg(),  s.Izg(), s.Iyg(),    s.izy(),
                             s.Iz(),   s.Iy(), s.YgA(), s.ZgA(), s.cantoY(), s.cantoZ()};
        for (std::size_t k = 0; k < 12; ++k)
            EXPECT_NEAR(got[k], want[k], 1e-5 * std::max(1.0, std::fabs(want[k])))
                << id << " property " << k;
    }
    // A second contour is not shifted by the first one's smallest Y and Z (−1, −2).
    CSeccG s;
    ASSERT_TRUE(s.IniRectangulo(2, 4) && s.asigna_coor(5, kSquare));
    EXPECT_TRUE(s.Yg() == 0.5f && s.ZgA() == 0.5f) << s.Yg() << ' ' << s.ZgA();
    // Rows 1…5 of an array that starts below them: row 0 is not part of the contour.
    PointArray fromZero(0, 5, 1, 2);
    fromZero(0, 1) = fromZero(0, 2) = 7;
    for (std::int32_t i = 1; i <= 5; ++i)
        fromZero(i, 1) = kSquare(i, 1), fromZero(i, 2) = kSquare(i, 2);
    ASSERT_TRUE(s.asigna_coor(5, fromZero));
    EXPECT_TRUE(s.Yg() == 0.5f && s.ZgA() == 0.5f && s.area() == 1) << s.Yg() << ' ' << s.ZgA();
}

TEST(CSeccG, OpenAndDegenerateContours) {
    RecordingSink rec;
    CSeccG s;
    PointArray open = kSquare;
    open(5, 2) = std::nextafter(0.0f, 1.0f);
    EXPECT_THROW(s.asigna_coor(5, open), ProgrammingError);
    ASSERT_TRUE(s.asigna_coor(4, kTriangle));
    // All points on one line: no area. The contour is kept, the moments about the axes read the
    // raw sums (0 here), the rest keeps the triangle's values.
    EXPECT_FALSE(s.asigna_coor(4, makePointArray({{0, 0}, {1, 2}, {2, 4}, {0, 0}})));
    EXPECT_THAT(rec.texts(), ElementsAre("Error fatal: puntos iniciales y finales no coincidentes",
                                         "Area de sección=0..."));
    EXPECT_TRUE(s.GetNump() == 4 && s.pto2d(3, 2) == 4.0f && s.area() == 0);
    for (float raw : {s.Iz(), s.Iy(), s.YgA(), s.ZgA()})
        EXPECT_NEAR(raw, 0, 1e-5);
    const float kept[] = {s.Zg(), s.Izg(), s.izy(), s.MaxZ()};
    EXPECT_THAT(kept, testing::Pointwise(testing::FloatEq(), {2.f, 4.5f, -4.5f, 6.f}));
}

// Found by fuzzing: a NaN inside a closed contour gave NaN properties, one in the first row was
// taken for an open contour (a programming error), and coordinates near the single range gave
// infinite moments; a parallel contour of such a contour threw too. All are now refused with
// one message, like a contour without area.
TEST(CSeccG, NonFiniteCoordinatesOrPropertiesAreRefused) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<PointArray> bad{
        makePointArray({{0, 0}, {1, 0}, {nan, 1}, {0, 0}}),
        makePointArray({{nan, 0}, {1, 0}, {1, 1}, {nan, 0}}),
        makePointArray({{0, 0}, {inf, 0}, {1, 1}, {0, 0}}),
        makePointArray({{-3e38f, -3e38f}, {3e38f, -3e38f}, {3e38f, 3e38f}, {-3e38f, -3e38f}}),
        makePointArray({{0, 0}, {1e15f, 0}, {1e15f, 1e15f}, {0, 0}}), // I ~ 1e60
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        RecordingSink rec;
        CSeccG s;
        EXPECT_FALSE(s.asigna_coor(4, bad[i])) << "case " << i;
        EXPECT_THAT(rec.texts(), ElementsAre("Coordenadas de sección fuera de rango")) << i;
    }
    // A parallel contour whose offset leaves the single range.
    RecordingSink rec;
    CSeccG paralela;
    EXPECT_FALSE(paralela.IniHomotetica(bad[0], 0.1f));
    EXPECT_FALSE(paralela.IniHomotetica(kSquare, 3e38f));
    EXPECT_THAT(rec.texts(), ElementsAre("Coordenadas de sección fuera de rango",
                                         "Coordenadas de sección fuera de rango"));
}

TEST(CSeccG, ParallelContour) {
    // A vertex between parallel sides moves along their normal instead of staying at the origin.
    const std::tuple<const char*, PointArray, float, std::vector<float>> cases[] = {
        {"square",
         makePointArray({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}),
         1,
         {1, 1, 9, 1, 9, 9, 1, 9, 1, 1}},
        {"vertex mid-side",
         makePointArray({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}),
         1,
         {1, 1, 5, 1, 9, 1, 9, 9, 1, 9, 1, 1}},
        {"mid-side on the closing row",
         makePointArray({{5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 0}}),
         -2,
         {5, -2, 12, -2, 12, 12, -2, 12, -2, -2, 5, -2}},
    };
    for (const auto& [id, in, dista, want] : cases) {
        CSeccG s;
        ASSERT_TRUE(s.IniHomotetica(in, dista)) << id;
        std::vector<float> got;
        for (std::int32_t i = 1; i <= s.GetNump(); ++i)
            got.insert(got.end(), {s.pto2d(i, 1), s.pto2d(i, 2)});
        EXPECT_THAT(got, testing::Pointwise(testing::FloatNear(1e-5f), want)) << id;
    }
}

TEST(CSeccG, PointsIn3DTorsionAndUnsupported) {
    CSeccG s;
    ASSERT_TRUE(s.asigna_coor(4, makePointArray({{0, 0}, {1, 0}, {1, 1}, {0, 0}})));
    s.ptoyd(5);
    PointArray p2;
    Array1<float> p1;
    s.GeneraPuntosYZ(p2, p1, nullptr, 1, 2);
    EXPECT_EQ(text(p2, &p1), "1,2 2,2 2,3 1,2 | 5 5 5 5");
    s.GeneraPuntosYZ(p2, p1, nullptr, 1, 2, true);
    EXPECT_EQ(text(p2, &p1), "1,2 1,3 2,3 1,2 | 5 5 5 5");
    s.GeneraPuntosXY(p2, p1, nullptr);
    EXPECT_EQ(text(p2, &p1), "0,5 1,5 1,5 0,5 | 0 0 1 0");
    CPosi3D pos;
    pos.LetTraslacion(10, 20, 30);
    s.GeneraPuntosYZ(p2, p1, &pos, 1, 2);
    EXPECT_EQ(text(p2, &p1), "21,32 22,32 22,33 21,32 | 15 15 15 15");
    // CalIx: 4·A² / Σ L/t = 4 / 40 on the unit square with walls 0.1 thick, either direction.
    ASSERT_TRUE(s.asigna_coor(5, kSquareCw));
    s.CalIx(5, kSquare, makePointArray({{0, 0.1f}, {0, 0.1f}, {0, 0.1f}, {0, 0.1f}, {0, 0}}));
    EXPECT_FLOAT_EQ(s.Jtor(), 0.1f);
    EXPECT_THROW(s.Gira(0, 0, 0), ProgrammingError);
    EXPECT_THROW(s.GetCoorExtrema(0), ProgrammingError);
}

TEST(CSeccG, Drawing) {
    CSeccG s, fin;
    ASSERT_TRUE(s.asigna_coor(4, kTriangle) && fin.asigna_coor(4, kTriangle));
    s.ptoyd(1);
    fin.ptoyd(3);
    DrawLog log;
    s.DibujaSeccion(log, &fin, nullptr, 2, 1.2f, std::int16_t{4});
    s.DibujaSeccion(log, nullptr, nullptr, 0, 0); // plan: rows (y, x), z beside; colour 0
    s.DibujaSeccion(log, nullptr, nullptr, 1, 0); // elevation: rows (z, x), y beside
    s.Dibuja(log);
    CSeccG().Dibuja(log);
    EXPECT_THROW(s.DibujaSeccion(log, nullptr, nullptr, 3, 0), ProgrammingError);
    // The cuts at Z = 3 (Y = 1.5 and 0) and at Z = 0 (Y = 3 and 0) give two points each: the
    // point collections draw the face joining them.
    CPto2d start, end;
    start.NuevaSec("cut"), end.NuevaSec("cut");
    s.CorteVSeccion(start, 3);
    fin.CorteVSeccion(end, 0);
    start.Dibuja(log, end);
    const std::string here = "0,0 3,0 0,6 0,0 | 1 1 1 1", there = "0,0 3,0 0,6 0,0 | 3 3 3 3";
    EXPECT_THAT(log.calls,
                ElementsAre("color 4", "4 fast " + here, "4 fast " + there,
                            "join " + here + " to " + there, "color 0", "color 0",
                            "4 fast 0,1 3,1 0,1 0,1 | 0 0 6 0", "color 0", "color 0",
                            "4 fast 0,1 0,1 6,1 0,1 | 0 3 0 0", "color 0",
                            "polyline 4 0,0 3,0 0,6 0,0", "face 0,1.5 0,3 0,0 0,0 0,1.5"));
}

TEST(CSeccG, DescriptionInLabels) {
    platform::ScopedNumberLocale comma(',');
    MemoryLabelSet labels(1, 10);
    CSeccG s;
    ASSERT_TRUE(s.IniRectangulo(1.5f, 3));
    std::int32_t indi = 3;
    EXPECT_FALSE(s.LetPropiedadesDeContorno(labels, indi));
    EXPECT_EQ(indi, 8);
    std::vector<std::string> got;
    for (std::int32_t i = 2; i <= 8; ++i)
        got.push_back(labels.Caption(i));
    EXPECT_THAT(
        got, ElementsAre("", "area = 4,5", "CantoY = 1,5", "CantoZ = 3", "Izz = 1", "Iyy = 3", ""));
}

#include "sections/CSeccG.h"

#include "SectionTestSupport.h"
#include "geometry/CPosi3D.h"
#include "geometry/CPto2d.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "sections/MemoryLabelSet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tresol;
using namespace tresol::test;
using platform::RecordingSink;
using testing::ElementsAre;
using Row = std::array<float, 2>;

namespace {

struct Props {
    double area, Yg, Zg, Izg, Iyg, izy, Iz, Iy, YgA, ZgA, cantoY, cantoZ;
};

void expectProps(const CSeccG& s, const Props& e, const char* id, double tol = 1e-5) {
    const auto near = [&](double got, double want, const char* what) {
        EXPECT_NEAR(got, want, tol * std::max(1.0, std::fabs(want))) << id << ": " << what;
    };
    near(s.area(), e.area, "area");
    near(s.Yg(), e.Yg, "Yg");
    near(s.Zg(), e.Zg, "Zg");
    near(s.Izg(), e.Izg, "Izg");
    near(s.Iyg(), e.Iyg, "Iyg");
    near(s.izy(), e.izy, "izy");
    near(s.Iz(), e.Iz, "Iz");
    near(s.Iy(), e.Iy, "Iy");
    near(s.YgA(), e.YgA, "YgA");
    near(s.ZgA(), e.ZgA, "ZgA");
    near(s.cantoY(), e.cantoY, "cantoY");
    near(s.cantoZ(), e.cantoZ, "cantoZ");
}

const PointArray kSquare = points({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}});
const PointArray kSquareCw = points({{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}});
const PointArray kTriangle = points({{0, 0}, {3, 0}, {0, 6}, {0, 0}});

} // namespace

TEST(CSeccG, PropertiesOfKnownFigures) {
    RecordingSink rec;
    CSeccG s;
    ASSERT_TRUE(s.asigna_coor(5, kSquare));
    const double t = 1.0 / 12, th = 1.0 / 3;
    expectProps(s, {1, .5, .5, t, t, 0, th, th, .5, .5, 1, 1}, "square ccw");
    // Clockwise: everything but the centroid and the depths changes sign.
    ASSERT_TRUE(s.asigna_coor(5, kSquareCw));
    expectProps(s, {-1, .5, .5, -t, -t, 0, -th, -th, -.5, -.5, 1, 1}, "square cw");
    ASSERT_TRUE(s.asigna_coor(4, kTriangle));
    expectProps(s, {9, 1, 2, 4.5, 18, -4.5, 13.5, 54, 9, 18, 3, 6}, "triangle");
    EXPECT_EQ(s.GetNump(), 4);
    EXPECT_EQ(s.pto2d(3, 2), 6.0f);
    EXPECT_EQ(s.pto2d(std::int16_t{3}, std::int16_t{1}), 0.0f);
    EXPECT_EQ(s.MaxZ(), 6.0f);
    EXPECT_EQ(s.MinY(), 0.0f);
    ASSERT_TRUE(s.IniRectangulo(2, 4));
    expectProps(s, {8, 0, 0, 8.0 / 3, 32.0 / 3, 0, 8.0 / 3, 32.0 / 3, 0, 0, 2, 4}, "rectangle");
    PointArray rect;
    Array1<float> xs;
    s.GeneraPuntosYZ(rect, xs, nullptr, 0, 0);
    EXPECT_EQ(rowsOf(rect), (std::vector<Row>{{-1, -2}, {1, -2}, {1, 2}, {-1, 2}, {-1, -2}}));
    // The example contour loads and returns instead of ending the program.
    ASSERT_TRUE(s.asigna_coorEjemplo());
    EXPECT_EQ(s.area(), 2592.0f);
    EXPECT_NEAR(s.Yg(), 0, 1e-4);
    EXPECT_NEAR(s.Zg(), 0, 1e-4);
    EXPECT_NEAR(s.Izg(), 3442176, 1);
    EXPECT_NEAR(s.Iyg(), 2312064, 1);
    EXPECT_NEAR(s.izy(), -2177280, 1);
    EXPECT_TRUE(rec.texts().empty());
    EXPECT_THROW(s.pto2d(10, 1), ProgrammingError);
    EXPECT_THROW(s.pto2d(1, 3), ProgrammingError);
}

TEST(CSeccG, SecondContourIsNotShiftedByTheFirst) {
    CSeccG s;
    ASSERT_TRUE(s.IniRectangulo(2, 4)); // smallest Y −1, smallest Z −2
    ASSERT_TRUE(s.asigna_coor(5, kSquare));
    EXPECT_FLOAT_EQ(s.Yg(), 0.5f);
    EXPECT_FLOAT_EQ(s.Zg(), 0.5f);
    EXPECT_FLOAT_EQ(s.YgA(), 0.5f);
    EXPECT_FLOAT_EQ(s.Iz(), 1.0f / 3);
}

TEST(CSeccG, OpenAndDegenerateContours) {
    RecordingSink rec;
    CSeccG s;
    PointArray open = kSquare;
    open(5, 2) = std::nextafter(0.0f, 1.0f);
    EXPECT_THROW(s.asigna_coor(5, open), ProgrammingError);
    EXPECT_THROW(s.IniHomotetica(open, 1), ProgrammingError);
    EXPECT_THAT(rec.texts(), ElementsAre("Error fatal: puntos iniciales y finales no coincidentes",
                                         "Error fatal: puntos iniciales y finales no coincidentes"));
    // Rows beyond NumpAux are not part of the contour: the first four rows close here.
    rec.clear();
    PointArray longer = points({{0, 0}, {3, 0}, {0, 6}, {0, 0}, {7, 7}});
    EXPECT_TRUE(s.asigna_coor(4, longer));
    EXPECT_THROW(s.asigna_coor(6, longer), ProgrammingError);
    EXPECT_THROW(s.asigna_coor(0, longer), ProgrammingError);

    // All points on one line: no area; the contour is kept, the raw sums are read, the rest
    // keeps the triangle's values.
    ASSERT_TRUE(s.asigna_coor(4, kTriangle));
    rec.clear();
    EXPECT_FALSE(s.asigna_coor(4, points({{0, 0}, {1, 2}, {2, 4}, {0, 0}})));
    EXPECT_THAT(rec.texts(), ElementsAre("Area de sección=0..."));
    EXPECT_EQ(s.GetNump(), 4);
    EXPECT_EQ(s.pto2d(3, 2), 4.0f);
    EXPECT_EQ(s.area(), 0.0f);
    for (float raw : {s.Iz(), s.Iy(), s.YgA(), s.ZgA()})
        EXPECT_NEAR(raw, 0, 1e-5);
    EXPECT_FLOAT_EQ(s.Yg(), 1);
    EXPECT_FLOAT_EQ(s.Zg(), 2);
    EXPECT_FLOAT_EQ(s.Izg(), 4.5f);
    EXPECT_FLOAT_EQ(s.Iyg(), 18);
    EXPECT_FLOAT_EQ(s.izy(), -4.5f);
    EXPECT_EQ(s.MaxZ(), 6.0f);
    EXPECT_EQ(s.cantoY(), 3.0f);
}

TEST(CSeccG, ParallelContour) {
    RecordingSink rec;
    struct Case {
        const char* id;
        PointArray in;
        float dista;
        std::vector<Row> want;
    };
    const Case cases[] = {
        {"square inside",
         points({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}),
         1,
         {{1, 1}, {9, 1}, {9, 9}, {1, 9}, {1, 1}}},
        {"square outside",
         points({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}),
         -1,
         {{-1, -1}, {11, -1}, {11, 11}, {-1, 11}, {-1, -1}}},
        // A vertex in the middle of a straight side has parallel neighbours: it moves along
        // their normal instead of staying behind at the origin.
        {"vertex mid-side",
         points({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}),
         1,
         {{1, 1}, {5, 1}, {9, 1}, {9, 9}, {1, 9}, {1, 1}}},
        {"vertex mid-side on the closing row",
         points({{5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 0}}),
         2,
         {{5, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}, {5, 2}}},
    };
    for (const Case& c : cases) {
        CSeccG s;
        ASSERT_TRUE(s.IniHomotetica(c.in, c.dista)) << c.id;
        ASSERT_EQ(s.GetNump(), static_cast<std::int32_t>(c.want.size())) << c.id;
        for (std::int32_t i = 1; i <= s.GetNump(); ++i)
            for (std::int32_t j = 1; j <= 2; ++j)
                EXPECT_NEAR(s.pto2d(i, j), c.want[static_cast<std::size_t>(i - 1)][j - 1], 1e-5)
                    << c.id << " row " << i << " column " << j;
    }
    EXPECT_TRUE(rec.texts().empty());
}

TEST(CSeccG, TorsionConstant) {
    CSeccG s;
    ASSERT_TRUE(s.asigna_coor(5, kSquareCw));
    EXPECT_THROW(s.Jtor(), ProgrammingError) << "no torsion constant yet";
    PointArray walls = points({{0, 0.1f}, {0, 0.1f}, {0, 0.1f}, {0, 0.1f}, {0, 0}});
    s.CalIx(5, kSquare, walls);
    EXPECT_FLOAT_EQ(s.Jtor(), 0.1f) << "4·A²/40, whatever the direction";
    s.CalIx(1, kSquare, walls);
    EXPECT_FLOAT_EQ(s.Ix(), 0.1f) << "no side: left as it was";
    walls(2, 2) = 0;
    EXPECT_THROW(s.CalIx(5, kSquare, walls), ProgrammingError);
    s.Ix(2.5f);
    EXPECT_EQ(s.Jtor(), 2.5f);
    EXPECT_THROW(s.Gira(0, 0, 0), ProgrammingError);
    EXPECT_THROW(s.Traslada(0, 0, 0), ProgrammingError);
    EXPECT_THROW(s.GetCoorExtrema(0), ProgrammingError);
}

TEST(CSeccG, PointsIn3D) {
    CSeccG s;
    ASSERT_TRUE(s.asigna_coor(4, points({{0, 0}, {1, 0}, {1, 1}, {0, 0}})));
    s.ptoyd(5);
    PointArray p2;
    Array1<float> p1;
    s.GeneraPuntosYZ(p2, p1, nullptr, 1, 2);
    EXPECT_EQ(rowsOf(p2), (std::vector<Row>{{1, 2}, {2, 2}, {2, 3}, {1, 2}}));
    EXPECT_THAT(valuesOf(p1), ElementsAre(5, 5, 5, 5));
    s.GeneraPuntosYZ(p2, p1, nullptr, 1, 2, true);
    EXPECT_EQ(rowsOf(p2), (std::vector<Row>{{1, 2}, {1, 3}, {2, 3}, {1, 2}}));
    s.GeneraPuntosXY(p2, p1, nullptr);
    EXPECT_EQ(rowsOf(p2), (std::vector<Row>{{0, 5}, {1, 5}, {1, 5}, {0, 5}}));
    EXPECT_THAT(valuesOf(p1), ElementsAre(0, 0, 1, 0));
    s.GeneraPuntosXZ(p2, p1, nullptr, 7, 7);
    EXPECT_EQ(rowsOf(p2), (std::vector<Row>{{0, 5}, {0, 5}, {1, 5}, {0, 5}}));
    EXPECT_THAT(valuesOf(p1), ElementsAre(0, 1, 1, 0));
    // A placement moves (x, y, z) = (Pnt1d, column 1, column 2).
    CPosi3D pos;
    pos.LetTraslacion(10, 20, 30);
    s.GeneraPuntosYZ(p2, p1, &pos, 1, 2);
    EXPECT_EQ(rowsOf(p2), (std::vector<Row>{{21, 32}, {22, 32}, {22, 33}, {21, 32}}));
    EXPECT_THAT(valuesOf(p1), ElementsAre(15, 15, 15, 15));
}

TEST(CSeccG, Drawing) {
    using testing::_;
    using testing::InSequence;
    CSeccG s, fin;
    ASSERT_TRUE(s.asigna_coor(4, kTriangle));
    ASSERT_TRUE(fin.asigna_coor(4, kTriangle));
    s.ptoyd(1);
    fin.ptoyd(3);
    const auto xs = [](float x) {
        return testing::Truly([x](A a) { return valuesOf(a) == std::vector<float>(4, x); });
    };
    {
        testing::StrictMock<MockCuadro> c;
        InSequence order;
        EXPECT_CALL(c, PoneQBColor(4));
        EXPECT_CALL(c, DibuGener3D(4, testing::Truly([](P p) { return p == kTriangle; }), xs(1),
                                   true));
        EXPECT_CALL(c, DibuGener3D(4, _, xs(3), true));
        EXPECT_CALL(c, DibuUnePtos3D(_, _, xs(1), xs(3)));
        EXPECT_CALL(c, PoneQBColor(0));
        s.DibujaSeccion(c, &fin, nullptr, 2, 1.2f, std::int16_t{4});
    }
    {
        // Plan view: (y, x) rows; no second section, the colour left out is 0.
        testing::StrictMock<MockCuadro> c;
        InSequence order;
        EXPECT_CALL(c, PoneQBColor(0));
        EXPECT_CALL(c, DibuGener3D(4, testing::Truly([](P p) {
                                       return rowsOf(p) ==
                                              std::vector<Row>{{0, 1}, {3, 1}, {0, 1}, {0, 1}};
                                   }),
                                   _, true));
        EXPECT_CALL(c, PoneQBColor(0));
        s.DibujaSeccion(c, nullptr, nullptr, 0, 0);
    }
    {
        testing::StrictMock<MockCuadro> c;
        EXPECT_THROW(s.DibujaSeccion(c, nullptr, nullptr, 3, 0), ProgrammingError);
        EXPECT_THROW(s.DibujaSeccion(c, nullptr, nullptr, -1, 0), ProgrammingError);
        EXPECT_CALL(c, DibuGener(4, testing::Truly([](P p) { return p == kTriangle; }), nullptr,
                                 OB(false)));
        s.Dibuja(c);
        CSeccG empty;
        empty.Dibuja(c);
    }
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
    for (std::int32_t i = 1; i <= 9; ++i)
        got.push_back(labels.Caption(i));
    EXPECT_THAT(got, ElementsAre("", "", "area = 4,5", "CantoY = 1,5", "CantoZ = 3", "Izz = 1",
                                 "Iyy = 3", "", ""));
    // Whole numbers only; one that rounds to 0 shows no digits.
    ASSERT_TRUE(s.IniRectangulo(0.1f, 0.2f));
    indi = 1;
    s.LetPropiedadesDeContorno(labels, indi);
    EXPECT_EQ(labels.Caption(1), "area = 0,02");
    EXPECT_EQ(labels.Caption(4), "Izz = ");
    indi = 7;
    EXPECT_THROW(s.LetPropiedadesDeContorno(labels, indi), ProgrammingError) << "label 11";
}

TEST(CSeccG, CutByALine) {
    CPto2d root;
    root.NuevaSec("a");
    CSeccG s;
    ASSERT_TRUE(s.asigna_coor(4, kTriangle));
    s.CorteVSeccion(root, 3);
    const CPto2d& cut = *root.PtoAcT;
    ASSERT_EQ(cut.NumP(), 2);
    EXPECT_EQ(cut.Ycoor(1), 0.0f);
    EXPECT_FLOAT_EQ(cut.Zcoor(1), 1.5f);
    EXPECT_EQ(cut.Zcoor(2), 0.0f);
}

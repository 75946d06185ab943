#include "geometry/CPto2d.h"

#include "drawing/ICuadro.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace tresol;
using testing::_;
using F = std::vector<float>;

namespace {

using A = const Array1<float>&;
using P = const PointArray&;
using OB = std::optional<bool>;
using OC = std::optional<std::int16_t>;

// Only DibuGener2 is expected; a strict mock fails on any other drawing call.
class MockCuadro : public ICuadro {
public:
    MOCK_METHOD(bool, bolita, (float, float, float, std::optional<float>, OC), (override));
    MOCK_METHOD(void, PoneText,
                (float, float, float, const std::string&, std::optional<float>, OB, OB),
                (override));
    MOCK_METHOD(void, MargenSinPic, (float, float, float, float), (override));
    MOCK_METHOD(void, Margen, (DrawingTarget&, float, float, float, float), (override));
    MOCK_METHOD(void, escala, (float), (override));
    MOCK_METHOD(void, PoneQBColor, (std::int16_t), (override));
    MOCK_METHOD(bool, DibuUnePtos2D, (P, P, OB), (override));
    MOCK_METHOD(bool, DibuGener, (std::int32_t, P, DrawingTarget*, OB), (override));
    MOCK_METHOD(void, DibuGener2, (std::int32_t, A, A, DrawingTarget*, OC, OB), (override));
    MOCK_METHOD(void, DibuGener3, (std::int32_t, A, A, A, OC, OB), (override));
    MOCK_METHOD(bool, Iniciado, (), (const, override));
    MOCK_METHOD(void, Iniciado, (bool), (override));
    MOCK_METHOD(void, Borra, (), (override));
    MOCK_METHOD(float, MinX, (), (const, override));
    MOCK_METHOD(float, MaxX, (), (const, override));
    MOCK_METHOD(float, MinY, (), (const, override));
    MOCK_METHOD(float, MaxY, (), (const, override));
    MOCK_METHOD(void, DibuGener3D, (std::int32_t, P, A, bool), (override));
    MOCK_METHOD(void, DibuUnePtos3D, (P, P, A, A), (override));
    MOCK_METHOD(void, MaxMinMargenNoPic, (P, std::int16_t), (override));
};

void addSection(CPto2d& root, const std::string& ref, std::vector<std::pair<float, float>> pts) {
    root.NuevaSec(ref);
    for (auto [y, z] : pts)
        root.NuevoPto(0, y, z);
}

F face(const CPto2d& root, const char* coordinate) {
    F out;
    for (std::int32_t i = 1; i <= root.NumPtoColAct(); ++i)
        out.push_back(root.CoorSecc(coordinate, i));
    return out;
}

F values(std::int32_t n, const Array1<float>& a) {
    F out;
    for (std::int32_t i = 1; i <= n; ++i)
        out.push_back(a(i));
    return out;
}

} // namespace

TEST(CPto2d, SectionsAndPoints) {
    CPto2d root;
    EXPECT_THROW(root.NuevoPto(0, 1, 1), ProgrammingError) << "no active section";
    root.NuevaSec("a");
    EXPECT_TRUE(root.NuevoPto(0, 1, 1));
    EXPECT_FALSE(root.NuevoPto(0, 1, 1)) << "a repeated last point is dropped";
    EXPECT_TRUE(root.NuevoPto(0, 1, 2) && root.NuevoPto(0, 1, 1));
    EXPECT_EQ(root.PtoAcT->NumP(), 3);
    root.NuevaSec("b");
    EXPECT_EQ(root.RefColAct(), "b");
    EXPECT_TRUE(root.NumColec() == 2 && root.numCol() == 2);
    root.ActivaCOLind(1);
    EXPECT_EQ(root.RefColAct(), "a");
    EXPECT_THROW(root.NuevaSec("a"), ProgrammingError);
    EXPECT_THROW(root.ActivaCOL("c"), ProgrammingError);
    EXPECT_THROW(root.ActivaCOLind(3), ProgrammingError);
    EXPECT_TRUE(root.RefColAct() == "a" && root.NumColec() == 2) << "failures change nothing";
}

TEST(CPto2d, FacesJoinSectionsOfTheSameKey) {
    CPto2d start, end;
    addSection(start, "up", {{0, 0}, {0, 1}});
    addSection(start, "down", {{0, 1}, {0, 0}});
    addSection(start, "three", {{0, 0}, {1, 1}, {2, 0}});
    addSection(end, "down", {{5, 1}, {5, 0}}); // paired by key, not by position
    addSection(end, "three", {{9, 9}});
    addSection(end, "up", {{5, 0}, {5, 1}});
    start.CreaSecc(end);
    start.ActivaCOL("up");
    EXPECT_EQ(face(start, "y"), (F{0, 0, 5, 5, 0}));
    EXPECT_EQ(face(start, "z"), (F{0, 1, 1, 0, 0}));
    start.ActivaCOL("down");
    EXPECT_EQ(face(start, "y"), (F{0, 5, 5, 0, 0}));
    EXPECT_EQ(face(start, "z"), (F{1, 1, 0, 0, 1}));
    start.ActivaCOL("three");
    EXPECT_EQ(face(start, "y"), F(7, 0.0f));
    EXPECT_THROW(start.CoorSecc("Y", 1), ProgrammingError);

    // Dibuja refreshes the faces and draws those of sections with points.
    addSection(start, "empty", {});
    addSection(end, "empty", {});
    testing::StrictMock<MockCuadro> cuadro;
    std::vector<F> drawn;
    EXPECT_CALL(cuadro, DibuGener2(_, _, _, nullptr, _, _))
        .Times(3)
        .WillRepeatedly([&](std::int32_t n, const Array1<float>& x, const Array1<float>& y,
                            DrawingTarget*, auto, auto) {
            drawn.push_back(values(n, x));
            drawn.push_back(values(n, y));
        });
    start.Dibuja(cuadro, end);
    ASSERT_EQ(drawn.size(), 6u);
    EXPECT_EQ(drawn[0], (F{0, 0, 5, 5, 0}));
    EXPECT_EQ(drawn[3], (F{1, 1, 0, 0, 1}));
    EXPECT_EQ(drawn[4], F(7, 0.0f));
}

TEST(CPto2d, RootAndSectionsAreReleasedTogether) {
    auto root = std::make_shared<CPto2d>();
    root->NuevaSec("a");
    std::weak_ptr<CPto2d> first = root->PtoAcT, watchRoot = root;
    root->NuevaSec("b");
    std::weak_ptr<CPto2d> second = root->PtoAcT;
    EXPECT_EQ(second.lock()->ObjParen(), root.get());
    std::shared_ptr<CPto2d> kept = first.lock();
    root.reset();
    EXPECT_TRUE(watchRoot.expired() && second.expired());
    EXPECT_EQ(kept->ObjParen(), nullptr) << "a surviving section forgets its root";
}

TEST(CPto2d, MaxMinKeepsTheFirstRowOfTies) {
    PointArray p = makePointArray(3);
    p(1, 1) = 3, p(1, 2) = 1, p(2, 1) = 3, p(2, 2) = 5, p(3, 1) = 1, p(3, 2) = 5;
    // iRef upper bound → rows written (none for bounds other than 1 and 3).
    const std::vector<std::pair<int, std::vector<Value>>> cases = {
        {1, {3, 1}}, {2, {Value{}, Value{}, Value{}}}, {3, {3, 1, 1, 2}}};
    for (const auto& [upper, want] : cases) {
        Array1<Value> iRef(0, upper);
        float maxX = 0, minX = 0, maxZ = 0, minZ = 0;
        CPto2d::MaxMin(p, maxX, minX, maxZ, minZ, 3, iRef);
        EXPECT_TRUE(maxX == 5 && minX == 1 && maxZ == 3 && minZ == 1) << upper;
        for (int k = 0; k <= upper; ++k)
            EXPECT_EQ(iRef(k), want[static_cast<std::size_t>(k)]) << upper << " index " << k;
    }
    Array1<Value> none;
    float a = 0, b = 0, c = 0, d = 0;
    CPto2d::MaxMin(p, a, b, c, d, 3, none);
    EXPECT_THROW(CPto2d::MaxMin(p, a, b, c, d, 4, none), ProgrammingError);
}

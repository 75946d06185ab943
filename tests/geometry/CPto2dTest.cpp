#include "geometry/CPto2d.h"

#include "geometry/RecordingCuadro.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tresol;

namespace {

// A root with one section per entry, each holding the given (y, z) points.
void addSection(CPto2d& root, const std::string& ref,
                std::initializer_list<std::pair<float, float>> points) {
    root.NuevaSec(ref);
    for (auto [y, z] : points)
        root.NuevoPto(0, y, z);
}

std::vector<float> face(const CPto2d& root, const char* coordinate) {
    std::vector<float> out;
    for (std::int32_t i = 1; i <= root.NumPtoColAct(); ++i)
        out.push_back(root.CoorSecc(coordinate, i));
    return out;
}

} // namespace

TEST(CPto2d, SectionsPointsAndTheirCollection) {
    CPto2d root;
    EXPECT_THROW(root.NuevoPto(0, 1, 1), ProgrammingError) << "no active section yet";
    EXPECT_THROW(root.ActivaCOL("a"), ProgrammingError);

    root.NuevaSec("a");
    EXPECT_TRUE(root.NuevoPto(0, 1, 1));
    EXPECT_FALSE(root.NuevoPto(3, 1, 1)) << "a repeated last point is dropped";
    EXPECT_TRUE(root.NuevoPto(0, 1, 2));
    EXPECT_TRUE(root.NuevoPto(0, 1, 1)) << "only the last point counts as a repeat";
    EXPECT_EQ(root.PtoAcT->NumP(), 3);
    EXPECT_EQ(root.PtoAcT->Zcoor(2), 2.0f);
    EXPECT_EQ(root.NumP(), 0);

    root.NuevaSec("b");
    EXPECT_EQ(root.RefColAct(), "b");
    EXPECT_EQ(root.NumColec(), 2);
    EXPECT_EQ(root.numCol(), 2);
    EXPECT_FALSE(root.ActivaCOLind(1));
    EXPECT_EQ(root.RefColAct(), "a");
    root.ActivaCOL("b");
    EXPECT_EQ(root.PtoAcT->NumP(), 0);

    EXPECT_THROW(root.NuevaSec("a"), ProgrammingError);
    EXPECT_THROW(root.ActivaCOL("c"), ProgrammingError);
    EXPECT_THROW(root.ActivaCOLind(3), ProgrammingError);
    EXPECT_THROW(root.ActivaCOLind(0), ProgrammingError);
    EXPECT_EQ(root.RefColAct(), "b") << "failed calls change nothing";
    EXPECT_EQ(root.NumColec(), 2);
}

TEST(CPto2d, FacesJoinSectionsOfTheSameKey) {
    CPto2d start, end;
    addSection(start, "up", {{0, 0}, {0, 1}});
    addSection(start, "down", {{0, 1}, {0, 0}});
    addSection(start, "three", {{0, 0}, {1, 1}, {2, 0}});
    // Another order in the final root: sections are paired by key, not position.
    addSection(end, "down", {{5, 1}, {5, 0}});
    addSection(end, "three", {{9, 9}});
    addSection(end, "up", {{5, 0}, {5, 1}});
    start.CreaSecc(end);

    start.ActivaCOL("up");
    EXPECT_EQ(start.NumPtoColAct(), 5);
    EXPECT_EQ(face(start, "y"), (std::vector<float>{0, 0, 5, 5, 0}));
    EXPECT_EQ(face(start, "z"), (std::vector<float>{0, 1, 1, 0, 0}));
    start.ActivaCOL("down");
    EXPECT_EQ(face(start, "y"), (std::vector<float>{0, 5, 5, 0, 0}));
    EXPECT_EQ(face(start, "z"), (std::vector<float>{1, 1, 0, 0, 1}));
    start.ActivaCOL("three");
    EXPECT_EQ(start.NumPtoColAct(), 7);
    EXPECT_EQ(face(start, "z"), std::vector<float>(7, 0.0f));
    EXPECT_THROW(start.CoorSecc("Y", 1), ProgrammingError);
    EXPECT_THROW(start.CoorSecc("y", 8), ProgrammingError);

    CPto2d missing;
    addSection(missing, "up", {{5, 0}, {5, 1}});
    EXPECT_THROW(start.CreaSecc(missing), ProgrammingError) << "no section \"down\"";
}

TEST(CPto2d, DibujaDrawsEachSectionFace) {
    CPto2d start, end;
    addSection(start, "a", {{0, 0}, {0, 1}});
    addSection(start, "empty", {});
    addSection(start, "b", {{2, 1}, {2, 0}});
    addSection(end, "a", {{5, 0}, {5, 1}});
    addSection(end, "empty", {});
    addSection(end, "b", {{7, 1}, {7, 0}});
    RecordingCuadro cuadro;
    start.Dibuja(cuadro, end);
    ASSERT_EQ(cuadro.polylines.size(), 2u) << "a section without points draws nothing";
    EXPECT_EQ(cuadro.polylines[0].x, (std::vector<float>{0, 0, 5, 5, 0}));
    EXPECT_EQ(cuadro.polylines[0].y, (std::vector<float>{0, 1, 1, 0, 0}));
    EXPECT_EQ(cuadro.polylines[1].x, (std::vector<float>{2, 7, 7, 2, 2}));
    EXPECT_EQ(cuadro.polylines[1].y, (std::vector<float>{1, 1, 0, 0, 1}));
}

TEST(CPto2d, RootAndSectionsAreReleasedTogether) {
    auto root = std::make_shared<CPto2d>();
    root->NuevaSec("a");
    std::weak_ptr<CPto2d> first = root->PtoAcT;
    root->NuevaSec("b");
    std::weak_ptr<CPto2d> second = root->PtoAcT;
    std::weak_ptr<CPto2d> watchRoot = root;
    EXPECT_EQ(second.lock()->ObjParen(), root.get());
    EXPECT_EQ(root->ObjParen(), root.get());

    std::shared_ptr<CPto2d> kept = first.lock();
    root.reset();
    EXPECT_TRUE(watchRoot.expired());
    EXPECT_TRUE(second.expired());
    EXPECT_EQ(kept->ObjParen(), nullptr) << "a surviving section forgets its root";
    kept.reset();
    EXPECT_TRUE(first.expired());
}

TEST(CPto2d, MaxMinFindsExtremesAndFirstRowsOfTies) {
    PointArray p = makePointArray(3);
    const float rows[3][2] = {{3, 1}, {3, 5}, {1, 5}};
    for (int i = 1; i <= 3; ++i) {
        p(i, 1) = rows[i - 1][0];
        p(i, 2) = rows[i - 1][1];
    }
    struct Case {
        std::int32_t upper;
        std::vector<std::int32_t> written; // empty: iRef untouched
    };
    const Case cases[] = {{-1, {}}, {1, {3, 1}}, {2, {}}, {3, {3, 1, 1, 2}}};
    for (const Case& c : cases) {
        Array1<Value> iRef;
        if (c.upper >= 0)
            iRef.redim(0, c.upper);
        float maxX = 0, minX = 0, maxZ = 0, minZ = 0;
        CPto2d::MaxMin(p, maxX, minX, maxZ, minZ, 3, iRef);
        EXPECT_EQ(maxX, 5.0f) << "upper " << c.upper;
        EXPECT_EQ(minX, 1.0f) << "upper " << c.upper;
        EXPECT_EQ(maxZ, 3.0f) << "upper " << c.upper;
        EXPECT_EQ(minZ, 1.0f) << "upper " << c.upper;
        if (c.upper < 0)
            continue;
        for (std::int32_t k = 0; k <= c.upper; ++k) {
            const Value want = static_cast<std::size_t>(k) < c.written.size()
                                   ? Value{c.written[static_cast<std::size_t>(k)]}
                                   : Value{};
            EXPECT_EQ(iRef(k), want) << "upper " << c.upper << " index " << k;
        }
    }
    Array1<Value> none;
    float a = 0, b = 0, c = 0, d = 0;
    EXPECT_THROW(CPto2d::MaxMin(p, a, b, c, d, 4, none), ProgrammingError);
    EXPECT_THROW(CPto2d::MaxMin(p, a, b, c, d, 32768, none), ProgrammingError);
}

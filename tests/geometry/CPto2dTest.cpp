#include "geometry/CPto2d.h"

#include <gtest/gtest.h>

using namespace tresol;
using F = std::vector<float>;

static void addSection(CPto2d& root, const char* ref, std::vector<std::pair<float, float>> pts) {
    root.NuevaSec(ref);
    for (auto [y, z] : pts)
        root.NuevoPto(0, y, z);
}

TEST(CPto2d, RootAndSections) {
    auto root = std::make_shared<CPto2d>();
    EXPECT_THROW(root->NuevoPto(0, 1, 1), ProgrammingError) << "no active section";
    root->NuevaSec("a");
    const std::shared_ptr<CPto2d> first = root->PtoAcT;
    EXPECT_TRUE(root->NuevoPto(0, 1, 1));
    EXPECT_FALSE(root->NuevoPto(0, 1, 1)) << "a repeated last point is dropped";
    EXPECT_TRUE(root->NuevoPto(0, 1, 2) && root->NuevoPto(0, 1, 1));
    EXPECT_EQ(first->NumP(), 3);
    root->NuevaSec("b");
    const std::weak_ptr<CPto2d> watchRoot = root, second = root->PtoAcT;
    EXPECT_TRUE(root->RefColAct() == "b" && root->NumColec() == 2 && root->numCol() == 2);
    EXPECT_EQ(second.lock()->ObjParen(), root.get());
    root->ActivaCOLind(1);
    EXPECT_EQ(root->RefColAct(), "a");
    EXPECT_THROW(root->NuevaSec("a"), ProgrammingError);
    EXPECT_THROW(root->ActivaCOL("c"), ProgrammingError);
    EXPECT_THROW(root->ActivaCOLind(3), ProgrammingError);
    EXPECT_TRUE(root->RefColAct() == "a" && root->NumColec() == 2) << "failures change nothing";
    // No reference cycle: the root goes with its last owner, and so do the sections it alone held.
    root.reset();
    EXPECT_TRUE(watchRoot.expired() && second.expired());
    EXPECT_EQ(first->ObjParen(), nullptr) << "a surviving section forgets its root";
}

TEST(CPto2d, FacesJoinSectionsOfTheSameKey) {
    CPto2d start, end;
    addSection(start, "up", {{0, 0}, {0, 1}});
    addSection(start, "down", {{0, 1}, {0, 0}});
    addSection(start, "three", {{0, 0}, {1, 1}, {2, 0}});
    addSection(end, "down", {{5, 1}, {5, 0}}); // paired by key, not by position
    addSection(end, "three", {{9, 9}});
    addSection(end, "up", {{5, 0}, {5, 1}});
    start.CreaSecc(end); // Dibuja draws these faces: see the sections' drawing test
    // Each face as its y, then its z coordinates; a three-point section against one point: zeros.
    const std::pair<const char*, F> faces[] = {{"up", {0, 0, 5, 5, 0, 0, 1, 1, 0, 0}},
                                               {"down", {0, 5, 5, 0, 0, 1, 1, 0, 0, 1}},
                                               {"three", F(14, 0.0f)}};
    for (const auto& [ref, want] : faces) {
        start.ActivaCOL(ref);
        F got;
        for (const char* yz : {"y", "z"})
            for (std::int32_t i = 1; i <= start.NumPtoColAct(); ++i)
                got.push_back(start.CoorSecc(yz, i));
        EXPECT_EQ(got, want) << ref;
    }
}

TEST(CPto2d, MaxMinKeepsTheFirstRowOfTies) {
    // Rows (z, x): (3, 1), (3, 5), (1, 5), (1, 1): every extreme reached twice.
    PointArray p = makePointArray(4);
    p(1, 1) = 3, p(1, 2) = 1, p(2, 1) = 3, p(2, 2) = 5, p(3, 1) = 1, p(3, 2) = 5;
    p(4, 1) = 1, p(4, 2) = 1;
    // iRef upper bound → rows written (none for bounds other than 1 and 3).
    const std::vector<std::pair<int, std::vector<Value>>> cases = {
        {1, {3, 1}}, {2, {Value{}, Value{}, Value{}}}, {3, {3, 1, 1, 2}}};
    for (const auto& [upper, want] : cases) {
        Array1<Value> iRef(0, upper);
        float maxX = 0, minX = 0, maxZ = 0, minZ = 0;
        CPto2d::MaxMin(p, maxX, minX, maxZ, minZ, 4, iRef);
        EXPECT_TRUE(maxX == 5 && minX == 1 && maxZ == 3 && minZ == 1) << upper;
        EXPECT_EQ(std::vector<Value>(iRef.data(), iRef.data() + upper + 1), want) << upper;
    }
}

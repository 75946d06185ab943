#include "drawing/CadDxf.h"
#include "drawing/CadSession.h"
#include "drawing/DxfCheck.h"
#include "drawing/Palette.h"
#include "platform/ProgrammingError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <numbers>

using namespace tresol;
using tresol::testing::DxfDir;
using tresol::testing::readDxf;

namespace {

std::shared_ptr<CadApplication> dxfSession() {
    return std::make_shared<CadDxfApplication>();
}

void expectNear(const std::vector<double>& got, const std::vector<double>& want, double tol,
                const std::string& id) {
    ASSERT_EQ(got.size(), want.size()) << id;
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tol) << id << " value " << i;
}

std::string hexRgb(const Rgb& c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", c.r, c.g, c.b);
    return buf;
}

} // namespace

TEST(CadSession, AttachFindsTheLatestSessionStillOpen) {
    const auto outside = CadStart(kCadClassName);
    ASSERT_NE(outside, nullptr);
    EXPECT_NE(dynamic_cast<CadDxfApplication*>(outside.get()), nullptr)
        << "by default the DXF session serves the CAD class";
    {
        ScopedCadProvider scope(kCadClassName, dxfSession);
        EXPECT_EQ(CadAttach(kCadClassName), nullptr) << "nothing started under the scope";
        auto a = CadStart(kCadClassName);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(CadAttach(kCadClassName), a);
        a->ActiveDocument().ModelSpace().AddSphere({0, 0, 0}, 1);
        auto b = CadStart(kCadClassName);
        EXPECT_NE(b, a);
        EXPECT_EQ(CadAttach(kCadClassName), b) << "the latest one";
        EXPECT_EQ(b->ActiveDocument().ModelSpace().Count(), 0) << "start opens a new drawing";
        b.reset();
        EXPECT_EQ(CadAttach(kCadClassName), a) << "a released session is closed";
        a.reset();
        EXPECT_EQ(CadAttach(kCadClassName), nullptr);
    }
    EXPECT_EQ(CadAttach(kCadClassName), outside) << "restored after the scope";

    EXPECT_EQ(CadStart("Other.Application"), nullptr);
    EXPECT_EQ(CadAttach("Other.Application"), nullptr);
    {
        ScopedCadProvider none(kCadClassName, nullptr);
        EXPECT_EQ(CadStart(kCadClassName), nullptr);
        EXPECT_EQ(CadAttach(kCadClassName), nullptr);
    }
    {
        ScopedCadProvider failing(kCadClassName, [] { return std::shared_ptr<CadApplication>(); });
        EXPECT_EQ(CadStart(kCadClassName), nullptr);
        EXPECT_EQ(CadAttach(kCadClassName), nullptr);
    }
}

TEST(CadDxfModelSpace, RefusesFaultyCalls) {
    CadDxfModelSpace ms;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    CadEntity& e = ms.Add3dpoly({0, 0, 0, 1, 1, 1});
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"not triples",
         [&] {
             ms.Add3dpoly({0, 0, 0, 1, 1});
         }},
        {"one point",
         [&] {
             ms.Add3dpoly({0, 0, 0});
         }},
        {"one point, plane",
         [&] {
             ms.AddPolyline({0, 0, 0});
         }},
        {"NaN vertex",
         [&] {
             ms.Add3dpoly({0, 0, 0, nan, 1, 1});
         }},
        {"infinite text point",
         [&] {
             ms.AddText("a", {inf, 0, 0}, 1);
         }},
        {"zero height",
         [&] {
             ms.AddText("a", {0, 0, 0}, 0);
         }},
        {"NaN radius",
         [&] {
             ms.AddSphere({0, 0, 0}, nan);
         }},
        {"negative radius",
         [&] {
             ms.AddSphere({0, 0, 0}, -1);
         }},
        {"colour 16", [&] { e.color(16); }},
        {"colour -1", [&] { e.color(-1); }},
        {"axis of no length",
         [&] {
             e.Rotate3d({1, 1, 1}, {1, 1, 1}, 1);
         }},
        {"NaN angle",
         [&] {
             e.Rotate3d({0, 0, 0}, {1, 0, 0}, nan);
         }},
        {"entity 0", [&] { ms.Item(0); }},
    };
    for (const auto& [id, call] : cases)
        EXPECT_THROW(call(), ProgrammingError) << id;
    EXPECT_EQ(ms.Count(), 1) << "nothing refused was added";
}

TEST(CadDxf, AnIndependentReaderFindsWhatWasSent) {
    DxfDir dir;
    CadDxfApplication app;
    auto& ms = app.ActiveDocument().ModelSpace();
    for (std::int16_t c = 0; c < 16; ++c)
        ms.Add3dpoly({1.0 * c, 0, 2, 3, -1, 4.5}).color(c);
    ms.AddPolyline({0, 0, 0.5, 1, 0, 9, 1, 2, 9}).color(9);
    auto& text = ms.AddText("4 fi 16 sección ∅", {0.25, 0, -0.06}, 0.05);
    text.Rotate3d({0.25, 0, -0.06}, {10.25, 0, -0.06}, 1.57);
    text.color(4);
    ms.AddText("plana", {1, 2, 3}, 0.2);
    auto& ball = ms.AddSphere({0.1, 0.2, -0.3}, 0.008);
    ball.Rotate3d({0, 0, 0}, {0, 0, 1}, std::numbers::pi); // centre to (-0.1, -0.2, -0.3)
    ball.color(12);

    const std::string path = dir.file("all-kinds.dxf");
    std::string error;
    ASSERT_TRUE(app.ActiveDocument().SaveAs(path, error)) << error;

    const auto r = readDxf(path);
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    ASSERT_TRUE(r.failure.empty()) << r.failure;
    EXPECT_EQ(r.auditErrors, 0);
    ASSERT_EQ(r.entities.size(), 20u);

    for (int c = 0; c < 16; ++c) {
        const auto& e = r.entities[static_cast<std::size_t>(c)];
        const std::string id = "colour " + std::to_string(c);
        EXPECT_EQ(e.kind, "POLYLINE3D") << id;
        expectNear(e.numbers("pts"), {1.0 * c, 0, 2, 3, -1, 4.5}, 1e-12, id);
        if (c == 0) {
            EXPECT_EQ(e.at("rgb"), "-") << "black is the foreground colour";
            EXPECT_EQ(e.at("aci"), "7");
        } else {
            EXPECT_EQ(e.at("rgb"), hexRgb(kQBPalette[static_cast<std::size_t>(c)])) << id;
        }
    }
    const auto& plane = r.entities[16];
    EXPECT_EQ(plane.kind, "LWPOLYLINE");
    expectNear(plane.numbers("pts"), {0, 0, 0.5, 1, 0, 0.5, 1, 2, 0.5}, 1e-12, "plane polyline");
    EXPECT_EQ(plane.at("rgb"), "0000FF");

    const auto& t = r.entities[17];
    EXPECT_EQ(t.kind, "TEXT");
    EXPECT_EQ(t.at("text"), "4 fi 16 sección \\U+2205") << "Latin-1 as is, the rest escaped";
    EXPECT_NEAR(t.number("height"), 0.05, 1e-12);
    expectNear(t.numbers("ins"), {0.25, 0, -0.06}, 1e-12, "text insertion");
    expectNear(t.numbers("dir"), {1, 0, 0}, 1e-9, "text direction");
    expectNear(t.numbers("normal"), {0, -std::sin(1.57), std::cos(1.57)}, 1e-9, "upright text");
    EXPECT_EQ(t.at("rgb"), "800000");
    expectNear(r.entities[18].numbers("ins"), {1, 2, 3}, 1e-12, "text in the XY plane");
    expectNear(r.entities[18].numbers("normal"), {0, 0, 1}, 0, "text in the XY plane");

    const auto& s = r.entities[19];
    EXPECT_EQ(s.kind, "SPHERE");
    expectNear(s.numbers("centre"), {-0.1, -0.2, -0.3}, 1e-12, "sphere centre");
    EXPECT_NEAR(s.number("radius"), 0.008, 1e-12);
    EXPECT_LT(s.number("spread"), 1e-12) << "every vertex on the sphere";
    EXPECT_EQ(s.at("closed"), "1");
    const double ball3 = 4.0 / 3.0 * std::numbers::pi * std::pow(0.008, 3);
    EXPECT_GT(s.number("volume"), 0.9 * ball3) << "faces turned outwards, close to the ball";
    EXPECT_LT(s.number("volume"), ball3);
    EXPECT_EQ(s.at("rgb"), "FF0000");
}

// dxflib's own header fixes the handle seed at FFFF; a drawing with more handles than that
// must still announce a seed above every handle in it.
TEST(CadDxf, HandleSeedLiesAboveEveryHandle) {
    DxfDir dir;
    CadDxfApplication app;
    std::vector<double> pts;
    for (int i = 0; i < 70000; ++i)
        pts.insert(pts.end(), {double(i), 0, 0});
    app.ActiveDocument().ModelSpace().Add3dpoly(pts);
    const std::string path = dir.file("large.dxf");
    std::string error;
    ASSERT_TRUE(app.ActiveDocument().SaveAs(path, error)) << error;

    std::ifstream in(path);
    std::string code, value;
    unsigned long seed = 0, highest = 0;
    bool nextIsSeed = false;
    while (std::getline(in, code) && std::getline(in, value)) {
        const int gc = std::stoi(code);
        if (gc == 9)
            nextIsSeed = value == "$HANDSEED";
        else if (gc == 5 && nextIsSeed)
            seed = std::stoul(value, nullptr, 16), nextIsSeed = false;
        else if (gc == 5 || gc == 105)
            highest = std::max(highest, std::stoul(value, nullptr, 16));
    }
    EXPECT_GT(highest, 0xFFFFul);
    EXPECT_GT(seed, highest);
}

#include "drawing/CCuadro3D.h"
#include "drawing/CadDxf.h"
#include "drawing/CadSession.h"
#include "drawing/DxfCheck.h"
#include "drawing/DxfExport.h"
#include "drawing/Palette.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <tuple>

using namespace tresol;
using platform::MsgIcon;
using platform::RecordingSink;
using ::testing::DoubleNear;
using ::testing::Pointwise;
using tresol::testing::DxfDir;

namespace {

std::shared_ptr<CadApplication> dxfSession() {
    return std::make_shared<CadDxfApplication>();
}

void expectNear(const std::vector<double>& got, const std::vector<double>& want, double tol,
                const std::string& id = "") {
    EXPECT_THAT(got, Pointwise(DoubleNear(tol), want)) << id;
}

Array1<float> vec(std::initializer_list<float> v) {
    Array1<float> a(1, static_cast<std::int32_t>(v.size()));
    std::int32_t i = 0;
    for (float x : v)
        a(++i) = x;
    return a;
}

} // namespace

TEST(CCuadro3D, IniWithoutAnySessionReportsAndRefusesToDraw) {
    const std::vector<std::pair<const char*, CadProvider>> unavailable = {
        {"no provider", nullptr},
        {"provider gives nothing", [] { return std::shared_ptr<CadApplication>(); }},
        {"provider fails",
         []() -> std::shared_ptr<CadApplication> { throw std::runtime_error("cannot start"); }},
    };
    const std::string noCad =
        "Error al iniciar AutoCad. Esta opción solo es válida si tiene instalado AutoCad 14.";
    for (const auto& [id, provider] : unavailable) {
        ScopedCadProvider scope(kCadClassName, provider);
        RecordingSink rec;
        CCuadro3D c;
        EXPECT_FALSE(c.Ini()) << id;
        ASSERT_EQ(rec.texts(), (std::vector<std::string>{noCad, "No se ha creado sesion de CAD"}))
            << id;
        EXPECT_EQ(rec.entries()[0].icon, MsgIcon::Critical) << id;
        EXPECT_EQ(rec.entries()[1].icon, MsgIcon::Information) << id;
    }

    ScopedCadProvider scope(kCadClassName, dxfSession);
    CCuadro3D c, other; // never connected
    RecordingSink rec;
    const Array1<float> v = vec({1, 2});
    c.DibuGener3(2, v, v, v);
    c.DibuGener3(2, v, v, v, std::int16_t{3});
    c.PoneText(0, 0, 0, "nada");
    ASSERT_EQ(rec.texts(), std::vector<std::string>(2, "Esta funcion solo es compatible con "
                                                       "AutoCad 14."))
        << "once per DibuGener3, nothing for a text";
    EXPECT_EQ(rec.entries()[0].icon, MsgIcon::Information);
    EXPECT_THROW(c.bolita(0, 0, 1), ProgrammingError);
    EXPECT_THROW(c.DibuGener(2, makePointArray({{1, 2}, {3, 4}})), ProgrammingError);
    EXPECT_THROW(c.PoneTexto("a\r\n", "b"), ProgrammingError);

    // Iniciado is the plotter's own flag, or another surface's once one is named.
    c.Iniciado(true);
    EXPECT_TRUE(c.Iniciado());
    c.SuperficieIniciado(&other);
    EXPECT_FALSE(c.Iniciado()) << "read from the other surface";
    c.Iniciado(true);
    EXPECT_TRUE(other.Iniciado());
}

// Connected to a fresh in-memory drawing, which keeps everything it was sent.
TEST(CCuadro3D, PointsAndTextsGoOutInTheFrontViewOrAlongTheMember) {
    ScopedCadProvider scope{kCadClassName, dxfSession}; // hides open sessions: Ini starts one
    CCuadro3D c;
    ASSERT_TRUE(c.Ini());
    EXPECT_TRUE(c.Sesion()->Visible());
    const auto& sent = static_cast<CadDxfDocument&>(c.Sesion()->ActiveDocument()).Entities();
    const PointArray p = makePointArray({{1, 2}, {3, 4}});
    const PointArray q = makePointArray({{5, 6}, {7, 8}});
    EXPECT_FALSE(c.DibuGener(2, p, nullptr, false));
    c.PoneQBColor(5);
    c.DibuGener3D(2, p, vec({10, 10}), true);
    c.DibuGener2(2, vec({1, 3}), vec({2, 4}), nullptr, std::int16_t{9});
    c.DibuGener3(2, vec({1, 2}), vec({3, 4}), vec({5, 6}));
    c.DibuGener3(2, vec({1, 2}), vec({3, 4}), vec({5, 6}), std::int16_t{2});
    EXPECT_FALSE(c.DibuUnePtos2D(p, q));
    c.DibuUnePtos3D(p, q, vec({10, 11}), vec({20, 21}));
    Array2<float> from(0, 1, 1, 2), to(0, 1, 1, 2); // rows from 0
    Array1<float> xs(0, 1), xe(0, 1);
    from(0, 1) = 1, to(0, 1) = 2, xs(0) = 3, xe(0) = 4;
    c.DibuUnePtos3D(from, to, xs, xe);
    EXPECT_FALSE(c.bolita(1, 2, 0.008f));
    c.bolita(1, 2, 0.008f, 7.0f, std::int16_t{12});
    c.DibujaXY(vec({1, 2, 3}), vec({4, 5, 6}));
    const std::pair<const char*, const char*> drawn[] = {
        {"DibuGener", "3d 0: 1 0 2 3 0 4"},
        {"DibuGener3D", "3d 5: 10 1 2 10 3 4"},
        {"DibuGener2", "3d 9: 1 0 2 3 0 4"},
        {"DibuGener3 without colour", "3d 5: 1 3 5 2 4 6"},
        {"DibuGener3 with colour", "3d 2: 1 3 5 2 4 6"},
        {"DibuUnePtos2D row 1", "3d 5: 1 0 2 5 0 6"},
        {"DibuUnePtos2D row 2", "3d 5: 3 0 4 7 0 8"},
        {"DibuUnePtos3D row 1", "3d 5: 10 1 2 20 5 6"},
        {"DibuUnePtos3D row 2", "3d 5: 11 3 4 21 7 8"},
        {"DibuUnePtos3D row 0", "3d 5: 3 1 0 4 2 0"},
        {"DibuUnePtos3D row 1", "3d 5: 0 0 0 0 0 0"},
        {"bolita", "sphere 0: 1 0 2"},
        {"bolita with depth and colour", "sphere 12: 1 7 2"},
        {"DibujaXY", "plane 0: 1 4 0 2 5 0 3 6 0"},
    };
    ASSERT_EQ(sent.Count(), std::ssize(drawn));
    for (std::int32_t i = 1; i <= sent.Count(); ++i) {
        const auto& e = sent.Item(i);
        std::ostringstream got;
        got.precision(17);
        const char* kinds[] = {"3d", "plane", "text", "sphere"}; // in CadDxfEntity::Kind's order
        got << kinds[static_cast<int>(e.kind())] << " " << e.color() << ":";
        for (const auto& pt : e.points())
            got << " " << pt[0] << " " << pt[1] << " " << pt[2];
        EXPECT_EQ(got.str(), drawn[i - 1].second) << drawn[i - 1].first;
    }
    EXPECT_FLOAT_EQ(static_cast<float>(sent.Item(12).size()), 0.008f) << "bar radius";

    // Fits, scale and clearing leave the drawing alone; the window has no edges.
    c.MargenSinPic(1, 0, 1, 0);
    c.MaxMinMargenNoPic(p, 2);
    c.escala(1.2f);
    c.Borra();
    EXPECT_THROW(c.MaxY(), ProgrammingError);
    EXPECT_THROW(c.PoneQBColor(16), ProgrammingError);
    EXPECT_THROW(c.DibuGener(3, p), ProgrammingError) << "NP beyond the rows";
    EXPECT_THROW(c.DibuUnePtos3D(p, q, vec({1}), vec({1, 2})), ProgrammingError);
    ASSERT_EQ(sent.Count(), std::ssize(drawn)) << "nothing more drawn";

    c.PoneTexto("uno\r\ndos", "Viga");
    c.PoneTexto("a\r\nb\r\n", "");
    c.PoneText(1, 2, 3, "upright", 0.1f);
    c.PoneText(1, 2, 3, "flat", std::nullopt, true, true);
    c.PoneText(1, 2, 3, "twice", 0.2f, false, true);
    const CadPoint flat{0, 0, 1}, upright{0, -std::sin(1.57), std::cos(1.57)};
    const std::tuple<std::string, CadPoint, double, CadPoint> texts[] = {
        // at, height, normal
        {"Viga", {0, -0.06, 0}, 0.05, flat}, {"uno", {0, -0.12, 0}, 0.05, flat},
        {"", {0, -0.06, 0}, 0.05, flat},     {"a", {0, -0.12, 0}, 0.05, flat},
        {"b", {0, -0.18, 0}, 0.05, flat},    {"upright", {1, 2, 3}, 0.1f, upright},
        {"flat", {1, 2, 3}, 0.05, flat},     {"twice", {1, 2, 3}, 0.2f, upright},
        {"twice", {1, 2, 3}, 0.2f, flat},
    };
    ASSERT_EQ(sent.Count(), std::ssize(drawn) + std::ssize(texts));
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        const auto& e = sent.Item(static_cast<std::int32_t>(std::size(drawn) + i + 1));
        const auto& [text, at, height, normal] = texts[i];
        EXPECT_EQ(e.text(), text) << i;
        EXPECT_THAT(e.points()[0], Pointwise(DoubleNear(1e-15), at)) << i << ": insertion";
        EXPECT_THAT(e.axes()[2], Pointwise(DoubleNear(1e-12), normal)) << i << ": normal";
        EXPECT_EQ(e.size(), height) << i;
    }

    CCuadro3D second;
    EXPECT_TRUE(second.Ini() && second.Sesion() == c.Sesion()) << "attached to the open session";
}

TEST(CadSession, AttachFindsTheLatestSessionStillOpen) {
    EXPECT_NE(dynamic_cast<CadDxfApplication*>(CadStart(kCadClassName).get()), nullptr)
        << "by default the DXF session serves the CAD class";
    {
        ScopedCadProvider scope(kCadClassName, dxfSession);
        auto a = CadStart(kCadClassName);
        ASSERT_NE(a, nullptr);
        a->ActiveDocument().ModelSpace().AddSphere({0, 0, 0}, 1);
        auto b = CadStart(kCadClassName);
        EXPECT_EQ(CadAttach(kCadClassName), b) << "the latest one";
        EXPECT_EQ(b->ActiveDocument().ModelSpace().Count(), 0) << "start opens a new drawing";
        b.reset();
        EXPECT_EQ(CadAttach(kCadClassName), a) << "a released session is closed";
        a.reset();
        EXPECT_EQ(CadAttach(kCadClassName), nullptr);
    }
    EXPECT_EQ(CadStart("Other.Application"), nullptr);
}

TEST(CadDxfModelSpace, RefusesFaultyCalls) {
    CadDxfModelSpace ms;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CadEntity& e = ms.Add3dpoly({0, 0, 0, 1, 1, 1});
    EXPECT_THROW(ms.Add3dpoly({0, 0, 0, 1, 1}), ProgrammingError) << "not triples";
    EXPECT_THROW(ms.Add3dpoly({0, 0, 0}), ProgrammingError) << "one point";
    EXPECT_THROW(ms.Add3dpoly({0, 0, 0, nan, 1, 1}), ProgrammingError);
    EXPECT_THROW(ms.AddText("a", {HUGE_VAL, 0, 0}, 1), ProgrammingError) << "infinite";
    EXPECT_THROW(ms.AddText("a", {0, 0, 0}, 0), ProgrammingError) << "zero height";
    EXPECT_THROW(ms.AddSphere({0, 0, 0}, nan), ProgrammingError);
    EXPECT_THROW(e.color(16), ProgrammingError);
    EXPECT_THROW(e.Rotate3d({0, 0, 0}, {1, 0, 0}, nan), ProgrammingError);
    EXPECT_THROW(e.Rotate3d({1, 1, 1}, {1, 1, 1}, 1), ProgrammingError) << "axis of no length";
    EXPECT_THROW(ms.Item(0), ProgrammingError);
    EXPECT_EQ(ms.Count(), 1) << "nothing refused was added";
}

// Every kind of entity, in every colour, read back by ezdxf. The last, a polyline of 70000
// points, takes more handles than the seed FFFF dxflib's own header announces; the file must
// still announce a seed above every handle in it.
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
    auto& ball = ms.AddSphere({0.1, 0.2, -0.3}, 0.008);
    ball.Rotate3d({0, 0, 0}, {0, 0, 1}, std::numbers::pi); // centre to (-0.1, -0.2, -0.3)
    ball.color(12);
    std::vector<double> many;
    for (int i = 0; i < 70000; ++i)
        many.insert(many.end(), {double(i), 0, 0});
    ms.Add3dpoly(many);
    const std::string path = dir.file("all-kinds.dxf");
    std::string error;
    ASSERT_TRUE(app.ActiveDocument().SaveAs(path, error)) << error;

    std::ifstream in(path);
    unsigned long seed = 0, highest = 0;
    for (std::string code, value, last; std::getline(in, code) && std::getline(in, value);
         last = value) {
        const int gc = std::stoi(code);
        if (gc == 5 && last == "$HANDSEED")
            seed = std::stoul(value, nullptr, 16);
        else if (gc == 5 || gc == 105)
            highest = std::max(highest, std::stoul(value, nullptr, 16));
    }
    EXPECT_GT(highest, 0xFFFFul);
    EXPECT_GT(seed, highest);

    const auto r = tresol::testing::readDxf(path);
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    ASSERT_TRUE(r.failure.empty()) << r.failure;
    EXPECT_EQ(r.auditErrors, 0);
    ASSERT_EQ(r.entities.size(), 20u);
    for (std::size_t c = 0; c < 16; ++c) {
        const auto& e = r.entities[c];
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X%02X%02X", kQBPalette[c].r, kQBPalette[c].g,
                      kQBPalette[c].b);
        EXPECT_EQ(e.kind + " " + e.at("rgb"), "POLYLINE3D " + std::string(c ? hex : "-")) << c;
        expectNear(e.numbers("pts"), {1.0 * c, 0, 2, 3, -1, 4.5}, 1e-12, std::to_string(c));
    }
    EXPECT_EQ(r.entities[0].at("aci"), "7") << "black is the foreground colour";
    const auto& plane = r.entities[16];
    EXPECT_EQ(plane.kind + " " + plane.at("rgb"), "LWPOLYLINE 0000FF");
    expectNear(plane.numbers("pts"), {0, 0, 0.5, 1, 0, 0.5, 1, 2, 0.5}, 1e-12);

    const auto& t = r.entities[17];
    EXPECT_EQ(t.kind + " " + t.at("rgb"), "TEXT 800000");
    EXPECT_EQ(t.at("text"), "4 fi 16 sección \\U+2205") << "Latin-1 as is, the rest escaped";
    EXPECT_NEAR(t.number("height"), 0.05, 1e-12);
    expectNear(t.numbers("ins"), {0.25, 0, -0.06}, 1e-12);
    expectNear(t.numbers("dir"), {1, 0, 0}, 1e-9);
    expectNear(t.numbers("normal"), {0, -std::sin(1.57), std::cos(1.57)}, 1e-9, "upright");

    const auto& s = r.entities[18];
    EXPECT_EQ(s.kind + " " + s.at("rgb") + " closed " + s.at("closed"), "SPHERE FF0000 closed 1");
    expectNear(s.numbers("centre"), {-0.1, -0.2, -0.3}, 1e-12);
    EXPECT_NEAR(s.number("radius"), 0.008, 1e-12);
    EXPECT_LT(s.number("spread"), 1e-12) << "every vertex on the sphere";
    const double ball3 = 4.0 / 3.0 * std::numbers::pi * std::pow(0.008, 3);
    EXPECT_GT(s.number("volume"), 0.9 * ball3) << "faces turned outwards, close to the ball";
    EXPECT_LT(s.number("volume"), ball3);
    EXPECT_EQ(r.entities[19].kind + " " + r.entities[19].at("n"), "POLYLINE3D 70000");
}

TEST(DxfExport, FailuresLeaveNoFile) {
    DxfDir dir;
    std::string error;
    EXPECT_FALSE(ExportDxf(dir.file("missing/b.dxf"), nullptr, error));
    EXPECT_EQ(error, "No se ha podido escribir el archivo " + dir.file("missing/b.dxf"));
    const auto faulty = [](ICuadro& c) { c.MinX(); }; // a CAD plotter has no window
    EXPECT_THROW(ExportDxf(dir.file("c.dxf"), faulty, error), ProgrammingError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.dxf")));
    ScopedCadProvider none(kCadClassName, nullptr);
    RecordingSink rec;
    EXPECT_FALSE(ExportDxf(dir.file("a.dxf"), nullptr, error));
    EXPECT_EQ(error, "No se ha creado sesion de CAD");
    EXPECT_TRUE(rec.entries().empty()) << "the caller reports the error";
}

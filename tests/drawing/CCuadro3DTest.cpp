#include "drawing/CCuadro3D.h"
#include "drawing/CadDxf.h"
#include "drawing/CadSession.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>

using namespace tresol;
using platform::MsgIcon;
using platform::RecordingSink;

namespace {

// A plotter connected to a fresh in-memory drawing, which keeps everything it was sent.
struct Connected {
    ScopedCadProvider scope{kCadClassName, [] { return std::make_shared<CadDxfApplication>(); }};
    CCuadro3D plotter;

    Connected() { EXPECT_TRUE(plotter.Ini()); }
    const CadDxfModelSpace& sent() const {
        return static_cast<CadDxfDocument&>(plotter.Sesion()->ActiveDocument()).Entities();
    }
    std::vector<double> flat(std::int32_t i) const {
        std::vector<double> out;
        for (const auto& p : sent().Item(i).points())
            out.insert(out.end(), p.begin(), p.end());
        return out;
    }
};

PointArray rows(std::initializer_list<std::array<float, 2>> r) {
    PointArray p = makePointArray(static_cast<std::int32_t>(r.size()));
    std::int32_t i = 0;
    for (const auto& row : r) {
        ++i;
        p(i, 1) = row[0];
        p(i, 2) = row[1];
    }
    return p;
}

Array1<float> vec(std::initializer_list<float> v) {
    Array1<float> a(1, static_cast<std::int32_t>(v.size()));
    std::int32_t i = 0;
    for (float x : v)
        a(++i) = x;
    return a;
}

const char* kNoCad =
    "Error al iniciar AutoCad. Esta opción solo es válida si tiene instalado AutoCad 14.";

} // namespace

TEST(CCuadro3D, IniWithoutAnySessionReportsAndRefusesToDraw) {
    const std::vector<std::pair<const char*, CadProvider>> unavailable = {
        {"no provider", nullptr},
        {"provider gives nothing", [] { return std::shared_ptr<CadApplication>(); }},
        {"provider fails",
         []() -> std::shared_ptr<CadApplication> { throw std::runtime_error("cannot start"); }},
    };
    for (const auto& [id, provider] : unavailable) {
        ScopedCadProvider scope(kCadClassName, provider);
        RecordingSink rec;
        CCuadro3D c;
        EXPECT_FALSE(c.Ini()) << id;
        EXPECT_FALSE(c.IniciadoCAD()) << id;
        ASSERT_EQ(rec.entries().size(), 2u) << id;
        EXPECT_EQ(rec.entries()[0].text, kNoCad) << id;
        EXPECT_EQ(rec.entries()[0].icon, MsgIcon::Critical) << id;
        EXPECT_EQ(rec.entries()[1].text, "No se ha creado sesion de CAD") << id;
        EXPECT_EQ(rec.entries()[1].icon, MsgIcon::Information) << id;
    }

    ScopedCadProvider scope(kCadClassName, [] { return std::make_shared<CadDxfApplication>(); });
    CCuadro3D c; // never connected
    RecordingSink rec;
    const Array1<float> v = vec({1, 2});
    c.DibuGener3(2, v, v, v);
    c.DibuGener3(2, v, v, v, std::int16_t{3});
    ASSERT_EQ(rec.entries().size(), 2u);
    EXPECT_EQ(rec.texts()[0], "Esta funcion solo es compatible con AutoCad 14.");
    EXPECT_EQ(rec.entries()[0].icon, MsgIcon::Information);
    c.PoneText(0, 0, 0, "nada");
    EXPECT_EQ(rec.entries().size(), 2u);

    const PointArray p = rows({{1, 2}, {3, 4}});
    const std::vector<std::pair<const char*, std::function<void()>>> refused = {
        {"bolita", [&] { c.bolita(0, 0, 1); }},
        {"DibuGener2", [&] { c.DibuGener2(2, v, v); }},
        {"DibuGener", [&] { c.DibuGener(2, p); }},
        {"DibuGener3D", [&] { c.DibuGener3D(2, p, v, true); }},
        {"DibuUnePtos2D", [&] { c.DibuUnePtos2D(p, p); }},
        {"DibuUnePtos3D", [&] { c.DibuUnePtos3D(p, p, v, v); }},
        {"DibujaXY", [&] { c.DibujaXY(v, v); }},
        {"PoneTexto", [&] { c.PoneTexto("a\r\n", "b"); }},
    };
    for (const auto& [id, call] : refused)
        EXPECT_THROW(call(), ProgrammingError) << id;
}

TEST(CCuadro3D, IniAttachesToTheOpenSessionOrStartsOne) {
    int started = 0;
    ScopedCadProvider scope(kCadClassName, [&] {
        ++started;
        return std::make_shared<CadDxfApplication>();
    });
    CCuadro3D first;
    ASSERT_TRUE(first.Ini());
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(first.IniciadoCAD());
    EXPECT_TRUE(first.Sesion()->Visible());

    CCuadro3D second;
    ASSERT_TRUE(second.Ini());
    EXPECT_EQ(started, 1) << "the session already open is attached";
    EXPECT_EQ(second.Sesion(), first.Sesion());
}

TEST(CCuadro3D, PointsGoOutInTheFrontViewOrAlongTheMember) {
    Connected k;
    CCuadro3D& c = k.plotter;
    const PointArray p = rows({{1, 2}, {3, 4}});
    const PointArray q = rows({{5, 6}, {7, 8}});

    EXPECT_FALSE(c.DibuGener(2, p, nullptr, false));
    c.PoneQBColor(5);
    c.DibuGener3D(2, p, vec({10, 10}), true);
    c.DibuGener2(2, vec({1, 3}), vec({2, 4}), nullptr, std::int16_t{9});
    c.DibuGener3(2, vec({1, 2}), vec({3, 4}), vec({5, 6}));
    c.DibuGener3(2, vec({1, 2}), vec({3, 4}), vec({5, 6}), std::int16_t{2});
    EXPECT_FALSE(c.DibuUnePtos2D(p, q));
    c.DibuUnePtos3D(p, q, vec({10, 11}), vec({20, 21}));
    EXPECT_FALSE(c.bolita(1, 2, 0.008f));
    c.bolita(1, 2, 0.008f, 7.0f, std::int16_t{12});
    c.DibujaXY(vec({1, 2, 3}), vec({4, 5, 6}));

    using K = CadDxfEntity::Kind;
    struct Want {
        const char* id;
        K kind;
        std::vector<double> points;
        std::int16_t colour;
    };
    const std::vector<Want> want = {
        {"DibuGener", K::Polyline3d, {1, 0, 2, 3, 0, 4}, 0},
        {"DibuGener3D", K::Polyline3d, {10, 1, 2, 10, 3, 4}, 5},
        {"DibuGener2", K::Polyline3d, {1, 0, 2, 3, 0, 4}, 9},
        {"DibuGener3 without colour", K::Polyline3d, {1, 3, 5, 2, 4, 6}, 5},
        {"DibuGener3 with colour", K::Polyline3d, {1, 3, 5, 2, 4, 6}, 2},
        {"DibuUnePtos2D row 1", K::Polyline3d, {1, 0, 2, 5, 0, 6}, 5},
        {"DibuUnePtos2D row 2", K::Polyline3d, {3, 0, 4, 7, 0, 8}, 5},
        {"DibuUnePtos3D row 1", K::Polyline3d, {10, 1, 2, 20, 5, 6}, 5},
        {"DibuUnePtos3D row 2", K::Polyline3d, {11, 3, 4, 21, 7, 8}, 5},
        {"bolita", K::Sphere, {1, 0, 2}, 0},
        {"bolita with depth and colour", K::Sphere, {1, 7, 2}, 12},
        {"DibujaXY", K::Polyline, {1, 4, 0, 2, 5, 0, 3, 6, 0}, 0},
    };
    ASSERT_EQ(k.sent().Count(), static_cast<std::int32_t>(want.size()));
    for (std::int32_t i = 1; i <= k.sent().Count(); ++i) {
        const Want& w = want[static_cast<std::size_t>(i - 1)];
        EXPECT_EQ(k.sent().Item(i).kind(), w.kind) << w.id;
        EXPECT_EQ(k.flat(i), w.points) << w.id;
        EXPECT_EQ(k.sent().Item(i).color(), w.colour) << w.id;
    }
    EXPECT_FLOAT_EQ(static_cast<float>(k.sent().Item(10).size()), 0.008f) << "bar radius";

    // Fits, scale and clearing leave the drawing alone; the window has no edges.
    c.MargenSinPic(1, 0, 1, 0);
    c.MaxMinMargenNoPic(p, 2);
    c.escala(1.2f);
    c.Borra();
    EXPECT_THROW(c.MinX(), ProgrammingError);
    EXPECT_THROW(c.MaxX(), ProgrammingError);
    EXPECT_THROW(c.MinY(), ProgrammingError);
    EXPECT_THROW(c.MaxY(), ProgrammingError);
    EXPECT_THROW(c.PoneQBColor(16), ProgrammingError);
    EXPECT_THROW(c.DibuGener(3, p), ProgrammingError) << "NP beyond the rows";
    EXPECT_THROW(c.DibuUnePtos3D(p, q, vec({1}), vec({1, 2})), ProgrammingError);
    EXPECT_EQ(k.sent().Count(), static_cast<std::int32_t>(want.size())) << "nothing more drawn";
}

TEST(CCuadro3D, TextLines) {
    Connected k;
    k.plotter.PoneTexto("uno\r\ndos", "Viga");
    k.plotter.PoneTexto("a\r\nb\r\n", "");
    k.plotter.PoneText(1, 2, 3, "upright", 0.1f);
    k.plotter.PoneText(1, 2, 3, "flat", std::nullopt, true, true);
    k.plotter.PoneText(1, 2, 3, "twice", 0.2f, false, true);

    const CadPoint flat{0, 0, 1}, upright{0, -std::sin(1.57), std::cos(1.57)};
    struct Want {
        std::string text;
        CadPoint at;
        double height;
        CadPoint normal;
    };
    const std::vector<Want> want = {
        {"Viga", {0, -0.06, 0}, 0.05, flat}, {"uno", {0, -0.12, 0}, 0.05, flat},
        {"", {0, -0.06, 0}, 0.05, flat},     {"a", {0, -0.12, 0}, 0.05, flat},
        {"b", {0, -0.18, 0}, 0.05, flat},    {"upright", {1, 2, 3}, 0.1f, upright},
        {"flat", {1, 2, 3}, 0.05, flat},     {"twice", {1, 2, 3}, 0.2f, upright},
        {"twice", {1, 2, 3}, 0.2f, flat},
    };
    ASSERT_EQ(k.sent().Count(), static_cast<std::int32_t>(want.size()));
    for (std::int32_t i = 1; i <= k.sent().Count(); ++i) {
        const auto& e = k.sent().Item(i);
        const Want& w = want[static_cast<std::size_t>(i - 1)];
        EXPECT_EQ(e.text(), w.text) << i;
        for (std::size_t j = 0; j < 3; ++j) {
            EXPECT_NEAR(e.points()[0][j], w.at[j], 1e-15) << i << " insertion " << j;
            EXPECT_NEAR(e.axes()[2][j], w.normal[j], 1e-12) << i << " normal " << j;
        }
        EXPECT_EQ(e.size(), w.height) << i;
    }
}

TEST(CCuadro3D, IniciadoIsKeptOrPassedOn) {
    CCuadro3D own, other;
    EXPECT_FALSE(own.Iniciado());
    own.Iniciado(true);
    EXPECT_TRUE(own.Iniciado());
    own.SuperficieIniciado(&other);
    EXPECT_FALSE(own.Iniciado()) << "read from the other surface";
    own.Iniciado(true);
    EXPECT_TRUE(other.Iniciado());
}

#include "drawing/CCuadro3D.h"
#include "drawing/CadSession.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace tresol;
using platform::MsgIcon;
using platform::RecordingSink;

namespace {

// A CAD session that records every call the plotter makes.
struct Sent : CadEntity {
    std::string kind; // "3dpoly", "polyline", "text", "sphere"
    std::vector<double> points;
    std::string text;
    double size = 0; // height or radius
    std::vector<std::int16_t> colours;
    struct Turn {
        CadPoint p1, p2;
        double angle;
    };
    std::vector<Turn> turns;

    std::int16_t color() const override { return colours.empty() ? 0 : colours.back(); }
    void color(std::int16_t c) override { colours.push_back(c); }
    void Rotate3d(const CadPoint& p1, const CadPoint& p2, double angle) override {
        turns.push_back({p1, p2, angle});
    }
};

struct RecordingModel : CadModelSpace {
    std::vector<std::unique_ptr<Sent>> sent;

    Sent& add(std::string kind, std::vector<double> pts) {
        sent.push_back(std::make_unique<Sent>());
        sent.back()->kind = std::move(kind);
        sent.back()->points = std::move(pts);
        return *sent.back();
    }
    CadEntity& Add3dpoly(const std::vector<double>& p) override { return add("3dpoly", p); }
    CadEntity& AddPolyline(const std::vector<double>& p) override { return add("polyline", p); }
    CadEntity& AddText(const std::string& t, const CadPoint& at, double h) override {
        Sent& s = add("text", {at[0], at[1], at[2]});
        s.text = t;
        s.size = h;
        return s;
    }
    CadEntity& AddSphere(const CadPoint& c, double r) override {
        Sent& s = add("sphere", {c[0], c[1], c[2]});
        s.size = r;
        return s;
    }
    std::int32_t Count() const override { return static_cast<std::int32_t>(sent.size()); }
};

struct RecordingCad : CadApplication, CadDocument {
    RecordingModel model;
    bool visible = false;
    CadDocument& ActiveDocument() override { return *this; }
    bool Visible() const override { return visible; }
    void Visible(bool v) override { visible = v; }
    CadModelSpace& ModelSpace() override { return model; }
    bool SaveAs(const std::string&, std::string&) override { return true; }
};

// A plotter connected to a fresh recording session.
struct Connected {
    ScopedCadProvider scope{kCadClassName, [] { return std::make_shared<RecordingCad>(); }};
    CCuadro3D plotter;
    RecordingModel* model = nullptr;

    Connected() {
        EXPECT_TRUE(plotter.Ini());
        model = &static_cast<RecordingCad&>(*plotter.Sesion()).model;
    }
    const std::vector<std::unique_ptr<Sent>>& sent() const { return model->sent; }
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

    ScopedCadProvider scope(kCadClassName, [] { return std::make_shared<RecordingCad>(); });
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
        return std::make_shared<RecordingCad>();
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

    struct Want {
        const char* id;
        const char* kind;
        std::vector<double> points;
        std::vector<std::int16_t> colours;
    };
    const std::vector<Want> want = {
        {"DibuGener", "3dpoly", {1, 0, 2, 3, 0, 4}, {}},
        {"DibuGener3D", "3dpoly", {10, 1, 2, 10, 3, 4}, {5}},
        {"DibuGener2", "3dpoly", {1, 0, 2, 3, 0, 4}, {9}},
        {"DibuGener3 without colour", "3dpoly", {1, 3, 5, 2, 4, 6}, {5}},
        {"DibuGener3 with colour", "3dpoly", {1, 3, 5, 2, 4, 6}, {2}},
        {"DibuUnePtos2D row 1", "3dpoly", {1, 0, 2, 5, 0, 6}, {5}},
        {"DibuUnePtos2D row 2", "3dpoly", {3, 0, 4, 7, 0, 8}, {5}},
        {"DibuUnePtos3D row 1", "3dpoly", {10, 1, 2, 20, 5, 6}, {5}},
        {"DibuUnePtos3D row 2", "3dpoly", {11, 3, 4, 21, 7, 8}, {5}},
        {"bolita", "sphere", {1, 0, 2}, {}},
        {"bolita with depth and colour", "sphere", {1, 7, 2}, {12}},
        {"DibujaXY", "polyline", {1, 4, 0, 2, 5, 0, 3, 6, 0}, {}},
    };
    ASSERT_EQ(k.sent().size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        const Sent& s = *k.sent()[i];
        EXPECT_EQ(s.kind, want[i].kind) << want[i].id;
        EXPECT_EQ(s.points, want[i].points) << want[i].id;
        EXPECT_EQ(s.colours, want[i].colours) << want[i].id;
    }
    EXPECT_FLOAT_EQ(static_cast<float>(k.sent()[9]->size), 0.008f) << "sphere of the radius";

    // Fits, scale and clearing leave the drawing alone; the window has no edges.
    c.MargenSinPic(1, 0, 1, 0);
    c.MaxMinMargenNoPic(p, 2);
    c.escala(1.2f);
    c.Borra();
    EXPECT_EQ(k.sent().size(), want.size());
    EXPECT_THROW(c.MinX(), ProgrammingError);
    EXPECT_THROW(c.MaxX(), ProgrammingError);
    EXPECT_THROW(c.MinY(), ProgrammingError);
    EXPECT_THROW(c.MaxY(), ProgrammingError);
    EXPECT_THROW(c.PoneQBColor(16), ProgrammingError);
    EXPECT_THROW(c.DibuGener(3, p), ProgrammingError) << "NP beyond the rows";
    EXPECT_THROW(c.DibuUnePtos3D(p, q, vec({1}), vec({1, 2})), ProgrammingError);
    EXPECT_EQ(k.sent().size(), want.size()) << "refused calls draw nothing";
}

TEST(CCuadro3D, TextLines) {
    Connected k;
    k.plotter.PoneTexto("uno\r\ndos", "Viga");
    k.plotter.PoneTexto("a\r\nb\r\n", "");
    const std::vector<std::pair<std::string, double>> want = {
        {"Viga", -0.06}, {"uno", -0.12}, {"", -0.06}, {"a", -0.12}, {"b", -0.18}};
    ASSERT_EQ(k.sent().size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        const Sent& s = *k.sent()[i];
        EXPECT_EQ(s.text, want[i].first) << i;
        EXPECT_EQ(s.points[0], 0) << i;
        EXPECT_NEAR(s.points[1], want[i].second, 1e-15) << i;
        EXPECT_EQ(s.points[2], 0) << i;
        EXPECT_EQ(s.size, 0.05) << i;
        EXPECT_TRUE(s.turns.empty()) << i;
    }

    k.model->sent.clear();
    k.plotter.PoneText(1, 2, 3, "upright", 0.1f);
    k.plotter.PoneText(1, 2, 3, "flat", std::nullopt, true, true);
    k.plotter.PoneText(1, 2, 3, "twice", 0.2f, false, true);
    ASSERT_EQ(k.sent().size(), 4u);
    const Sent& up = *k.sent()[0];
    EXPECT_EQ(up.points, (std::vector<double>{1, 2, 3}));
    EXPECT_FLOAT_EQ(static_cast<float>(up.size), 0.1f);
    ASSERT_EQ(up.turns.size(), 1u);
    EXPECT_EQ(up.turns[0].p1, (CadPoint{1, 2, 3}));
    EXPECT_EQ(up.turns[0].p2, (CadPoint{11, 2, 3}));
    EXPECT_EQ(up.turns[0].angle, 1.57);
    EXPECT_TRUE(k.sent()[1]->turns.empty()) << "enxy keeps the text in the XY plane";
    EXPECT_EQ(k.sent()[1]->size, 0.05) << "default height";
    ASSERT_EQ(k.sent()[2]->turns.size(), 1u);
    EXPECT_EQ(k.sent()[2]->turns[0].angle, 1.57);
    EXPECT_EQ(k.sent()[3]->text, "twice");
    ASSERT_EQ(k.sent()[3]->turns.size(), 1u);
    EXPECT_EQ(k.sent()[3]->turns[0].angle, 0) << "the second copy stays flat";
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

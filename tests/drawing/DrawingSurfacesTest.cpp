#include "drawing/CCuaMaxMin.h"
#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

using namespace tresol;
using ::testing::FloatEq;
using ::testing::Pointwise;

// Point arrays hold (y, x) rows: column 1 is y, column 2 is x.

namespace {

// A picture box twice as wide as high, the plotter fitted to (4, 0, 4, 0): window (-2, 4)-(6, 0).
struct Fixture {
    explicit Fixture(bool printer = false) : box(200, 100, printer) { p.Margen(box, 4, 0, 4, 0); }
    Canvas box;
    CCuadroDibujo p;
};

// The stored window (left, top, right, bottom), through both sets of accessors.
void expectWindow(const CCuadroDibujo& p, std::array<float, 4> w, const std::string& id) {
    EXPECT_THAT((std::array{p.MinX(), p.MaxY(), p.MaxX(), p.MinY(), p.xIzquierda(), p.yArriba(),
                            p.xDerecha(), p.yAbajo()}),
                Pointwise(FloatEq(), {w[0], w[1], w[2], w[3], w[0], w[1], w[2], w[3]}))
        << id;
}

// The ends of the segments drawn, x1, y1, x2, y2 of each in turn.
void expectEnds(const Canvas& box, const std::vector<float>& want, const std::string& id) {
    std::vector<float> v;
    for (const auto& s : box.segments())
        v.insert(v.end(), {s.x1, s.y1, s.x2, s.y2});
    EXPECT_THAT(v, Pointwise(FloatEq(), want)) << id;
}

// The count and the extents (xmax, xmin, ymax, ymin, zmax, zmin) the collector reports.
std::pair<std::int32_t, std::array<float, 6>> extents(const CCuaMaxMin& c) {
    std::array<float, 6> e{};
    const auto n = c.GetMaxMinXYZ(e[0], e[1], e[2], e[3], e[4], e[5]);
    return {n, e};
}

} // namespace

TEST(Canvas, ScaleClsPrintAndSize) {
    for (float bad : {0.f, -1.f, std::nanf(""), float{INFINITY}}) {
        EXPECT_THROW(Canvas(bad, 1), ProgrammingError) << bad;
        EXPECT_THROW(Canvas(1, bad), ProgrammingError) << bad;
    }
    Canvas box(200, 100);
    box.setSize(300, 150);
    EXPECT_FLOAT_EQ(box.ScaleWidth(), 300) << "pixel scale before any user scale";
    EXPECT_FALSE(box.Scale(1, 1, 1, 5)) << "no width";
    EXPECT_FALSE(box.Scale(0, std::nanf(""), 1, 0));
    EXPECT_FALSE(box.Scale(-3e38f, 0, 3e38f, 1)) << "width overflows";
    ASSERT_TRUE(box.Scale(0, 10, 20, 0));
    box.setSize(600, 150);
    EXPECT_FLOAT_EQ(box.ScaleHeight(), -10) << "a user scale survives a resize";

    box.setTextMetrics(12, 15);
    box.CurrentX(5);
    box.CurrentY(8);
    box.Print("a\nb"); // at the pen, which goes back to the left edge two lines down
    ASSERT_EQ(box.texts().size(), 1u);
    EXPECT_THAT((std::array{box.texts()[0].x, box.CurrentX(), box.CurrentY()}),
                Pointwise(FloatEq(), {5.f, 0.f, 8 - 2 * 15 * 10.0f / 150}));

    box.Line(3, 4);
    box.Circle(1, 1, 2);
    EXPECT_FLOAT_EQ(box.CurrentX(), 1);
    box.Cls();
    EXPECT_TRUE(box.items().empty() && box.CurrentX() == 0) << "emptied, the pen at the origin";
    EXPECT_THROW(box.DrawStyle(7), ProgrammingError);
    EXPECT_THROW(box.DrawWidth(0), ProgrammingError);
    EXPECT_THROW(box.FillStyle(2), ProgrammingError);

    int calls = 0; // one notification per repaint, however much is drawn
    box.setChangeCallback([&] { ++calls; });
    for (int i = 0; i < 100; ++i)
        box.Line(0, 0, 1, 1);
    EXPECT_EQ(calls, 1);
    box.acknowledgeChanges();
    box.Cls();
    EXPECT_EQ(calls, 2);
}

// The height or the width governs, the window keeps the target's shape, the fit clears the
// picture (not the printer's).
TEST(PlotterFit, MargenOnAWideTarget) {
    const std::tuple<const char*, float, float, float, float, float, std::array<float, 4>> cases[] =
        {
            // id, margin factor, xmax, xmin, ymax, ymin; the window (left, top, right, bottom)
            {"square data, height governs", 1.0f, 4, 0, 4, 0, {-2, 4, 6, 0}},
            {"flat data, width governs", 1.0f, 10, 0, 1, 0, {0, 3, 10, -2}},
            {"margin 1.5", 1.5f, 4, 0, 4, 0, {-4, 5, 8, -1}},
            {"tall narrow section", 1.2f, 0.1f, -0.1f, 1, -1, {-2.4f, 1.2f, 2.4f, -1.2f}},
        };
    for (const auto& [id, factor, xmax, xmin, ymax, ymin, window] : cases) {
        Canvas box(200, 100);
        box.Line(1, 1, 2, 2);
        CCuadroDibujo p;
        p.escala(factor);
        p.Margen(box, xmax, xmin, ymax, ymin);
        expectWindow(p, window, id);
        EXPECT_LT(box.ScaleHeight(), 0) << id << ": y grows upwards";
        EXPECT_TRUE(box.items().empty()) << id << ": a fit clears the picture";
    }
    Fixture paper(true);
    paper.box.Line(0, 0, 1, 1);
    paper.p.MaxMinMargenNoPic(makePointArray({{0, 0}, {1, 5}, {0, 10}}), 3);
    expectWindow(paper.p, {0, 3, 10, -2}, "extents of the rows");
    EXPECT_EQ(paper.box.items().size(), 1u) << "the printer is not cleared by a fit";
}

// Coinciding points give a window without extent: Margen says so, MaxMinMargen does not, and
// neither changes the stored window.
TEST(PlotterFit, RefusedWindowDentroFrameTitleAndMargenInvY) {
    Fixture f;
    f.box.Line(0, 0, 1, 1);
    platform::RecordingSink rec;
    f.p.Margen(f.box, 3, 3, 2, 2);
    ASSERT_EQ(rec.texts(), std::vector<std::string>{"Error en el dibujo."});
    EXPECT_EQ(rec.entries()[0].icon, platform::MsgIcon::Critical);
    expectWindow(f.p, {-2, 4, 6, 0}, "Margen");
    EXPECT_TRUE(f.box.items().empty()) << "the picture is cleared all the same";
    f.p.MaxMinMargen(f.box, makePointArray({{2, 3}, {2, 3}}), 2);
    EXPECT_EQ(rec.entries().size(), 1u) << "MaxMinMargen is silent";
    expectWindow(f.p, {-2, 4, 6, 0}, "MaxMinMargen");
    f.p.Margen(f.box, std::numeric_limits<float>::infinity(), 0, 1, 0);
    EXPECT_EQ(rec.entries().size(), 2u) << "a non-finite window never reaches the painter";
    expectWindow(f.p, {-2, 4, 6, 0}, "infinite extent");

    EXPECT_TRUE(f.p.dentro(-2, 4) && f.p.dentro(6, 0)) << "corners";
    EXPECT_FALSE(f.p.dentro(6.01f, 2) || f.p.dentro(2, -0.01f)) << "just outside";

    // The frame runs round the stored window; the title sits just inside its top edge.
    f.p.DibujaMarco(f.box, Value{std::string("3")});
    expectEnds(f.box, {-2, 0, -2, 4, -2, 4, 6, 4, 6, 4, 6, 0, 6, 0, -2, 0}, "frame");
    f.p.titulo(f.box, "T");
    ASSERT_EQ(f.box.texts().size(), 1u);
    EXPECT_THAT((std::array{f.box.texts()[0].x, f.box.texts()[0].y}),
                Pointwise(FloatEq(), {-2 + 0.05f * 8, 4 - 4.0f / 50}));

    for (const char* id : {"ScaleTop 4: the vertical axis turns over", "ScaleTop 0: unchanged"}) {
        f.p.MargenInvY(f.box); // the stored window stays
        EXPECT_THAT((std::array{f.box.ScaleLeft(), f.box.ScaleTop(), f.box.ScaleWidth(),
                                f.box.ScaleHeight(), f.p.yArriba()}),
                    Pointwise(FloatEq(), {-2.f, 0.f, 8.f, 4.f, 4.f}))
            << id;
    }
}

TEST(PlotterSeries, FastAndFullPathsAndThePrinter) {
    const PointArray P = makePointArray({{1, 1}, {3, 2}, {1, 3}}); // (1, 1)-(2, 3)-(3, 1)
    Fixture f[4]; // full, fast, DibuGener with rapido false, a sub-range of the fast path
    EXPECT_TRUE(f[0].p.DibuGener(3, P));
    EXPECT_FALSE(f[1].p.DibuGenerRapido(3, P, 1));
    EXPECT_FALSE(f[2].p.DibuGener(3, P, nullptr, false));
    f[3].p.DibuGenerRapido(3, P, 2, 3);
    for (int i = 0; i < 3; ++i)
        expectEnds(f[i].box, {1, 1, 2, 3, 2, 3, 3, 1}, "path " + std::to_string(i));
    expectEnds(f[3].box, {2, 3, 3, 1}, "a sub-range starts with a move");

    // (1, 1)-(20, 1)-(30, 1)-(2, 2): the middle segment lies wholly right of the window.
    const PointArray out = makePointArray({{1, 1}, {1, 20}, {1, 30}, {2, 2}});
    Fixture screen, paper(true);
    screen.p.DibuGener(4, out);
    paper.p.DibuGener(4, out);
    EXPECT_EQ(screen.box.segments().size(), 3u);
    expectEnds(paper.box, {1, 1, 20, 1, 30, 1, 2, 2}, "the pen moved without drawing");
}

TEST(PlotterSeries, ActivoHighlightsOneFullPolylineAndFaultsAreRefused) {
    const PointArray P = makePointArray({{1, 1}, {2, 2}, {1, 3}, {2, 4}});
    const Canvas::Pen normal{qbColor(2), 0, 1};
    for (bool printer : {false, true}) {
        const Canvas::Pen lit =
            printer ? Canvas::Pen{qbColor(2), 5, 1} : Canvas::Pen{qbColor(12), 0, 1};
        Fixture f(printer);
        f.box.ForeColor(qbColor(2));
        f.p.activo(3, {true, false, true});
        f.p.DibuGener(4, P);
        f.p.DibuGener(4, P); // the flags served the first polyline only
        const auto s = f.box.segments();
        ASSERT_EQ(s.size(), 6u);
        for (std::size_t k = 0; k < 6; ++k)
            EXPECT_EQ(s[k].pen, k == 1 ? lit : normal) << "printer " << printer << ", " << k;
        EXPECT_EQ(f.box.pen(), normal);
    }
    Fixture f;
    f.p.activo(2, {true, false});
    EXPECT_THROW(f.p.DibuGener(4, P), ProgrammingError) << "fewer flags than segments";
    EXPECT_THROW(f.p.DibuGener(5, P), ProgrammingError);
    EXPECT_THROW(f.p.DibuGenerRapido(2, P), ProgrammingError) << "no first row";
    EXPECT_THROW(f.p.DibuGenerRapido(2, P, 1, 5), ProgrammingError);
    EXPECT_THROW(f.p.PoneQBColor(16), ProgrammingError);
    EXPECT_THROW(f.p.bolita(0, 0, 1, std::nullopt, std::int16_t{20}), ProgrammingError);
    EXPECT_THROW(f.p.MaxMinMargen(f.box, P, 5), ProgrammingError);
    // Rows 1…NP and columns 1…2 must exist: an array starting further on is refused before
    // anything is drawn or the pen moves, even where the rows drawn exist.
    f.box.CurrentX(7);
    EXPECT_THROW(f.p.DibuGenerRapido(3, Array2<float>(2, 4, 1, 2), 2, 3), ProgrammingError);
    EXPECT_THROW(f.p.DibuGenerRapido(2, Array2<float>(1, 3, 2, 3), 1), ProgrammingError);
    EXPECT_EQ(f.box.CurrentX(), 7);
    EXPECT_TRUE(f.box.items().empty()) << "nothing drawn by a refused call";
    EXPECT_THROW(CCuadroDibujo().DibuGener(2, P), ProgrammingError) << "no picture box";
}

// y = 0 2 1 3 0 at x = 1…5 gets crosses at (2, 2), (3, 1), (4, 3); the plateau 0 2 2 0 none.
TEST(PlotterSeries, PoneMaxMinMarksStrictExtremes) {
    for (const bool plateau : {false, true}) {
        Fixture f;
        f.box.ForeColor(qbColor(1));
        f.p.PoneMaxMin(true);
        const PointArray P = plateau ? makePointArray({{0, 1}, {2, 2}, {2, 3}, {0, 4}})
                                     : makePointArray({{0, 1}, {2, 2}, {1, 3}, {3, 4}, {0, 5}});
        f.p.DibuGener(P.count(), P);
        const auto s = f.box.segments();
        std::vector<float> centres; // of the first stroke of each cross, 0.1·|ScaleHeight| long
        for (auto k = static_cast<std::size_t>(P.count() - 1); k < s.size(); k += 2) {
            centres.insert(centres.end(), {(s[k].x1 + s[k].x2) / 2, (s[k].y1 + s[k].y2) / 2});
            EXPECT_NEAR(s[k].x1 - s[k].x2, 0.1f * 4, 1e-6) << plateau;
            EXPECT_EQ(s[k].pen.color, qbColor(12)) << "red, " << plateau;
        }
        EXPECT_EQ(s.size(), P.count() - 1 + centres.size()) << plateau << ": two strokes a cross";
        EXPECT_THAT(centres, Pointwise(FloatEq(), plateau ? std::vector<float>{}
                                                          : std::vector<float>{2, 2, 3, 1, 4, 3}));
        EXPECT_EQ(f.box.ForeColor(), qbColor(1)) << plateau << ": pen restored";
    }
}

TEST(PlotterSeries, SymbolsMaximizaAndDibujaPost) {
    Fixture f;
    f.box.ForeColor(qbColor(9));
    f.p.bolita(1, 2, 0.5f);
    EXPECT_EQ(f.box.ForeColor(), qbColor(9)) << "without color the pen is untouched";
    f.p.bolita(3, 2, 0.5f, 1.0f, std::int16_t{4});
    EXPECT_EQ(f.box.ForeColor(), qbColor(0)) << "after color the pen is black";
    EXPECT_EQ(f.box.FillStyle(), 1);
    const auto c = f.box.circles();
    ASSERT_EQ(c.size(), 4u);
    EXPECT_TRUE(!c[0].filled && c[1].filled) << "a ring and its filled centre dot";
    EXPECT_FLOAT_EQ(c[1].r, 0.05f);
    EXPECT_FLOAT_EQ(c[2].y, 1) << "z replaces ycor";
    EXPECT_EQ(c[2].pen.color, qbColor(4));

    // The hatched support leaves the pen solid and thin, whatever it was.
    f.box.Cls();
    f.p.GrosorLinea(3);
    f.p.DibuTrianEq(f.box, 4, 2, 1, true);
    EXPECT_EQ(f.box.segments().at(0).pen.style, 2) << "hatched";
    EXPECT_EQ(f.box.DrawStyle(), 0);
    EXPECT_EQ(f.box.DrawWidth(), 1);

    f.box.Cls();
    EXPECT_FALSE(f.p.LineaParal(0, 0, 4, 0, 1));
    expectEnds(f.box, {0, 1, 4, 1}, "the parallel at distance 1 to the left");

    Canvas square(200, 200);
    CCuadroDibujo p;
    p.Margen(square, 10, -10, 10, -10);
    PointArray P = makePointArray({{1, 0}, {2, 1}, {3, 2}, {4, 3}});
    EXPECT_FLOAT_EQ(p.MaximizaZ(4, P, 1), -2.5f);
    EXPECT_THAT((std::array{P(1, 1), P(2, 1), P(3, 1), P(4, 1)}),
                Pointwise(FloatEq(), {0.f, 2.5f, 5.f, 7.5f}));

    PointArray flat = makePointArray({{0, 2}, {1, 2}});
    // Equal x: offset xDerecha / 2 and factor 1, so x lands on 5 and the value 0 on 5 - 2.
    EXPECT_FLOAT_EQ(p.MaximizaX(2, flat, 1, true), 3);
    EXPECT_FLOAT_EQ(flat(1, 2), 5);

    // DibujaPost draws the series on a base with hatching and labels its extremes.
    platform::ScopedNumberLocale point('.');
    Canvas post(200, 100);
    p.IniciaAPelo(post);
    PointArray S = makePointArray({{0, 0}, {2, 1}, {-1, 2}, {0, 3}});
    p.DibujaPost(S, 4, std::nullopt, nullptr, false, true, true);
    const auto t = post.texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text + " " + t[1].text, "2.0 -1.0");
    EXPECT_FLOAT_EQ(t[0].x, 1);
    EXPECT_EQ(post.segments().size(), 3u + 1u + 4u) << "series, base, hatching";
    EXPECT_EQ(post.ForeColor(), (Rgb{0, 0, 0}));
    // Split after the second point: two pieces, nothing between the second and third points;
    // split after the last, one piece; outside 0…NP, refused.
    for (const auto& [salta, pieces] : {std::pair{2, 2u}, {4, 3u}}) {
        post.Cls();
        p.DibujaPost(S, 4, std::nullopt, nullptr, false, false, false, salta);
        EXPECT_EQ(post.segments().size(), pieces + 1u) << "series and base, salta " << salta;
    }
    for (const std::int32_t outside : {-1, 5}) {
        try {
            p.DibujaPost(S, 4, std::nullopt, nullptr, false, false, false, outside);
            ADD_FAILURE() << outside;
        } catch (const ProgrammingError& e) { // refused for the split, not further on
            EXPECT_NE(std::string(e.what()).find("salta"), std::string::npos) << e.what();
        }
    }
}

// On the window (-2, 4)-(6, 0), 8 across and 4 up: the axes from 0.15 of each span, 0.1 of it
// long, their names at their ends; a point mark of side 0.5 is a cross of it.
TEST(PlotterSeries, AxesAndPointMarks) {
    Fixture f;
    f.p.DibuEjes();
    expectEnds(f.box, {-0.8f, 0.6f, 0, 0.6f, -0.8f, 0.6f, -0.8f, 1}, "axes");
    std::vector<std::string> names;
    std::vector<float> at;
    for (const auto& t : f.box.texts())
        names.push_back(t.text), at.insert(at.end(), {t.x, t.y});
    EXPECT_EQ(names, (std::vector<std::string>{"z", "x", "y"}));
    EXPECT_THAT(at, Pointwise(FloatEq(), std::vector<float>{-0.8f, 0.6f, 0, 0.6f, -0.8f, 1}));
    f.box.Cls();
    f.p.Punto(1, 2, 0.5f);
    expectEnds(f.box, {1, 1.75f, 1, 2.25f, 0.75f, 2, 1.25f, 2}, "point");
}

TEST(Collector, RecordsWhatIsDrawnInThePlottersColumns) {
    CCuaMaxMin c;
    c.Ini(0);
    const PointArray P = makePointArray({{0, 0}, {0, 4}, {3, 4}});
    EXPECT_FALSE(c.DibuGener(3, P));
    EXPECT_EQ(extents(c), std::make_pair(3, std::array{4.f, 0.f, 3.f, 0.f, 0.f, 0.f}));
    c.Ini(0);
    c.bolita(1, 1, 0.5f);
    EXPECT_EQ(extents(c), std::make_pair(1, std::array{1.5f, 1.5f, 1.5f, 1.5f, 0.5f, 0.5f}));
    c.Ini(0);
    EXPECT_EQ(extents(c), std::make_pair(0, std::array<float, 6>{})) << "an empty store";

    Array1<float> along(1, 3);
    along(1) = -1, along(2) = 5, along(3) = 2;
    c.DibuGener3D(3, P, along, true);
    c.PoneText(-7, 1, 0, "t");
    const auto [n, e] = extents(c);
    EXPECT_EQ(n, 4);
    EXPECT_EQ((std::array{e[1], e[4], e[5]}), (std::array{-7.f, 5.f, -1.f})) << "xmin, zmax, zmin";

    CCuaMaxMin fresh;
    EXPECT_THROW(fresh.DibuGener(1, P), ProgrammingError) << "before Ini";
    fresh.Ini(1);
    EXPECT_THROW(fresh.DibuGener3D(1, P, along, false), ProgrammingError) << "view 1";
    Fixture f;
    EXPECT_THROW(c.Margen(f.box, 1, 0, 1, 0), ProgrammingError) << "no window to fit";
    EXPECT_THROW(c.DibuGener(4, P), ProgrammingError) << "NP beyond the rows";
}

#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace tresol;

namespace {

// A point array from (x, y) pairs: column 2 = x, column 1 = y.
PointArray xy(std::initializer_list<std::pair<float, float>> pts) {
    PointArray P = makePointArray(static_cast<std::int32_t>(pts.size()));
    std::int32_t i = 1;
    for (auto [x, y] : pts) {
        P(i, 1) = y;
        P(i, 2) = x;
        ++i;
    }
    return P;
}

struct Fixture {
    explicit Fixture(bool printer = false) : box(200, 100, printer) {
        p.Margen(box, 8, 0, 4, 0); // window (0, 4)-(8, 0)
    }
    Canvas box;
    CCuadroDibujo p;
};

constexpr Rgb kRed{255, 0, 0};

} // namespace

TEST(PlotterSeries, FastAndFullPaths) {
    const PointArray P = xy({{1, 1}, {2, 3}, {3, 1}});
    Fixture full, fast, rapidoFalse;
    EXPECT_TRUE(full.p.DibuGener(3, P));
    EXPECT_FALSE(fast.p.DibuGenerRapido(3, P, 1));
    EXPECT_FALSE(rapidoFalse.p.DibuGener(3, P, nullptr, false));
    for (const Fixture* f : {&full, &fast, &rapidoFalse}) {
        const auto s = f->box.segments();
        ASSERT_EQ(s.size(), 2u);
        EXPECT_FLOAT_EQ(s[0].x1, 1);
        EXPECT_FLOAT_EQ(s[0].y1, 1);
        EXPECT_FLOAT_EQ(s[0].x2, 2);
        EXPECT_FLOAT_EQ(s[0].y2, 3);
        EXPECT_FLOAT_EQ(s[1].x2, 3);
        EXPECT_FLOAT_EQ(s[1].y2, 1);
    }
    // A sub-range of the fast path starts with a move.
    Fixture part;
    part.p.DibuGenerRapido(3, P, 2, 3);
    ASSERT_EQ(part.box.segments().size(), 1u);
    EXPECT_FLOAT_EQ(part.box.segments()[0].x1, 2);
}

TEST(PlotterSeries, PrinterLeavesOutSegmentsOutsideTheWindow) {
    // The middle segment runs from (20, 1) to (30, 1), both outside (0…8).
    const PointArray P = xy({{1, 1}, {20, 1}, {30, 1}, {2, 2}});
    Fixture screen, paper(true);
    screen.p.DibuGener(4, P);
    paper.p.DibuGener(4, P);
    EXPECT_EQ(screen.box.segments().size(), 3u);
    const auto s = paper.box.segments();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_FLOAT_EQ(s[0].x2, 20);
    EXPECT_FLOAT_EQ(s[1].x1, 30) << "the pen moved without drawing";
    EXPECT_FLOAT_EQ(s[1].x2, 2);
}

TEST(PlotterSeries, ActivoHighlightsOneFullPolyline) {
    const PointArray P = xy({{1, 1}, {2, 2}, {3, 1}, {4, 2}});
    for (bool printer : {false, true}) {
        SCOPED_TRACE(printer ? "printer" : "screen");
        Fixture f(printer);
        f.box.ForeColor(qbColor(2));
        f.p.activo(3, {true, false, true});
        f.p.DibuGener(4, P);
        f.p.DibuGener(4, P);
        const auto s = f.box.segments();
        ASSERT_EQ(s.size(), 6u);
        const Canvas::Pen normal{qbColor(2), 0, 1};
        EXPECT_EQ(s[0].pen, normal);
        const Canvas::Pen highlight =
            printer ? Canvas::Pen{qbColor(2), 5, 1} : Canvas::Pen{kRed, 0, 1};
        EXPECT_EQ(s[1].pen, highlight);
        EXPECT_EQ(s[2].pen, normal);
        for (std::size_t k = 3; k < 6; ++k)
            EXPECT_EQ(s[k].pen, normal) << "segment " << k - 2 << " of the second polyline";
        EXPECT_EQ(f.box.pen(), normal);
    }
    Fixture f;
    f.p.activo(2, {true, false});
    EXPECT_THROW(f.p.DibuGener(4, P), ProgrammingError) << "fewer flags than segments";
}

TEST(PlotterSeries, PoneMaxMinMarksStrictExtremes) {
    struct Case {
        const char* id;
        std::vector<float> y;
        std::vector<std::pair<float, float>> crosses; // centres
    };
    const std::vector<Case> cases = {
        {"0 2 1 3 0", {0, 2, 1, 3, 0}, {{2, 2}, {3, 1}, {4, 3}}},
        {"plateau 0 2 2 0", {0, 2, 2, 0}, {}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.box.ForeColor(qbColor(1));
        f.p.PoneMaxMin(true);
        PointArray P = makePointArray(static_cast<std::int32_t>(c.y.size()));
        for (std::size_t i = 0; i < c.y.size(); ++i) {
            P(static_cast<std::int32_t>(i + 1), 1) = c.y[i];
            P(static_cast<std::int32_t>(i + 1), 2) = static_cast<float>(i + 1);
        }
        f.p.DibuGener(static_cast<std::int32_t>(c.y.size()), P);
        const auto s = f.box.segments();
        const std::size_t line = c.y.size() - 1;
        ASSERT_EQ(s.size(), line + 2 * c.crosses.size()) << c.id;
        const float half = 0.1f * 4 / 2; // cross of 0.1·|ScaleHeight|
        for (std::size_t k = 0; k < c.crosses.size(); ++k) {
            const auto& a = s[line + 2 * k];
            EXPECT_EQ(a.pen.color, kRed) << c.id;
            EXPECT_FLOAT_EQ((a.x1 + a.x2) / 2, c.crosses[k].first) << c.id;
            EXPECT_FLOAT_EQ((a.y1 + a.y2) / 2, c.crosses[k].second) << c.id;
            EXPECT_NEAR(a.x1 - a.x2, 2 * half, 1e-6) << c.id;
        }
        EXPECT_EQ(f.box.ForeColor(), qbColor(1)) << c.id << ": pen restored";
    }
}

TEST(PlotterSeries, BolitaPenAndSymbols) {
    Fixture f;
    f.box.ForeColor(qbColor(9));
    f.p.bolita(1, 2, 0.5f);
    EXPECT_EQ(f.box.ForeColor(), qbColor(9)) << "without color the pen is untouched";
    f.p.bolita(3, 2, 0.5f, 1.0f, std::int16_t{4});
    EXPECT_EQ(f.box.ForeColor(), qbColor(0)) << "after color the pen is black";
    EXPECT_EQ(f.box.FillStyle(), 1);
    const auto c = f.box.circles();
    ASSERT_EQ(c.size(), 4u);
    EXPECT_FALSE(c[0].filled);
    EXPECT_TRUE(c[1].filled);
    EXPECT_FLOAT_EQ(c[1].r, 0.05f);
    EXPECT_FLOAT_EQ(c[2].y, 1) << "z replaces ycor";
    EXPECT_EQ(c[2].pen.color, qbColor(4));

    // The hatched support leaves the pen solid and thin, whatever it was.
    f.box.Cls();
    f.p.GrosorLinea(3);
    f.p.DibuTrianEq(f.box, 4, 2, 1, true);
    ASSERT_EQ(f.box.segments().size(), 3u);
    EXPECT_EQ(f.box.segments()[0].pen.style, 2);
    EXPECT_EQ(f.box.DrawStyle(), 0);
    EXPECT_EQ(f.box.DrawWidth(), 1);

    // LineaParal: the parallel at distance 1 to the left of (0, 0)-(4, 0).
    f.box.Cls();
    EXPECT_FALSE(f.p.LineaParal(0, 0, 4, 0, 1));
    const auto l = f.box.segments();
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ((std::array{l[0].x1, l[0].y1, l[0].x2, l[0].y2}), (std::array{0.f, 1.f, 4.f, 1.f}));
}

TEST(PlotterSeries, MaximizaRescalesToTheWindow) {
    Canvas box(200, 200);
    CCuadroDibujo p;
    p.Margen(box, 10, -10, 10, -10);
    PointArray P = xy({{0, 1}, {1, 2}, {2, 3}, {3, 4}});
    EXPECT_FLOAT_EQ(p.MaximizaZ(4, P, 1), -2.5f);
    const float expected[] = {0, 2.5f, 5, 7.5f};
    for (std::int32_t i = 1; i <= 4; ++i)
        EXPECT_FLOAT_EQ(P(i, 1), expected[i - 1]) << "row " << i;

    PointArray flat = xy({{2, 0}, {2, 1}});
    // Equal x: offset xDerecha / 2 and factor 1, so x lands on 5 and the value 0 on 5 - 2.
    EXPECT_FLOAT_EQ(p.MaximizaX(2, flat, 1, true), 3);
    EXPECT_FLOAT_EQ(flat(1, 2), 5);
}

TEST(PlotterSeries, DibujaPostLabelsTheExtremes) {
    platform::ScopedNumberLocale point('.');
    Canvas box(200, 100);
    CCuadroDibujo p;
    p.IniciaAPelo(box);
    PointArray P = xy({{0, 0}, {1, 2}, {2, -1}, {3, 0}});
    p.DibujaPost(P, 4, std::nullopt, nullptr, false, true, true);
    EXPECT_FLOAT_EQ(p.factorMargen(), 1.2f);
    const auto t = box.texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, "2.0");
    EXPECT_EQ(t[1].text, "-1.0");
    EXPECT_FLOAT_EQ(t[0].x, 1);
    EXPECT_EQ(box.segments().size(), 3u + 1u + 4u) << "series, base, hatching";
    EXPECT_EQ(box.ForeColor(), (Rgb{0, 0, 0}));
}

TEST(PlotterSeries, ProgrammingErrors) {
    Fixture f;
    const PointArray P = xy({{1, 1}, {2, 2}});
    EXPECT_THROW(f.p.DibuGener(3, P), ProgrammingError);
    EXPECT_THROW(f.p.DibuGener(0, P), ProgrammingError);
    EXPECT_THROW(f.p.DibuGenerRapido(2, P), ProgrammingError) << "no first row";
    EXPECT_THROW(f.p.DibuGenerRapido(2, P, 1, 3), ProgrammingError);
    EXPECT_THROW(f.p.PoneQBColor(16), ProgrammingError);
    EXPECT_THROW(f.p.PoneQBColor(-1), ProgrammingError);
    EXPECT_THROW(f.p.bolita(0, 0, 1, std::nullopt, std::int16_t{20}), ProgrammingError);
    EXPECT_THROW(f.p.MaxMinMargen(f.box, P, 5), ProgrammingError);
    EXPECT_TRUE(f.box.items().empty()) << "nothing drawn by a refused call";
    CCuadroDibujo unbound;
    EXPECT_THROW(unbound.DibuGener(2, P), ProgrammingError);
}

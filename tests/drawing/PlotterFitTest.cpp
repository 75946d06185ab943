#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

using namespace tresol;

namespace {

struct Win {
    float left, top, right, bottom;
};

void expectWindow(const CCuadroDibujo& p, Win w, const char* id) {
    SCOPED_TRACE(id);
    EXPECT_FLOAT_EQ(p.MinX(), w.left);
    EXPECT_FLOAT_EQ(p.MaxY(), w.top);
    EXPECT_FLOAT_EQ(p.MaxX(), w.right);
    EXPECT_FLOAT_EQ(p.MinY(), w.bottom);
    EXPECT_FLOAT_EQ(p.xIzquierda(), w.left);
    EXPECT_FLOAT_EQ(p.yArriba(), w.top);
    EXPECT_FLOAT_EQ(p.xDerecha(), w.right);
    EXPECT_FLOAT_EQ(p.yAbajo(), w.bottom);
}

} // namespace

// A target twice as wide as high: the height or the width governs, the window keeps the
// target's shape, and the fit clears the picture.
TEST(PlotterFit, MargenOnAWideTarget) {
    struct Case {
        const char* id;
        float factor, xmax, xmin, ymax, ymin;
        Win expected;
    };
    const Case cases[] = {
        {"square data, height governs", 1.0f, 4, 0, 4, 0, {-2, 4, 6, 0}},
        {"flat data, width governs", 1.0f, 10, 0, 1, 0, {0, 3, 10, -2}},
        {"margin 1.5", 1.5f, 4, 0, 4, 0, {-4, 5, 8, -1}},
        {"tall narrow section centred across",
         1.2f,
         0.1f,
         -0.1f,
         1,
         -1,
         {-2.4f, 1.2f, 2.4f, -1.2f}},
    };
    for (const Case& c : cases) {
        Canvas box(200, 100);
        box.Line(1, 1, 2, 2);
        CCuadroDibujo p;
        p.escala(c.factor);
        p.Margen(box, c.xmax, c.xmin, c.ymax, c.ymin);
        expectWindow(p, c.expected, c.id);
        EXPECT_GT(p.MaxY(), p.MinY()) << c.id;
        EXPECT_GT(p.MaxX(), p.MinX()) << c.id;
        EXPECT_LT(box.ScaleHeight(), 0) << c.id << ": y grows upwards";
        EXPECT_TRUE(box.items().empty()) << c.id << ": a fit clears the picture";
    }
}

TEST(PlotterFit, PointArrayFitAndPrinterKeepsDrawing) {
    PointArray P = makePointArray(3); // (y, x) rows
    P(1, 1) = 0, P(1, 2) = 0;
    P(2, 1) = 4, P(2, 2) = 2;
    P(3, 1) = 1, P(3, 2) = 4;
    Canvas printer(200, 100, true);
    printer.Line(0, 0, 1, 1);
    CCuadroDibujo p;
    p.IniciaAPelo(printer);
    p.MaxMinMargenNoPic(P, 3);
    expectWindow(p, {-2, 4, 6, 0}, "extents of the rows");
    EXPECT_EQ(printer.items().size(), 1u) << "the printer is not cleared by a fit";
}

// Coinciding points give a window without extent: Margen says so, MaxMinMargen does not, and
// neither changes the stored window.
TEST(PlotterFit, WindowWithoutExtentIsRefused) {
    Canvas box(200, 100);
    CCuadroDibujo p;
    p.Margen(box, 4, 0, 4, 0);
    box.Line(0, 0, 1, 1);
    {
        platform::RecordingSink rec;
        p.Margen(box, 3, 3, 2, 2);
        ASSERT_EQ(rec.entries().size(), 1u);
        EXPECT_EQ(rec.entries()[0].text, "Error en el dibujo.");
        EXPECT_EQ(rec.entries()[0].icon, platform::MsgIcon::Critical);
        expectWindow(p, {-2, 4, 6, 0}, "Margen");
        EXPECT_TRUE(box.items().empty()) << "the picture is cleared all the same";
    }
    {
        platform::RecordingSink rec;
        PointArray P = makePointArray(2);
        P(1, 1) = P(2, 1) = 2;
        P(1, 2) = P(2, 2) = 3;
        p.MaxMinMargen(box, P, 2);
        EXPECT_TRUE(rec.entries().empty());
        expectWindow(p, {-2, 4, 6, 0}, "MaxMinMargen");
    }
    {
        platform::RecordingSink rec;
        const float inf = std::numeric_limits<float>::infinity();
        p.Margen(box, inf, 0, 1, 0);
        EXPECT_EQ(rec.texts().size(), 1u) << "a non-finite window never reaches the painter";
        expectWindow(p, {-2, 4, 6, 0}, "infinite extent");
    }
}

TEST(PlotterFit, DentroAndMargenInvY) {
    Canvas box(200, 100);
    CCuadroDibujo p;
    p.Margen(box, 4, 0, 4, 0); // (-2, 4)-(6, 0)
    EXPECT_TRUE(p.dentro(-2, 4));
    EXPECT_TRUE(p.dentro(p.MaxX(), p.MinY()));
    EXPECT_TRUE(p.dentro(2, 2));
    EXPECT_FALSE(p.dentro(6.01f, 2));
    EXPECT_FALSE(p.dentro(2, -0.01f));

    p.MargenInvY(box); // ScaleTop 4: the vertical axis turns over
    EXPECT_FLOAT_EQ(box.ScaleTop(), 0);
    EXPECT_FLOAT_EQ(box.ScaleHeight(), 4);
    EXPECT_FLOAT_EQ(p.yArriba(), 4) << "the stored window stays";
    p.MargenInvY(box); // ScaleTop 0: unchanged
    EXPECT_FLOAT_EQ(box.ScaleTop(), 0);
    EXPECT_FLOAT_EQ(box.ScaleHeight(), 4);
    EXPECT_FLOAT_EQ(box.ScaleLeft(), -2);
    EXPECT_FLOAT_EQ(box.ScaleWidth(), 8);
}

// The frame runs round the stored window; the title sits just inside its top edge.
TEST(PlotterFit, FrameAndTitle) {
    Canvas box(200, 100);
    CCuadroDibujo p;
    p.Margen(box, 4, 0, 4, 0); // (-2, 4)-(6, 0)
    p.DibujaMarco(box, Value{std::string("3")});
    const auto frame = box.segments();
    ASSERT_EQ(frame.size(), 4u);
    EXPECT_EQ(
        (std::array{frame[0].x1, frame[0].y1, frame[1].x2, frame[1].y2, frame[3].x2, frame[3].y2}),
        (std::array{-2.f, 0.f, 6.f, 4.f, -2.f, 0.f}));
    p.titulo(box, "T");
    ASSERT_EQ(box.texts().size(), 1u);
    EXPECT_FLOAT_EQ(box.texts()[0].x, -2 + 0.05f * 8);
    EXPECT_FLOAT_EQ(box.texts()[0].y, 4 - 4.0f / 50);
}

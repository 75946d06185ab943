// A 10 000-point polyline: drawn on the plotter into a Canvas, the Canvas painted into an image,
// and, as the baseline, the same points painted with a bare QPainter::drawPolyline.
#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"
#include "render/CanvasPaint.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <benchmark/benchmark.h>

#include <cmath>

using namespace tresol;

namespace {

constexpr int kPoints = 10000;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

PointArray wave() {
    PointArray P = makePointArray(kPoints);
    for (int i = 1; i <= kPoints; ++i) {
        const double x = 10.0 * (i - 1) / (kPoints - 1);
        P(i, 1) = static_cast<float>(std::sin(x * 7) * std::exp(-x / 5)); // y
        P(i, 2) = static_cast<float>(x);                                  // x
    }
    return P;
}

// A canvas fitted to the wave.
struct Plot {
    PointArray P = wave();
    Canvas box{kWidth, kHeight};
    CCuadroDibujo plotter;
    Plot() { plotter.MaxMinMargen(box, P, kPoints); }
};

void BM_PlotterFullPath(benchmark::State& state) {
    Plot plot;
    for (auto _ : state) {
        plot.box.Cls();
        benchmark::DoNotOptimize(plot.plotter.DibuGener(kPoints, plot.P));
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_PlotterFullPath);

void BM_PlotterFastPath(benchmark::State& state) {
    Plot plot;
    for (auto _ : state) {
        plot.box.Cls();
        benchmark::DoNotOptimize(plot.plotter.DibuGener(kPoints, plot.P, nullptr, true));
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_PlotterFastPath);

void BM_PaintCanvas(benchmark::State& state) {
    Plot plot;
    plot.plotter.DibuGener(kPoints, plot.P);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter p(&image);
        render::paintCanvas(p, plot.box, QRectF(0, 0, kWidth, kHeight));
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_PaintCanvas);

// The baseline: the same device points, one antialiased drawPolyline.
void BM_BareQPainterPolyline(benchmark::State& state) {
    Plot plot;
    QPolygonF poly;
    poly.reserve(kPoints);
    const Canvas& b = plot.box;
    for (int i = 1; i <= kPoints; ++i)
        poly.append(QPointF((plot.P(i, 2) - b.ScaleLeft()) / b.ScaleWidth() * kWidth,
                            (plot.P(i, 1) - b.ScaleTop()) / b.ScaleHeight() * kHeight));
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(poly);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_BareQPainterPolyline);

} // namespace

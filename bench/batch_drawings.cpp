// The PNG drawing of one member as tresol-batch writes it (480 px at twice the pixel ratio),
// against the baseline of the same image written by Qt's PNG writer, as it was before: it tried
// every row filter on four channels and deflated harder, several times slower. The painting alone
// is the floor.
#include "batch/Drawings.h"
#include "design/Design.h"
#include "render/CanvasPaint.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace tresol;

namespace {

// Text needs a running Gui application, on the offscreen platform.
void ensureGui() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static QGuiApplication app(argc, argv);
    }
}

// The chosen bars of a 40 × 40 column (12 fi 16) or a 30 × 50 beam (5 fi 16), drawn.
Canvas memberDrawing(bool column) {
    design::Member m;
    m.kind = column ? design::MemberKind::Column : design::MemberKind::Beam;
    m.areaCm2 = column ? 24 : 10;
    m.coverCm = 3;
    m.widthCm = column ? 40 : 30;
    m.heightCm = column ? 40 : 50;
    m.multiple = column ? 4 : 1;
    const design::DesignResult r = design::design(m);
    Canvas canvas(batch::kDrawingSize, batch::kDrawingSize);
    design::DesignResult::draw(r.place(r.candidates()[r.chosen().value()].row), canvas);
    return canvas;
}

const QSize kSize(static_cast<int>(batch::kDrawingSize), static_cast<int>(batch::kDrawingSize));

void BM_PngByQtWriter(benchmark::State& state) {
    ensureGui();
    const Canvas canvas = memberDrawing(state.range(0) == 1);
    for (auto _ : state) {
        QImage image(kSize * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            render::paintCanvas(p, canvas, QRectF(QPointF(0, 0), QSizeF(kSize)));
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_PngByQtWriter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PngAsWritten(benchmark::State& state) {
    ensureGui();
    const Canvas canvas = memberDrawing(state.range(0) == 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(render::canvasPng(canvas, kSize, 2.0).data());
}
BENCHMARK(BM_PngAsWritten)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PaintOnly(benchmark::State& state) {
    ensureGui();
    const Canvas canvas = memberDrawing(state.range(0) == 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(render::canvasImage(canvas, kSize, 2.0).constBits());
}
BENCHMARK(BM_PaintOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

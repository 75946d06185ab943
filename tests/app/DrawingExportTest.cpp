#include "app/PictureBox.h"
#include "drawing/CCuadroDibujo.h"
#include "render/CanvasPaint.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using namespace tresol;
using ::testing::DoubleNear;
using ::testing::Pointwise;

namespace {

// A 200 × 100 box with the user scale (0, 10)-(20, 0): 10 pixels per unit, y upwards. It holds
// the polyline (2, 2)-(8, 2)-(8, 6) in black and a filled blue disc of radius 1 at (15, 5).
Canvas knownDrawing() {
    Canvas box(200, 100);
    box.Scale(0, 10, 20, 0);
    box.Line(2, 2, 8, 2);
    box.Line(8, 6);
    box.ForeColor(qbColor(9));
    box.FillStyle(0);
    box.Circle(15, 5, 1);
    return box;
}

// Some ink within a pixel of (x, y): an antialiased hairline may fall between pixel centres.
bool inkNear(const QImage& img, int x, int y) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (img.pixelColor(x + dx, y + dy) != QColor(Qt::white))
                return true;
    return false;
}

} // namespace

TEST(DrawingExport, SvgHoldsTheDrawingAtDevicePositions) {
    QTemporaryDir dir;
    QFile f(dir.filePath("d.svg"));
    ASSERT_TRUE(render::saveCanvas(knownDrawing(), f.fileName(), QSize(200, 100)) &&
                f.open(QIODevice::ReadOnly));
    std::vector<double> lines, disc; // the segments' ends; centre and radius
    for (QXmlStreamReader xml(&f); !xml.atEnd();) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        EXPECT_TRUE(a.value("transform").isEmpty()) << "drawn at device positions";
        if (xml.name() == QLatin1String("line"))
            for (const char* k : {"x1", "y1", "x2", "y2"})
                lines.push_back(a.value(QLatin1String(k)).toDouble());
        if (xml.name() == QLatin1String("circle"))
            disc = {a.value("cx").toDouble(), a.value("cy").toDouble(), a.value("r").toDouble()};
        ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    }
    EXPECT_THAT(lines, Pointwise(DoubleNear(0.01), {20, 80, 80, 80, 80, 80, 80, 40}));
    EXPECT_THAT(disc, Pointwise(DoubleNear(0.01), {150, 50, 10}));
}

// PNG and PDF files; nothing non-finite or absurdly far reaches the painter, and the visible
// part of a segment running far out is still drawn.
TEST(DrawingExport, PngPdfAndWildCoordinates) {
    QTemporaryDir dir;
    const Canvas box = knownDrawing();
    ASSERT_TRUE(render::saveCanvas(box, dir.filePath("d.PNG"), QSize(200, 100)));
    const QImage img(dir.filePath("d.PNG"));
    ASSERT_EQ(img.size(), QSize(200, 100));
    for (int x : {25, 50, 75})
        EXPECT_TRUE(inkNear(img, x, 80)) << "on the bottom segment at x " << x;
    EXPECT_TRUE(inkNear(img, 80, 60)) << "on the vertical segment";
    EXPECT_EQ(img.pixelColor(150, 50), QColor(0, 0, 255)) << "inside the disc";
    EXPECT_FALSE(inkNear(img, 50, 50) || inkNear(img, 5, 5)) << "background";
    QFile pdf(dir.filePath("d.pdf"));
    ASSERT_TRUE(render::saveCanvas(box, pdf.fileName(), QSize(200, 100)) &&
                pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    EXPECT_FALSE(render::saveCanvas(box, dir.filePath("d.bmp"), QSize(200, 100)));
    EXPECT_FALSE(render::saveCanvas(box, dir.filePath("missing/d.png"), QSize(200, 100)));

    Canvas wild(200, 100);
    wild.Scale(0, 10, 20, 0);
    wild.Line(1, 1, std::numeric_limits<float>::infinity(), 1);
    wild.Line(std::nanf(""), 0, 1, 1);
    wild.Circle(5, 5, 3e38f);
    wild.Line(-1e30f, 5, 1e30f, 5);
    const QImage far = render::canvasImage(wild, QSize(200, 100));
    EXPECT_TRUE(inkNear(far, 100, 50)) << "the far-reaching horizontal line";
    EXPECT_FALSE(inkNear(far, 100, 20));
}

// The batch program's PNG bytes decode to the very image painted: grey levels for a
// black-on-white drawing (at an odd width here), RGB once a colour appears.
TEST(DrawingExport, PngBytesHoldTheImagePainted) {
    Canvas grey(121, 80);
    grey.Scale(0, 10, 20, 0);
    grey.Line(2, 2, 8, 2);
    grey.Circle(15, 5, 1);
    for (const auto& [c, colourKind] : {std::pair{grey, 0}, {knownDrawing(), 2}}) {
        const QSize size(static_cast<int>(c.Width()), static_cast<int>(c.Height()));
        const QByteArray png = render::canvasPng(c, size, 2.0);
        ASSERT_GT(png.size(), 26);
        EXPECT_EQ(png[25], colourKind); // the header's colour kind: grey or RGB
        EXPECT_EQ(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32),
                  render::canvasImage(c, size, 2.0).convertToFormat(QImage::Format_RGB32));
    }
}

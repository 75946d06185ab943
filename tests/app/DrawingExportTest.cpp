#include "app/CanvasExport.h"
#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <vector>

using namespace tresol;

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

bool isWhite(const QImage& img, int x, int y) {
    return img.pixelColor(x, y) == QColor(Qt::white);
}

// Some ink within a pixel of (x, y): an antialiased hairline may fall between pixel centres.
bool inkNear(const QImage& img, int x, int y) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (!isWhite(img, x + dx, y + dy))
                return true;
    return false;
}

std::vector<QPointF> parsePoints(const QString& text) {
    std::vector<QPointF> out;
    for (const QString& pair : text.split(' ', Qt::SkipEmptyParts)) {
        const QStringList xy = pair.split(',');
        if (xy.size() == 2)
            out.emplace_back(xy[0].toDouble(), xy[1].toDouble());
    }
    return out;
}

} // namespace

TEST(DrawingExport, SvgHoldsTheDrawingAtDevicePositions) {
    QTemporaryDir dir;
    const QString path = dir.filePath("d.svg");
    ASSERT_TRUE(app::exportSvg(knownDrawing(), path, QSize(200, 100)));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    std::vector<QPointF> polyline;
    QPointF discCentre(-1, -1);
    double discRadius = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("g")) {
            EXPECT_TRUE(!a.hasAttribute("transform") ||
                        a.value("transform") == QLatin1String("matrix(1,0,0,1,0,0)"))
                << a.value("transform").toString().toStdString();
        }
        if (xml.name() == QLatin1String("polyline"))
            polyline = parsePoints(a.value("points").toString());
        if (xml.name() == QLatin1String("ellipse") || xml.name() == QLatin1String("circle")) {
            discCentre = {a.value("cx").toDouble(), a.value("cy").toDouble()};
            discRadius = a.value(xml.name() == QLatin1String("circle") ? "r" : "rx").toDouble();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    const std::vector<QPointF> expected = {{20, 80}, {80, 80}, {80, 40}};
    ASSERT_EQ(polyline.size(), expected.size()) << "one polyline for the joined segments";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(polyline[i].x(), expected[i].x(), 0.01) << "point " << i;
        EXPECT_NEAR(polyline[i].y(), expected[i].y(), 0.01) << "point " << i;
    }
    EXPECT_NEAR(discCentre.x(), 150, 0.01);
    EXPECT_NEAR(discCentre.y(), 50, 0.01);
    EXPECT_NEAR(discRadius, 10, 0.01);
}

TEST(DrawingExport, PngAndPdfFiles) {
    QTemporaryDir dir;
    const Canvas box = knownDrawing();
    const QString png = dir.filePath("d.PNG");
    ASSERT_TRUE(app::saveCanvas(box, png, QSize(200, 100)));
    const QImage img(png);
    ASSERT_EQ(img.size(), QSize(200, 100));
    for (int x : {25, 50, 75})
        EXPECT_TRUE(inkNear(img, x, 80)) << "on the bottom segment at x " << x;
    EXPECT_TRUE(inkNear(img, 80, 60)) << "on the vertical segment";
    EXPECT_EQ(img.pixelColor(150, 50), QColor(0, 0, 255)) << "inside the disc";
    EXPECT_TRUE(isWhite(img, 50, 50));
    EXPECT_TRUE(isWhite(img, 5, 5));

    EXPECT_TRUE(app::saveCanvas(box, dir.filePath("d.pdf"), QSize(200, 100)));
    QFile pdf(dir.filePath("d.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_FALSE(app::saveCanvas(box, dir.filePath("d.bmp"), QSize(200, 100)));
    EXPECT_FALSE(app::saveCanvas(box, dir.filePath("missing/d.png"), QSize(200, 100)));
}

// After a resize the fitted window is shown whole and undistorted, centred; at twice the pixel
// ratio the image has twice the pixels.
TEST(DrawingExport, ResizeAndPixelRatio) {
    Canvas box(200, 100);
    CCuadroDibujo p;
    p.Margen(box, 4, 0, 4, 0); // window (-2, 4)-(6, 0)
    PointArray diagonal = makePointArray(2);
    diagonal(1, 1) = 0, diagonal(1, 2) = 0; // (x 0, y 0) to (x 4, y 4)
    diagonal(2, 1) = 4, diagonal(2, 2) = 4;
    p.DibuGener(2, diagonal);
    box.setSize(400, 100);
    const QImage wide = app::canvasImage(box, QSize(400, 100));
    // The window (8 × 4 units) now spans x 100…300: the square 0…4 is x 150…250.
    EXPECT_TRUE(inkNear(wide, 200, 50)) << "centre of the diagonal";
    EXPECT_TRUE(inkNear(wide, 175, 75));
    EXPECT_TRUE(inkNear(wide, 151, 99)) << "the lower end of the square";
    EXPECT_TRUE(isWhite(wide, 100, 50));

    const QImage sharp = app::canvasImage(box, QSize(400, 100), 2.0);
    EXPECT_EQ(sharp.size(), QSize(800, 200));
    EXPECT_TRUE(inkNear(sharp, 400, 100));
}

// Nothing non-finite or absurdly far reaches the painter, and the visible part of a segment
// running far out is still drawn.
TEST(DrawingExport, WildCoordinatesAreContained) {
    Canvas box(200, 100);
    box.Scale(0, 10, 20, 0);
    const float inf = std::numeric_limits<float>::infinity();
    box.Line(1, 1, inf, 1);
    box.Line(std::nanf(""), 0, 1, 1);
    box.Circle(5, 5, 3e38f);
    box.Line(-1e30f, 5, 1e30f, 5);
    const QImage img = app::canvasImage(box, QSize(200, 100));
    EXPECT_TRUE(inkNear(img, 100, 50)) << "the far-reaching horizontal line";
    EXPECT_TRUE(isWhite(img, 100, 20));
}

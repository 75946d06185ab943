#pragma once

#include "drawing/Canvas.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;
class QPaintDevice;

// Painting a recorded Canvas with Qt Gui: on any painter, to an image, a PNG, a PDF; SVG through
// the Qt-free writer of drawing/. No widget, so the batch program and Python paint without them.
namespace tresol::render {

// Paints a recorded Canvas into `area` of a painter's device. The canvas's window is shown with
// equal scales on both axes, as large as `area` allows and centred in it: a box resized after a
// fit still shows the whole fitted window, undistorted, with the extra room on one axis. Pen
// widths and text grow with `area` relative to the canvas's own size, so an export at twice
// the size looks the same, only finer. Nothing non-finite or far outside `area` reaches the
// painter. The background is left to the caller.
void paintCanvas(QPainter& painter, const Canvas& canvas, const QRectF& area,
                 const QFont& font = QFont());

// The canvas on a white image of `size` device-independent pixels at `pixelRatio`.
QImage canvasImage(const Canvas& canvas, QSize size, qreal pixelRatio = 1.0,
                   const QFont& font = QFont());

// The same image as the bytes of a PNG file, written quickly (fast enough for a batch of
// thousands of drawings); empty when the image cannot be made.
QByteArray canvasPng(const Canvas& canvas, QSize size, qreal pixelRatio = 1.0,
                     const QFont& font = QFont());

bool exportPng(const Canvas& canvas, const QString& path, QSize size, qreal pixelRatio = 1.0,
               const QFont& font = QFont());
bool exportSvg(const Canvas& canvas, const QString& path, QSize size, const QFont& font = QFont());
// A page of `size` pixels at 96 per inch, drawn at the writer's full resolution.
bool exportPdf(const Canvas& canvas, const QString& path, QSize size, const QFont& font = QFont());
// Paints the canvas into `area` of a device between begin and end, on white when asked; false
// when the device cannot be painted on.
bool paintOn(QPaintDevice& device, const Canvas& canvas, const QRectF& area, const QFont& font,
             bool whiteBackground);

// PNG, SVG or PDF chosen by the file's extension (any case); false for any other extension or
// when the file cannot be written.
bool saveCanvas(const Canvas& canvas, const QString& path, QSize size, qreal pixelRatio = 1.0,
                const QFont& font = QFont());

} // namespace tresol::render

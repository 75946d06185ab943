#include "app/CanvasPrint.h"

#include <QPageLayout>
#include <QPrinter>

#include <algorithm>

namespace tresol::app {

bool printCanvas(const Canvas& canvas, QPrinter& printer, const QFont& font) {
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double k = std::min(page.width() / canvas.Width(), page.height() / canvas.Height());
    const QRectF area(0, 0, canvas.Width() * k, canvas.Height() * k);
    return render::paintOn(printer, canvas, area, font, false);
}

} // namespace tresol::app

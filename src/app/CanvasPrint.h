#pragma once

#include "render/CanvasPaint.h"

class QPrinter;

namespace tresol::app {

// The drawing as large as the printable area allows, at its top left.
bool printCanvas(const Canvas& canvas, QPrinter& printer, const QFont& font = QFont());

} // namespace tresol::app

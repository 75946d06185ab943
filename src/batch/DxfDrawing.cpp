#include "batch/DxfDrawing.h"

namespace tresol::batch {

// The one place that knows how the batch program writes a DXF section.
bool dxfDrawingAvailable() {
    return false;
}

bool writeDxfDrawing(const std::string&, const design::Placement&, std::string& error) {
    error = "El dibujo DXF de la sección aún no está disponible.";
    return false;
}

} // namespace tresol::batch

#include "batch/DxfDrawing.h"

#include "design/SectionDxf.h"

namespace tresol::batch {

// The one place that knows how the batch program writes a DXF section.
bool dxfDrawingAvailable() {
    return true;
}

bool writeDxfDrawing(const std::string& path, const design::Placement& placement,
                     std::string& error) {
    if (!placement.section) {
        error = "La sección no tiene contorno que dibujar en DXF.";
        return false;
    }
    return design::writeSectionDxf(path, placement, error);
}

} // namespace tresol::batch

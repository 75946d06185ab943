#pragma once

#include "design/Design.h"

#include <string>

namespace tresol::batch {

// Whether sections can be written as DXF drawings yet; until they can, asking for them is
// answered once with a notice and the other drawings are still written.
bool dxfDrawingAvailable();

// The placed section as a 2D DXF drawing with its arrangement line.
bool writeDxfDrawing(const std::string& path, const design::Placement& placement,
                     std::string& error);

} // namespace tresol::batch

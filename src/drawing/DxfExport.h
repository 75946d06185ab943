#pragma once

#include "platform/BoundedArray.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tresol {

class ICuadro;

// Draws into a new CAD drawing and saves it as a DXF file: starts a CAD session (a new, empty
// drawing), hands `draw` a CAD plotter (CCuadro3D) connected to it, then saves the drawing under
// `path`. What `draw` sends through the plotter is what the file holds: polylines as 3D
// polylines, `bolita` as spheres, texts as text entities.
//
// False when no CAD session can be started or the file cannot be written; `error` then holds a
// text for the user. Programming errors raised while drawing pass through, and no file is
// written then.
bool ExportDxf(const std::string& path, const std::function<void(ICuadro&)>& draw,
               std::string& error);

// The contour of a cross-section (rows 1…NP of Y, Z) as one polyline placed as the picture box
// shows a section, Z across and Y up. On the CAD plotter it lands in the front view (the plane
// Y = 0) with X = the section's Z and Z = its Y — where the `bolita` calls of the section's
// reinforcement set (Carmasec::Dibuja) put the bars, so outline and bars meet. (A section's own
// DibujaSeccion draws its outline through the along-member mapping, in the plane X = 0, away
// from its bars.)
void DibujaContornoFrontal(ICuadro& cuadro, std::int32_t NP, const PointArray& contorno);

} // namespace tresol

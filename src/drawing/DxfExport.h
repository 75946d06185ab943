#pragma once

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

} // namespace tresol

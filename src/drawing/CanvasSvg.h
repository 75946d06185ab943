#pragma once

#include "drawing/Canvas.h"

#include <string>

namespace tresol {

// A recorded Canvas as an SVG document of `width` × `height` pixels, without a display or a
// toolkit. The canvas's window is shown as the picture box and its exporters show it: equal
// scales on both axes, as large as the page allows and centred, on white. Each segment is a
// <line>, each circle a <circle>, each text a <text>; pen widths and the font grow with the page
// relative to the canvas's own size. Items with non-finite coordinates are left out, so the
// document is always well formed. A page without area gives an empty page of 1 × 1.
std::string canvasSvg(const Canvas& canvas, double width, double height);

} // namespace tresol

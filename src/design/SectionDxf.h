#pragma once

#include <string>

namespace tresol {
class CSeccEstruc;
namespace design {
struct Placement;
}
} // namespace tresol

// The drawing of a designed section a detailer works on in a 2D CAD program: an AutoCAD 2000
// DXF file in plan, in millimetres ($INSUNITS 4, $MEASUREMENT 1), with the section's z across
// (X) and y up (Y), every entity at Z = 0 and the drawing's extents in the header.
//
//   layer HORMIGON (colour 7)  the outline, one closed LWPOLYLINE
//   layer ARMADO (colour 1)    each bar as a CIRCLE of its radius and a SOLID HATCH of it; where
//                              the bars are not all of one diameter, each diameter has its own
//                              colour, in order of size: 1, 6, 30, 3, 4, 2, 40, 140, 210, 240
//   layer RECUBRIMIENTO (8)    the cover line, a dashed LWPOLYLINE (linetype DASHED) parallel to
//                              the outline at the least cover of the bars; none without bars
//                              or with a bar on the outline
//   layer TEXTO (colour 5)     under the section, centred on it, in text style SECCION and
//                              0.06 × the section's larger extent high: the section's size, then
//                              the arrangement line when there is one
//
// The size is in centimetres: "30 x 50" (width across by height up) for a four-sided outline
// and any outline that is not a regular polygon; "6 lados, R = 40" for a regular polygon of
// six sides inscribed in a circle of radius 40 cm, which is how a polygonal column is given.
namespace tresol::design {

// Writes the section, its bars and its arrangement line as a 2D drawing in millimetres.
// False with a text for the user when there is nothing to write or the file cannot be written;
// the file is written to a temporary name beside it and renamed, so a failure leaves no file.
bool writeSectionDxf(const std::string& path, const CSeccEstruc& section, const std::string& line,
                     std::string& error);

// A placement's section, bars and line the same way; with a link, as the sheet the picture
// shows (design/DetailDrawing), in place of the cover line and the size under the section:
//
//   layer CERCOS (colour 150)  the link's inner and outer faces, closed LWPOLYLINEs whose bends
//                              are arcs (bulges), the two ends of its hook and each crosstie's
//                              outline, LWPOLYLINEs too
//   layer COTAS (colour 3)     the width and height as DIMENSIONs (a regular polygon's
//                              circumradius as a radial one) in dimension style TRESOL, which
//                              shows the millimetres as centimetres; each drawn by its
//                              anonymous block
//   layer TEXTO                the labels of the groups of bars and of the link, with a LINE
//                              leader each, the cover's note, and the arrangement line under all
bool writeSectionDxf(const std::string& path, const Placement& placement, std::string& error);

// The section as the design window draws it, in its own plane of a 3D drawing: the outline and
// the bars with z across and y up, the arrangement line under the section. Same failures.
bool writeSection3dDxf(const std::string& path, const CSeccEstruc& section, const std::string& line,
                       std::string& error);

} // namespace tresol::design

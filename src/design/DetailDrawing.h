#pragma once

#include "design/Design.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tresol {
class DrawingTarget;
}

// A section with a link drawn as a detailer draws it: the link as a band of its bar's diameter
// round the main bars, bent at its corners and closed with a 135° hook, its crossties, the
// section's dimensions, the cover, and a label with a leader for each group of bars and for the
// link. Qt-free. One sheet is laid out here and drawn on a drawing target (the window's picture,
// the files and the report) and into the 2D DXF drawing, so both show the same.
namespace tresol::design::detail {

// A point of the drawing: the section's z across (x) and its y up (y), in metres.
struct Point {
    double x = 0, y = 0;
};

// A polyline whose segments may be circular arcs, as a DXF LWPOLYLINE holds one: a vertex's
// bulge belongs to the segment that starts there, tan(θ/4) of the arc's turning angle θ,
// positive counter-clockwise, 0 for a straight segment.
struct Vertex {
    double x = 0, y = 0, bulge = 0;
};
struct Path {
    std::vector<Vertex> vertices;
    bool closed = false;
};

// The link's bar as outlines: its faces, closed; the two ends of its hook, each an open outline
// that leaves the band at the hooked bend; each crosstie's closed outline with its hooks.
struct LinkShape {
    Path inner, outer;
    std::vector<Path> hook;
    std::vector<Path> crossties;
};

// The straight extension of a 135° hook past its bend: ACI 318-19 §25.3.2 asks 6 d_b and not
// less than 75 mm of a tie's hook; EN 1992-1-1 §8.5 (Fig. 8.5) asks less of a 135° bend (5φ,
// 50 mm), so this length serves both codes.
double hookExtensionMm(double diameterMm);

// The link's outlines in the drawing's frame. The inner face is the link's sharp inner polygon
// with each convex corner rounded at the bend radius; the outer face is the diameter outside
// it. The hook sits at the corner farthest from the bars (a beam's compression side), the top
// left one of equals. `bars` give the radii of the bars the crossties hold.
LinkShape linkShape(const links::LinkDetail& link, const std::vector<BarCircle>& bars);

// A dimension of the section. A horizontal or vertical one measures from `from` to `to` along
// its direction, its line drawn from `lineFrom` to `lineTo` with extension lines from the
// points measured; a radius measures from the centre (`from`) to a vertex (`to`), its line
// drawn from the centre on past the vertex to `lineTo`, by its text.
struct Dimension {
    enum class Kind { Horizontal, Vertical, Radius };
    Kind kind = Kind::Horizontal;
    Point from, to, lineFrom, lineTo;
    std::string text; // '30', 'R = 40'
    Point textAt;     // the bottom-left corner of the text's box
};

// What a dimension draws, as segments: extension lines, its line and ticks (an arrowhead and the
// centre's mark for a radius), sized to the texts' line height.
std::vector<std::pair<Point, Point>> strokes(const Dimension& dimension, double line);

// A text of the sheet, the bottom-left corner of its box at `at`, with the leader that joins it
// to what it names (from that thing to the text; none for a note).
struct Label {
    std::string text;
    Point at;
    std::vector<Point> leader;
};

struct Sheet {
    std::vector<Point> outline; // the section's outline, without a closing repeat
    std::vector<BarCircle> bars;
    LinkShape link;
    std::vector<Dimension> dimensions;
    // The groups' callouts in the placement's order, then the link's, then the cover's note.
    std::vector<Label> labels;
    double line = 0; // the height of a line of text
    Point min, max;  // the extents of everything, texts included
};

// The size of texts in the sheet's units: the height of one line, and the width of a text.
struct TextSize {
    double line = 0;
    std::function<double(const std::string&)> width;
};

// The sheet of a placement with a section and a link; nothing without either.
std::optional<Sheet> layOut(const Placement& placement, const TextSize& text);

// The placement's bars in the section's frame, in the order they were placed.
std::vector<BarCircle> placedBars(const Placement& placement);

// The circumradius of a regular polygon of other than four sides (a polygonal column); nothing
// for any other outline.
std::optional<double> regularCircumradius(const std::vector<Point>& outline);

// A length in metres as centimetres to the millimetre, in the user's number form ('30', '32,5').
std::string cmText(double metres);

// Draws a placement with a section and a link as its sheet, fitted to the target with room
// for the texts at the target's text size, the section at one scale with its bars.
void draw(const Placement& placement, DrawingTarget& target);

} // namespace tresol::design::detail

#pragma once

#include "design/Run.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tresol {
class DrawingTarget;
}

// A row's interaction diagram: the section's design resistance N against M in the plane of the
// member's design moment, from the strength engine's points, with the design action on it.
namespace tresol::design {

struct DiagramPoint {
    double mKnm = 0, nKn = 0;
};

struct Diagram {
    std::string error; // why there is none (no actions, no outline, a section the engine refuses)
    // The closed curve: the resistance with the moment in the plane's direction (M ≥ 0) from pure
    // tension to pure compression, then back down with the moment the other way (M ≤ 0).
    std::vector<DiagramPoint> curve;
    DiagramPoint action; // the design action: N_Ed and the design moment's size
    double angleDeg = 0; // the plane: the moment's direction in the section, from +y
    std::string title;   // the row's line and the code
};

// The diagram of table row `row` (1…k) of a run with actions, in the plane of the design moment
// (a beam's own plane; with no moment the section's height), or at `angleDeg` when given.
Diagram interactionDiagram(const RunResult& result, std::int32_t row,
                           std::optional<double> angleDeg = std::nullopt);

// Draws the diagram fitted to the target: axes through the origin labelled with their units, the
// curve, the design action as a marked point and the title. A diagram without a curve clears the
// target and writes why.
void drawDiagram(const Diagram& diagram, DrawingTarget& target);

} // namespace tresol::design

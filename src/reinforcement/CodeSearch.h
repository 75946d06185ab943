#pragma once

#include "reinforcement/Cdiametro.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The code-checked arrangement search, beside the described one (which it never replaces): one
// size or two neighbouring sizes (the larger at the corners), up to two layers in a beam, the
// clear spacing of EN 1992-1-1 §8.2 or ACI 318-19 §25.2, every feasible arrangement enumerated
// exactly. Qt-free, allocation-light: microseconds per member.
namespace tresol::code {

enum class Code { EC2, ACI };

// The largest aggregate size (mm) the program's faces take: coarse aggregate stops well short.
inline constexpr double kLargestAggregateMm = 250;

struct Options {
    Code code = Code::EC2;
    double aggregateMm = 20;
    std::int32_t top = 10;     // 0 = unlimited (at most 2000 rows)
    double minDiameterMm = 0;  // 0 = 10 for a beam, 12 for a column
    double maxSpacingMm = 300; // centre to centre
};

// Lengths in the window's units: cm; area cm².
struct Member {
    bool column = false;
    double areaCm2 = 0, coverCm = 0, widthCm = 0, heightCm = 0;
    // A column: 4 = width × height rectangle (a height of exactly 0 meaning the width × width
    // square), else the regular polygon of circumradius = width.
    std::int32_t sides = 4;
    // A column's outline, counter-clockwise, as the section's own contour points (y, z) in
    // metres; a closing point repeating the first is allowed. When empty it is built as the
    // design window builds it. It must be convex.
    std::vector<std::pair<double, double>> outline;
};

struct Group {
    std::int32_t count;
    std::int32_t diameterIndex;
    std::string ref;
    double diameterMm;
};

struct Layer {
    std::vector<Group> groups;
    double clearSpacingMm;     // the equal clear gap (a column: the smallest over its sides)
    double minClearMm;         // s_min of the code for this layer
    double maxCentreSpacingMm; // the largest centre-to-centre distance, checked against s_max
};

struct Bar {
    double y, z; // metres, in the section's frame
    std::int32_t diameterIndex;
};

struct Arrangement {
    std::string line; // '2 fi 20 + 2 fi 16', '3 fi 20 / 2 fi 20', '4 # 6 + 4 # 5'
    std::int32_t bars;
    double totalAreaCm2, excessPct;
    std::vector<Layer> layers;              // a column: one "layer" = corners + side bars
    std::optional<double> effectiveDepthCm; // beams
    double ratioPct;                        // of the gross concrete area
    std::vector<std::string> flags;         // ratio flags (Spanish short texts), not refusals
    bool preferred;                         // the first row
    // Every bar's centre: a beam layer by layer, each across from −z to +z; a column corner by
    // corner, each corner followed by the bars of the side that starts there.
    std::vector<Bar> placement;
};

struct Result {
    std::vector<Arrangement> arrangements;
    // Why there is no row (Spanish); with rows, only the note that an unlimited list was cut at
    // 2000 rows.
    std::vector<std::string> messages;
};

Result search(const Member& m, const Cdiametro& catalogue, const Options& o);

// Reads a line this search writes back into the bars it places (same positions); empty when the
// line is not one of its lines for that member (with a reason in `error`).
std::vector<Bar> placeLine(const std::string& line, const Member& m, const Cdiametro& catalogue,
                           const Options& o, std::string& error);

// The arrangement a line of this search stands for, with everything a row shows; nothing (and a
// reason in `error`) when the line is not one of its lines for that member.
std::optional<Arrangement> readLine(const std::string& line, const Member& m,
                                    const Cdiametro& catalogue, const Options& o,
                                    std::string& error);

} // namespace tresol::code

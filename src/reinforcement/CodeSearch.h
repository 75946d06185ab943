#pragma once

#include "reinforcement/Cdiametro.h"
#include "reinforcement/CodeRules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The code-checked arrangement search, beside the described one (which it never replaces): one
// size or two neighbouring sizes (the larger at the corners), up to two layers in a beam (the
// upper bars standing over lower ones), a rectangular column with its own count on each pair of
// faces, the clear spacing of EN 1992-1-1 §8.2 or ACI 318-19 §25.2 and the codes' least and
// largest steel as limits, every allowed arrangement enumerated exactly. Qt-free,
// allocation-light: microseconds per member.
namespace tresol::code {

// The largest aggregate size (mm) the program's faces take: coarse aggregate stops well short.
inline constexpr double kLargestAggregateMm = 250;

struct Options {
    Code code = Code::EC2;
    double aggregateMm = 20;
    std::int32_t top = 10;     // 0 = unlimited (at most 2000 rows)
    double minDiameterMm = 0;  // 0 = 10 for a beam, 12 for a column
    double maxDiameterMm = 0;  // 0 = the largest of the catalogue
    double maxSpacingMm = 300; // centre to centre (an ACI beam may get less by 24.3.2)
    // fck under EN, f'c under ACI, and fyk or fy (MPa); 0 = the code's default (C25/30 and 500
    // under EN, 28 and 420 under ACI).
    double concreteMpa = 0;
    double steelMpa = 0;
};

// The materials the options stand for, defaults filled in.
rules::Materials materials(const Options& o);

// Lengths in the window's units: cm; area cm².
struct Member {
    bool column = false;
    double areaCm2 = 0, coverCm = 0, widthCm = 0, heightCm = 0;
    // A column: 4 = width × height rectangle (a height of exactly 0 meaning the width × width
    // square), else the regular polygon of circumradius = width.
    std::int32_t sides = 4;
    // A beam's bars on one face; the code search takes no other multiple.
    double multiple = 1;
    // The link's bar (mm): the cover is then to its outer face, the bars inside it, the corner
    // bars in its bends. 0: no link.
    double linkMm = 0;
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
    // The least clear gap between neighbouring bars of the layer (a column: over its sides).
    double clearSpacingMm;
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
    // Notes and advice (Spanish short texts): the code minimum when it governed, an ACI column
    // above 4 %. A row that breaks a limit is never listed, so these never mean a refusal.
    std::vector<std::string> flags;
    bool preferred; // the first row
    // Every bar's centre: a beam layer by layer, each across from −z to +z, an upper bar at the z
    // of the lower bar it stands over; a column corner by corner, each corner followed by the
    // bars of the side that starts there.
    std::vector<Bar> placement;
};

struct Result {
    std::vector<Arrangement> arrangements;
    // The member or the options could not be searched (the first message says why), as opposed
    // to a member where nothing fits.
    bool refused = false;
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

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The link (stirrup, tie) round a member's main bars, as a detailer draws and schedules it: the
// bend its bar is bent round, the crossties the column's bars need, and how far apart the links
// may stand along a column. Qt-free.
namespace tresol::links {

// A point of the section's own frame (y, z), in metres.
struct Point {
    double y = 0, z = 0;
};

// A crosstie: one straight leg hooked round the bar whose centre is `a` and, at its other end,
// round the bar whose centre is `b` (a leg across the section to the opposite face's bar).
struct Crosstie {
    Point a, b;
};

// What a row's bars need of the member's link.
struct LinkDetail {
    double diameterMm = 0;
    // The radius of the link's bends, on their inside (half the mandrel's diameter).
    double innerBendRadiusMm = 0;
    // The link's inner face as a sharp polygon, counter-clockwise, metres: the section's outline
    // moved in by the cover and the link's diameter. The link rounds each of its corners at
    // innerBendRadiusMm and closes with one 135° hook.
    std::vector<Point> inner;
    std::vector<Crosstie> crossties;
    // '1 cerco fi 8 + 2 horquillas fi 8', '1 cerco fi 8'.
    std::string text;
    // A column's largest link spacing along the member (mm), and where the code reduces it near
    // beams, slabs and laps; nothing for a beam (its spacing follows from shear).
    std::optional<double> spacingMm;
    std::optional<double> reducedSpacingMm;
};

} // namespace tresol::links

#pragma once

#include "reinforcement/CodeRules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tresol {
class Cdiametro;
}

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

// A main bar as placed: its centre and its diameter (mm).
struct Bar {
    Point centre;
    double diameterMm = 0;
};

// How close a link's diameter must come to a catalogue's size to be that size (mm): a numbered
// bar is known by its nominal diameter, given to a tenth or a hundredth of a millimetre.
inline constexpr double kDiameterToleranceMm = 0.05;

// The inner radius of a link's bends (mm), half the diameter it is bent round: EN 1992-1-1 Table
// 8.1N, a mandrel of 4φ for φ ≤ 16 mm and 7φ above; ACI 318-19 Table 25.3.2, an inside diameter
// of 4 db for No. 3 to No. 5 ties (db ≤ 16 mm) and 6 db for No. 6 to No. 8.
double innerBendRadiusMm(code::Code code, double linkMm);

// The interior angle (radians) of a corner reached along (inY, inZ) and left along (outY, outZ),
// of an outline turning counter-clockwise.
double interiorAngle(double inY, double inZ, double outY, double outZ);

// How far from each face of a corner the centre of a corner bar lies (mm), `faceToBarsMm` (the
// cover and the link) from the faces to the inside of the link's straight legs. A bar of radius
// ρ below the bend's inner radius r sits in the bend against the inside of its arc, whose centre
// lies t + r from both faces: t + r − (r − ρ)·sin(α/2) for an interior angle α. A larger bar
// touches both legs: t + ρ.
double cornerBarOffsetMm(double faceToBarsMm, double bendRadiusMm, double barDiameterMm,
                         double interiorAngleRad);

// A member's outline as both searches build it (the design window's rectangle or regular
// polygon, in single precision), counter-clockwise, metres, without a closing point.
std::vector<Point> memberOutline(std::int32_t sides, double widthCm, double heightCm);

// A convex outline moved in by `insetMm`, each side along its inward normal; empty when a side
// vanishes or turns over.
std::vector<Point> insetOutline(const std::vector<Point>& outline, double insetMm);

// The least width of a convex outline (m): over its sides, the farthest vertex from each.
double leastWidthM(const std::vector<Point>& outline);

// The catalogue's index of a link's diameter (within kDiameterToleranceMm); 0 for none.
std::int32_t catalogueIndex(const Cdiametro& catalogue, double linkMm);

// Why a link cannot go round a member's bars (Spanish, naming the value), or empty: a diameter
// that is not finite, is negative or is none of the catalogue's sizes, or one whose bends leave
// no inner face inside the cover. A link of 0 is no link, and always fits.
std::string problem(code::Code searchCode, const Cdiametro& catalogue, double linkMm,
                    const std::vector<Point>& outline, double coverMm);

// A column's largest link spacing (mm): EN 1992-1-1 9.5.3(3) min(20 φ_min, the least dimension,
// 400), reduced by 0.6 near beams, slabs and laps by 9.5.3(4); ACI 318-19 25.7.2.1 min(16 db of
// the least bar, 48 d_tie, the least dimension), with no reduced value.
struct Spacing {
    double maxMm = 0;
    std::optional<double> reducedMm;
};
Spacing columnSpacing(code::Code code, double leastBarMm, double linkMm, double leastWidthMm);

// The note of a column's link thinner than the code asks (Spanish), or empty: EN 1992-1-1
// 9.5.3(1) max(6 mm, φ_max/4); ACI 318-19 25.7.2.2 No. 3 ties round bars up to No. 10 (32 mm),
// No. 4 above.
std::string leastLinkNote(code::Code code, double linkMm, double largestBarMm);

// A column's bars held against buckling: the bars in the link's corners, and along each side the
// fewest more (EN 1992-1-1 9.5.3(6): no bar farther than 150 mm from a held one; ACI 318-19
// 25.7.2.3: every corner and alternate bar held, no loose bar more than 150 mm clear from a held
// one on either side, and a corner of more than 135° holds nothing), each by a crosstie to the
// bar opposite it on a parallel face, or anchored across the core to the link's far side.
struct Restraint {
    std::vector<bool> restrained; // per bar
    std::vector<Crosstie> crossties;
};
// `inner` is the link's inner face (see LinkDetail); `bars` lie against it.
Restraint restrainColumnBars(code::Code code, const std::vector<Point>& inner,
                             const std::vector<Bar>& bars);

// The bars that lie in a corner of `outline` against both its faces, `faceToBarsMm` from them
// to their surfaces, moved into the link's bend there (see cornerBarOffsetMm); the others stay.
void moveCornerBarsIntoBends(const std::vector<Point>& outline, double faceToBarsMm,
                             double bendRadiusMm, std::vector<Bar>& bars);

// '1 cerco fi 8', '1 cerco # 3 + 1 horquilla # 3', '1 cerco fi 8 + 2 horquillas fi 8'.
std::string linkText(const std::string& notation, std::size_t crossties);

// A member's link as a row's details are worked out from it.
struct Frame {
    std::vector<Point> outline; // the section's, as memberOutline gives it
    double coverMm = 0;         // to the link's outer face
    double diameterMm = 0;
    bool column = false;
    code::Code code = code::Code::EC2; // the search's
    std::string notation;              // 'fi 8', '# 3': as the search's lines name that size
};
Frame frame(bool column, std::int32_t sides, double widthCm, double heightCm, double coverCm,
            double linkMm, code::Code searchCode, const Cdiametro& catalogue);

// The link of a row whose bars are `bars`: its bend, inner face, text and, for a column, the
// crossties those bars need and its spacing.
LinkDetail detail(const Frame& frame, const std::vector<Bar>& bars);

} // namespace tresol::links

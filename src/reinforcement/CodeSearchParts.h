#pragma once

#include "platform/Numbers.h"
#include "reinforcement/CodeSearch.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

// The parts of the code-checked search, shared by its files: the member checked and converted
// (Prep), the compact arrangement (Cand), the beam and column layouts, and the rows.
namespace tresol::code::detail {

// Rounding noise in lengths (mm): far below anything a drawing or a site can tell apart, and
// enough that a gap worked out to exactly s_min is not refused by the last bit of a double.
constexpr double kEps = 1e-6;
// "Within 10 %" of the least area, with room for the last bit of the product.
constexpr double kPreferredWindow = 1.1 * (1 + 1e-12);
constexpr double kExcessLimit = 1.8;
constexpr double kMaxAreaCm2 = 1e5;
constexpr double kMaxLengthCm = 1000;
constexpr std::int32_t kMaxSides = 100;
constexpr std::int32_t kMaxSizes = 64;
// More bars in one group of a line than any member of the accepted sizes can hold.
constexpr std::int32_t kMaxCount = 100000;
constexpr std::size_t kMaxRows = 2000;
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Size {
    std::int32_t index; // in the catalogue
    double d;           // mm
    double a;           // cm², the catalogue's own area of one bar
    // How much farther from each face a bar of this size lies in a right-angled corner (a beam's)
    // than against the link's legs: its rise into the link's bend (mm); 0 without a link.
    double bend;
};

struct Point {
    double y, z; // mm
};

// What keeps an arrangement that fits the section geometrically off the list.
enum class Limit : std::uint8_t { Ok, BelowMin, AboveMax, Strain, FewBars };

// A member checked and converted to mm, with its eligible sizes (ascending, neighbours adjacent).
struct Prep {
    bool column = false;
    Code code = Code::EC2;
    rules::Materials mat;
    double dg = 20;
    double smax = 300;          // a beam's first layer: with ACI 24.3.2 where it is less
    double req = 0;             // cm², as asked
    double floor = 0;           // cm², the least any row may hold (a beam's at its deepest d)
    double areaMax = 0;         // cm², 1.8 × floor: the list's window
    double asMax = 0;           // cm², the code's largest steel; 0 for none
    double beamMinRatio = 0;    // of b·d
    std::int32_t leastBars = 0; // a column's
    double c = 0;               // mm, from the faces to the bars' surfaces (cover and link)
    double link = 0;            // the link's diameter (mm); 0 for none
    double bendRadius = 0;      // the inner radius of the link's bends (mm)
    double b = 0, h = 0, w = 0; // a beam: width, height, width between covers (mm)
    std::vector<Point> outline; // a column's vertices, counter-clockwise (mm)
    double concreteCm2 = 0;
    std::array<Size, kMaxSizes> sizes{};
    std::int32_t nSizes = 0;
};

// A corner size's offset outline: the corner bar centres and the lengths of the sides.
struct Offset {
    bool valid = false;
    std::vector<Point> q;
    std::vector<double> len;
};

// One allowed arrangement, compact: strings and bar positions are made only for listed rows.
struct Cand {
    double area;  // cm²
    double depth; // a beam's effective depth (mm)
    std::int32_t bars;
    std::int16_t pa, pb, p2; // positions in Prep::sizes; p2 = -1: no second layer
    // A beam: bars between the corners (k) and of the second layer (j). A column: bars on each
    // side between corners, k on sides 0, 2, … and j on sides 1, 3 of a four-sided one (k = j on
    // any other).
    std::int32_t k, j;
    std::int8_t layers, nsizes;
};

enum class Fit { Ok, Gap, Spacing, Height };

inline std::string numberWithComma(double v) {
    // Whole numbers are written without decimals ('4 %'), others with the needed ones ('0,2 %').
    if (v == std::floor(v))
        return platform::commaFixed(v, 0);
    return platform::commaFixed(v, 1);
}

// Lengths of the outline's sides, a few metres in mm at most: no overflow for hypot to guard.
inline double length(double dy, double dz) {
    return std::sqrt(dy * dy + dz * dz);
}

inline bool finiteIn(double v, double lo, double hi) {
    return std::isfinite(v) && v >= lo && v <= hi;
}

// What an enumerator hands each arrangement it finds to: any callable, seen through a reference
// (no allocation; the callable outlives the call it is passed to).
class Visitor {
  public:
    template <class F>
    Visitor(F&& f) // NOLINT: converting on purpose, as a lambda is passed
        : object_(&f), call_([](void* o, const Cand& c, Limit l) {
              (*static_cast<std::remove_reference_t<F>*>(o))(c, l);
          }) {}
    void operator()(const Cand& c, Limit l) const { call_(object_, c, l); }

  private:
    void* object_;
    void (*call_)(void*, const Cand&, Limit);
};

// The height of a second layer above a first whose corners are A: its bottom lies the codes'
// clear distance between layers above the top of the corners as placed (in the link's bends).
inline double layer2Bottom(const Prep& p, const Size& A) {
    return p.c + A.d + A.bend + rules::clearBetweenLayers(p.code, p.dg, A.d);
}

// How many bars a side of a four-sided column carries between its corners: sides 0 and 2 take k,
// sides 1 and 3 take j; any other column takes k on every side.
inline std::int32_t sideCount(std::size_t sides, std::size_t i, std::int32_t k, std::int32_t j) {
    return sides == 4 && i % 2 == 1 ? j : k;
}

// The clear gap and centre distance along a side of length L (between corner centres) with m
// bars of B between corners of A.
inline void sideGaps(double L, const Size& A, const Size& B, std::int32_t m, double& g,
                     double& cc) {
    g = (L - A.d - m * B.d) / (m + 1);
    cc = g + (m >= 1 ? (A.d + B.d) / 2 : A.d);
}

// Beams (CodeBeams.cpp)
struct BeamLayer {
    double g, smin, cc;
};
Fit beamLayer1(const Prep& p, const Size& A, const Size& B, std::int32_t k, BeamLayer& out);
void upperPositions(std::int32_t n1, std::int32_t j, std::vector<std::int32_t>& out);
double beamMinimum(const Prep& p, double d);
double beamNeed(const Prep& p, double d);
void enumerateBeam(const Prep& p, double cap, Visitor visit);

// Columns (CodeColumns.cpp)
Offset offsetOutline(const std::vector<Point>& P, double t);
Offset cornerOutline(const Prep& p, const Size& A);
void enumerateColumn(const Prep& p, double cap, Visitor visit);

// The member (CodeMember.cpp)
bool prepare(const Member& m, const Cdiametro& cat, const Options& o, Prep& p, std::string& why);

// Rows (CodeRows.cpp)
bool betterPreferred(const Cand& x, const Cand& y);
bool byArea(const Cand& x, const Cand& y);
std::vector<Layer> rowLayers(const Prep& p, const Cand& c, const Cdiametro& cat);
std::string lineText(const std::vector<Layer>& layers, const std::string& gen);
Arrangement makeRow(const Prep& p, const Cand& c, const Cdiametro& cat);

} // namespace tresol::code::detail

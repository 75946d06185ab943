#include "reinforcement/CodeSearch.h"

#include "geometry/CVector.h"
#include "platform/BoundedArray.h"
#include "platform/Single.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <string_view>

namespace tresol::code {

rules::Materials materials(const Options& o) {
    rules::Materials m = rules::defaults(o.code);
    if (o.concreteMpa != 0)
        m.fc = o.concreteMpa;
    if (o.steelMpa != 0)
        m.fy = o.steelMpa;
    return m;
}

namespace {

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
    double c = 0;               // mm
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

std::string decimalComma(double v, int decimals) {
    std::array<char, 64> buf{};
    auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, decimals);
    std::string s(buf.data(), r.ec == std::errc() ? r.ptr : buf.data());
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

std::string numberWithComma(double v) {
    // Whole numbers are written without decimals ('4 %'), others with the needed ones ('0,2 %').
    if (v == std::floor(v))
        return decimalComma(v, 0);
    return decimalComma(v, 1);
}

// Lengths of the outline's sides, a few metres in mm at most: no overflow for hypot to guard.
double length(double dy, double dz) {
    return std::sqrt(dy * dy + dz * dz);
}

bool finiteIn(double v, double lo, double hi) {
    return std::isfinite(v) && v >= lo && v <= hi;
}

// ---------------------------------------------------------------------------------------------
// Beams

struct BeamLayer {
    double g, smin, cc;
};

// Layer 1: corners of A, k bars of B between them, equal clear gaps across the width.
Fit beamLayer1(const Prep& p, const Size& A, const Size& B, std::int32_t k, BeamLayer& out) {
    if (2 * p.c + A.d > p.h + kEps)
        return Fit::Height;
    const double n = 2.0 + k;
    out.smin = rules::clearBetweenBars(p.code, false, p.dg, A.d);
    out.g = (p.w - 2 * A.d - k * B.d) / (n - 1);
    out.cc = out.g + (k >= 1 ? (A.d + B.d) / 2 : A.d);
    if (out.g < out.smin - kEps)
        return Fit::Gap;
    if (out.cc > p.smax + kEps)
        return Fit::Spacing;
    return Fit::Ok;
}

// The height of a second layer above a first whose corners are A: its bottom lies the codes'
// clear distance between layers above the top of the corners.
double layer2Bottom(const Prep& p, const Size& A) {
    return p.c + A.d + rules::clearBetweenLayers(p.code, p.dg, A.d);
}

bool layer2FitsHeight(const Prep& p, const Size& A, const Size& S) {
    return layer2Bottom(p, A) + S.d + p.c <= p.h + kEps;
}

// The positions (0…n1−1 across the first layer) the j bars of a second layer stand over:
// symmetric, both ends included, spread as evenly as whole positions allow. Only counts whose
// positions exist are asked for (an even first layer has no middle bar for an odd count).
void upperPositions(std::int32_t n1, std::int32_t j, std::vector<std::int32_t>& out) {
    out.assign(static_cast<std::size_t>(j), 0);
    const double step = static_cast<double>(n1 - 1) / (j - 1);
    for (std::int32_t i = 0; i < j / 2; ++i) {
        // Halves round down, so a pair never meets in the middle.
        const auto pos = static_cast<std::int32_t>(std::ceil(i * step - 0.5));
        out[static_cast<std::size_t>(i)] = pos;
        out[static_cast<std::size_t>(j - 1 - i)] = n1 - 1 - pos;
    }
    if (j % 2 == 1)
        out[static_cast<std::size_t>(j / 2)] = (n1 - 1) / 2;
}

bool upperCountExists(std::int32_t n1, std::int32_t j) {
    return j >= 2 && j <= n1 && (n1 % 2 == 1 || j % 2 == 0);
}

// Distance from the bars' face (bottom) to the centroid of the bars, in mm.
double beamCentroid(const Prep& p, const Size& A, const Size& B, std::int32_t k, const Size* S,
                    std::int32_t j) {
    double sa = 2 * A.a + k * B.a;
    double sy = 2 * A.a * (p.c + A.d / 2) + k * B.a * (p.c + B.d / 2);
    if (S && j > 0) {
        sa += j * S->a;
        sy += j * S->a * (layer2Bottom(p, A) + S->d / 2);
    }
    return sy / sa;
}

Cand beamCand(const Prep& p, std::int32_t pa, std::int32_t pb, std::int32_t k, std::int32_t p2,
              std::int32_t j, double area) {
    const Size& A = p.sizes[pa];
    const Size& B = p.sizes[pb];
    const Size* S = p2 >= 0 ? &p.sizes[p2] : nullptr;
    Cand c{};
    c.area = area;
    c.depth = p.h - beamCentroid(p, A, B, k, S, j);
    c.bars = 2 + k + (S ? j : 0);
    c.pa = static_cast<std::int16_t>(pa);
    c.pb = static_cast<std::int16_t>(pb);
    c.p2 = static_cast<std::int16_t>(p2);
    c.k = k;
    c.j = S ? j : 0;
    c.layers = S ? 2 : 1;
    c.nsizes = pa != pb ? 2 : 1;
    return c;
}

// The code minimum of a beam of effective depth d (mm), cm².
double beamMinimum(const Prep& p, double d) {
    return p.beamMinRatio * p.b * d / 100;
}

// The least a beam row of effective depth d may hold: the area asked for and the code minimum,
// which ACI 9.6.1.3 waives for a row holding 4/3 of the area asked for.
double beamNeed(const Prep& p, double d) {
    const double least = beamMinimum(p, d);
    if (p.code == Code::ACI)
        return std::max(p.req, std::min(least, 4.0 / 3.0 * p.req));
    return std::max(p.req, least);
}

Limit beamLimit(const Prep& p, const Cand& c) {
    if (c.area < beamNeed(p, c.depth))
        return Limit::BelowMin;
    if (p.asMax > 0 && c.area > p.asMax)
        return Limit::AboveMax;
    if (p.code == Code::ACI) {
        const Size& A = p.sizes[c.pa];
        const Size& B = p.sizes[c.pb];
        std::array<double, 3> areas{2 * A.a, c.k * B.a, 0};
        std::array<double, 3> depths{p.h - p.c - A.d / 2, p.h - p.c - B.d / 2, 0};
        int n = 2;
        if (c.p2 >= 0) {
            const Size& S = p.sizes[c.p2];
            areas[2] = c.j * S.a;
            depths[2] = p.h - layer2Bottom(p, A) - S.d / 2;
            n = 3;
        }
        if (!rules::tensionControlledEnough(p.mat, p.b, areas.data(), depths.data(), n))
            return Limit::Strain;
    }
    return Limit::Ok;
}

// Every beam arrangement the geometry allows below `cap` cm², each with what the codes' limits
// say of it. A second layer only over a full first layer (one more bar of its inner size would
// break the clear spacing), its bars standing over first-layer bars no smaller than they are.
template <class Visit> void enumerateBeam(const Prep& p, double cap, Visit&& visit) {
    for (std::int32_t pa = 0; pa < p.nSizes; ++pa) {
        const Size& A = p.sizes[pa];
        for (std::int32_t pb = pa; pb >= std::max(0, pa - 1); --pb) {
            const Size& B = p.sizes[pb];
            for (std::int32_t k = pb == pa ? 0 : 1; k <= kMaxCount; ++k) {
                const double area1 = 2 * A.a + k * B.a;
                if (area1 >= cap)
                    break;
                BeamLayer l1{};
                const Fit fit = beamLayer1(p, A, B, k, l1);
                if (fit == Fit::Gap || fit == Fit::Height)
                    break; // more bars only narrow the gap
                if (fit != Fit::Ok)
                    continue;
                const Cand one = beamCand(p, pa, pb, k, -1, 0, area1);
                visit(one, beamLimit(p, one));
                BeamLayer more{};
                if (beamLayer1(p, A, B, k + 1, more) != Fit::Gap)
                    continue;
                const std::int32_t n1 = 2 + k;
                for (std::int32_t p2 = pa; p2 >= pb; --p2) {
                    const Size& S = p.sizes[p2];
                    if (!layer2FitsHeight(p, A, S))
                        continue;
                    for (std::int32_t j = 2; j <= n1; ++j) {
                        if (!upperCountExists(n1, j))
                            continue;
                        // Beyond the two ends an upper bar stands over a bar of B.
                        if (j > 2 && p2 != pb)
                            break;
                        const double area = area1 + j * S.a;
                        if (area >= cap)
                            break;
                        const Cand two = beamCand(p, pa, pb, k, p2, j, area);
                        visit(two, beamLimit(p, two));
                    }
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Columns

// The outline offset inward by t: each side moved along its inward normal, the corners where the
// moved sides meet. Invalid when a side vanishes or turns over.
Offset offsetOutline(const std::vector<Point>& P, double t) {
    Offset o;
    const std::size_t n = P.size();
    o.q.resize(n);
    o.len.resize(n);
    auto normal = [&](std::size_t i) {
        const Point& a = P[i];
        const Point& b = P[(i + 1) % n];
        const double dy = b.y - a.y, dz = b.z - a.z;
        const double len = length(dy, dz);
        return Point{-dz / len, dy / len};
    };
    for (std::size_t i = 0; i < n; ++i) {
        const Point n0 = normal((i + n - 1) % n);
        const Point n1 = normal(i);
        const double s = 1 + n0.y * n1.y + n0.z * n1.z;
        o.q[i] = Point{P[i].y + t * (n0.y + n1.y) / s, P[i].z + t * (n0.z + n1.z) / s};
    }
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = o.q[i];
        const Point& b = o.q[(i + 1) % n];
        const double dy = b.y - a.y, dz = b.z - a.z;
        const double ey = P[(i + 1) % n].y - P[i].y, ez = P[(i + 1) % n].z - P[i].z;
        if (dy * ey + dz * ez <= 0)
            return o; // the side turned over: the offset outline collapsed
        o.len[i] = length(dy, dz);
        if (!std::isfinite(o.len[i]) || !(o.len[i] > 0))
            return o;
    }
    o.valid = true;
    return o;
}

// How many bars a side of a four-sided column carries between its corners: sides 0 and 2 take k,
// sides 1 and 3 take j; any other column takes k on every side.
std::int32_t sideCount(std::size_t sides, std::size_t i, std::int32_t k, std::int32_t j) {
    return sides == 4 && i % 2 == 1 ? j : k;
}

// The clear gap and centre distance along a side of length L (between corner centres) with m
// bars of B between corners of A.
void sideGaps(double L, const Size& A, const Size& B, std::int32_t m, double& g, double& cc) {
    g = (L - A.d - m * B.d) / (m + 1);
    cc = g + (m >= 1 ? (A.d + B.d) / 2 : A.d);
}

// The counts a group of sides (every side, or one pair of opposite sides of a four-sided
// column) may carry between corners: at least lo for the largest spacing, at most hi for the
// clear gap. Empty (lo > hi) when none.
void sideRange(const Prep& p, const Offset& off, const Size& A, const Size& B, std::size_t first,
               std::size_t stride, std::int32_t& lo, std::int32_t& hi) {
    const double smin = rules::clearBetweenBars(p.code, true, p.dg, A.d);
    lo = kMaxCount + 1;
    hi = -1;
    for (std::int32_t m = 0; m <= kMaxCount; ++m) {
        double gMin = kInf, ccMax = 0;
        for (std::size_t i = first; i < off.len.size(); i += stride) {
            double g = 0, cc = 0;
            sideGaps(off.len[i], A, B, m, g, cc);
            gMin = std::min(gMin, g);
            ccMax = std::max(ccMax, cc);
        }
        if (gMin < smin - kEps)
            break;
        hi = m;
        if (lo > kMaxCount && ccMax <= p.smax + kEps)
            lo = m;
    }
}

Cand columnCand(const Prep& p, std::int32_t pa, std::int32_t pb, std::int32_t k, std::int32_t j) {
    const std::size_t n = p.outline.size();
    const Size& A = p.sizes[pa];
    const Size& B = p.sizes[pb];
    std::int32_t side = 0;
    for (std::size_t i = 0; i < n; ++i)
        side += sideCount(n, i, k, j);
    Cand c{};
    c.area = static_cast<double>(n) * A.a + side * B.a;
    c.depth = 0;
    c.bars = static_cast<std::int32_t>(n) + side;
    c.pa = static_cast<std::int16_t>(pa);
    c.pb = static_cast<std::int16_t>(pb);
    c.p2 = -1;
    c.k = k;
    c.j = j;
    c.layers = 1;
    c.nsizes = pa != pb ? 2 : 1;
    return c;
}

Limit columnLimit(const Prep& p, const Cand& c) {
    if (c.area < p.floor)
        return Limit::BelowMin;
    if (p.asMax > 0 && c.area > p.asMax)
        return Limit::AboveMax;
    if (c.bars < p.leastBars)
        return Limit::FewBars;
    return Limit::Ok;
}

// Every column arrangement the geometry allows below `cap` cm², with what the codes' limits say
// of it. For each total of side bars a four-sided column gets the one split between its pairs of
// faces whose widest centre spacing is least, so that a line names one arrangement.
template <class Visit> void enumerateColumn(const Prep& p, double cap, Visit&& visit) {
    const std::size_t n = p.outline.size();
    const bool four = n == 4;
    for (std::int32_t pa = 0; pa < p.nSizes; ++pa) {
        const Size& A = p.sizes[pa];
        if (static_cast<double>(n) * A.a >= cap)
            break; // sizes ascend: larger corners only add area
        const Offset off = offsetOutline(p.outline, p.c + A.d / 2);
        if (!off.valid)
            continue;
        for (std::int32_t pb = pa; pb >= std::max(0, pa - 1); --pb) {
            const Size& B = p.sizes[pb];
            const std::int32_t start = pb == pa ? 0 : 1;
            std::int32_t lo0 = 0, hi0 = 0, lo1 = 0, hi1 = 0;
            sideRange(p, off, A, B, 0, four ? 2 : 1, lo0, hi0);
            if (four)
                sideRange(p, off, A, B, 1, 2, lo1, hi1);
            if (lo0 > hi0 || (four && lo1 > hi1))
                continue;
            if (!four) {
                for (std::int32_t m = std::max(lo0, start); m <= hi0; ++m) {
                    const Cand c = columnCand(p, pa, pb, m, m);
                    if (c.area >= cap)
                        break;
                    visit(c, columnLimit(p, c));
                }
                continue;
            }
            for (std::int32_t t = std::max(lo0 + lo1, start); t <= hi0 + hi1; ++t) {
                std::int32_t bestK = -1;
                double bestCc = kInf;
                for (std::int32_t k = std::min(hi0, t - lo1); k >= std::max(lo0, t - hi1); --k) {
                    double ccMax = 0;
                    for (std::size_t i = 0; i < n; ++i) {
                        double g = 0, cc = 0;
                        sideGaps(off.len[i], A, B, sideCount(n, i, k, t - k), g, cc);
                        ccMax = std::max(ccMax, cc);
                    }
                    if (ccMax < bestCc - kEps) {
                        bestCc = ccMax;
                        bestK = k;
                    }
                }
                if (bestK < 0)
                    continue;
                const Cand c = columnCand(p, pa, pb, bestK, t - bestK);
                if (c.area >= cap)
                    break;
                visit(c, columnLimit(p, c));
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The member

// The outline the design window draws: the width × height rectangle, or the regular polygon of
// circumradius = width, through the geometry routine the window uses, in single precision.
bool buildOutline(const Member& m, std::vector<Point>& out) {
    const float b = platform::toSingleOrInfinity(m.widthCm / 100.0);
    const float h =
        m.sides == 4 && m.heightCm != 0 ? platform::toSingleOrInfinity(m.heightCm / 100.0) : b;
    out.clear();
    if (m.sides == 4) {
        const std::array<std::array<float, 2>, 4> pts{
            {{-h / 2, -b / 2}, {h / 2, -b / 2}, {h / 2, b / 2}, {-h / 2, b / 2}}};
        for (const auto& pt : pts)
            out.push_back(Point{double{pt[0]} * 1000, double{pt[1]} * 1000});
        return true;
    }
    PointArray pts = makePointArray(m.sides + 1);
    CVector radio;
    radio.Ini(0, 0, 0, 0, b, 0);
    radio.CreaPtosCircunf(m.sides, 0, pts, 0);
    for (std::int32_t i = 1; i <= m.sides; ++i)
        out.push_back(Point{double{pts(i, 1)} * 1000, double{pts(i, 2)} * 1000});
    return true;
}

// A convex outline turning once counter-clockwise, with its area in cm².
bool convexOutline(const std::vector<Point>& P, double& areaCm2) {
    const std::size_t n = P.size();
    if (n < 3)
        return false;
    double turn = 0, twice = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = P[i];
        const Point& b = P[(i + 1) % n];
        const Point& c = P[(i + 2) % n];
        const double e1y = b.y - a.y, e1z = b.z - a.z, e2y = c.y - b.y, e2z = c.z - b.z;
        const double cross = e1y * e2z - e1z * e2y;
        if (!(cross > 0) || std::hypot(e1y, e1z) <= kEps)
            return false;
        turn += std::atan2(cross, e1y * e2y + e1z * e2z);
        twice += a.y * b.z - b.y * a.z;
    }
    areaCm2 = twice / 2 / 100;
    return std::fabs(turn - 2 * std::numbers::pi) < 1e-6 && areaCm2 > 0;
}

// Checks the member and options and converts them; a Spanish reason when they are refused.
bool prepare(const Member& m, const Cdiametro& cat, const Options& o, Prep& p, std::string& why) {
    p.column = m.column;
    p.code = o.code;
    if (o.code != Code::EC2 && o.code != Code::ACI) {
        why = "norma no válida";
        return false;
    }
    if (!finiteIn(m.areaCm2, 0, kMaxAreaCm2) || !(m.areaCm2 > 0)) {
        why = "área necesaria no válida: debe ser mayor que 0 y de hasta 100000 cm²";
        return false;
    }
    if (!finiteIn(m.coverCm, 0, kMaxLengthCm)) {
        why = "recubrimiento no válido";
        return false;
    }
    if (!finiteIn(o.aggregateMm, 0, 1000) || !(o.aggregateMm > 0)) {
        why = "tamaño del árido no válido";
        return false;
    }
    if (!finiteIn(o.maxSpacingMm, 0, kMaxLengthCm * 10) || !(o.maxSpacingMm > 0)) {
        why = "separación máxima no válida";
        return false;
    }
    if (!finiteIn(o.minDiameterMm, 0, 1000)) {
        why = "diámetro mínimo no válido";
        return false;
    }
    if (!finiteIn(o.maxDiameterMm, 0, 1000)) {
        why = "diámetro máximo no válido";
        return false;
    }
    if (m.column && o.minDiameterMm > 0 && o.minDiameterMm < rules::columnLeastBar(o.code) - kEps) {
        why = "diámetro mínimo no válido: un pilar lleva barras de " +
              numberWithComma(rules::columnLeastBar(o.code)) + " mm o más (EN 1992-1-1 9.5.2(1))";
        return false;
    }
    if (!m.column && m.multiple != 1) {
        why = "la búsqueda por norma arma una sola cara: el múltiplo de una viga debe ser 1";
        return false;
    }
    if (o.top < 0) {
        why = "número de filas no válido";
        return false;
    }
    p.mat = materials(o);
    if (std::string bad = rules::materialsProblem(o.code, p.mat); !bad.empty()) {
        why = std::move(bad);
        return false;
    }
    p.dg = o.aggregateMm;
    p.req = m.areaCm2;
    p.c = m.coverCm * 10;

    if (!m.column) {
        if (!finiteIn(m.widthCm, 0, kMaxLengthCm) || !(m.widthCm > 0)) {
            why = "ancho no válido";
            return false;
        }
        if (!finiteIn(m.heightCm, 0, kMaxLengthCm) || !(m.heightCm > 0)) {
            why = "canto no válido";
            return false;
        }
        p.b = m.widthCm * 10;
        p.h = m.heightCm * 10;
        if (2 * p.c >= p.b || 2 * p.c >= p.h) {
            why = "el recubrimiento no deja sitio para las barras";
            return false;
        }
        p.w = p.b - 2 * p.c;
        p.concreteCm2 = m.widthCm * m.heightCm;
        p.smax = rules::beamMaxSpacing(o.code, p.mat, o.maxSpacingMm, p.c);
        if (!(p.smax > 0)) {
            why = "el recubrimiento deja la separación máxima de ACI 318-19 24.3.2 en nada";
            return false;
        }
        p.beamMinRatio = rules::beamMinRatio(o.code, p.mat);
    } else {
        if (!m.outline.empty()) {
            for (const auto& [y, z] : m.outline) {
                if (!finiteIn(y, -kMaxLengthCm / 100, kMaxLengthCm / 100) ||
                    !finiteIn(z, -kMaxLengthCm / 100, kMaxLengthCm / 100)) {
                    why = "contorno no válido";
                    return false;
                }
                p.outline.push_back(Point{y * 1000, z * 1000});
            }
            if (p.outline.size() > 1 && p.outline.front().y == p.outline.back().y &&
                p.outline.front().z == p.outline.back().z)
                p.outline.pop_back();
            if (p.outline.size() > static_cast<std::size_t>(kMaxSides)) {
                why = "contorno no válido: demasiados lados";
                return false;
            }
        } else {
            if (m.sides < 3 || m.sides > kMaxSides) {
                why = "número de lados no válido: de 3 a 100";
                return false;
            }
            if (!finiteIn(m.widthCm, 0, kMaxLengthCm) || !(m.widthCm > 0)) {
                why = "ancho no válido";
                return false;
            }
            if (m.sides == 4 && !finiteIn(m.heightCm, 0, kMaxLengthCm)) {
                why = "canto no válido";
                return false;
            }
            buildOutline(m, p.outline);
        }
        if (!convexOutline(p.outline, p.concreteCm2)) {
            why = "contorno no válido: debe ser convexo y en sentido antihorario";
            return false;
        }
        p.smax = o.maxSpacingMm;
        p.leastBars = rules::columnLeastBars(o.code, static_cast<int>(p.outline.size()));
    }

    const std::int32_t lo = cat.GetIndiMin(), hi = cat.GetIndiMax();
    if (hi < lo) {
        why = "el catálogo no tiene diámetros";
        return false;
    }
    if (hi - lo + 1 > kMaxSizes) {
        why = "el catálogo tiene demasiados diámetros";
        return false;
    }
    const double minD = o.minDiameterMm > 0 ? o.minDiameterMm : (m.column ? 12.0 : 10.0);
    const double maxD = o.maxDiameterMm > 0 ? o.maxDiameterMm : kInf;
    double previous = 0;
    for (std::int32_t i = lo; i <= hi; ++i) {
        const double dm = cat.GetDiametroMetros(i);
        const double a = cat.GetAreaIndice(i);
        // Micrometres: a single's '0.016' is 16 mm, not 16.0000008.
        const double d = std::round(dm * 1e6) / 1e3;
        if (!std::isfinite(d) || !(d > previous) || !std::isfinite(a) || !(a > 0)) {
            why = "el catálogo no está ordenado de menor a mayor diámetro";
            return false;
        }
        previous = d;
        if (d < minD - kEps || d > maxD + kEps)
            continue;
        p.sizes[p.nSizes++] = Size{i, d, a * 1e4};
    }
    if (p.nSizes == 0) {
        why = o.maxDiameterMm > 0 ? "ningún diámetro del catálogo entre " + numberWithComma(minD) +
                                        " y " + numberWithComma(maxD) + " mm"
                                  : "ningún diámetro del catálogo llega al mínimo de " +
                                        numberWithComma(minD) + " mm";
        return false;
    }

    // The codes' least steel is a floor of the list, the 1.8 window taken from it; a beam's
    // depends on each row's own effective depth, and is largest with one layer of the least size.
    const double maxRatio = rules::maxRatio(o.code, m.column);
    p.asMax = maxRatio * p.concreteCm2;
    if (m.column)
        p.floor = std::max(p.req, rules::columnMinRatio(o.code) * p.concreteCm2);
    else
        p.floor = beamNeed(p, p.h - p.c - p.sizes[0].d / 2);
    p.areaMax = kExcessLimit * p.floor;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Rows

// Deterministic last resort between arrangements equal in every stated respect.
bool configBefore(const Cand& x, const Cand& y) {
    if (x.depth != y.depth)
        return x.depth > y.depth; // the deeper lever arm
    if (x.k != y.k)
        return x.k > y.k; // more bars in the first layer, or on the first faces
    if (x.pa != y.pa)
        return x.pa > y.pa;
    if (x.pb != y.pb)
        return x.pb > y.pb;
    if (x.p2 != y.p2)
        return x.p2 > y.p2;
    return x.j < y.j;
}

bool betterPreferred(const Cand& x, const Cand& y) {
    if (x.layers != y.layers)
        return x.layers < y.layers;
    if (x.bars != y.bars)
        return x.bars < y.bars;
    if (x.nsizes != y.nsizes)
        return x.nsizes < y.nsizes;
    if (x.area != y.area)
        return x.area < y.area;
    return configBefore(x, y);
}

bool byArea(const Cand& x, const Cand& y) {
    if (x.area != y.area)
        return x.area < y.area;
    if (x.bars != y.bars)
        return x.bars < y.bars;
    if (x.layers != y.layers)
        return x.layers < y.layers;
    if (x.nsizes != y.nsizes)
        return x.nsizes < y.nsizes;
    return configBefore(x, y);
}

Group group(const Cdiametro& cat, const Size& s, std::int32_t count) {
    return Group{count, s.index, cat.GetDiamRefer(s.index), s.d};
}

// The groups of a row, layer by layer.
std::vector<Layer> rowLayers(const Prep& p, const Cand& c, const Cdiametro& cat) {
    const Size& A = p.sizes[c.pa];
    const Size& B = p.sizes[c.pb];
    std::vector<Layer> layers(c.layers);
    std::int32_t corners = 2, between = c.k;
    if (p.column) {
        corners = static_cast<std::int32_t>(p.outline.size());
        between = c.bars - corners;
    }
    if (c.pa != c.pb) {
        layers[0].groups.push_back(group(cat, A, corners));
        layers[0].groups.push_back(group(cat, B, between));
    } else {
        layers[0].groups.push_back(group(cat, A, corners + between));
    }
    if (c.p2 >= 0)
        layers[1].groups.push_back(group(cat, p.sizes[c.p2], c.j));
    return layers;
}

// '2 fi 20 + 2 fi 16', '3 fi 20 / 2 fi 20'.
std::string lineText(const std::vector<Layer>& layers, const std::string& gen) {
    std::string line;
    for (std::size_t li = 0; li < layers.size(); ++li) {
        if (li > 0)
            line += " / ";
        for (std::size_t gi = 0; gi < layers[li].groups.size(); ++gi) {
            const Group& g = layers[li].groups[gi];
            if (gi > 0)
                line += " + ";
            line += std::to_string(g.count) + ' ' + gen + ' ' + g.ref;
        }
    }
    return line;
}

// A layer across the width: a corner of A, k bars of B, a corner of A, equal clear gaps g, every
// bar on the layer's face (its bottom `yFace` above the beam's bottom).
void beamBars(const Prep& p, double yFace, const Size& A, const Size& B, std::int32_t k, double g,
              std::vector<Bar>& out) {
    double z = -p.b / 2 + p.c;
    auto put = [&](const Size& s) {
        out.push_back(Bar{(-p.h / 2 + yFace + s.d / 2) / 1000, (z + s.d / 2) / 1000, s.index});
        z += s.d + g;
    };
    put(A);
    for (std::int32_t i = 0; i < k; ++i)
        put(B);
    put(A);
}

// The least clear gap and the widest centre distance between neighbours of a row of bars of
// one diameter at the given centres (mm), across.
void rowGaps(const std::vector<double>& z, double d, double& clear, double& centre) {
    clear = kInf;
    centre = 0;
    for (std::size_t i = 1; i < z.size(); ++i) {
        clear = std::min(clear, z[i] - z[i - 1] - d);
        centre = std::max(centre, z[i] - z[i - 1]);
    }
}

void beamRow(const Prep& p, const Cand& c, Arrangement& r) {
    const Size& A = p.sizes[c.pa];
    const Size& B = p.sizes[c.pb];
    BeamLayer g1{};
    beamLayer1(p, A, B, c.k, g1);
    r.layers[0].clearSpacingMm = g1.g;
    r.layers[0].minClearMm = g1.smin;
    r.layers[0].maxCentreSpacingMm = g1.cc;
    beamBars(p, p.c, A, B, c.k, g1.g, r.placement);
    if (c.p2 >= 0) {
        const Size& S = p.sizes[c.p2];
        const std::int32_t n1 = 2 + c.k;
        std::vector<std::int32_t> at;
        upperPositions(n1, c.j, at);
        std::vector<double> z;
        const double y = (-p.h / 2 + layer2Bottom(p, A) + S.d / 2) / 1000;
        for (std::int32_t i : at) {
            const Bar& below = r.placement[static_cast<std::size_t>(i)];
            r.placement.push_back(Bar{y, below.z, S.index});
            z.push_back(below.z * 1000);
        }
        Layer& l2 = r.layers[1];
        rowGaps(z, S.d, l2.clearSpacingMm, l2.maxCentreSpacingMm);
        l2.minClearMm = rules::clearBetweenBars(p.code, false, p.dg, S.d);
    }
    r.effectiveDepthCm = c.depth / 10;
    const double least = beamMinimum(p, c.depth);
    if (least > p.req) {
        if (c.area >= least)
            r.flags.push_back("mínimo de norma: " + decimalComma(least, 2) + " cm² (" +
                              rules::beamMinWhy(p.code, p.mat) + ")");
        else
            r.flags.push_back("mínimo de norma dispensado: 4/3 del área necesaria "
                              "(ACI 318-19 9.6.1.3)");
    }
}

void columnRow(const Prep& p, const Cand& c, Arrangement& r) {
    const Size& A = p.sizes[c.pa];
    const Size& B = p.sizes[c.pb];
    const std::size_t n = p.outline.size();
    const Offset off = offsetOutline(p.outline, p.c + A.d / 2);
    Layer& l = r.layers[0];
    l.clearSpacingMm = kInf;
    l.maxCentreSpacingMm = 0;
    l.minClearMm = rules::clearBetweenBars(p.code, true, p.dg, A.d);
    const double tb = p.c + B.d / 2;
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t m = sideCount(n, i, c.k, c.j);
        const Point& q0 = off.q[i];
        r.placement.push_back(Bar{q0.y / 1000, q0.z / 1000, A.index});
        const Point& p0 = p.outline[i];
        const Point& p1 = p.outline[(i + 1) % n];
        const double ey = p1.y - p0.y, ez = p1.z - p0.z, el = length(ey, ez);
        const double uy = ey / el, uz = ez / el;
        double g = 0, cc = 0;
        sideGaps(off.len[i], A, B, m, g, cc);
        l.clearSpacingMm = std::min(l.clearSpacingMm, g);
        l.maxCentreSpacingMm = std::max(l.maxCentreSpacingMm, cc);
        // Side bars lie against the cover like the corners, on the side's own line.
        const double sq = (q0.y - p0.y) * uy + (q0.z - p0.z) * uz;
        for (std::int32_t s = 0; s < m; ++s) {
            const double along = sq + A.d / 2 + g + B.d / 2 + s * (g + B.d);
            r.placement.push_back(Bar{(p0.y + tb * -uz + along * uy) / 1000,
                                      (p0.z + tb * uy + along * uz) / 1000, B.index});
        }
    }
    if (p.floor > p.req)
        r.flags.push_back("mínimo de norma: " + decimalComma(p.floor, 2) + " cm² (" +
                          numberWithComma(rules::columnMinRatio(p.code) * 100) +
                          (p.code == Code::EC2 ? " % Ac)" : " % Ag)"));
    // ACI R10.6.1.1: above 4 % the laps crowd the section; advice, not a limit.
    if (p.code == Code::ACI && r.ratioPct > 4)
        r.flags.push_back("cuantía > 4 %");
}

Arrangement makeRow(const Prep& p, const Cand& c, const Cdiametro& cat) {
    Arrangement r{};
    r.bars = c.bars;
    r.totalAreaCm2 = c.area;
    r.excessPct = (c.area - p.req) / p.req * 100;
    r.ratioPct = c.area / p.concreteCm2 * 100;
    r.preferred = false;
    r.layers = rowLayers(p, c, cat);
    r.line = lineText(r.layers, cat.GetRefGener());
    r.placement.reserve(static_cast<std::size_t>(c.bars));
    if (p.column)
        columnRow(p, c, r);
    else
        beamRow(p, c, r);
    return r;
}

// ---------------------------------------------------------------------------------------------
// The search

template <class Visit> void enumerate(const Prep& p, double cap, Visit&& visit) {
    if (p.column)
        enumerateColumn(p, cap, visit);
    else
        enumerateBeam(p, cap, visit);
}

constexpr std::size_t limitIndex(Limit l) {
    return static_cast<std::size_t>(l);
}

// Why a member has no row: what the codes' limits left, or the most that fits.
std::string noRowMessage(const Prep& p, double most, std::int32_t mostLayers,
                         const std::array<std::int32_t, 5>& refused) {
    const std::string largest = decimalComma(p.asMax, 2) + " cm² (" +
                                numberWithComma(rules::maxRatio(p.code, p.column) * 100) +
                                " % de la sección)";
    if (p.asMax > 0 && p.floor > p.asMax)
        return "el área necesaria pasa del máximo de norma: " + largest;
    if (refused[limitIndex(Limit::Strain)] > 0)
        return "ninguna disposición que cabe llega a una deformación εt de 0,004 "
               "(ACI 318-19 9.3.3.1): la sección pide más canto";
    if (refused[limitIndex(Limit::AboveMax)] > 0)
        return "ninguna disposición que cabe queda bajo el máximo de norma: " + largest;
    if (refused[limitIndex(Limit::FewBars)] > 0)
        return "ninguna disposición que cabe tiene las " + std::to_string(p.leastBars) +
               " barras que pide ACI 318-19 10.7.3.1";
    if (most <= 0)
        return "no cabe ninguna disposición que cumpla las separaciones";
    const std::string where = p.column ? "" : mostLayers == 2 ? " en dos capas" : " en una capa";
    // Rounded down: the member holds at least what the message says it holds at most.
    std::string text = "no cabe: como máximo " +
                       decimalComma(std::floor(most * 10 + 1e-9) / 10, 1) + " cm²" + where;
    if (p.floor > p.req)
        text += " (el mínimo de norma pide " + decimalComma(p.floor, 2) + " cm²)";
    return text;
}

// The arrangements a member lists: every allowed one within the window, or, when the window
// holds none, the least allowed one wherever it lies. None, and why, when nothing is allowed.
std::vector<Cand> allowed(const Prep& p, std::string& why) {
    std::vector<Cand> cands;
    cands.reserve(128);
    enumerate(p, p.areaMax, [&](const Cand& c, Limit l) {
        if (l == Limit::Ok)
            cands.push_back(c);
    });
    if (!cands.empty())
        return cands;
    double least = kInf, most = 0;
    std::int32_t mostLayers = 0;
    std::array<std::int32_t, 5> refused{};
    enumerate(p, kInf, [&](const Cand& c, Limit l) {
        if (c.area > most) {
            most = c.area;
            mostLayers = c.layers;
        }
        if (l != Limit::Ok) {
            if (c.area >= p.floor)
                ++refused[limitIndex(l)];
            return;
        }
        if (c.area < least) {
            least = c.area;
            cands.clear();
        }
        if (c.area == least)
            cands.push_back(c);
    });
    if (cands.empty())
        why = noRowMessage(p, most, mostLayers, refused);
    return cands;
}

} // namespace

Result search(const Member& m, const Cdiametro& catalogue, const Options& o) {
    Result res;
    Prep p;
    std::string why;
    if (!prepare(m, catalogue, o, p, why)) {
        res.refused = true;
        res.messages.push_back(std::move(why));
        return res;
    }
    std::vector<Cand> cands = allowed(p, why);
    if (cands.empty()) {
        res.messages.push_back(std::move(why));
        return res;
    }

    double least = cands.front().area;
    for (const Cand& c : cands)
        least = std::min(least, c.area);
    std::size_t pref = cands.size();
    for (std::size_t i = 0; i < cands.size(); ++i)
        if (cands[i].area <= least * kPreferredWindow &&
            (pref == cands.size() || betterPreferred(cands[i], cands[pref])))
            pref = i;
    std::swap(cands[0], cands[pref]);

    // The rest by area; the least-area arrangement (then the first of them) is listed even
    // beyond `top`.
    const std::size_t rest = cands.size() - 1;
    // An unlimited list is still bounded: a wall-sized member has millions of arrangements.
    std::size_t keep = std::min(rest, kMaxRows - 1);
    if (o.top > 0) {
        const std::size_t leastNeeded = cands[0].area > least ? 1 : 0;
        keep = std::min(rest, std::max(static_cast<std::size_t>(o.top - 1), leastNeeded));
    }
    std::partial_sort(cands.begin() + 1, cands.begin() + 1 + static_cast<std::ptrdiff_t>(keep),
                      cands.end(), byArea);
    const std::size_t rows = 1 + keep;
    if (o.top == 0 && rows < cands.size())
        res.messages.push_back("solo se listan las primeras " + std::to_string(rows) + " de " +
                               std::to_string(cands.size()) + " disposiciones");
    res.arrangements.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        res.arrangements.push_back(makeRow(p, cands[i], catalogue));
        res.arrangements.back().preferred = i == 0;
    }
    return res;
}

std::optional<Arrangement> readLine(const std::string& line, const Member& m,
                                    const Cdiametro& catalogue, const Options& o,
                                    std::string& error) {
    error.clear();
    Prep p;
    if (!prepare(m, catalogue, o, p, error))
        return std::nullopt;
    if (line.size() > 200) {
        error = "la línea es demasiado larga";
        return std::nullopt;
    }
    std::string why;
    const std::string gen = catalogue.GetRefGener();
    for (const Cand& c : allowed(p, why))
        if (lineText(rowLayers(p, c, catalogue), gen) == line)
            return makeRow(p, c, catalogue);
    error = "la línea no es una disposición de esta búsqueda: " + line;
    return std::nullopt;
}

std::vector<Bar> placeLine(const std::string& line, const Member& m, const Cdiametro& catalogue,
                           const Options& o, std::string& error) {
    auto r = readLine(line, m, catalogue, o, error);
    if (!r)
        return {};
    return std::move(r->placement);
}

} // namespace tresol::code

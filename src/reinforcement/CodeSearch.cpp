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

struct Size {
    std::int32_t index; // in the catalogue
    double d;           // mm
    double a;           // cm², the catalogue's own area of one bar
};

struct Point {
    double y, z; // mm
};

// A member checked and converted to mm, with its eligible sizes (ascending, neighbours adjacent).
struct Prep {
    bool column = false;
    Code code = Code::EC2;
    double dg = 20, smax = 300;
    double req = 0, areaMax = 0; // cm²
    double c = 0;                // mm
    double b = 0, h = 0, w = 0;  // a beam: width, height, width between covers (mm)
    std::vector<Point> outline;  // a column's vertices, counter-clockwise (mm)
    double concreteCm2 = 0;
    std::array<Size, kMaxSizes> sizes{};
    std::int32_t nSizes = 0;
};

// A corner size's offset outline: the corner bar centres and the lengths of the sides.
struct Offset {
    bool valid = false;
    std::vector<Point> q;
    double lMin = 0, lMax = 0;
};

// One feasible arrangement, compact: strings and bar positions are made only for listed rows.
struct Cand {
    double area;  // cm²
    double depth; // a beam's effective depth (mm)
    std::int32_t bars;
    std::int16_t pa, pb, p2; // positions in Prep::sizes; p2 = -1: no second layer
    std::int32_t k;          // a beam: bars between the corners; a column: bars per side
    std::int32_t j;          // bars of the second layer
    std::int8_t layers, nsizes;
};

enum class Why { Ok, Gap, Spacing, Height, Shape };

double sMin(const Prep& p, double dmax) {
    if (p.code == Code::EC2)
        return std::max({dmax, p.dg + 5, 20.0});
    if (!p.column)
        return std::max({25.4, dmax, 4.0 / 3.0 * p.dg});
    return std::max({38.1, 1.5 * dmax, 4.0 / 3.0 * p.dg});
}

// Clear vertical distance between a beam's two layers.
double vClear(const Prep& p, double dmax) {
    return p.code == Code::EC2 ? sMin(p, dmax) : 25.4;
}

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

bool finiteIn(double v, double lo, double hi) {
    return std::isfinite(v) && v >= lo && v <= hi;
}

// ---------------------------------------------------------------------------------------------
// Beams

struct Layer1 {
    double g, smin, cc;
};

// Layer 1: corners of A, k bars of B between them, equal clear gaps across the width.
Why beamLayer1(const Prep& p, const Size& A, const Size& B, std::int32_t k, Layer1& out) {
    if (2 * p.c + A.d > p.h + kEps)
        return Why::Height;
    const double n = 2.0 + k;
    out.smin = sMin(p, A.d);
    out.g = (p.w - 2 * A.d - k * B.d) / (n - 1);
    out.cc = out.g + (k >= 1 ? (A.d + B.d) / 2 : A.d);
    if (out.g < out.smin - kEps)
        return Why::Gap;
    if (out.cc > p.smax + kEps)
        return Why::Spacing;
    return Why::Ok;
}

// The height of a second layer of S above a first whose corners are A: its bottom lies a clear
// distance above the top of the corners.
double layer2Bottom(const Prep& p, const Size& A) {
    return p.c + A.d + vClear(p, A.d);
}

struct Layer2 {
    double g, smin, cc;
};

Why beamLayer2(const Prep& p, const Size& A, const Size& S, std::int32_t j, Layer2& out) {
    if (layer2Bottom(p, A) + S.d + p.c > p.h + kEps)
        return Why::Height;
    out.smin = sMin(p, S.d);
    out.g = (p.w - j * S.d) / (j - 1);
    out.cc = out.g + S.d;
    if (out.g < out.smin - kEps)
        return Why::Gap;
    return Why::Ok;
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

template <class Emit> void enumerateBeam(const Prep& p, Emit&& emit) {
    for (std::int32_t pa = 0; pa < p.nSizes; ++pa) {
        const Size& A = p.sizes[pa];
        for (std::int32_t pb = pa; pb >= std::max(0, pa - 1); --pb) {
            const Size& B = p.sizes[pb];
            for (std::int32_t k = pb == pa ? 0 : 1;; ++k) {
                const double area1 = 2 * A.a + k * B.a;
                if (area1 >= p.areaMax)
                    break;
                Layer1 l1{};
                const Why why = beamLayer1(p, A, B, k, l1);
                if (why == Why::Gap || why == Why::Height)
                    break; // more bars only narrow the gap
                if (why != Why::Ok)
                    continue;
                if (area1 >= p.req)
                    emit(beamCand(p, pa, pb, k, -1, 0, area1));
                const std::int32_t n1 = 2 + k;
                for (std::int32_t p2 = pa; p2 >= pb; --p2) {
                    const Size& S = p.sizes[p2];
                    for (std::int32_t j = 2; j <= n1; ++j) {
                        const double area = area1 + j * S.a;
                        if (area >= p.areaMax)
                            break;
                        Layer2 l2{};
                        if (beamLayer2(p, A, S, j, l2) != Why::Ok)
                            break;
                        if (area >= p.req)
                            emit(beamCand(p, pa, pb, k, p2, j, area));
                    }
                }
            }
        }
    }
}

// The most steel any arrangement of the rules holds, whatever the area, and in how many layers.
std::pair<double, std::int32_t> beamMost(const Prep& p) {
    double best = 0;
    std::int32_t layers = 0;
    for (std::int32_t pa = 0; pa < p.nSizes; ++pa) {
        const Size& A = p.sizes[pa];
        for (std::int32_t pb = pa; pb >= std::max(0, pa - 1); --pb) {
            const Size& B = p.sizes[pb];
            std::int32_t kBest = -1;
            for (std::int32_t k = pb == pa ? 0 : 1;; ++k) {
                Layer1 l1{};
                const Why why = beamLayer1(p, A, B, k, l1);
                if (why == Why::Gap || why == Why::Height)
                    break;
                if (why == Why::Ok)
                    kBest = k;
            }
            if (kBest < 0)
                continue;
            const double area1 = 2 * A.a + kBest * B.a;
            if (area1 > best) {
                best = area1;
                layers = 1;
            }
            for (std::int32_t p2 = pa; p2 >= pb; --p2) {
                const Size& S = p.sizes[p2];
                std::int32_t jBest = 0;
                for (std::int32_t j = 2; j <= 2 + kBest; ++j) {
                    Layer2 l2{};
                    if (beamLayer2(p, A, S, j, l2) != Why::Ok)
                        break;
                    jBest = j;
                }
                if (jBest > 0 && area1 + jBest * S.a > best) {
                    best = area1 + jBest * S.a;
                    layers = 2;
                }
            }
        }
    }
    return {best, layers};
}

// ---------------------------------------------------------------------------------------------
// Columns

// The outline offset inward by t: each side moved along its inward normal, the corners where the
// moved sides meet. Invalid when a side vanishes or turns over.
Offset offsetOutline(const std::vector<Point>& P, double t) {
    Offset o;
    const std::size_t n = P.size();
    o.q.resize(n);
    auto normal = [&](std::size_t i) {
        const Point& a = P[i];
        const Point& b = P[(i + 1) % n];
        const double dy = b.y - a.y, dz = b.z - a.z;
        const double len = std::hypot(dy, dz);
        return Point{-dz / len, dy / len};
    };
    for (std::size_t i = 0; i < n; ++i) {
        const Point n0 = normal((i + n - 1) % n);
        const Point n1 = normal(i);
        const double s = 1 + n0.y * n1.y + n0.z * n1.z;
        o.q[i] = Point{P[i].y + t * (n0.y + n1.y) / s, P[i].z + t * (n0.z + n1.z) / s};
    }
    o.lMin = std::numeric_limits<double>::infinity();
    o.lMax = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = o.q[i];
        const Point& b = o.q[(i + 1) % n];
        const double dy = b.y - a.y, dz = b.z - a.z;
        const double ey = P[(i + 1) % n].y - P[i].y, ez = P[(i + 1) % n].z - P[i].z;
        if (dy * ey + dz * ez <= 0)
            return o; // the side turned over: the offset outline collapsed
        const double l = std::hypot(dy, dz);
        o.lMin = std::min(o.lMin, l);
        o.lMax = std::max(o.lMax, l);
    }
    o.valid = std::isfinite(o.lMin) && o.lMin > 0;
    return o;
}

struct Ring {
    double gMin, gMax, smin, cc;
};

// Corners of A and m bars of B on every side, equal clear gaps along each side.
Why columnRing(const Prep& p, const Offset& off, const Size& A, const Size& B, std::int32_t m,
               Ring& out) {
    if (!off.valid)
        return Why::Shape;
    out.smin = sMin(p, A.d);
    out.gMin = (off.lMin - A.d - m * B.d) / (m + 1);
    out.gMax = (off.lMax - A.d - m * B.d) / (m + 1);
    out.cc = out.gMax + (m >= 1 ? (A.d + B.d) / 2 : A.d);
    if (out.gMin < out.smin - kEps)
        return Why::Gap;
    if (out.cc > p.smax + kEps)
        return Why::Spacing;
    return Why::Ok;
}

Cand columnCand(const Prep& p, std::int32_t pa, std::int32_t pb, std::int32_t m, double area) {
    Cand c{};
    c.area = area;
    c.depth = 0;
    c.bars = static_cast<std::int32_t>(p.outline.size()) * (1 + m);
    c.pa = static_cast<std::int16_t>(pa);
    c.pb = static_cast<std::int16_t>(pb);
    c.p2 = -1;
    c.k = m;
    c.j = 0;
    c.layers = 1;
    c.nsizes = pa != pb ? 2 : 1;
    return c;
}

template <class Emit> void enumerateColumn(const Prep& p, Emit&& emit) {
    const double n = static_cast<double>(p.outline.size());
    for (std::int32_t pa = 0; pa < p.nSizes; ++pa) {
        const Size& A = p.sizes[pa];
        if (n * A.a >= p.areaMax)
            break; // sizes ascend: larger corners only add area
        const Offset off = offsetOutline(p.outline, p.c + A.d / 2);
        if (!off.valid)
            continue;
        for (std::int32_t pb = pa; pb >= std::max(0, pa - 1); --pb) {
            const Size& B = p.sizes[pb];
            for (std::int32_t m = pb == pa ? 0 : 1;; ++m) {
                const double area = n * (A.a + m * B.a);
                if (area >= p.areaMax)
                    break;
                Ring r{};
                const Why why = columnRing(p, off, A, B, m, r);
                if (why == Why::Gap)
                    break;
                if (why == Why::Ok && area >= p.req)
                    emit(columnCand(p, pa, pb, m, area));
            }
        }
    }
}

double columnMost(const Prep& p) {
    const double n = static_cast<double>(p.outline.size());
    double best = 0;
    for (std::int32_t pa = 0; pa < p.nSizes; ++pa) {
        const Size& A = p.sizes[pa];
        const Offset off = offsetOutline(p.outline, p.c + A.d / 2);
        if (!off.valid)
            continue;
        for (std::int32_t pb = pa; pb >= std::max(0, pa - 1); --pb) {
            const Size& B = p.sizes[pb];
            for (std::int32_t m = pb == pa ? 0 : 1;; ++m) {
                Ring r{};
                const Why why = columnRing(p, off, A, B, m, r);
                if (why != Why::Ok && why != Why::Spacing)
                    break;
                if (why == Why::Ok)
                    best = std::max(best, n * (A.a + m * B.a));
            }
        }
    }
    return best;
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
    if (o.top < 0) {
        why = "número de filas no válido";
        return false;
    }
    p.dg = o.aggregateMm;
    p.smax = o.maxSpacingMm;
    p.req = m.areaCm2;
    p.areaMax = kExcessLimit * m.areaCm2;
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
        if (d < minD - kEps)
            continue;
        p.sizes[p.nSizes++] = Size{i, d, a * 1e4};
    }
    if (p.nSizes == 0) {
        why = "ningún diámetro del catálogo llega al mínimo de " + numberWithComma(minD) + " mm";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Rows

// Deterministic last resort between arrangements equal in every stated respect.
bool configBefore(const Cand& x, const Cand& y) {
    if (x.depth != y.depth)
        return x.depth > y.depth; // the deeper lever arm
    if (x.k != y.k)
        return x.k > y.k; // more bars in the first layer
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

std::string groupText(const Group& g, const std::string& gen) {
    return std::to_string(g.count) + ' ' + gen + ' ' + g.ref;
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

Arrangement makeRow(const Prep& p, const Cand& c, const Cdiametro& cat) {
    Arrangement r{};
    const std::string gen = cat.GetRefGener();
    const Size& A = p.sizes[c.pa];
    const Size& B = p.sizes[c.pb];
    r.bars = c.bars;
    r.totalAreaCm2 = c.area;
    r.excessPct = (c.area - p.req) / p.req * 100;
    r.ratioPct = c.area / p.concreteCm2 * 100;
    r.preferred = false;
    r.placement.reserve(static_cast<std::size_t>(c.bars));
    Layer l1{};
    if (!p.column) {
        Layer1 g1{};
        beamLayer1(p, A, B, c.k, g1);
        if (c.pa != c.pb) {
            l1.groups.push_back(group(cat, A, 2));
            l1.groups.push_back(group(cat, B, c.k));
        } else {
            l1.groups.push_back(group(cat, A, 2 + c.k));
        }
        l1.clearSpacingMm = g1.g;
        l1.minClearMm = g1.smin;
        l1.maxCentreSpacingMm = g1.cc;
        r.layers.push_back(std::move(l1));
        beamBars(p, p.c, A, B, c.k, g1.g, r.placement);
        if (c.p2 >= 0) {
            const Size& S = p.sizes[c.p2];
            Layer2 g2{};
            beamLayer2(p, A, S, c.j, g2);
            Layer l2{};
            l2.groups.push_back(group(cat, S, c.j));
            l2.clearSpacingMm = g2.g;
            l2.minClearMm = g2.smin;
            l2.maxCentreSpacingMm = g2.cc;
            r.layers.push_back(std::move(l2));
            beamBars(p, layer2Bottom(p, A), S, S, c.j - 2, g2.g, r.placement);
        }
        r.effectiveDepthCm = c.depth / 10;
        if (p.code == Code::EC2 && r.ratioPct > 4)
            r.flags.push_back("cuantía > 4 %");
    } else {
        const std::int32_t n = static_cast<std::int32_t>(p.outline.size());
        const Offset off = offsetOutline(p.outline, p.c + A.d / 2);
        Ring ring{};
        columnRing(p, off, A, B, c.k, ring);
        if (c.pa != c.pb) {
            l1.groups.push_back(group(cat, A, n));
            l1.groups.push_back(group(cat, B, n * c.k));
        } else {
            l1.groups.push_back(group(cat, A, n * (1 + c.k)));
        }
        l1.clearSpacingMm = ring.gMin;
        l1.minClearMm = ring.smin;
        l1.maxCentreSpacingMm = ring.cc;
        r.layers.push_back(std::move(l1));
        const double tb = p.c + B.d / 2;
        for (std::int32_t i = 0; i < n; ++i) {
            const Point& q0 = off.q[static_cast<std::size_t>(i)];
            const Point& q1 = off.q[static_cast<std::size_t>((i + 1) % n)];
            r.placement.push_back(Bar{q0.y / 1000, q0.z / 1000, A.index});
            const Point& p0 = p.outline[static_cast<std::size_t>(i)];
            const Point& p1 = p.outline[static_cast<std::size_t>((i + 1) % n)];
            const double ey = p1.y - p0.y, ez = p1.z - p0.z, el = std::hypot(ey, ez);
            const double uy = ey / el, uz = ez / el;
            const double L = std::hypot(q1.y - q0.y, q1.z - q0.z);
            const double g = (L - A.d - c.k * B.d) / (c.k + 1);
            // Side bars lie against the cover like the corners, on the side's own line.
            const double sq = (q0.y - p0.y) * uy + (q0.z - p0.z) * uz;
            for (std::int32_t s = 0; s < c.k; ++s) {
                const double along = sq + A.d / 2 + g + B.d / 2 + s * (g + B.d);
                r.placement.push_back(Bar{(p0.y + tb * -uz + along * uy) / 1000,
                                          (p0.z + tb * uy + along * uz) / 1000, B.index});
            }
        }
        if (p.code == Code::EC2) {
            if (r.ratioPct < 0.2)
                r.flags.push_back("cuantía < 0,2 %");
            if (r.ratioPct > 4)
                r.flags.push_back("cuantía > 4 %");
        } else {
            if (r.ratioPct < 1)
                r.flags.push_back("cuantía < 1 %");
            if (r.ratioPct > 8)
                r.flags.push_back("cuantía > 8 %");
        }
    }
    for (std::size_t li = 0; li < r.layers.size(); ++li) {
        if (li > 0)
            r.line += " / ";
        for (std::size_t gi = 0; gi < r.layers[li].groups.size(); ++gi) {
            if (gi > 0)
                r.line += " + ";
            r.line += groupText(r.layers[li].groups[gi], gen);
        }
    }
    return r;
}

std::string noFitMessage(const Prep& p) {
    double most = 0;
    std::string where;
    if (p.column) {
        most = columnMost(p);
    } else {
        const auto [area, layers] = beamMost(p);
        most = area;
        where = layers == 2 ? " en dos capas" : " en una capa";
    }
    if (most <= 0)
        return "no cabe ninguna disposición que cumpla las separaciones";
    if (most < p.req)
        // Rounded down: the member holds at least what the message says it holds at most.
        return "no cabe: como máximo " + decimalComma(std::floor(most * 10 + 1e-9) / 10, 1) +
               " cm²" + where;
    return "ninguna disposición da entre " + decimalComma(p.req, 2) + " y " +
           decimalComma(p.areaMax, 2) + " cm² (1,8 veces el área necesaria)";
}

} // namespace

Result search(const Member& m, const Cdiametro& catalogue, const Options& o) {
    Result res;
    Prep p;
    std::string why;
    if (!prepare(m, catalogue, o, p, why)) {
        res.messages.push_back(std::move(why));
        return res;
    }
    std::vector<Cand> cands;
    cands.reserve(128);
    auto emit = [&](const Cand& c) { cands.push_back(c); };
    if (p.column)
        enumerateColumn(p, emit);
    else
        enumerateBeam(p, emit);
    if (cands.empty()) {
        res.messages.push_back(noFitMessage(p));
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

namespace {

// 'n gen ref' with the catalogue's own words; the position of the size in `p.sizes`.
bool parseGroup(std::string_view text, const Prep& p, const Cdiametro& cat, const std::string& gen,
                std::int32_t& count, std::int32_t& pos) {
    const auto s1 = text.find(' ');
    if (s1 == std::string_view::npos || s1 == 0)
        return false;
    const auto r = std::from_chars(text.data(), text.data() + s1, count);
    if (r.ec != std::errc() || r.ptr != text.data() + s1 || count < 1 || count > kMaxCount)
        return false;
    const std::string_view rest = text.substr(s1 + 1);
    if (rest.size() < gen.size() + 2 || rest.substr(0, gen.size()) != gen ||
        rest[gen.size()] != ' ')
        return false;
    const std::string_view ref = rest.substr(gen.size() + 1);
    for (std::int32_t i = 0; i < p.nSizes; ++i)
        if (cat.GetDiamRefer(p.sizes[i].index) == ref) {
            pos = i;
            return true;
        }
    return false;
}

std::vector<std::string_view> split(std::string_view text, std::string_view sep) {
    std::vector<std::string_view> out;
    for (;;) {
        const auto at = text.find(sep);
        out.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return out;
        text.remove_prefix(at + sep.size());
    }
}

const char* whyText(Why why) {
    switch (why) {
    case Why::Gap:
        return "no deja la separación libre mínima";
    case Why::Spacing:
        return "pasa de la separación máxima";
    case Why::Height:
        return "no cabe en el canto";
    case Why::Shape:
        return "no cabe dentro del contorno";
    case Why::Ok:
        break;
    }
    return "";
}

} // namespace

std::optional<Arrangement> readLine(const std::string& line, const Member& m,
                                    const Cdiametro& catalogue, const Options& o,
                                    std::string& error) {
    error.clear();
    Prep p;
    if (!prepare(m, catalogue, o, p, error))
        return std::nullopt;
    const std::string gen = catalogue.GetRefGener();
    const std::string notOurs = "la línea no es una disposición de esta búsqueda: " + line;
    if (line.size() > 200) {
        error = "la línea es demasiado larga";
        return std::nullopt;
    }
    const auto layers = split(line, " / ");
    if (layers.size() > (p.column ? 1u : 2u)) {
        error = notOurs;
        return std::nullopt;
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> g1, g2; // (count, size position)
    for (std::size_t li = 0; li < layers.size(); ++li)
        for (const auto gtext : split(layers[li], " + ")) {
            std::int32_t count = 0, pos = 0;
            if (!parseGroup(gtext, p, catalogue, gen, count, pos)) {
                error = notOurs;
                return std::nullopt;
            }
            (li == 0 ? g1 : g2).emplace_back(count, pos);
        }
    if (g1.empty() || g1.size() > 2 || g2.size() > 1) {
        error = notOurs;
        return std::nullopt;
    }
    const bool two = g1.size() == 2;
    if (two && g1[1].second != g1[0].second - 1) {
        error = "los dos diámetros deben ser vecinos en la serie, el mayor primero: " + line;
        return std::nullopt;
    }
    Cand c{};
    Why why = Why::Ok;
    const std::int32_t pa = g1[0].second;
    const std::int32_t pb = two ? g1[1].second : pa;
    if (!p.column) {
        std::int32_t k = 0;
        if (two) {
            if (g1[0].first != 2) {
                error = notOurs;
                return std::nullopt;
            }
            k = g1[1].first;
        } else {
            if (g1[0].first < 2) {
                error = notOurs;
                return std::nullopt;
            }
            k = g1[0].first - 2;
        }
        const Size& A = p.sizes[pa];
        const Size& B = p.sizes[pb];
        Layer1 l1{};
        why = beamLayer1(p, A, B, k, l1);
        double area = 2 * A.a + k * B.a;
        std::int32_t p2 = -1, j = 0;
        if (why == Why::Ok && !g2.empty()) {
            j = g2[0].first;
            p2 = g2[0].second;
            if ((p2 != pa && p2 != pb) || j < 2 || j > 2 + k) {
                error = notOurs;
                return std::nullopt;
            }
            Layer2 l2{};
            why = beamLayer2(p, A, p.sizes[p2], j, l2);
            area += j * p.sizes[p2].a;
        }
        c = beamCand(p, pa, pb, k, p2, j, area);
    } else {
        const std::int32_t n = static_cast<std::int32_t>(p.outline.size());
        std::int32_t mm = 0;
        if (two) {
            if (g1[0].first != n || g1[1].first % n != 0) {
                error = notOurs;
                return std::nullopt;
            }
            mm = g1[1].first / n;
        } else {
            if (g1[0].first % n != 0) {
                error = notOurs;
                return std::nullopt;
            }
            mm = g1[0].first / n - 1;
        }
        const Size& A = p.sizes[pa];
        const Size& B = p.sizes[pb];
        const Offset off = offsetOutline(p.outline, p.c + A.d / 2);
        Ring r{};
        why = columnRing(p, off, A, B, mm, r);
        c = columnCand(p, pa, pb, mm, n * (A.a + mm * B.a));
    }
    if (why != Why::Ok) {
        error = std::string("la disposición ") + whyText(why) + ": " + line;
        return std::nullopt;
    }
    if (c.area < p.req) {
        error = "la disposición no llega al área necesaria: " + line;
        return std::nullopt;
    }
    if (c.area >= p.areaMax) {
        error = "la disposición pasa de 1,8 veces el área necesaria: " + line;
        return std::nullopt;
    }
    Arrangement r = makeRow(p, c, catalogue);
    if (r.line != line) {
        error = notOurs;
        return std::nullopt;
    }
    return r;
}

std::vector<Bar> placeLine(const std::string& line, const Member& m, const Cdiametro& catalogue,
                           const Options& o, std::string& error) {
    auto r = readLine(line, m, catalogue, o, error);
    if (!r)
        return {};
    return std::move(r->placement);
}

} // namespace tresol::code

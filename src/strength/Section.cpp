#include "strength/Section.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tresol::strength {

namespace {

constexpr std::size_t kMostPoints = 4096;
constexpr std::size_t kMostBars = 10000;
constexpr double kFarthest = 1000; // m: a coordinate beyond is not a section

double cross(Point o, Point a, Point b) {
    return (a.y - o.y) * (b.z - o.z) - (a.z - o.z) * (b.y - o.y);
}

bool onSegment(Point p, Point a, Point b, double tol) {
    // Squared lengths first: most points are far from most sides, and need no square root.
    const double dy = b.y - a.y, dz = b.z - a.z, len2 = dy * dy + dz * dz;
    if (len2 == 0)
        return std::hypot(p.y - a.y, p.z - a.z) <= tol;
    const double c = cross(a, b, p);
    if (c * c > tol * tol * len2)
        return false;
    const double len = std::sqrt(len2);
    const double t = ((p.y - a.y) * dy + (p.z - a.z) * dz) / len2;
    return t >= -tol / len && t <= 1 + tol / len;
}

// Whether segments ab and cd share a point (touching counts).
bool segmentsMeet(Point a, Point b, Point c, Point d, double tol) {
    const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    return onSegment(a, c, d, tol) || onSegment(b, c, d, tol) || onSegment(c, a, b, tol) ||
           onSegment(d, a, b, tol);
}

bool inside(const std::vector<Point>& poly, Point p, double tol) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point a = poly[j], b = poly[i];
        if (onSegment(p, a, b, tol))
            return true;
        if ((b.z > p.z) != (a.z > p.z) && p.y < (a.y - b.y) * (p.z - b.z) / (a.z - b.z) + b.y)
            in = !in;
    }
    return in;
}

std::string number(std::size_t i) {
    return std::to_string(i + 1);
}

} // namespace

std::vector<Point> rectangle(double b, double h) {
    return {{0, 0}, {b, 0}, {b, h}, {0, h}};
}

Checked<Section> Section::make(std::vector<Point> outline, std::vector<Bar> bars,
                               const Materials& materials) {
    using C = Checked<Section>;
    if (const auto why = materialsProblem(materials); !why.empty())
        return C::fail(why);
    if (outline.size() > kMostPoints)
        return C::fail("contorno no válido: más de 4096 puntos");
    if (bars.size() > kMostBars)
        return C::fail("armado no válido: más de 10 000 barras");
    for (std::size_t i = 0; i < outline.size(); ++i)
        if (!std::isfinite(outline[i].y) || !std::isfinite(outline[i].z) ||
            std::abs(outline[i].y) > kFarthest || std::abs(outline[i].z) > kFarthest)
            return C::fail("contorno no válido: el punto " + number(i) +
                           " no es un número finito de hasta 1000 m");
    // Repeated neighbours (and a closing point equal to the first) say nothing.
    std::vector<Point> pts;
    for (const Point& p : outline)
        if (pts.empty() || p.y != pts.back().y || p.z != pts.back().z)
            pts.push_back(p);
    while (pts.size() > 1 && pts.front().y == pts.back().y && pts.front().z == pts.back().z)
        pts.pop_back();
    if (pts.size() < 3)
        return C::fail("contorno no válido: hacen falta al menos tres puntos distintos");

    double a2 = 0, sy = 0, sz = 0, ylo = pts[0].y, yhi = ylo, zlo = pts[0].z, zhi = zlo;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const double c = pts[j].y * pts[i].z - pts[i].y * pts[j].z;
        a2 += c;
        sy += (pts[j].y + pts[i].y) * c;
        sz += (pts[j].z + pts[i].z) * c;
        ylo = std::min(ylo, pts[i].y);
        yhi = std::max(yhi, pts[i].y);
        zlo = std::min(zlo, pts[i].z);
        zhi = std::max(zhi, pts[i].z);
    }
    const double size = std::max(yhi - ylo, zhi - zlo);
    if (!(std::abs(a2) > 1e-9 * size * size) || !(std::abs(a2) / 2 > 1e-8))
        return C::fail("contorno no válido: no encierra área");
    if (a2 < 0)
        std::reverse(pts.begin(), pts.end());
    const double tol = 1e-12 * size;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            if (j == i + 1 || (i == 0 && j == n - 1))
                continue; // neighbours share a corner
            if (segmentsMeet(pts[i], pts[(i + 1) % n], pts[j], pts[(j + 1) % n], tol))
                return C::fail("contorno no válido: se corta a sí mismo");
        }

    Section s;
    s.outline_ = std::move(pts);
    s.area_ = std::abs(a2) / 2;
    s.centroid_ = {sy / (3 * a2), sz / (3 * a2)};
    s.depthY_ = yhi - ylo;
    s.depthZ_ = zhi - zlo;
    s.materials_ = materials;
    s.k_ = designConstants(materials);
    return s.withBars(std::move(bars));
}

Checked<Section> Section::withBars(std::vector<Bar> bars) const {
    using C = Checked<Section>;
    if (bars.size() > kMostBars)
        return C::fail("armado no válido: más de 10 000 barras");
    const double size = std::max(depthY_, depthZ_);
    double steel = 0;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const Bar& b = bars[i];
        if (!std::isfinite(b.y) || !std::isfinite(b.z))
            return C::fail("barra " + number(i) + " no válida: posición no finita");
        if (!std::isfinite(b.area) || !(b.area > 0))
            return C::fail("barra " + number(i) + " no válida: el área ha de ser positiva");
        if (!inside(outline_, {b.y, b.z}, 1e-9 * size))
            return C::fail("barra " + number(i) + " fuera del contorno");
        steel += b.area;
    }
    if (!(steel < area_))
        return C::fail("armado no válido: más área de acero que de sección");
    Section s = *this;
    s.steel_ = steel;
    s.bars_ = std::move(bars);
    return C{std::move(s), {}};
}

} // namespace tresol::strength

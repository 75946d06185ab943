#include "reinforcement/CodeSearchParts.h"

#include "reinforcement/Links.h"

#include <numbers>

// The member of the code-checked search, checked and converted.
namespace tresol::code::detail {

// The outline the design window draws: the width × height rectangle, or the regular polygon of
// circumradius = width, through the geometry routine the window uses, in single precision.
static void buildOutline(const Member& m, std::vector<Point>& out) {
    out.clear();
    for (const links::Point& q : links::memberOutline(m.sides, m.widthCm, m.heightCm))
        out.push_back(Point{q.y * 1000, q.z * 1000});
}

// A convex outline turning once counter-clockwise, with its area in cm².
static bool convexOutline(const std::vector<Point>& P, double& areaCm2) {
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
    if (!finiteIn(m.linkMm, 0, 1000)) {
        why = "diámetro del cerco no válido";
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
    // With a link the bars lie inside it: the cover is to its outer face.
    p.c = m.coverCm * 10 + m.linkMm;
    p.link = m.linkMm;
    p.bendRadius = p.link > 0 ? links::innerBendRadiusMm(o.code, p.link) : 0;

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
        if (p.link > 0 && (2 * (p.c + p.bendRadius) >= p.b || 2 * (p.c + p.bendRadius) >= p.h)) {
            why = "el cerco no deja sitio dentro del recubrimiento";
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
        if (p.link > 0 && !offsetOutline(p.outline, p.c + p.bendRadius).valid) {
            why = "el cerco no deja sitio dentro del recubrimiento";
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
    const double bondMax = rules::largestBarForCover(o.code, p.c);
    std::int32_t coverTooThin = 0;
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
        if (d > bondMax + kEps) {
            ++coverTooThin;
            continue;
        }
        // A beam's corners are right angles.
        const double bend =
            p.link > 0 ? links::cornerBarOffsetMm(p.c, p.bendRadius, d, std::numbers::pi / 2) -
                             (p.c + d / 2)
                       : 0;
        p.sizes[p.nSizes++] = Size{i, d, a * 1e4, bend};
    }
    if (p.nSizes == 0 && coverTooThin > 0) {
        why = "el recubrimiento de " + numberWithComma(p.c) +
              " mm no basta para ninguna barra: EN 1992-1-1 4.4.1.2 pide un recubrimiento no "
              "menor que el diámetro";
        return false;
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

} // namespace tresol::code::detail

#include "reinforcement/Links.h"

#include "geometry/MemberOutline.h"
#include "platform/Numbers.h"
#include "platform/Single.h"
#include "reinforcement/Cdiametro.h"
#include "reinforcement/CodeSearchParts.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tresol::links {
namespace {

constexpr double kPi = std::numbers::pi;
// Lengths worked out from single-precision placements are good to well under a micrometre: a
// bar at exactly a clause's distance is not refused for the last digit.
constexpr double kLengthToleranceMm = 1e-3;
// A bar this close to both faces of a corner sits in it; its neighbours along a face lie a bar
// and a clear gap farther on.
constexpr double kCornerToleranceMm = 0.5;
// EN 1992-1-1 9.5.3(6) and ACI 318-19 25.7.2.3(b): how far a bar may lie from a held one.
constexpr double kReachMm = 150;
// ACI 318-19 25.7.2.3(a): a tie's corner holds its bar up to this included angle.
constexpr double kAciHoldingAngle = 135.0 / 180.0 * kPi;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

Point operator-(const Point& a, const Point& b) {
    return {a.y - b.y, a.z - b.z};
}
Point operator+(const Point& a, const Point& b) {
    return {a.y + b.y, a.z + b.z};
}
Point operator*(double k, const Point& a) {
    return {k * a.y, k * a.z};
}
double dot(const Point& a, const Point& b) {
    return a.y * b.y + a.z * b.z;
}
double cross(const Point& a, const Point& b) {
    return a.y * b.z - a.z * b.y;
}
double lengthMm(const Point& a) {
    return std::hypot(a.y, a.z) * 1000;
}

// A side of a counter-clockwise outline: where it starts, its direction and its inward normal.
struct Side {
    Point from, along, inward;
};

std::vector<Side> sidesOf(const std::vector<Point>& outline) {
    const std::size_t n = outline.size();
    std::vector<Side> sides(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Point e = outline[(i + 1) % n] - outline[i];
        const double len = std::hypot(e.y, e.z);
        const Point u{e.y / len, e.z / len};
        sides[i] = {outline[i], u, {-u.z, u.y}};
    }
    return sides;
}

// Where a ray from `from` inside a convex outline leaves it.
Point exitPoint(const std::vector<Point>& outline, const Point& from, const Point& direction) {
    const std::size_t n = outline.size();
    double nearest = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = outline[i];
        const Point e = outline[(i + 1) % n] - a;
        const double den = cross(direction, e);
        if (den == 0)
            continue;
        const Point w = a - from;
        const double t = cross(w, e) / den;
        const double s = cross(w, direction) / den;
        if (t > 1e-12 && s >= -1e-9 && s <= 1 + 1e-9)
            nearest = std::min(nearest, t);
    }
    return std::isfinite(nearest) ? from + nearest * direction : from;
}

// The fewest further bars of a chain (the bars along one side of the link, corner to corner, in
// order) to hold, the `forced` ones held already, so that every loose bar is near enough to held
// ones; among equally few, those that share the chain most evenly. The held positions.
std::vector<std::size_t> holdAlong(code::Code code, const std::vector<Bar>& chain,
                                   const std::vector<bool>& forced) {
    const std::size_t n = chain.size();
    if (n == 0)
        return {};
    auto centres = [&](std::size_t i, std::size_t j) {
        return lengthMm(chain[i].centre - chain[j].centre);
    };
    auto clear = [&](std::size_t i, std::size_t j) {
        return centres(i, j) - (chain[i].diameterMm + chain[j].diameterMm) / 2;
    };
    struct Best {
        std::int32_t count = std::numeric_limits<std::int32_t>::max();
        double spread = 0; // sum of the squared distances between consecutive held bars
        std::size_t from = kNone;
    };
    std::vector<Best> best(n);
    // The chain's ends are its corners: held by the link or by a crosstie of their own.
    best[0] = {forced[0] ? 0 : 1, 0, kNone};
    for (std::size_t j = 1; j < n; ++j) {
        const std::int32_t cost = forced[j] ? 0 : 1;
        // The rightmost loose bar between i and j that j does not reach (EN).
        std::size_t far = kNone;
        for (std::size_t i = j; i-- > 0;) {
            if (i + 1 < j) {
                const std::size_t k = i + 1; // loose between i and j from here on
                if (forced[k])
                    break; // a held bar cannot be left loose
                if (code == code::Code::ACI) {
                    // 25.7.2.3: alternate bars held, a loose one within 150 mm clear of both.
                    if (i + 2 < j || clear(k, i) > kReachMm + kLengthToleranceMm ||
                        clear(k, j) > kReachMm + kLengthToleranceMm)
                        break;
                } else {
                    // 9.5.3(6), centre to centre: the safe reading of a distance the clause does
                    // not say is clear.
                    if (far == kNone && centres(k, j) > kReachMm + kLengthToleranceMm)
                        far = k;
                    if (far != kNone && centres(far, i) > kReachMm + kLengthToleranceMm)
                        break; // farther left only leaves it farther from i
                }
            }
            if (best[i].from == kNone && i != 0)
                continue;
            const double gap = centres(i, j);
            const Best candidate{best[i].count + cost, best[i].spread + gap * gap, i};
            if (candidate.count < best[j].count ||
                (candidate.count == best[j].count && candidate.spread < best[j].spread))
                best[j] = candidate;
        }
    }
    std::vector<std::size_t> held;
    for (std::size_t j = n - 1; j != kNone; j = best[j].from)
        held.push_back(j);
    std::reverse(held.begin(), held.end());
    return held;
}

} // namespace

double innerBendRadiusMm(code::Code code, double linkMm) {
    if (code == code::Code::ACI)
        return (linkMm <= 16 ? 4 : 6) * linkMm / 2;
    return (linkMm <= 16 ? 4 : 7) * linkMm / 2;
}

double interiorAngle(double inY, double inZ, double outY, double outZ) {
    return kPi - std::atan2(inY * outZ - inZ * outY, inY * outY + inZ * outZ);
}

double cornerBarOffsetMm(double faceToBarsMm, double bendRadiusMm, double barDiameterMm,
                         double interiorAngleRad) {
    const double rho = barDiameterMm / 2;
    if (!(rho < bendRadiusMm))
        return faceToBarsMm + rho;
    return faceToBarsMm + bendRadiusMm - (bendRadiusMm - rho) * std::sin(interiorAngleRad / 2);
}

std::vector<Point> memberOutline(std::int32_t sides, double widthCm, double heightCm) {
    if (sides < 3)
        return {};
    const float b = platform::toSingleOrInfinity(widthCm / 100.0);
    const float h =
        sides == 4 && heightCm != 0 ? platform::toSingleOrInfinity(heightCm / 100.0) : b;
    const PointArray pts = memberOutlinePoints(sides, b, h);
    std::vector<Point> out;
    out.reserve(static_cast<std::size_t>(sides));
    for (std::int32_t i = 1; i <= sides; ++i)
        out.push_back({double{pts(i, 1)}, double{pts(i, 2)}});
    return out;
}

std::vector<Point> insetOutline(const std::vector<Point>& outline, double insetMm) {
    if (outline.size() < 3)
        return {};
    std::vector<code::detail::Point> mm;
    mm.reserve(outline.size());
    for (const Point& p : outline)
        mm.push_back({p.y * 1000, p.z * 1000});
    const code::detail::Offset off = code::detail::offsetOutline(mm, insetMm);
    if (!off.valid)
        return {};
    std::vector<Point> out;
    out.reserve(off.q.size());
    for (const auto& q : off.q)
        out.push_back({q.y / 1000, q.z / 1000});
    return out;
}

double leastWidthM(const std::vector<Point>& outline) {
    double least = std::numeric_limits<double>::infinity();
    for (const Side& s : sidesOf(outline)) {
        double widest = 0;
        for (const Point& p : outline)
            widest = std::max(widest, dot(p - s.from, s.inward));
        least = std::min(least, widest);
    }
    return std::isfinite(least) ? least : 0;
}

std::int32_t catalogueIndex(const Cdiametro& catalogue, double linkMm) {
    for (std::int32_t i = catalogue.GetIndiMin(); i <= catalogue.GetIndiMax(); ++i)
        if (std::fabs(double{catalogue.GetDiametroMetros(i)} * 1000 - linkMm) <=
            kDiameterToleranceMm)
            return i;
    return 0;
}

std::string problem(code::Code searchCode, const Cdiametro& catalogue, double linkMm,
                    const std::vector<Point>& outline, double coverMm) {
    if (!std::isfinite(linkMm))
        return "el diámetro del cerco no es un número finito";
    if (linkMm < 0)
        return "el diámetro del cerco no puede ser negativo (" + platform::numberText(linkMm) +
               " mm)";
    if (linkMm == 0)
        return {};
    const std::string mm = platform::numberText(linkMm) + " mm";
    if (catalogueIndex(catalogue, linkMm) == 0)
        return "el cerco de " + mm + " no es un diámetro de la serie " + catalogue.GetTipo();
    const double r = innerBendRadiusMm(searchCode, linkMm);
    if (outline.size() >= 3 && insetOutline(outline, coverMm + linkMm + r).empty())
        return "el cerco de " + mm + ", doblado con un radio interior de " +
               platform::numberText(r) + " mm, no deja sitio dentro del recubrimiento de " +
               platform::numberText(coverMm / 10) + " cm";
    return {};
}

Spacing columnSpacing(code::Code code, double leastBarMm, double linkMm, double leastWidthMm) {
    if (code == code::Code::ACI)
        return {std::min({16 * leastBarMm, 48 * linkMm, leastWidthMm}), std::nullopt};
    const double most = std::min({20 * leastBarMm, leastWidthMm, 400.0});
    return {most, 0.6 * most};
}

std::string leastLinkNote(code::Code code, double linkMm, double largestBarMm) {
    double least = 0;
    std::string clause;
    if (code == code::Code::ACI) {
        // No. 10 is 32.3 mm across.
        least = largestBarMm <= 32.3 + kDiameterToleranceMm ? 9.5 : 12.7;
        clause = "ACI 318-19 25.7.2.2";
    } else {
        least = std::max(6.0, largestBarMm / 4);
        clause = "EN 1992-1-1 9.5.3(1)";
    }
    if (linkMm >= least - kDiameterToleranceMm)
        return {};
    return "cerco menor que el mínimo de " + platform::commaText(least, 4) + " mm (" + clause + ")";
}

Restraint restrainColumnBars(code::Code code, const std::vector<Point>& inner,
                             const std::vector<Bar>& bars) {
    Restraint out;
    out.restrained.assign(bars.size(), false);
    const std::size_t n = inner.size();
    if (n < 3 || bars.empty())
        return out;
    const std::vector<Side> sides = sidesOf(inner);

    // Each bar in the corner it sits in (against both of its faces), or along its nearest side.
    std::vector<std::size_t> corner(n, kNone);
    std::vector<std::vector<std::size_t>> along(n);
    std::vector<std::size_t> sideOf(bars.size(), kNone);
    std::vector<double> d(n);
    for (std::size_t b = 0; b < bars.size(); ++b) {
        std::size_t s = 0;
        for (std::size_t i = 0; i < n; ++i) {
            d[i] = dot(bars[b].centre - sides[i].from, sides[i].inward) * 1000;
            if (d[i] < d[s])
                s = i;
        }
        const std::size_t prev = (s + n - 1) % n, next = (s + 1) % n;
        std::size_t v = kNone;
        if (std::fabs(d[s] - d[prev]) <= kCornerToleranceMm)
            v = s;
        else if (std::fabs(d[s] - d[next]) <= kCornerToleranceMm)
            v = next;
        if (v != kNone && corner[v] == kNone) {
            corner[v] = b;
        } else {
            along[s].push_back(b);
            sideOf[b] = s;
        }
    }
    for (std::size_t s = 0; s < n; ++s)
        std::sort(along[s].begin(), along[s].end(), [&](std::size_t x, std::size_t y) {
            return dot(bars[x].centre - sides[s].from, sides[s].along) <
                   dot(bars[y].centre - sides[s].from, sides[s].along);
        });

    // A corner of the link holds its bar, but under ACI not one wider than 135°.
    std::vector<bool> held(bars.size(), false), tied(bars.size(), false);
    std::vector<std::size_t> loose; // held bars that need a crosstie, not yet given one
    for (std::size_t v = 0; v < n; ++v) {
        if (corner[v] == kNone)
            continue;
        held[corner[v]] = true;
        const Side& in = sides[(v + n - 1) % n];
        const Side& outSide = sides[v];
        const double angle =
            interiorAngle(in.along.y, in.along.z, outSide.along.y, outSide.along.z);
        // A regular octagon's corners are 135°, give or take its single-precision vertices.
        if (code == code::Code::ACI && angle > kAciHoldingAngle + 1e-6)
            loose.push_back(corner[v]);
    }

    const bool parallel = n % 2 == 0;
    // Across the core from bar b: the inward normal of its side, or a corner's bisector.
    auto across = [&](std::size_t b) {
        if (sideOf[b] != kNone)
            return sides[sideOf[b]].inward;
        const std::size_t v =
            static_cast<std::size_t>(std::find(corner.begin(), corner.end(), b) - corner.begin());
        const Point m = sides[(v + n - 1) % n].inward + sides[v].inward;
        const double len = std::hypot(m.y, m.z);
        return Point{m.y / len, m.z / len};
    };
    // The bar straight across from b on the parallel face, if there is one.
    auto opposite = [&](std::size_t b) -> std::size_t {
        if (!parallel)
            return kNone;
        std::vector<std::size_t> candidates;
        if (sideOf[b] != kNone)
            candidates = along[(sideOf[b] + n / 2) % n];
        else
            for (std::size_t v = 0; v < n; ++v)
                if (corner[v] == b && corner[(v + n / 2) % n] != kNone)
                    candidates.push_back(corner[(v + n / 2) % n]);
        const Point dir = across(b);
        std::size_t found = kNone;
        double nearest = std::numeric_limits<double>::infinity();
        for (std::size_t c : candidates) {
            const Point w = bars[c].centre - bars[b].centre;
            const double off = std::fabs(cross(w, dir)) * 1000;
            if (dot(w, dir) > 0 && off <= std::min(bars[b].diameterMm, bars[c].diameterMm) / 2 &&
                off < nearest) {
                nearest = off;
                found = c;
            }
        }
        return found;
    };
    auto tie = [&](std::size_t b) {
        if (tied[b])
            return;
        tied[b] = held[b] = true;
        const std::size_t c = opposite(b);
        if (c != kNone) {
            tied[c] = held[c] = true;
            out.crossties.push_back({bars[b].centre, bars[c].centre});
        } else {
            out.crossties.push_back({bars[b].centre, exitPoint(inner, bars[b].centre, across(b))});
        }
    };
    for (std::size_t b : loose)
        tie(b);

    // Along each side, corner to corner; a face and the one parallel to it one after the other,
    // so that a crosstie across holds a bar of each.
    auto holdSide = [&](std::size_t s) {
        std::vector<std::size_t> ids;
        if (corner[s] != kNone)
            ids.push_back(corner[s]);
        ids.insert(ids.end(), along[s].begin(), along[s].end());
        if (corner[(s + 1) % n] != kNone)
            ids.push_back(corner[(s + 1) % n]);
        if (ids.empty())
            return;
        std::vector<Bar> chain;
        std::vector<bool> forced;
        for (std::size_t b : ids) {
            chain.push_back(bars[b]);
            forced.push_back(held[b]);
        }
        for (std::size_t i : holdAlong(code, chain, forced))
            if (!held[ids[i]])
                tie(ids[i]);
    };
    if (parallel) {
        for (std::size_t s = 0; s < n / 2; ++s) {
            holdSide(s);
            holdSide(s + n / 2);
        }
    } else {
        for (std::size_t s = 0; s < n; ++s)
            holdSide(s);
    }
    out.restrained = held;
    return out;
}

void moveCornerBarsIntoBends(const std::vector<Point>& outline, double faceToBarsMm,
                             double bendRadiusMm, std::vector<Bar>& bars) {
    const std::size_t n = outline.size();
    if (n < 3 || !(bendRadiusMm > 0))
        return;
    const std::vector<Side> sides = sidesOf(outline);
    for (std::size_t v = 0; v < n; ++v) {
        const Side& in = sides[(v + n - 1) % n];
        const Side& outSide = sides[v];
        // A point t from both faces lies t·(n0 + n1)/(1 + n0·n1) in from the corner.
        const Point bisector = in.inward + outSide.inward;
        const double s = 1 + dot(in.inward, outSide.inward);
        const double angle =
            interiorAngle(in.along.y, in.along.z, outSide.along.y, outSide.along.z);
        for (Bar& b : bars) {
            const double onFaces = faceToBarsMm + b.diameterMm / 2;
            const Point there = outline[v] + (onFaces / 1000 / s) * bisector;
            if (lengthMm(b.centre - there) > kCornerToleranceMm)
                continue;
            const double inBend =
                cornerBarOffsetMm(faceToBarsMm, bendRadiusMm, b.diameterMm, angle);
            b.centre = outline[v] + (inBend / 1000 / s) * bisector;
        }
    }
}

std::string linkText(const std::string& notation, std::size_t crossties) {
    std::string text = "1 cerco " + notation;
    if (crossties > 0)
        text += " + " + std::to_string(crossties) +
                (crossties == 1 ? " horquilla " : " horquillas ") + notation;
    return text;
}

Frame frame(bool column, std::int32_t sides, double widthCm, double heightCm, double coverCm,
            double linkMm, code::Code searchCode, const Cdiametro& catalogue) {
    Frame f;
    f.outline = memberOutline(column ? sides : 4, widthCm, heightCm);
    f.coverMm = coverCm * 10;
    f.diameterMm = linkMm;
    f.column = column;
    f.code = searchCode;
    const std::int32_t i = catalogueIndex(catalogue, linkMm);
    f.notation = catalogue.GetRefGener() + " " +
                 (i != 0 ? catalogue.GetDiamRefer(i) : platform::numberText(linkMm));
    return f;
}

LinkDetail detail(const Frame& f, const std::vector<Bar>& bars) {
    LinkDetail d;
    d.diameterMm = f.diameterMm;
    d.innerBendRadiusMm = innerBendRadiusMm(f.code, f.diameterMm);
    d.inner = insetOutline(f.outline, f.coverMm + f.diameterMm);
    if (f.column && !bars.empty()) {
        Restraint r = restrainColumnBars(f.code, d.inner, bars);
        d.crossties = std::move(r.crossties);
        double least = bars.front().diameterMm;
        for (const Bar& b : bars)
            least = std::min(least, b.diameterMm);
        const Spacing s = columnSpacing(f.code, least, f.diameterMm, leastWidthM(f.outline) * 1000);
        d.spacingMm = s.maxMm;
        d.reducedSpacingMm = s.reducedMm;
    }
    d.text = linkText(f.notation, d.crossties.size());
    return d;
}

} // namespace tresol::links

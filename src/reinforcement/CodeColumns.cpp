#include "reinforcement/CodeSearchParts.h"

#include "reinforcement/Links.h"

// Columns of the code-checked search: corner bars and the bars of each side.
namespace tresol::code::detail {

namespace {

// The unit direction of side i, from corner i to the next.
Point sideDirection(const std::vector<Point>& P, std::size_t i) {
    const Point& a = P[i];
    const Point& b = P[(i + 1) % P.size()];
    const double dy = b.y - a.y, dz = b.z - a.z, len = length(dy, dz);
    return Point{dy / len, dz / len};
}

// Each corner moved in to lie t from both of its faces, t given by the directions of the sides
// before and after it.
template <class Distance> std::vector<Point> movedCorners(const std::vector<Point>& P, Distance t) {
    const std::size_t n = P.size();
    std::vector<Point> q(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Point u0 = sideDirection(P, (i + n - 1) % n), u1 = sideDirection(P, i);
        // Inward normals; a point t from both faces lies t·(n0 + n1)/(1 + n0·n1) in.
        const Point n0{-u0.z, u0.y}, n1{-u1.z, u1.y};
        const double s = 1 + n0.y * n1.y + n0.z * n1.z;
        const double d = t(u0, u1);
        q[i] = Point{P[i].y + d * (n0.y + n1.y) / s, P[i].z + d * (n0.z + n1.z) / s};
    }
    return q;
}

} // namespace

// The outline offset inward by t: each side moved along its inward normal, the corners where the
// moved sides meet. Invalid when a side vanishes or turns over.
Offset offsetOutline(const std::vector<Point>& P, double t) {
    Offset o;
    const std::size_t n = P.size();
    o.q = movedCorners(P, [t](const Point&, const Point&) { return t; });
    o.len.resize(n);
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

// The corner bars of A and the lengths along each side between them: every corner bar against
// both faces of its corner, or, with a link, in the link's bend there (its own distance from the
// faces at each corner's angle); the lengths taken along the side, where its bars stand.
Offset cornerOutline(const Prep& p, const Size& A) {
    if (!(p.link > 0))
        return offsetOutline(p.outline, p.c + A.d / 2);
    Offset o;
    const std::vector<Point>& P = p.outline;
    o.q = movedCorners(P, [&](const Point& u0, const Point& u1) {
        return links::cornerBarOffsetMm(p.c, p.bendRadius, A.d,
                                        links::interiorAngle(u0.y, u0.z, u1.y, u1.z));
    });
    o.len.resize(P.size());
    for (std::size_t i = 0; i < P.size(); ++i) {
        const Point u = sideDirection(P, i);
        const Point& a = o.q[i];
        const Point& b = o.q[(i + 1) % P.size()];
        o.len[i] = (b.y - a.y) * u.y + (b.z - a.z) * u.z;
        if (!std::isfinite(o.len[i]) || !(o.len[i] > 0))
            return o;
    }
    o.valid = true;
    return o;
}

// The counts a group of sides (every side, or one pair of opposite sides of a four-sided
// column) may carry between corners: at least lo for the largest spacing, at most hi for the
// clear gap. Empty (lo > hi) when none.
static void sideRange(const Prep& p, const Offset& off, const Size& A, const Size& B,
                      std::size_t first, std::size_t stride, std::int32_t& lo, std::int32_t& hi) {
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

static Cand columnCand(const Prep& p, std::int32_t pa, std::int32_t pb, std::int32_t k,
                       std::int32_t j) {
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

static Limit columnLimit(const Prep& p, const Cand& c) {
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
void enumerateColumn(const Prep& p, double cap, Visitor visit) {
    const std::size_t n = p.outline.size();
    const bool four = n == 4;
    for (std::int32_t pa = 0; pa < p.nSizes; ++pa) {
        const Size& A = p.sizes[pa];
        if (static_cast<double>(n) * A.a >= cap)
            break; // sizes ascend: larger corners only add area
        const Offset off = cornerOutline(p, A);
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

} // namespace tresol::code::detail

#include "reinforcement/CodeSearchParts.h"

// Beams of the code-checked search: layers across the width, a second one over a full first.
namespace tresol::code::detail {

// Layer 1: corners of A, k bars of B between them, equal clear gaps across the width. Corners in
// a link's bends stand farther in: the gaps share what lies between them.
Fit beamLayer1(const Prep& p, const Size& A, const Size& B, std::int32_t k, BeamLayer& out) {
    if (2 * p.c + A.d + A.bend > p.h + kEps)
        return Fit::Height;
    const double n = 2.0 + k;
    out.smin = rules::clearBetweenBars(p.code, false, p.dg, A.d);
    out.g = (p.w - 2 * A.bend - 2 * A.d - k * B.d) / (n - 1);
    out.cc = out.g + (k >= 1 ? (A.d + B.d) / 2 : A.d);
    if (out.g < out.smin - kEps)
        return Fit::Gap;
    if (out.cc > p.smax + kEps)
        return Fit::Spacing;
    return Fit::Ok;
}

static bool layer2FitsHeight(const Prep& p, const Size& A, const Size& S) {
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

static bool upperCountExists(std::int32_t n1, std::int32_t j) {
    return j >= 2 && j <= n1 && (n1 % 2 == 1 || j % 2 == 0);
}

// Distance from the bars' face (bottom) to the centroid of the bars, in mm.
static double beamCentroid(const Prep& p, const Size& A, const Size& B, std::int32_t k,
                           const Size* S, std::int32_t j) {
    double sa = 2 * A.a + k * B.a;
    double sy = 2 * A.a * (p.c + A.d / 2 + A.bend) + k * B.a * (p.c + B.d / 2);
    if (S && j > 0) {
        sa += j * S->a;
        sy += j * S->a * (layer2Bottom(p, A) + S->d / 2);
    }
    return sy / sa;
}

static Cand beamCand(const Prep& p, std::int32_t pa, std::int32_t pb, std::int32_t k,
                     std::int32_t p2, std::int32_t j, double area) {
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

static Limit beamLimit(const Prep& p, const Cand& c) {
    if (c.area < beamNeed(p, c.depth))
        return Limit::BelowMin;
    if (p.asMax > 0 && c.area > p.asMax)
        return Limit::AboveMax;
    if (p.code == Code::ACI) {
        const Size& A = p.sizes[c.pa];
        const Size& B = p.sizes[c.pb];
        std::array<double, 3> areas{2 * A.a, c.k * B.a, 0};
        std::array<double, 3> depths{p.h - p.c - A.d / 2 - A.bend, p.h - p.c - B.d / 2, 0};
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
void enumerateBeam(const Prep& p, double cap, Visitor visit) {
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

} // namespace tresol::code::detail

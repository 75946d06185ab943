#include "reinforcement/CodeSearchParts.h"

#include <tuple>

// Rows of the code-checked search: their order, groups, line, bar positions and notes.
namespace tresol::code::detail {

// Deterministic last resort between arrangements equal in every stated respect.
static bool configBefore(const Cand& x, const Cand& y) {
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
    const auto kx = std::tie(x.layers, x.bars, x.nsizes, x.area);
    const auto ky = std::tie(y.layers, y.bars, y.nsizes, y.area);
    return kx != ky ? kx < ky : configBefore(x, y);
}

bool byArea(const Cand& x, const Cand& y) {
    const auto kx = std::tie(x.area, x.bars, x.layers, x.nsizes);
    const auto ky = std::tie(y.area, y.bars, y.layers, y.nsizes);
    return kx != ky ? kx < ky : configBefore(x, y);
}

static Group group(const Cdiametro& cat, const Size& s, std::int32_t count) {
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
// bar on the layer's face (its bottom `yFace` above the beam's bottom), the corners risen into
// the link's bends.
static void beamBars(const Prep& p, double yFace, const Size& A, const Size& B, std::int32_t k,
                     double g, std::vector<Bar>& out) {
    double z = -p.b / 2 + p.c + A.bend;
    auto put = [&](const Size& s, double rise) {
        out.push_back(
            Bar{(-p.h / 2 + yFace + s.d / 2 + rise) / 1000, (z + s.d / 2) / 1000, s.index});
        z += s.d + g;
    };
    put(A, A.bend);
    for (std::int32_t i = 0; i < k; ++i)
        put(B, 0);
    put(A, A.bend);
}

// The least clear gap and the widest centre distance between neighbours of a row of bars of
// one diameter at the given centres (mm), across.
static void rowGaps(const std::vector<double>& z, double d, double& clear, double& centre) {
    clear = kInf;
    centre = 0;
    for (std::size_t i = 1; i < z.size(); ++i) {
        clear = std::min(clear, z[i] - z[i - 1] - d);
        centre = std::max(centre, z[i] - z[i - 1]);
    }
}

static void beamRow(const Prep& p, const Cand& c, Arrangement& r) {
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
            r.flags.push_back("mínimo de norma: " + platform::commaFixed(least, 2) + " cm² (" +
                              rules::beamMinWhy(p.code, p.mat) + ")");
        else
            r.flags.push_back("mínimo de norma dispensado: 4/3 del área necesaria "
                              "(ACI 318-19 9.6.1.3)");
    }
}

static void columnRow(const Prep& p, const Cand& c, Arrangement& r) {
    const Size& A = p.sizes[c.pa];
    const Size& B = p.sizes[c.pb];
    const std::size_t n = p.outline.size();
    const Offset off = cornerOutline(p, A);
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
        r.flags.push_back("mínimo de norma: " + platform::commaFixed(p.floor, 2) + " cm² (" +
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

} // namespace tresol::code::detail

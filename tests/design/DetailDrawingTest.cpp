#include "design/DetailDrawing.h"

#include "design/Design.h"
#include "design/Members.h"
#include "design/Run.h"
#include "design/SectionDxf.h"
#include "drawing/Canvas.h"
#include "drawing/DxfCheck.h"
#include "platform/Numbers.h"
#include "sections/CSeccEstruc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace tresol::design {
namespace {

using Seg = Canvas::Segment;

struct P {
    double x, y;
};
P operator-(P a, P b) {
    return {a.x - b.x, a.y - b.y};
}
double len(P a) {
    return std::hypot(a.x, a.y);
}
bool same(P a, P b) {
    return a.x == b.x && a.y == b.y;
}

double toSegment(P p, P a, P b) {
    const P ab = b - a, ap = p - a;
    const double l2 = ab.x * ab.x + ab.y * ab.y;
    const double t = l2 > 0 ? std::clamp((ap.x * ab.x + ap.y * ab.y) / l2, 0.0, 1.0) : 0.0;
    return len({ap.x - t * ab.x, ap.y - t * ab.y});
}

// A run of segments drawn end to end, as one pen stroke.
struct Chain {
    std::vector<P> pts;
    bool closed() const { return pts.size() > 3 && same(pts.front(), pts.back()); }
    double distance(P p) const {
        double d = INFINITY;
        for (std::size_t i = 1; i < pts.size(); ++i)
            d = std::min(d, toSegment(p, pts[i - 1], pts[i]));
        return d;
    }
    bool contains(P p) const {
        bool in = false;
        for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++)
            if ((pts[i].y > p.y) != (pts[j].y > p.y) &&
                p.x < (pts[j].x - pts[i].x) * (p.y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
                in = !in;
        return in;
    }
    double longestSide() const {
        double l = 0;
        for (std::size_t i = 1; i < pts.size(); ++i)
            l = std::max(l, len(pts[i] - pts[i - 1]));
        return l;
    }
};

std::vector<Chain> chains(const Canvas& canvas, Rgb colour) {
    std::vector<Chain> out;
    for (const Seg& s : canvas.segments()) {
        if (!(s.pen.color == colour))
            continue;
        const P a{s.x1, s.y1}, b{s.x2, s.y2};
        if (out.empty() || !same(out.back().pts.back(), a))
            out.push_back({{a}});
        out.back().pts.push_back(b);
    }
    return out;
}

const auto barsOf = detail::placedBars;

// Labels by diameter, as a detailer groups bars: '2 fi 20'.
std::vector<Callout> calloutsByDiameter(const std::vector<BarCircle>& bars) {
    std::map<long, Callout> groups;
    for (std::size_t i = 0; i < bars.size(); ++i)
        groups[std::lround(bars[i].diameter * 1000)].bars.push_back(static_cast<std::int32_t>(i));
    std::vector<Callout> out;
    for (auto& [mm, c] : groups) {
        c.text = std::to_string(c.bars.size()) + " fi " + std::to_string(mm);
        out.push_back(c);
    }
    return out;
}

// The outline moved in by `inset` metres, as the link's inner face.
std::vector<links::Point> insetOutline(const CSeccEstruc& s, float inset) {
    std::int32_t n = 0;
    PointArray pts;
    s.GeneraContorno(n, pts, inset);
    std::vector<links::Point> out;
    for (std::int32_t i = 1; i < n; ++i)
        out.push_back({pts(i, 1), pts(i, 2)});
    return out;
}

using fixtures::member;

// A member's section with the bars of `line` placed round it at `coverCm` to the bars.
Placement column(double widthCm, int sides, double coverCm, const std::string& line) {
    const Member m = member(MemberKind::Column, 1, coverCm, widthCm, widthCm, sides);
    auto section = memberOutline(m, standardCatalogue("Euro"));
    EXPECT_TRUE(section->AnyadeRefuerzoContorno(line, static_cast<float>(coverCm / 100)));
    Placement p;
    p.section = section;
    p.line = line;
    return p;
}

// The bar of `bars` nearest (z, y).
std::size_t nearest(const std::vector<BarCircle>& bars, double z, double y) {
    std::size_t k = 0;
    for (std::size_t i = 1; i < bars.size(); ++i)
        if (std::hypot(bars[i].z - z, bars[i].y - y) < std::hypot(bars[k].z - z, bars[k].y - y))
            k = i;
    return k;
}

struct Case {
    const char* id;
    Placement placement;
    double coverToBarsMm; // the link's inner face
    double linkMm, bendMm;
    int corners;
    std::vector<std::string> sizeTexts; // the dimensions
    std::string coverText;
    double tailMm; // the hook's straight extension, max(6φ, 75 mm)
    int crossties;
};

// The beam of the window under EC2 (30 × 50, 10 cm², 3.8 cm to the bars), a 60 × 60 column
// with 16 fi 20 and two crossties, and a hexagonal column of 40 cm circumradius with 30 fi 12;
// each link's inner face on the bars, its bends as tight as the corner bars (so that they sit
// in them).
std::vector<Case> cases() {
    std::vector<Case> out;
    {
        Search ec2{SearchKind::EC2, {}};
        const RunResult r = run(member(MemberKind::Beam, 10, 3.8, 30, 50, 1), ec2);
        Case c{"beam", r.place(1), 38, 8, 0, 4, {"30", "50"}, "r = 3 cm", 75, 0};
        const auto bars = barsOf(c.placement);
        c.bendMm = bars[nearest(bars, -1, -1)].diameter * 500;
        out.push_back(c);
    }
    {
        // φ16: 6 × 16 = 96 mm of hook, more than 75.
        Case c{
            "column", column(60, 4, 5, "16 fi 20"), 50, 16, 10, 4, {"60", "60"}, "r = 3,4 cm", 96,
            2};
        const auto bars = barsOf(c.placement);
        // Across the middle bars of opposite faces.
        links::LinkDetail& l = c.placement.link.emplace();
        for (const auto& [a, b] : {std::pair{nearest(bars, 0, -1), nearest(bars, 0, 1)},
                                   std::pair{nearest(bars, -1, 0), nearest(bars, 1, 0)}})
            l.crossties.push_back({{bars[a].y, bars[a].z}, {bars[b].y, bars[b].z}});
        out.push_back(c);
    }
    out.push_back(
        {"hexagon", column(40, 6, 3.8, "30 fi 12"), 38, 8, 6, 6, {"R = 40"}, "r = 3 cm", 75, 0});
    for (Case& c : out) {
        links::LinkDetail& l = c.placement.link ? *c.placement.link : c.placement.link.emplace();
        l.diameterMm = c.linkMm;
        l.innerBendRadiusMm = c.bendMm;
        l.inner = insetOutline(*c.placement.section, static_cast<float>(c.coverToBarsMm / 1000));
        l.text = "1 cerco fi " + platform::numberText(c.linkMm);
        c.placement.callouts = calloutsByDiameter(barsOf(c.placement));
    }
    return out;
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.id;
}

class DetailDrawing : public ::testing::TestWithParam<Case> {
  protected:
    platform::ScopedNumberLocale comma{','};
};

// Measured on the recorded picture: the link's faces are closed strokes round every bar, one
// diameter apart (their bends' radii are read from the DXF below); the hook's two ends run their
// extension into the core; one closed stroke a crosstie; every label once.
TEST_P(DetailDrawing, LinkBandEnclosesTheBarsWithItsBendsHookAndLabels) {
    const Case& c = GetParam();
    Canvas canvas(640, 480);
    DesignResult::draw(c.placement, canvas);
    const auto bars = barsOf(c.placement);
    ASSERT_FALSE(bars.empty()) << c.id;

    std::vector<Chain> faces, open, ties;
    for (const Chain& k : chains(canvas, qbColor(1))) {
        const bool round = std::all_of(bars.begin(), bars.end(), [&](const BarCircle& b) {
            return k.contains({b.z, b.y});
        });
        (k.closed() ? (round ? faces : ties) : open).push_back(k);
    }
    ASSERT_EQ(faces.size(), 2u) << c.id;
    const bool firstInside = faces[1].contains(faces[0].pts[0]);
    const Chain& inner = firstInside ? faces[0] : faces[1];
    const Chain& outer = firstInside ? faces[1] : faces[0];
    const double mm = 1e-3;
    // An arc is drawn as chords turning 6° each: at a 10 mm bend they fall 10 (1 − cos 3°) =
    // 0.014 mm inside it.
    const double sag = 0.02 * mm;
    for (const BarCircle& b : bars)
        EXPECT_GE(inner.distance({b.z, b.y}), b.diameter / 2 - sag) << c.id;
    for (const P& q : outer.pts)
        EXPECT_NEAR(inner.distance(q), c.linkMm * mm, 0.01 * mm) << c.id;

    ASSERT_EQ(open.size(), 2u) << c.id << ": the hook's two ends";
    for (const Chain& end : open) {
        EXPECT_NEAR(end.longestSide(), c.tailMm * mm, 0.01 * mm) << c.id;
        EXPECT_TRUE(inner.contains(end.pts[end.pts.size() / 2])) << c.id << ": into the core";
    }

    EXPECT_EQ(ties.size(), static_cast<std::size_t>(c.crossties)) << c.id;

    // The section's size, the cover, the link's label and each group's once.
    const auto texts = canvas.texts();
    std::vector<std::string> wanted = c.sizeTexts;
    wanted.push_back(c.coverText);
    wanted.push_back(c.placement.link->text);
    for (const Callout& g : c.placement.callouts)
        wanted.push_back(g.text);
    std::map<std::string, int> seen;
    for (const auto& t : texts)
        ++seen[t.text];
    for (const std::string& w : wanted)
        EXPECT_EQ(seen[w], std::count(wanted.begin(), wanted.end(), w)) << c.id << ": " << w;
    EXPECT_EQ(texts.size(), wanted.size()) << c.id;
}

// The 2D DXF drawing read back by ezdxf: audited clean; the link's faces and hook on CERCOS, the
// faces closed with arcs whose radius (from each bulge and its chord) is the bend's and the
// bend's plus the diameter; the dimensions on COTAS; the labels on TEXTO, each group's once,
// with their leaders.
TEST_P(DetailDrawing, DxfReadsBackWithArcsDimensionsAndLabels) {
    const Case& c = GetParam();
    testing::DxfDir dir;
    const std::string file = dir.file(std::string("detail-") + c.id + ".dxf");
    std::string error;
    ASSERT_TRUE(writeSectionDxf(file, c.placement, error)) << c.id << ": " << error;
    const testing::DxfReadBack r = testing::readSectionDxf(file);
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    ASSERT_EQ(r.failure, "") << c.id;
    EXPECT_EQ(r.auditErrors, 0) << c.id;
    const auto bars = barsOf(c.placement);

    std::map<std::string, int> census, said;
    std::vector<std::pair<Chain, const testing::DxfEntity*>> faces;
    std::map<std::string, std::string> layers;
    std::vector<std::string> dimensions;
    for (const testing::DxfEntity& e : r.entities) {
        if (e.kind == "LAYER")
            layers[e.at("name")] = e.at("aci");
        if (!e.at("layer").empty())
            ++census[e.at("layer") + " " + e.kind + (e.at("closed") == "1" ? " closed" : "")];
        if (e.kind == "LWPOLYLINE" && e.at("layer") == "CERCOS" && e.at("closed") == "1") {
            // The faces go round every bar.
            Chain outline;
            const auto v = e.numbers("pts");
            for (std::size_t i = 0; i + 1 < v.size(); i += 3)
                outline.pts.push_back({v[i] / 1000, v[i + 1] / 1000});
            if (std::all_of(bars.begin(), bars.end(), [&](const BarCircle& b) {
                    return outline.contains({b.z, b.y});
                }))
                faces.emplace_back(outline, &e);
        }
        if (e.kind == "TEXT")
            ++said[e.at("text")];
        if (e.kind == "DIMENSION") {
            // Its text the size it measures, in cm.
            const std::string t = e.at("text");
            dimensions.push_back(t);
            EXPECT_NEAR(e.number("measurement"), 10 * std::stod(t.substr(t.rfind(' ') + 1)), 1e-3)
                << c.id << ": " << t;
        }
    }
    EXPECT_EQ(layers["CERCOS"], "150") << c.id;
    EXPECT_EQ(layers["COTAS"], "3") << c.id;
    EXPECT_EQ(dimensions, c.sizeTexts) << c.id;
    const int callouts = static_cast<int>(c.placement.callouts.size());
    const int nBars = static_cast<int>(bars.size());
    EXPECT_EQ(census,
              (std::map<std::string, int>{{"HORMIGON LWPOLYLINE closed", 1},
                                          {"ARMADO CIRCLE", nBars},
                                          {"ARMADO HATCH", nBars},
                                          {"CERCOS LWPOLYLINE closed", 2 + c.crossties},
                                          {"CERCOS LWPOLYLINE", 2},
                                          {"COTAS DIMENSION", static_cast<int>(c.sizeTexts.size())},
                                          // Two segments to each group's label, one to the link's.
                                          {"TEXTO LINE", 2 * callouts + 1},
                                          // The groups, the link, the cover and the line.
                                          {"TEXTO TEXT", callouts + 3}}))
        << c.id;

    ASSERT_EQ(faces.size(), 2u) << c.id;
    if (faces[0].first.contains(faces[1].first.pts[0]))
        std::swap(faces[0], faces[1]); // the inner face first
    for (const auto& [face, radius] :
         {std::pair{faces[0].second, c.bendMm}, {faces[1].second, c.bendMm + c.linkMm}})
        EXPECT_THAT(face->numbers("radii"), ::testing::Each(::testing::DoubleNear(radius, 1e-3)))
            << c.id;
    EXPECT_EQ(faces[0].second->numbers("radii").size(), static_cast<std::size_t>(c.corners))
        << c.id;

    for (const Callout& g : c.placement.callouts) // and the line under all, when it is one group
        EXPECT_EQ(said[g.text], g.text == c.placement.line ? 2 : 1) << c.id << ": " << g.text;
    EXPECT_EQ(said[c.placement.line], 1 + (c.placement.callouts.size() == 1)) << c.id;
    EXPECT_EQ(said[c.placement.link->text], 1) << c.id;
    EXPECT_EQ(said[c.coverText], 1) << c.id;
}

INSTANTIATE_TEST_SUITE_P(Members, DetailDrawing, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.id); });

} // namespace
} // namespace tresol::design

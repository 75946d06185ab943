#include "design/DetailDrawing.h"

#include "drawing/CCuadroDibujo.h"
#include "drawing/DrawingTarget.h"
#include "drawing/Palette.h"
#include "platform/BoundedArray.h"
#include "platform/Numbers.h"
#include "reinforcement/Carmasec.h"
#include "sections/CSeccEstruc.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tresol::design::detail {
namespace {

constexpr double kPi = std::numbers::pi;
// Arcs are drawn on a target as chords turning this much at most.
constexpr double kChordTurn = kPi / 30;
// Pens: the link in the palette's blue, dimensions and labels in black.
constexpr int kLinkColour = 1;
constexpr int kTextColour = 0;

Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}
Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}
Point operator*(Point a, double k) {
    return {a.x * k, a.y * k};
}
double dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y;
}
double cross(Point a, Point b) {
    return a.x * b.y - a.y * b.x;
}
double length(Point a) {
    return std::hypot(a.x, a.y);
}
Point unit(Point a) {
    const double l = length(a);
    return l > 0 ? a * (1 / l) : Point{0, 0};
}
// A quarter turn anticlockwise: the left of a direction.
Point left(Point v) {
    return {-v.y, v.x};
}
Point rotate(Point v, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {c * v.x - s * v.y, s * v.x + c * v.y};
}
Point polar(double radius, double angle) {
    return {radius * std::cos(angle), radius * std::sin(angle)};
}
double angleOf(Point v) {
    return std::atan2(v.y, v.x);
}

Point fromSection(const links::Point& p) {
    return {p.z, p.y};
}
Point centreOf(const BarCircle& b) {
    return {b.z, b.y};
}

double signedArea(const std::vector<Point>& p) {
    double a = 0;
    for (std::size_t i = 0; i < p.size(); ++i)
        a += cross(p[i], p[(i + 1) % p.size()]);
    return a / 2;
}

double distanceToSegment(Point p, Point a, Point b) {
    const Point ab = b - a;
    const double l2 = dot(ab, ab);
    const double t = l2 > 0 ? std::clamp(dot(p - a, ab) / l2, 0.0, 1.0) : 0.0;
    return length(p - (a + ab * t));
}

bool segmentsCross(Point a, Point b, Point c, Point d) {
    const double d1 = cross(b - a, c - a), d2 = cross(b - a, d - a);
    const double d3 = cross(d - c, a - c), d4 = cross(d - c, b - c);
    return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0 && d3 != 0 &&
           d4 != 0;
}

// The tangent of a bulged segment at its start and at its end.
std::pair<Point, Point> tangents(const Vertex& from, const Vertex& to) {
    const Point chord = unit(Point{to.x - from.x, to.y - from.y});
    const double half = 2 * std::atan(from.bulge); // half the turning angle
    return {rotate(chord, -half), rotate(chord, half)};
}

// An open path moved sideways by `offset` (to its left when positive): every segment keeps its
// turning angle, an arc its centre.
std::vector<Vertex> sideOf(const std::vector<Vertex>& path, double offset) {
    std::vector<Vertex> out;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        const auto [t0, t1] = tangents(path[i], path[i + 1]);
        const Point a = Point{path[i].x, path[i].y} + left(t0) * offset;
        const Point b = Point{path[i + 1].x, path[i + 1].y} + left(t1) * offset;
        // Where the sides of two segments do not meet (a kink), they are joined straight.
        if (out.empty() || length(Point{out.back().x, out.back().y} - a) > 1e-12)
            out.push_back({a.x, a.y, path[i].bulge});
        else
            out.back().bulge = path[i].bulge;
        out.push_back({b.x, b.y, 0});
    }
    return out;
}

// The outline of a bar of `width` whose centreline is the open path `centre`: one side forward,
// across its end, the other side back; closed across its start when asked.
Path barOutline(const std::vector<Vertex>& centre, double width, bool closeStart) {
    Path p;
    p.closed = closeStart;
    p.vertices = sideOf(centre, width / 2);
    std::vector<Vertex> right = sideOf(centre, -width / 2);
    p.vertices.back().bulge = 0; // across the end
    for (std::size_t i = right.size(); i-- > 0;) {
        // Walked backwards, a segment turns the other way and its bulge moves to its far end.
        const double bulge = i > 0 ? -right[i - 1].bulge : 0;
        p.vertices.push_back({right[i].x, right[i].y, bulge});
    }
    return p;
}

// The radius of the placed bar centred at `p` (within a millimetre), or 0.
double barRadiusAt(Point p, const std::vector<BarCircle>& bars) {
    for (const BarCircle& b : bars)
        if (length(centreOf(b) - p) < 1e-3)
            return b.diameter / 2;
    return 0;
}

// A crosstie's centreline: a 90° hook round the bar at `a`, its tail along the back of that bar,
// the leg beside both bars, and a 135° hook round the bar at `b` whose tail points back into
// the core.
std::vector<Vertex> crosstieCentre(Point a, double ra, Point b, double rb, double d, double tail) {
    const Point u = unit(b - a);
    const Point n = left(u);
    const double rhoA = ra + d / 2, rhoB = rb + d / 2;
    const Point backA = a - u * rhoA;
    const Point tipA = backA - n * tail;
    const Point legA = a + n * rhoA;
    const Point legB = b + n * rhoB;
    const Point endB = b + rotate(n, -0.75 * kPi) * rhoB;
    const Point tipB = endB + rotate(n, 0.75 * kPi) * tail;
    return {{tipA.x, tipA.y, 0}, {backA.x, backA.y, std::tan(-kPi / 8)},
            {legA.x, legA.y, 0}, {legB.x, legB.y, std::tan(-0.75 * kPi / 4)},
            {endB.x, endB.y, 0}, {tipB.x, tipB.y, 0}};
}

// The points a path passes through, its arcs as chords; a closed path ends where it began.
std::vector<Point> flatten(const Path& path) {
    std::vector<Point> out;
    const std::size_t n = path.vertices.size();
    if (n == 0)
        return out;
    const std::size_t segments = path.closed ? n : n - 1;
    out.push_back({path.vertices[0].x, path.vertices[0].y});
    for (std::size_t i = 0; i < segments; ++i) {
        const Vertex& v = path.vertices[i];
        const Vertex& w = path.vertices[(i + 1) % n];
        const Point p{v.x, v.y}, q{w.x, w.y};
        const double turn = 4 * std::atan(v.bulge);
        const double chord = length(q - p);
        if (std::fabs(turn) > 1e-9 && chord > 0) {
            const double radius = chord / (2 * std::sin(std::fabs(turn) / 2));
            const double rise = radius * std::cos(turn / 2);
            const Point middle = (p + q) * 0.5;
            const Point centre = middle + left(unit(q - p)) * (turn > 0 ? rise : -rise);
            const int steps =
                std::max(1, static_cast<int>(std::ceil(std::fabs(turn) / kChordTurn)));
            for (int k = 1; k < steps; ++k)
                out.push_back(centre + rotate(p - centre, turn * k / steps));
        }
        out.push_back(i + 1 == n ? out.front() : q);
    }
    return out;
}

std::vector<Point> outlineOf(const CSeccEstruc& section) {
    std::vector<Point> out;
    if (!section.HayPuntosContorno())
        return out;
    std::int32_t np = 0;
    PointArray pts;
    section.GeneraContorno(np, pts, 1);
    for (std::int32_t i = 1; i <= np; ++i)
        out.push_back({pts(i, 2), pts(i, 1)});
    if (out.size() > 1 && length(out.front() - out.back()) < 1e-9)
        out.pop_back();
    return out;
}

struct Box {
    Point min{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    Point max{-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};

    void add(Point p) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y)};
    }
};

// The least distance from a point to the sides of a closed polygon.
double distanceToPolygon(Point p, const std::vector<Point>& polygon) {
    double d = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < polygon.size(); ++i)
        d = std::min(d, distanceToSegment(p, polygon[i], polygon[(i + 1) % polygon.size()]));
    return d;
}

// The link's inner polygon in the drawing's frame, counter-clockwise, without repeats.
std::vector<Point> innerPolygon(const links::LinkDetail& link) {
    std::vector<Point> p;
    for (const links::Point& q : link.inner) {
        const Point r = fromSection(q);
        if (p.empty() || length(r - p.back()) > 1e-9)
            p.push_back(r);
    }
    while (p.size() > 1 && length(p.front() - p.back()) <= 1e-9)
        p.pop_back();
    if (p.size() >= 3 && signedArea(p) < 0)
        std::reverse(p.begin(), p.end());
    return p;
}

// Where the labels of the groups of bars go: a column of texts right of the section, each joined
// by its leader to the bar of its group whose leader crosses the fewest other bars and leaders,
// near its own height, and rather one that no crosstie hooks round.
void placeCallouts(const Placement& placement, const Box& section, Sheet& s) {
    const double h = s.line;
    std::vector<bool> tied(s.bars.size(), false);
    for (const links::Crosstie& t : placement.link->crossties)
        for (const links::Point& end : {t.a, t.b})
            for (std::size_t i = 0; i < s.bars.size(); ++i)
                if (length(centreOf(s.bars[i]) - fromSection(end)) < 1e-3)
                    tied[i] = true;
    const double elbowX = section.max.x + 0.8 * h;
    const double textX = elbowX + 0.6 * h;
    std::vector<double> slots;
    const std::size_t wanted = placement.callouts.size() + 2;
    for (double y = section.max.y - 0.5 * h; y >= section.min.y - 2.2 * h || slots.size() < wanted;
         y -= 1.25 * h)
        slots.push_back(y);
    std::vector<bool> used(slots.size(), false);
    std::vector<std::pair<Point, Point>> leaders;

    // Groups with bars higher up choose first, so that their labels stay above the others'.
    std::vector<std::size_t> order;
    std::vector<double> top(placement.callouts.size(), -std::numeric_limits<double>::infinity());
    for (std::size_t g = 0; g < placement.callouts.size(); ++g) {
        for (const std::int32_t i : placement.callouts[g].bars)
            if (i >= 0 && static_cast<std::size_t>(i) < s.bars.size())
                top[g] = std::max(top[g], s.bars[static_cast<std::size_t>(i)].y);
        order.push_back(g);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&top](std::size_t a, std::size_t b) { return top[a] > top[b]; });

    std::vector<Label> labels(placement.callouts.size());
    for (const std::size_t g : order) {
        const Callout& c = placement.callouts[g];
        labels[g].text = c.text;
        // The bars of the group nearest the labels are worth trying.
        std::vector<std::size_t> anchors;
        for (const std::int32_t i : c.bars)
            if (i >= 0 && static_cast<std::size_t>(i) < s.bars.size())
                anchors.push_back(static_cast<std::size_t>(i));
        std::sort(anchors.begin(), anchors.end(),
                  [&s](std::size_t a, std::size_t b) { return s.bars[a].z > s.bars[b].z; });
        anchors.resize(std::min<std::size_t>(anchors.size(), 12));
        if (anchors.empty()) {
            // A label without bars to point at still says what it says, in the first free slot.
            for (std::size_t k = 0; k < slots.size(); ++k)
                if (!used[k]) {
                    used[k] = true;
                    labels[g].at = {textX, slots[k] - h / 2};
                    break;
                }
            continue;
        }
        double best = std::numeric_limits<double>::infinity();
        std::size_t bestSlot = 0;
        Point bestStart;
        for (const std::size_t i : anchors) {
            const Point centre = centreOf(s.bars[i]);
            const double radius = s.bars[i].diameter / 2;
            for (std::size_t k = 0; k < slots.size(); ++k) {
                if (used[k])
                    continue;
                const Point elbow{elbowX, slots[k]};
                const Point start = centre + unit(elbow - centre) * radius;
                int crossings = 0;
                for (std::size_t j = 0; j < s.bars.size(); ++j)
                    if (j != i && distanceToSegment(centreOf(s.bars[j]), start, elbow) <
                                      s.bars[j].diameter / 2 + 0.1 * h)
                        ++crossings;
                for (const auto& [a, b] : leaders)
                    if (segmentsCross(start, elbow, a, b))
                        ++crossings;
                const double cost = 1000.0 * crossings + std::fabs(slots[k] - centre.y) / h +
                                    0.3 * (elbowX - centre.x) / h + (tied[i] ? 3.0 : 0.0);
                if (cost < best) {
                    best = cost;
                    bestSlot = k;
                    bestStart = start;
                }
            }
        }
        used[bestSlot] = true;
        const Point elbow{elbowX, slots[bestSlot]};
        labels[g].leader = {bestStart, elbow, {textX - 0.15 * h, slots[bestSlot]}};
        labels[g].at = {textX, slots[bestSlot] - h / 2};
        leaders.emplace_back(bestStart, elbow);
    }
    for (Label& l : labels)
        s.labels.push_back(std::move(l));
}

// The link's label above the section. Its leader leaves the link's top side where the side is
// clearest of bars (and of the crossties' hooks round them), right of the middle of equals; the
// text stands right of it when there is room within the labels' width, else over it.
Label linkLabel(const links::LinkDetail& link, const std::vector<Point>& inner, const Box& section,
                const Sheet& s, const std::function<double(const std::string&)>& width) {
    const double h = s.line;
    Label l;
    l.text = link.text.empty() ? "cerco fi " + platform::numberText(link.diameterMm) : link.text;
    const double w = width(l.text);
    l.at = {section.min.x, section.max.y + 0.7 * h};
    if (inner.size() < 3)
        return l;
    auto midOf = [&inner](std::size_t i) {
        return (inner[i] + inner[(i + 1) % inner.size()]) * 0.5;
    };
    std::size_t top = 0;
    for (std::size_t i = 1; i < inner.size(); ++i) {
        const Point m = midOf(i), best = midOf(top);
        if (m.y > best.y + 1e-9 || (std::fabs(m.y - best.y) <= 1e-9 && m.x > best.x))
            top = i;
    }
    Point a = inner[top], b = inner[(top + 1) % inner.size()];
    if (a.x > b.x)
        std::swap(a, b);
    const Point outwards{0, link.diameterMm / 2000}; // onto the bar's centreline
    Point anchor;
    double bestClear = -1, bestOff = 0;
    for (int k = 2; k <= 8; ++k) {
        const double f = k / 10.0;
        const Point at = a + (b - a) * f + outwards;
        double clear = std::numeric_limits<double>::infinity();
        for (const BarCircle& bar : s.bars)
            clear = std::min(clear, length(at - centreOf(bar)) - bar.diameter / 2);
        clear = std::floor(clear / (0.25 * h)); // equals to a quarter of a line
        const double off = std::fabs(f - 0.6);
        if (clear > bestClear || (clear == bestClear && off < bestOff)) {
            bestClear = clear;
            bestOff = off;
            anchor = at;
        }
    }
    double right = section.max.x;
    for (const Label& other : s.labels)
        right = std::max(right, other.at.x + width(other.text));
    const double rise = section.max.y + 0.7 * h;
    if (anchor.x + 0.5 * h + w <= right) {
        l.at = {anchor.x + 0.5 * h, rise};
        l.leader = {anchor, {l.at.x - 0.15 * h, rise + 0.5 * h}};
    } else {
        l.at = {std::max(section.min.x, right - w), rise};
        l.leader = {anchor, {anchor.x, rise}};
    }
    return l;
}

} // namespace

double hookExtensionMm(double diameterMm) {
    return std::max(6 * diameterMm, 75.0);
}

LinkShape linkShape(const links::LinkDetail& link, const std::vector<BarCircle>& bars) {
    LinkShape shape;
    const std::vector<Point> p = innerPolygon(link);
    if (p.size() < 3 || !(link.diameterMm > 0))
        return shape;
    const double d = link.diameterMm / 1000;
    const double r = std::max(0.0, link.innerBendRadiusMm / 1000);
    const double tail = hookExtensionMm(link.diameterMm) / 1000;
    const std::size_t n = p.size();

    struct Corner {
        Point in, out, uIn, uOut;
        double radius = 0, turn = 0;
    };
    std::vector<Corner> corners(n);
    shape.inner.closed = shape.outer.closed = true;
    for (std::size_t i = 0; i < n; ++i) {
        const Point prev = p[(i + n - 1) % n], next = p[(i + 1) % n];
        Corner& c = corners[i];
        c.uIn = unit(p[i] - prev);
        c.uOut = unit(next - p[i]);
        c.turn = std::atan2(cross(c.uIn, c.uOut), dot(c.uIn, c.uOut));
        if (c.turn <= 1e-9) {
            // Straight on or turning inwards: no bend; the outer face meets at its mitre.
            const Point nIn = left(c.uIn), nOut = left(c.uOut);
            const double k = 1 + dot(nIn, nOut);
            const Point o = k > 1e-9 ? p[i] - (nIn + nOut) * (d / k) : p[i] - nIn * d;
            shape.inner.vertices.push_back({p[i].x, p[i].y, 0});
            shape.outer.vertices.push_back({o.x, o.y, 0});
            continue;
        }
        // A bend tangent to both sides, as tight as the sides leave room for.
        const double t = std::tan(c.turn / 2);
        const double room = std::min(length(p[i] - prev), length(next - p[i])) / 2;
        c.radius = std::min(r, room / t);
        c.in = p[i] - c.uIn * (c.radius * t);
        c.out = p[i] + c.uOut * (c.radius * t);
        const double bulge = std::tan(c.turn / 4);
        if (c.radius > 0) {
            shape.inner.vertices.push_back({c.in.x, c.in.y, bulge});
            shape.inner.vertices.push_back({c.out.x, c.out.y, 0});
        } else {
            shape.inner.vertices.push_back({p[i].x, p[i].y, 0});
        }
        const Point oIn = c.in - left(c.uIn) * d, oOut = c.out - left(c.uOut) * d;
        shape.outer.vertices.push_back({oIn.x, oIn.y, bulge});
        shape.outer.vertices.push_back({oOut.x, oOut.y, 0});
    }

    // The hooked bend: the corner farthest from the bars, the top left of equals (to the
    // millimetre).
    Point middle{0, 0};
    for (const BarCircle& b : bars)
        middle = middle + centreOf(b) * (1.0 / static_cast<double>(bars.size()));
    if (bars.empty())
        for (const Point& q : p)
            middle = middle + q * (1.0 / static_cast<double>(n));
    std::optional<std::size_t> hooked;
    auto farther = [&](std::size_t a, std::size_t b) {
        const double da = std::round(length(p[a] - middle) * 1000);
        const double db = std::round(length(p[b] - middle) * 1000);
        if (da != db)
            return da > db;
        return p[a].y - p[a].x > p[b].y - p[b].x + 1e-9;
    };
    for (std::size_t i = 0; i < n; ++i)
        if (corners[i].turn > 1e-9 && (!hooked || farther(i, *hooked)))
            hooked = i;
    if (hooked) {
        const Corner& c = corners[*hooked];
        const Point centre = c.in + left(c.uIn) * c.radius;
        const double rc = c.radius + d / 2;
        // Each end bends 45° past the bend's tangent and runs straight into the core.
        const double aOut = angleOf(left(c.uOut) * -1.0);
        const double aIn = angleOf(left(c.uIn) * -1.0);
        for (const auto& [from, sweep] : {std::pair{aOut, kPi / 4}, std::pair{aIn, -kPi / 4}}) {
            const Point start = centre + polar(rc, from);
            const Point end = centre + polar(rc, from + sweep);
            const Point heading = polar(1, from + sweep + (sweep > 0 ? kPi / 2 : -kPi / 2));
            const Point tip = end + heading * tail;
            shape.hook.push_back(barOutline(
                {{start.x, start.y, std::tan(sweep / 4)}, {end.x, end.y, 0}, {tip.x, tip.y, 0}}, d,
                false));
        }
    }

    for (const links::Crosstie& t : link.crossties) {
        const Point a = fromSection(t.a), b = fromSection(t.b);
        if (length(b - a) < 1e-6)
            continue;
        shape.crossties.push_back(barOutline(
            crosstieCentre(a, barRadiusAt(a, bars), b, barRadiusAt(b, bars), d, tail), d, true));
    }
    return shape;
}

std::vector<BarCircle> placedBars(const Placement& placement) {
    std::vector<BarCircle> out;
    if (!placement.section)
        return out;
    if (const auto armado = placement.section->GetArmado()) {
        const std::int32_t n = armado->GetNumeroRedondos();
        out.reserve(static_cast<std::size_t>(n));
        for (std::int32_t i = 1; i <= n; ++i)
            out.push_back({armado->GetY(i), armado->GetZ(i), armado->GetDiametro(i), 0});
    }
    return out;
}

std::optional<double> regularCircumradius(const std::vector<Point>& outline) {
    const std::size_t n = outline.size();
    if (n < 3 || n == 4)
        return std::nullopt;
    Point c{0, 0};
    for (const Point& p : outline)
        c = c + p * (1.0 / static_cast<double>(n));
    const double r = length(outline[0] - c);
    const double side = length(outline[1] - outline[0]);
    for (std::size_t i = 0; i < n; ++i) {
        const Point& p = outline[i];
        const Point& q = outline[(i + 1) % n];
        if (std::fabs(length(p - c) - r) > 1e-4 * r ||
            std::fabs(length(q - p) - side) > 1e-4 * side)
            return std::nullopt;
    }
    return r;
}

std::string cmText(double metres) {
    return platform::numberText(std::round(metres * 1000) / 10.0);
}

std::vector<std::pair<Point, Point>> strokes(const Dimension& dim, double h) {
    std::vector<std::pair<Point, Point>> out;
    const double gap = 0.3 * h, over = 0.3 * h, tick = 0.25 * h;
    if (dim.kind == Dimension::Kind::Radius) {
        out.emplace_back(dim.from, dim.lineTo);
        // An open arrowhead at the vertex, and the centre marked.
        const Point back = unit(dim.from - dim.to) * (0.6 * h);
        out.emplace_back(dim.to, dim.to + rotate(back, kPi / 9));
        out.emplace_back(dim.to, dim.to + rotate(back, -kPi / 9));
        out.emplace_back(dim.from - Point{tick, 0}, dim.from + Point{tick, 0});
        out.emplace_back(dim.from - Point{0, tick}, dim.from + Point{0, tick});
        return out;
    }
    // Extension lines from just off the points measured to just past the dimension line, the
    // line itself a little past them, and an oblique tick where each extension line meets it.
    const Point along = unit(dim.lineTo - dim.lineFrom);
    for (const auto& [measured, onLine] :
         {std::pair{dim.from, dim.lineFrom}, {dim.to, dim.lineTo}}) {
        const Point out1 = unit(onLine - measured);
        if (length(onLine - measured) > gap)
            out.emplace_back(measured + out1 * gap, onLine + out1 * over);
        out.emplace_back(onLine - Point{tick, tick}, onLine + Point{tick, tick});
    }
    out.emplace_back(dim.lineFrom - along * over, dim.lineTo + along * over);
    return out;
}

std::optional<Sheet> layOut(const Placement& placement, const TextSize& text) {
    if (!placement.section || !placement.link || !(text.line > 0))
        return std::nullopt;
    Sheet s;
    s.outline = outlineOf(*placement.section);
    if (s.outline.size() < 3)
        return std::nullopt;
    s.bars = placedBars(placement);
    s.link = linkShape(*placement.link, s.bars);
    const double h = s.line = text.line;
    auto width = [&text](const std::string& t) { return text.width ? text.width(t) : 0.0; };

    Box section;
    for (const Point& p : s.outline)
        section.add(p);
    const Point mid = (section.min + section.max) * 0.5;

    // Dimensions: a regular polygon by its circumradius, from the centre to its leftmost vertex
    // (the lower of two) and on past it to its text, outside the core that the crossties cross;
    // any other outline by its width under it and its height left of it.
    double below = section.min.y; // the lowest dimension's line
    if (const auto radius = regularCircumradius(s.outline)) {
        Point centre{0, 0};
        for (const Point& p : s.outline)
            centre = centre + p * (1.0 / static_cast<double>(s.outline.size()));
        Point vertex = s.outline.front();
        for (const Point& p : s.outline)
            if (p.x < vertex.x - 1e-9 * *radius ||
                (p.x <= vertex.x + 1e-9 * *radius && p.y < vertex.y))
                vertex = p;
        const Point past = vertex + unit(vertex - centre) * (0.6 * h);
        const std::string t = "R = " + cmText(*radius);
        s.dimensions.push_back({Dimension::Kind::Radius,
                                centre,
                                vertex,
                                centre,
                                past,
                                t,
                                {past.x - 0.15 * h - width(t), past.y - h / 2}});
    } else {
        const double y = section.min.y - 1.5 * h;
        const std::string w = cmText(section.max.x - section.min.x);
        s.dimensions.push_back({Dimension::Kind::Horizontal,
                                section.min,
                                {section.max.x, section.min.y},
                                {section.min.x, y},
                                {section.max.x, y},
                                w,
                                {mid.x - width(w) / 2, y + 0.15 * h}});
        const double x = section.min.x - 1.2 * h;
        const std::string t = cmText(section.max.y - section.min.y);
        s.dimensions.push_back({Dimension::Kind::Vertical,
                                section.min,
                                {section.min.x, section.max.y},
                                {x, section.min.y},
                                {x, section.max.y},
                                t,
                                {x - 0.3 * h - width(t), mid.y - h / 2}});
        below = y;
    }

    placeCallouts(placement, section, s);
    const links::LinkDetail& link = *placement.link;
    const std::vector<Point> inner = innerPolygon(link);
    s.labels.push_back(linkLabel(link, inner, section, s, width));

    // The cover, from the link's outer face to the outline, as a note under the dimensions.
    if (!inner.empty()) {
        double cover = std::numeric_limits<double>::infinity();
        for (const Point& q : inner)
            cover = std::min(cover, distanceToPolygon(q, s.outline));
        cover -= link.diameterMm / 1000;
        if (std::isfinite(cover) && cover > 0)
            s.labels.push_back(
                {"r = " + cmText(cover) + " cm", {section.min.x, below - 1.5 * h}, {}});
    }

    Box all = section;
    for (const Path* p : {&s.link.inner, &s.link.outer})
        for (const Vertex& v : p->vertices)
            all.add({v.x, v.y});
    for (const std::vector<Path>* group : {&s.link.hook, &s.link.crossties})
        for (const Path& p : *group)
            for (const Vertex& v : p.vertices)
                all.add({v.x, v.y});
    for (const Dimension& dim : s.dimensions) {
        for (const auto& [a, b] : strokes(dim, h)) {
            all.add(a);
            all.add(b);
        }
        all.add(dim.textAt);
        all.add(dim.textAt + Point{width(dim.text), h});
    }
    for (const Label& l : s.labels) {
        all.add(l.at);
        all.add(l.at + Point{width(l.text), h});
        for (const Point& q : l.leader)
            all.add(q);
    }
    s.min = all.min;
    s.max = all.max;
    return s;
}

namespace {

void strokePath(DrawingTarget& t, const Path& path) {
    const std::vector<Point> pts = flatten(path);
    if (pts.size() < 2)
        return;
    t.Line(static_cast<float>(pts[0].x), static_cast<float>(pts[0].y), static_cast<float>(pts[1].x),
           static_cast<float>(pts[1].y));
    for (std::size_t i = 2; i < pts.size(); ++i)
        t.Line(static_cast<float>(pts[i].x), static_cast<float>(pts[i].y));
}

void strokeLine(DrawingTarget& t, Point a, Point b) {
    t.Line(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(b.x),
           static_cast<float>(b.y));
}

// A text whose box has its bottom-left corner at `at`, the world's y upwards.
void print(DrawingTarget& t, const std::string& text, Point at, double h) {
    t.CurrentX(static_cast<float>(at.x));
    t.CurrentY(static_cast<float>(at.y + h));
    t.Print(text);
}

} // namespace

void draw(const Placement& placement, DrawingTarget& target) {
    const Box section = [&placement] {
        Box b;
        if (placement.section)
            for (const Point& p : outlineOf(*placement.section))
                b.add(p);
        return b;
    }();
    const double W = section.max.x - section.min.x, H = section.max.y - section.min.y;
    if (!placement.section || !placement.link || !(W > 0) || !(H > 0)) {
        target.Cls();
        return;
    }
    // The texts keep their size in pixels at any scale: the room they take round the section is
    // found at one scale, and the scale that leaves them that room is taken.
    const double pxAcross = target.Width() / std::fabs(double{target.ScaleWidth()});
    const double pxDown = target.Height() / std::fabs(double{target.ScaleHeight()});
    const double linePx = target.TextHeight("Ag") * pxDown;
    auto sheetAt = [&](double scale) {
        return layOut(placement, {linePx / scale, [&target, pxAcross, scale](const std::string& t) {
                                      return target.TextWidth(t) * pxAcross / scale;
                                  }});
    };
    const double pad = 0.5 * linePx; // pixels round the whole drawing
    double scale = 0.5 * std::min(target.Width() / W, target.Height() / H);
    std::optional<Sheet> sheet = sheetAt(scale);
    for (int pass = 0; sheet && pass < 2; ++pass) {
        const double across = (section.min.x - sheet->min.x + sheet->max.x - section.max.x) * scale;
        const double down = (section.min.y - sheet->min.y + sheet->max.y - section.max.y) * scale;
        const double fits = std::min((target.Width() - across - 2 * pad) / W,
                                     (target.Height() - down - 2 * pad) / H);
        // A target too small for its texts still shows the section, the texts over it.
        scale = fits > 0 ? fits : 0.25 * std::min(target.Width() / W, target.Height() / H);
        sheet = sheetAt(scale);
    }
    if (!sheet) {
        target.Cls();
        return;
    }
    const Sheet& s = *sheet;
    const double h = s.line;
    const double margin = pad / scale;
    CCuadroDibujo cuadro;
    cuadro.IniciaAPelo(target);
    cuadro.Margen(target, static_cast<float>(s.max.x + margin),
                  static_cast<float>(s.min.x - margin), static_cast<float>(s.max.y + margin),
                  static_cast<float>(s.min.y - margin));
    // The section and its bars as the plain drawing shows them, at this scale.
    const CSeccEstruc& secc = *placement.section;
    secc.DibujaSeccion(cuadro, &secc, nullptr, 2, 0.0f, std::int16_t{0});

    target.DrawStyle(0);
    target.DrawWidth(1);
    target.ForeColor(qbColor(kLinkColour));
    for (const Path* p : {&s.link.inner, &s.link.outer})
        strokePath(target, *p);
    for (const std::vector<Path>* group : {&s.link.hook, &s.link.crossties})
        for (const Path& p : *group)
            strokePath(target, p);

    target.ForeColor(qbColor(kTextColour));
    for (const Dimension& dim : s.dimensions) {
        for (const auto& [a, b] : strokes(dim, h))
            strokeLine(target, a, b);
        print(target, dim.text, dim.textAt, h);
    }
    for (const Label& l : s.labels) {
        for (std::size_t i = 1; i < l.leader.size(); ++i)
            strokeLine(target, l.leader[i - 1], l.leader[i]);
        print(target, l.text, l.at, h);
    }
}

} // namespace tresol::design::detail

#include "design/SectionDxf.h"

#include "design/DetailDrawing.h"
#include "drawing/CadDxf.h"
#include "drawing/DxfExport.h"
#include "drawing/ICuadro.h"
#include "platform/BoundedArray.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Carmasec.h"
#include "sections/CSeccEstruc.h"

#include <dl_dxf.h>
#include <dl_writer_ascii.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tresol::design {
namespace {

const char* const kNothingToWrite = "No hay ninguna sección dibujada que exportar.";

constexpr const char* kLayerOutline = "HORMIGON";
constexpr const char* kLayerBars = "ARMADO";
constexpr const char* kLayerCover = "RECUBRIMIENTO";
constexpr const char* kLayerText = "TEXTO";
constexpr const char* kLayerLinks = "CERCOS";
constexpr const char* kLayerDimensions = "COTAS";
constexpr const char* kTextStyle = "SECCION";
constexpr const char* kDimStyle = "TRESOL";
constexpr const char* kDashed = "DASHED";
constexpr int kByLayer = 256;
// Colours of the bar diameters, smallest first, where a section mixes them.
constexpr std::array<int, 10> kDiameterColours = {1, 6, 30, 3, 4, 2, 40, 140, 210, 240};

// Text height and the dash length's scale, per millimetre of the section's larger extent.
constexpr double kTextHeight = 0.06;
// A detailed sheet's line of text, per text height.
constexpr double kLineHeight = 1.5;
constexpr double kDashScale = 1.0 / 500;

// Handles dxflib takes for the tables, blocks and objects around the entities, with room to
// spare: the seed written in the header must lie above every handle in the file.
constexpr unsigned long kFrameHandles = 0x1000;

struct Point {
    double x, y;
};

struct Bar {
    Point centre;
    double radius;
    float diameter; // in metres, as the catalogue gives it
    int colour;
};

struct Text {
    enum class Align { BaseCentre, BaseLeft, Middle };
    std::string text; // as the file holds it
    Point at;         // the middle of its base line, its base line's start, or its middle
    Align align = Align::BaseCentre;
};

struct Segment {
    Point a, b;
};

// A polyline whose segments may be arcs (a bulge to each vertex, as the file holds it).
struct Bulged {
    std::vector<detail::Vertex> vertices;
    bool closed = false;
};

// A dimension as the file holds it: a horizontal or vertical one measures from `from` to `to`,
// its line through `onLine`; a radius runs from `from` (the centre) to `to`. Its picture, the
// block a CAD program shows, is `strokes` and its text centred at `textMiddle`.
struct Dim {
    detail::Dimension::Kind kind;
    Point from, to, onLine, textMiddle;
    std::string text;
    double measurement;
    std::vector<Segment> strokes;
};

// What the file shows, in millimetres on the drawing's X (the section's z) and Y (its y).
struct SectionDrawing {
    std::vector<Point> outline; // without the closing repeat
    std::vector<Point> cover;   // empty when none is drawn
    std::vector<Bar> bars;
    std::vector<Text> texts;
    // With a link: its outlines, the dimensions and the labels' leaders.
    std::vector<Bulged> link;
    std::vector<Dim> dimensions;
    std::vector<Segment> leaders;
    double textHeight = 0;
    double dashScale = 1;
    Point min{0, 0}, max{0, 0};
};

double mm(float metres) {
    return static_cast<double>(metres) * 1000.0;
}

// The rows 1…NP of a contour as drawing points, without a last row that repeats the first.
std::vector<Point> toDrawing(std::int32_t NP, const PointArray& pts) {
    std::vector<Point> out;
    if (NP < 1 || pts.upper(1) < NP || pts.lower(1) != 1)
        return out;
    out.reserve(static_cast<std::size_t>(NP));
    for (std::int32_t i = 1; i <= NP; ++i)
        out.push_back({mm(pts(i, 2)), mm(pts(i, 1))});
    if (out.size() > 1 && out.front().x == out.back().x && out.front().y == out.back().y)
        out.pop_back();
    return out;
}

bool usable(const std::vector<Point>& polygon) {
    if (polygon.size() < 3)
        return false;
    double xmin = INFINITY, xmax = -INFINITY, ymin = INFINITY, ymax = -INFINITY;
    for (const Point& p : polygon) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
        xmin = std::min(xmin, p.x);
        xmax = std::max(xmax, p.x);
        ymin = std::min(ymin, p.y);
        ymax = std::max(ymax, p.y);
    }
    return xmax > xmin && ymax > ymin;
}

double distanceToSegment(const Point& p, const Point& a, const Point& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double t =
        len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double distanceToOutline(const Point& p, const std::vector<Point>& polygon) {
    double d = INFINITY;
    for (std::size_t i = 0; i < polygon.size(); ++i)
        d = std::min(d, distanceToSegment(p, polygon[i], polygon[(i + 1) % polygon.size()]));
    return d;
}

// A length in millimetres as centimetres to the millimetre, in the user's number form.
std::string cm(double millimetres) {
    return detail::cmText(millimetres / 1000.0);
}

// The section's size, from its outline and the outline's extents: see the header.
std::string sizeText(const CSeccEstruc& section, const std::vector<Point>& outline, double width,
                     double height) {
    if (section.GetTipoSecc() == 0) // a circle, drawn as a polygon of many sides
        return "\xC3\x98 " + cm(width);
    std::vector<detail::Point> sheet;
    for (const Point& p : outline)
        sheet.push_back({p.x, p.y});
    if (const auto r = detail::regularCircumradius(sheet))
        return std::to_string(outline.size()) + " lados, R = " + cm(*r);
    return cm(width) + " x " + cm(height);
}

void extend(SectionDrawing& d, double x, double y) {
    d.min = {std::min(d.min.x, x), std::min(d.min.y, y)};
    d.max = {std::max(d.max.x, x), std::max(d.max.y, y)};
}

// A text's size is not known without its font: a character is rarely wider than its height,
// and descenders reach a third of it below the base line.
double textWidth(const std::string& text, double height) {
    const auto characters = std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    return height * static_cast<double>(characters);
}

Point mmPoint(const detail::Point& p) {
    return {p.x * 1000.0, p.y * 1000.0};
}

Bulged mmPath(const detail::Path& path) {
    Bulged b;
    b.closed = path.closed;
    for (const detail::Vertex& v : path.vertices)
        b.vertices.push_back({v.x * 1000.0, v.y * 1000.0, v.bulge});
    return b;
}

// A section with a link as the detailer's sheet the picture shows: the link, the dimensions
// and the labels laid out once for both, the arrangement line under them. No cover line: the
// link's outer face is it, and a label gives its figure. False without a sheet to lay out.
bool layOutSheet(const Placement& placement, const std::string& line, SectionDrawing& d) {
    const double t = d.textHeight;
    const detail::TextSize size{kLineHeight * t / 1000.0, [t](const std::string& text) {
                                    return textWidth(text, t) / 1000.0;
                                }};
    const std::optional<detail::Sheet> sheet = detail::layOut(placement, size);
    if (!sheet)
        return false;
    d.link.push_back(mmPath(sheet->link.inner));
    d.link.push_back(mmPath(sheet->link.outer));
    for (const std::vector<detail::Path>* group : {&sheet->link.hook, &sheet->link.crossties})
        for (const detail::Path& p : *group)
            d.link.push_back(mmPath(p));

    const double lineMm = kLineHeight * t;
    for (const detail::Dimension& dim : sheet->dimensions) {
        Dim out{dim.kind,
                mmPoint(dim.from),
                mmPoint(dim.to),
                mmPoint(dim.lineFrom),
                {},
                dxfText(dim.text),
                0,
                {}};
        const Point at = mmPoint(dim.textAt);
        out.textMiddle = {at.x + textWidth(dim.text, t) / 2, at.y + lineMm / 2};
        const double dx = out.to.x - out.from.x, dy = out.to.y - out.from.y;
        out.measurement = dim.kind == detail::Dimension::Kind::Horizontal ? std::fabs(dx)
                          : dim.kind == detail::Dimension::Kind::Vertical ? std::fabs(dy)
                                                                          : std::hypot(dx, dy);
        for (const auto& [a, b] : detail::strokes(dim, sheet->line))
            out.strokes.push_back({mmPoint(a), mmPoint(b)});
        d.dimensions.push_back(std::move(out));
    }
    for (const detail::Label& l : sheet->labels) {
        const Point at = mmPoint(l.at);
        d.texts.push_back({dxfText(l.text), {at.x, at.y + 0.3 * t}, Text::Align::BaseLeft});
        for (std::size_t i = 1; i < l.leader.size(); ++i)
            d.leaders.push_back({mmPoint(l.leader[i - 1]), mmPoint(l.leader[i])});
    }
    const Point low = mmPoint(sheet->min), high = mmPoint(sheet->max);
    extend(d, low.x, low.y);
    extend(d, high.x, high.y);
    if (!line.empty()) {
        double left = INFINITY, right = -INFINITY;
        for (const Point& p : d.outline) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
        }
        const Text text{
            dxfText(line), {(left + right) / 2, d.min.y - 1.5 * t}, Text::Align::BaseCentre};
        const double half = textWidth(text.text, t) / 2;
        extend(d, text.at.x - half, text.at.y - t / 3);
        extend(d, text.at.x + half, text.at.y + t);
        d.texts.push_back(text);
    }
    return true;
}

// The drawing of the section; false when it has no outline to draw. A placement with a link is
// drawn as its sheet.
bool layOut(const CSeccEstruc& section, const std::string& line, const Placement* placement,
            SectionDrawing& d) {
    // A section never given a shape would draw a circle of no radius (and complain about it).
    const auto sized = [](float v) { return std::isfinite(v) && v > 0; };
    if (!section.HayPuntosContorno() && !(sized(section.GetCantoY()) && sized(section.GetCantoZ())))
        return false;
    std::int32_t NP = 0;
    PointArray pts;
    section.GeneraContorno(NP, pts, 1);
    d.outline = toDrawing(NP, pts);
    if (!usable(d.outline))
        return false;
    d.min = d.max = d.outline.front();
    for (const Point& p : d.outline)
        extend(d, p.x, p.y);
    const double width = d.max.x - d.min.x, height = d.max.y - d.min.y;
    const double middle = (d.min.x + d.max.x) / 2;
    const double size = std::max(width, height);

    // Bars, coloured by diameter when there are several.
    std::map<float, int> colours; // diameter → colour
    if (const auto armado = section.GetArmado()) {
        const std::int32_t n = armado->GetNumeroRedondos();
        d.bars.reserve(static_cast<std::size_t>(n));
        for (std::int32_t i = 1; i <= n; ++i) {
            const float diameter = armado->GetDiametro(i);
            const Bar bar{
                {mm(armado->GetZ(i)), mm(armado->GetY(i))}, mm(diameter) / 2, diameter, kByLayer};
            if (!std::isfinite(bar.centre.x) || !std::isfinite(bar.centre.y) ||
                !std::isfinite(bar.radius) || bar.radius <= 0)
                throw ProgrammingError("writeSectionDxf: bar " + std::to_string(i) +
                                       " has no finite position and size");
            colours.emplace(diameter, kByLayer);
            d.bars.push_back(bar);
            extend(d, bar.centre.x - bar.radius, bar.centre.y - bar.radius);
            extend(d, bar.centre.x + bar.radius, bar.centre.y + bar.radius);
        }
    }
    if (colours.size() > 1) {
        std::size_t k = 0;
        for (auto& [diameter, colour] : colours)
            colour = kDiameterColours[k++ % kDiameterColours.size()];
        for (Bar& b : d.bars)
            b.colour = colours.at(b.diameter);
    }

    d.textHeight = kTextHeight * size;
    d.dashScale = kDashScale * size;
    if (placement && placement->link && layOutSheet(*placement, line, d))
        return true;

    // The cover line: the outline moved in by the least distance from a bar's surface to it,
    // when that is a real cover (bars touching the outline have none to show).
    if (!d.bars.empty()) {
        double cover = INFINITY;
        for (const Bar& b : d.bars)
            cover = std::min(cover, distanceToOutline(b.centre, d.outline) - b.radius);
        const float coverM = static_cast<float>(cover / 1000.0);
        // 1 m would ask the section for its plain outline; no section has such a cover.
        if (cover >= 0.5 && coverM < 1.0f && cover < std::min(width, height) / 2) {
            std::int32_t NC = 0;
            PointArray inner;
            section.GeneraContorno(NC, inner, coverM);
            d.cover = toDrawing(NC, inner);
            if (!usable(d.cover))
                d.cover.clear();
        }
    }

    // Texts under the section, centred on it.
    const std::string sizeLabel = sizeText(section, d.outline, width, height);
    double base = d.min.y - 2.0 * d.textHeight;
    for (const std::string& t : {sizeLabel, line}) {
        if (t.empty())
            continue;
        d.texts.push_back({dxfText(t), {middle, base}});
        base -= 1.6 * d.textHeight;
    }
    for (const Text& t : d.texts) {
        const double half = 0.5 * d.textHeight * static_cast<double>(t.text.size());
        extend(d, t.at.x - half, t.at.y - d.textHeight / 3);
        extend(d, t.at.x + half, t.at.y + d.textHeight);
    }
    return true;
}

// Writes the entities of the drawing with a dxflib writer, in the order: outline, cover line,
// bars (circle, then hatch), texts.
class EntityWriter {
  public:
    explicit EntityWriter(DL_WriterA& dw) : dw_(dw) {}

    // A closed polyline; a dashed one names its linetype as well as its layer does, since some
    // readers do not follow the layer's.
    void polyline(const std::vector<Point>& pts, const char* layer, double dashScale = 0) {
        start("LWPOLYLINE", layer, kByLayer);
        if (dashScale > 0) {
            dw_.dxfString(6, kDashed);
            dw_.dxfReal(48, dashScale);
        }
        dw_.dxfString(100, "AcDbPolyline");
        dw_.dxfInt(90, static_cast<int>(pts.size()));
        dw_.dxfInt(70, 1); // closed
        for (const Point& p : pts) {
            dw_.dxfReal(10, p.x);
            dw_.dxfReal(20, p.y);
        }
    }

    void circle(const Bar& b) {
        start("CIRCLE", kLayerBars, b.colour);
        dw_.dxfString(100, "AcDbCircle");
        xyz(10, b.centre);
        dw_.dxfReal(40, b.radius);
    }

    // A solid fill bounded by the bar's circle (one loop of one full-circle edge).
    void hatch(const Bar& b) {
        start("HATCH", kLayerBars, b.colour);
        dw_.dxfString(100, "AcDbHatch");
        xyz(10, {0, 0});
        xyz(210, {0, 0}, 1);
        dw_.dxfString(2, "SOLID");
        dw_.dxfInt(70, 1); // solid
        dw_.dxfInt(71, 0); // not associative
        dw_.dxfInt(91, 1); // loops
        dw_.dxfInt(92, 1); // external, made of edges
        dw_.dxfInt(93, 1); // edges
        dw_.dxfInt(72, 2); // circular arc
        dw_.dxfReal(10, b.centre.x);
        dw_.dxfReal(20, b.centre.y);
        dw_.dxfReal(40, b.radius);
        dw_.dxfReal(50, 0.0);
        dw_.dxfReal(51, 360.0);
        dw_.dxfInt(73, 1); // counter-clockwise
        dw_.dxfInt(97, 0); // no source objects
        dw_.dxfInt(75, 0); // odd parity
        dw_.dxfInt(76, 1); // predefined pattern
        dw_.dxfInt(98, 1); // seed points
        dw_.dxfReal(10, b.centre.x);
        dw_.dxfReal(20, b.centre.y);
    }

    // At its alignment point (see Text).
    void text(const Text& t, double height, const char* layer = kLayerText, int colour = kByLayer) {
        start("TEXT", layer, colour);
        dw_.dxfString(100, "AcDbText");
        xyz(10, t.at);
        dw_.dxfReal(40, height);
        dw_.dxfString(1, t.text);
        dw_.dxfString(7, kTextStyle);
        if (t.align != Text::Align::BaseLeft) {
            dw_.dxfInt(72, 1); // centred
            xyz(11, t.at);
        }
        dw_.dxfString(100, "AcDbText");
        if (t.align == Text::Align::Middle)
            dw_.dxfInt(73, 2);
    }

    // A polyline with arcs, closed or open.
    void bulged(const Bulged& p, const char* layer) {
        start("LWPOLYLINE", layer, kByLayer);
        dw_.dxfString(100, "AcDbPolyline");
        dw_.dxfInt(90, static_cast<int>(p.vertices.size()));
        dw_.dxfInt(70, p.closed ? 1 : 0);
        for (const detail::Vertex& v : p.vertices) {
            dw_.dxfReal(10, v.x);
            dw_.dxfReal(20, v.y);
            if (v.bulge != 0)
                dw_.dxfReal(42, v.bulge);
        }
    }

    void line(const Segment& s, const char* layer, int colour = kByLayer) {
        start("LINE", layer, colour);
        dw_.dxfString(100, "AcDbLine");
        xyz(10, s.a);
        xyz(11, s.b);
    }

    // A dimension whose picture is the anonymous block `block`, in the sheet's dimension style.
    void dimension(const Dim& dim, const std::string& block) {
        const bool radius = dim.kind == detail::Dimension::Kind::Radius;
        start("DIMENSION", kLayerDimensions, kByLayer);
        dw_.dxfString(100, "AcDbDimension");
        dw_.dxfString(2, block);
        xyz(10, radius ? dim.from : dim.onLine);
        xyz(11, dim.textMiddle);
        // The kind, and the block drawn for this dimension alone.
        dw_.dxfInt(70, (radius ? 4 : 0) | 32);
        dw_.dxfInt(71, 5); // text attached at its middle
        dw_.dxfReal(42, dim.measurement);
        dw_.dxfString(3, kDimStyle);
        if (radius) {
            dw_.dxfString(100, "AcDbRadialDimension");
            xyz(15, dim.to);
            dw_.dxfReal(40, 0.0);
            return;
        }
        dw_.dxfString(100, "AcDbAlignedDimension");
        xyz(13, dim.from);
        xyz(14, dim.to);
        dw_.dxfReal(50, dim.kind == detail::Dimension::Kind::Vertical ? 90.0 : 0.0);
        dw_.dxfString(100, "AcDbRotatedDimension");
    }

    // The picture of a dimension: its lines and its text, on layer 0 in the colour of the
    // dimension that shows them.
    void dimensionBlock(const Dim& dim, const std::string& name, double textHeight) {
        dw_.dxfString(0, "BLOCK");
        dw_.handle();
        dw_.dxfString(100, "AcDbEntity");
        dw_.dxfString(8, "0");
        dw_.dxfString(100, "AcDbBlockBegin");
        dw_.dxfString(2, name);
        dw_.dxfInt(70, 1); // anonymous
        xyz(10, {0, 0});
        dw_.dxfString(3, name);
        dw_.dxfString(1, "");
        constexpr int byBlock = 0;
        for (const Segment& s : dim.strokes)
            line(s, "0", byBlock);
        text({dim.text, dim.textMiddle, Text::Align::Middle}, textHeight, "0", byBlock);
        dw_.dxfString(0, "ENDBLK");
        dw_.handle();
        dw_.dxfString(100, "AcDbEntity");
        dw_.dxfString(8, "0");
        dw_.dxfString(100, "AcDbBlockEnd");
    }

  private:
    void start(const char* type, const char* layer, int colour) {
        dw_.dxfString(0, type);
        dw_.handle();
        dw_.dxfString(100, "AcDbEntity");
        dw_.dxfString(8, layer);
        if (colour != kByLayer)
            dw_.dxfInt(62, colour);
    }

    void xyz(int gc, const Point& p, double z = 0) {
        dw_.dxfReal(gc, p.x);
        dw_.dxfReal(gc + 10, p.y);
        dw_.dxfReal(gc + 20, z);
    }

    DL_WriterA& dw_;
};

void headerPoint(DL_WriterA& dw, const char* name, const Point& p) {
    dw.dxfString(9, name);
    dw.dxfReal(10, p.x);
    dw.dxfReal(20, p.y);
    dw.dxfReal(30, 0.0);
}

void headerInt(DL_WriterA& dw, const char* name, int value) {
    dw.dxfString(9, name);
    dw.dxfInt(70, value);
}

// The name of the block that draws dimension `i`.
std::string dimensionBlockName(std::size_t i) {
    return "*D" + std::to_string(i + 1);
}

// The dimension styles: the standard one, and the sheet's, sized to its texts, with ticks, the
// text over the line, and the millimetres of the drawing shown as centimetres with a decimal
// comma.
void writeDimStyles(DL_WriterA& dw, double textHeight, unsigned long textStyle) {
    dw.dxfString(0, "TABLE");
    dw.dxfString(2, "DIMSTYLE");
    dw.handle();
    dw.dxfString(100, "AcDbSymbolTable");
    dw.dxfInt(70, 2);
    dw.dxfString(100, "AcDbDimStyleTable");
    dw.dxfInt(71, 0);
    const auto record = [&dw](const char* name) {
        dw.dxfString(0, "DIMSTYLE");
        dw.handle(105);
        dw.dxfString(100, "AcDbSymbolTableRecord");
        dw.dxfString(100, "AcDbDimStyleTableRecord");
        dw.dxfString(2, name);
        dw.dxfInt(70, 0);
    };
    record("Standard");
    record(kDimStyle);
    dw.dxfReal(41, 0.5 * textHeight);            // DIMASZ
    dw.dxfReal(42, 0.45 * textHeight);           // DIMEXO
    dw.dxfReal(44, 0.45 * textHeight);           // DIMEXE
    dw.dxfInt(77, 1);                            // DIMTAD: over the line
    dw.dxfInt(78, 8);                            // DIMZIN: no trailing zeros
    dw.dxfReal(140, textHeight);                 // DIMTXT
    dw.dxfReal(142, 0.4 * textHeight);           // DIMTSZ: ticks
    dw.dxfReal(144, 0.1);                        // DIMLFAC: mm as cm
    dw.dxfReal(147, 0.25 * textHeight);          // DIMGAP
    dw.dxfInt(271, 1);                           // DIMDEC
    dw.dxfInt(278, ',');                         // DIMDSEP
    dw.dxfHex(340, static_cast<int>(textStyle)); // DIMTXSTY
    dw.dxfString(0, "ENDTAB");
}

// Writes the whole file; false when it cannot be opened.
bool writeFile(const std::string& file, const SectionDrawing& d, unsigned long seed) {
    DL_Dxf dxf;
    std::unique_ptr<DL_WriterA> dw(dxf.out(file.c_str(), DL_Codes::AC1015));
    if (!dw)
        return false;
    // The header is ours: dxflib's has neither units nor extents, and a fixed handle seed.
    dw->comment("Tresol");
    dw->sectionHeader();
    dw->dxfString(9, "$ACADVER");
    dw->dxfString(1, "AC1015");
    dw->dxfString(9, "$DWGCODEPAGE");
    dw->dxfString(3, "ANSI_1252");
    headerPoint(*dw, "$INSBASE", {0, 0});
    headerPoint(*dw, "$EXTMIN", d.min);
    headerPoint(*dw, "$EXTMAX", d.max);
    dw->dxfString(9, "$TEXTSTYLE");
    dw->dxfString(7, kTextStyle);
    headerInt(*dw, "$INSUNITS", 4);    // millimetres
    headerInt(*dw, "$MEASUREMENT", 1); // metric
    dw->dxfString(9, "$HANDSEED");
    dw->dxfHex(5, static_cast<int>(seed));
    dw->sectionEnd();

    dw->sectionTables();
    dxf.writeVPort(*dw);
    std::array<double, 2> dash = {10.0, -5.0};
    dw->tableLinetypes(4);
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData(kDashed, "Dashed __ __ __", 0, 2, 15.0, dash.data()));
    dw->tableEnd();
    const bool detailed = !d.link.empty();
    dw->tableLayers(detailed ? 7 : 5);
    const auto layer = [&](const char* name, int colour, const char* linetype = "CONTINUOUS") {
        dxf.writeLayer(*dw, DL_LayerData(name, 0), DL_Attributes("", colour, -1, linetype, 1.0));
    };
    layer("0", DL_Codes::white);
    layer(kLayerOutline, 7);
    layer(kLayerBars, 1);
    layer(kLayerCover, 8, kDashed);
    layer(kLayerText, 5);
    if (detailed) {
        layer(kLayerLinks, 150);
        layer(kLayerDimensions, 3);
    }
    dw->tableEnd();
    dw->tableStyle(2);
    dxf.writeStyle(*dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    // dxflib writes a style's font only as extended data for this version; the readers want it
    // in the record.
    dw->dxfString(0, "STYLE");
    const unsigned long textStyle = dw->handle();
    dw->dxfString(100, "AcDbSymbolTableRecord");
    dw->dxfString(100, "AcDbTextStyleTableRecord");
    dw->dxfString(2, kTextStyle);
    dw->dxfInt(70, 0);
    dw->dxfReal(40, 0.0); // height not fixed
    dw->dxfReal(41, 1.0);
    dw->dxfReal(50, 0.0);
    dw->dxfInt(71, 0);
    dw->dxfReal(42, d.textHeight);
    dw->dxfString(3, "txt");
    dw->dxfString(4, "");
    dw->tableEnd();
    DxfFrameExtras extras;
    if (detailed) {
        extras.dimStyles = [&d, textStyle](DL_WriterA& w) {
            writeDimStyles(w, d.textHeight, textStyle);
        };
        for (std::size_t i = 0; i < d.dimensions.size(); ++i)
            extras.blockNames.push_back(dimensionBlockName(i));
        extras.blocks = [&d](DL_WriterA& w) {
            EntityWriter blocks(w);
            for (std::size_t i = 0; i < d.dimensions.size(); ++i)
                blocks.dimensionBlock(d.dimensions[i], dimensionBlockName(i), d.textHeight);
        };
    }
    dxfTablesEndAndBlocks(dxf, *dw, extras);

    dw->sectionEntities();
    EntityWriter out(*dw);
    out.polyline(d.outline, kLayerOutline);
    if (!d.cover.empty())
        out.polyline(d.cover, kLayerCover, d.dashScale);
    for (const Bar& b : d.bars) {
        out.circle(b);
        out.hatch(b);
    }
    for (const Bulged& p : d.link)
        out.bulged(p, kLayerLinks);
    for (std::size_t i = 0; i < d.dimensions.size(); ++i)
        out.dimension(d.dimensions[i], dimensionBlockName(i));
    for (const Segment& s : d.leaders)
        out.line(s, kLayerText);
    for (const Text& t : d.texts)
        out.text(t, d.textHeight);
    dw->sectionEnd();

    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    if (dw->getNextHandle() > seed)
        throw ProgrammingError("DXF handle seed below the handles written");
    dw->close();
    return true;
}

// A new empty file beside `path` that nobody else uses, or an empty name when none can be made.
std::string createTemporaryBeside(const std::filesystem::path& path) {
    std::random_device rnd;
    for (int attempt = 0; attempt < 16; ++attempt) {
        // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + temporary.
        std::string name = ".";
        name += path.filename().string();
        name += '.';
        name += std::to_string(rnd());
        name += ".tmp";
        const std::filesystem::path candidate = path.parent_path() / name;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate.string();
        }
        if (errno != EEXIST)
            break;
    }
    return {};
}

// Removes the temporary file unless it was renamed into place.
struct TemporaryFile {
    std::string name;
    ~TemporaryFile() {
        std::error_code ec;
        if (!name.empty())
            std::filesystem::remove(name, ec);
    }
};

} // namespace

namespace {

bool writeDrawing(const std::string& path, const CSeccEstruc& section, const std::string& line,
                  const Placement* placement, std::string& error) {
    SectionDrawing drawing;
    if (!layOut(section, line, placement, drawing)) {
        error = kNothingToWrite;
        return false;
    }
    const std::string cannotWrite = "No se ha podido escribir el archivo " + path;
    // A dimension is an entity, a block of its strokes and text, and the block's two ends.
    unsigned long dimensionHandles = 0;
    for (const Dim& dim : drawing.dimensions)
        dimensionHandles += 5 + static_cast<unsigned long>(dim.strokes.size());
    const unsigned long entities =
        1 + (drawing.cover.empty() ? 0 : 1) + 2 * static_cast<unsigned long>(drawing.bars.size()) +
        drawing.texts.size() + drawing.link.size() + drawing.leaders.size() + dimensionHandles;
    // Handles are written as int by dxflib.
    if (entities > static_cast<unsigned long>(INT_MAX) - 2 * kFrameHandles) {
        error = "El dibujo tiene demasiadas entidades para un archivo DXF";
        return false;
    }
    const unsigned long seed = std::max(0xFFFFul, entities + 2 * kFrameHandles);

    const std::filesystem::path target(path);
    if (target.filename().empty()) {
        error = cannotWrite;
        return false;
    }
    TemporaryFile temporary{createTemporaryBeside(target)};
    if (temporary.name.empty() || !writeFile(temporary.name, drawing, seed) ||
        !dxfEndsWithEof(temporary.name)) {
        error = cannotWrite;
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temporary.name, target, ec);
    if (ec) {
        error = cannotWrite;
        return false;
    }
    temporary.name.clear();
    return true;
}

} // namespace

bool writeSectionDxf(const std::string& path, const CSeccEstruc& section, const std::string& line,
                     std::string& error) {
    return writeDrawing(path, section, line, nullptr, error);
}

bool writeSectionDxf(const std::string& path, const Placement& placement, std::string& error) {
    if (!placement.section) {
        error = kNothingToWrite;
        return false;
    }
    return writeDrawing(path, *placement.section, placement.line, &placement, error);
}

bool writeSection3dDxf(const std::string& path, const CSeccEstruc& section, const std::string& line,
                       std::string& error) {
    return ExportDxf(
        path,
        [&section, &line](ICuadro& cuadro) {
            std::int32_t NP = 0;
            PointArray contorno;
            section.GeneraContorno(NP, contorno, 1);
            // Outline and bars in one plane, as the picture shows them: Z across, Y up.
            DibujaContornoFrontal(cuadro, NP, contorno);
            if (const auto armado = section.GetArmado())
                armado->Dibuja(cuadro);
            if (!line.empty() && NP > 0) {
                float ymin = contorno(1, 1), zmin = contorno(1, 2);
                for (std::int32_t i = 2; i <= NP; ++i) {
                    ymin = std::min(ymin, contorno(i, 1));
                    zmin = std::min(zmin, contorno(i, 2));
                }
                const float alto = std::max(section.cantoY(), section.cantoZ());
                // Under the section, standing in the same plane.
                cuadro.PoneText(zmin, 0, ymin - 0.15f * alto, line, 0.06f * alto);
            }
        },
        error);
}

} // namespace tresol::design

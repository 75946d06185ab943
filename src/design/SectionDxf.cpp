#include "design/SectionDxf.h"

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
constexpr const char* kTextStyle = "SECCION";
constexpr const char* kDashed = "DASHED";
constexpr int kByLayer = 256;
// Colours of the bar diameters, smallest first, where a section mixes them.
constexpr std::array<int, 10> kDiameterColours = {1, 6, 30, 3, 4, 2, 40, 140, 210, 240};

// Text height and the dash length's scale, per millimetre of the section's larger extent.
constexpr double kTextHeight = 0.06;
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
    std::string text; // as the file holds it
    Point at;         // the middle of its base line
};

// What the file shows, in millimetres on the drawing's X (the section's z) and Y (its y).
struct SectionDrawing {
    std::vector<Point> outline; // without the closing repeat
    std::vector<Point> cover;   // empty when none is drawn
    std::vector<Bar> bars;
    std::vector<Text> texts;
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

// A length in centimetres to the millimetre, in the user's number form ('30', '32,5').
std::string cm(double millimetres) {
    return platform::numberText(std::round(millimetres) / 10.0);
}

// The section's size, from its outline and the outline's extents: see the header.
std::string sizeText(const CSeccEstruc& section, const std::vector<Point>& outline, double width,
                     double height) {
    if (section.GetTipoSecc() == 0) // a circle, drawn as a polygon of many sides
        return "\xC3\x98 " + cm(width);
    const std::size_t n = outline.size();
    Point c{0, 0};
    for (const Point& p : outline) {
        c.x += p.x / static_cast<double>(n);
        c.y += p.y / static_cast<double>(n);
    }
    const double r = std::hypot(outline[0].x - c.x, outline[0].y - c.y);
    const double side = std::hypot(outline[1].x - outline[0].x, outline[1].y - outline[0].y);
    bool regular = n != 4;
    for (std::size_t i = 0; regular && i < n; ++i) {
        const Point& p = outline[i];
        const Point& q = outline[(i + 1) % n];
        regular = std::fabs(std::hypot(p.x - c.x, p.y - c.y) - r) <= 1e-4 * r &&
                  std::fabs(std::hypot(q.x - p.x, q.y - p.y) - side) <= 1e-4 * side;
    }
    if (regular)
        return std::to_string(n) + " lados, R = " + cm(r);
    return cm(width) + " x " + cm(height);
}

void extend(SectionDrawing& d, double x, double y) {
    d.min = {std::min(d.min.x, x), std::min(d.min.y, y)};
    d.max = {std::max(d.max.x, x), std::max(d.max.y, y)};
}

// The drawing of the section; false when it has no outline to draw.
bool layOut(const CSeccEstruc& section, const std::string& line, SectionDrawing& d) {
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
    d.textHeight = kTextHeight * size;
    d.dashScale = kDashScale * size;
    const std::string sizeLabel = sizeText(section, d.outline, width, height);
    double base = d.min.y - 2.0 * d.textHeight;
    for (const std::string& t : {sizeLabel, line}) {
        if (t.empty())
            continue;
        d.texts.push_back({dxfText(t), {middle, base}});
        base -= 1.6 * d.textHeight;
    }
    // A text's size is not known without its font: a character is rarely wider than its height,
    // and descenders reach a third of it below the base line.
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

    // Centred on its base line's middle.
    void text(const Text& t, double height) {
        start("TEXT", kLayerText, kByLayer);
        dw_.dxfString(100, "AcDbText");
        xyz(10, t.at);
        dw_.dxfReal(40, height);
        dw_.dxfString(1, t.text);
        dw_.dxfString(7, kTextStyle);
        dw_.dxfInt(72, 1);
        xyz(11, t.at);
        dw_.dxfString(100, "AcDbText");
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
    dw->tableLayers(5);
    const auto layer = [&](const char* name, int colour, const char* linetype = "CONTINUOUS") {
        dxf.writeLayer(*dw, DL_LayerData(name, 0), DL_Attributes("", colour, -1, linetype, 1.0));
    };
    layer("0", DL_Codes::white);
    layer(kLayerOutline, 7);
    layer(kLayerBars, 1);
    layer(kLayerCover, 8, kDashed);
    layer(kLayerText, 5);
    dw->tableEnd();
    dw->tableStyle(2);
    dxf.writeStyle(*dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    // dxflib writes a style's font only as extended data for this version; the readers want it
    // in the record.
    dw->dxfString(0, "STYLE");
    dw->handle();
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
    dxfTablesEndAndBlocks(dxf, *dw);

    dw->sectionEntities();
    EntityWriter out(*dw);
    out.polyline(d.outline, kLayerOutline);
    if (!d.cover.empty())
        out.polyline(d.cover, kLayerCover, d.dashScale);
    for (const Bar& b : d.bars) {
        out.circle(b);
        out.hatch(b);
    }
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

bool writeSectionDxf(const std::string& path, const CSeccEstruc& section, const std::string& line,
                     std::string& error) {
    SectionDrawing drawing;
    if (!layOut(section, line, drawing)) {
        error = kNothingToWrite;
        return false;
    }
    const std::string cannotWrite = "No se ha podido escribir el archivo " + path;
    const unsigned long entities = 1 + (drawing.cover.empty() ? 0 : 1) +
                                   2 * static_cast<unsigned long>(drawing.bars.size()) +
                                   drawing.texts.size();
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

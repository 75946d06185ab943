#include "drawing/CadDxf.h"

#include "drawing/Palette.h"
#include "platform/ProgrammingError.h"

#include <dl_dxf.h>
#include <dl_writer_ascii.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <numbers>

namespace tresol {
namespace {

CadPoint sub(const CadPoint& a, const CadPoint& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
CadPoint add(const CadPoint& a, const CadPoint& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
CadPoint scale(const CadPoint& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
double dot(const CadPoint& a, const CadPoint& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
CadPoint cross(const CadPoint& a, const CadPoint& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
CadPoint unit(const CadPoint& a) {
    return scale(a, 1.0 / std::sqrt(dot(a, a)));
}

bool finite(const CadPoint& p) {
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

std::vector<CadPoint> toPoints(const std::vector<double>& flat, const char* what) {
    if (flat.size() % 3 != 0)
        throw ProgrammingError(std::string(what) + ": point list not made of (X, Y, Z) triples");
    if (flat.size() < 6)
        throw ProgrammingError(std::string(what) + ": fewer than two points");
    std::vector<CadPoint> pts;
    pts.reserve(flat.size() / 3);
    for (std::size_t i = 0; i < flat.size(); i += 3) {
        pts.push_back({flat[i], flat[i + 1], flat[i + 2]});
        if (!finite(pts.back()))
            throw ProgrammingError(std::string(what) + ": a coordinate is not finite");
    }
    return pts;
}

void checkSize(double size, const char* what) {
    if (!std::isfinite(size) || size <= 0)
        throw ProgrammingError(std::string(what) + " not a positive finite number");
}

// Rodrigues' rotation of the vector v about the unit axis u.
CadPoint rotateVector(const CadPoint& v, const CadPoint& u, double c, double s) {
    return add(add(scale(v, c), scale(cross(u, v), s)), scale(u, dot(u, v) * (1 - c)));
}

// The object coordinate system of a plane entity with normal n (the DXF arbitrary axis rule):
// its X and Y axes in world coordinates.
struct Ocs {
    CadPoint ax, ay, n;
    CadPoint toOcs(const CadPoint& p) const { return {dot(p, ax), dot(p, ay), dot(p, n)}; }
};

Ocs ocsOf(const CadPoint& normal) {
    const CadPoint n = unit(normal);
    constexpr double limit = 1.0 / 64;
    const CadPoint ax = std::fabs(n[0]) < limit && std::fabs(n[1]) < limit
                            ? unit(cross({0, 1, 0}, n))
                            : unit(cross({0, 0, 1}, n));
    return {ax, unit(cross(n, ax)), n};
}

// The unit sphere's net: the north pole, kSphereRings - 1 rings of kSphereSegments points, the
// south pole; faces as 1-based vertex numbers (the fourth 0 for a triangle), all turning so
// that their normals point outwards.
struct SphereNet {
    std::vector<CadPoint> vertices;
    std::vector<std::array<int, 4>> faces;
};

const SphereNet& sphereNet() {
    static const SphereNet net = [] {
        SphereNet n;
        const int S = kSphereSegments, R = kSphereRings;
        n.vertices.push_back({0, 0, 1});
        for (int k = 1; k < R; ++k) {
            const double phi = std::numbers::pi * k / R;
            for (int j = 0; j < S; ++j) {
                const double theta = 2 * std::numbers::pi * j / S;
                n.vertices.push_back({std::sin(phi) * std::cos(theta),
                                      std::sin(phi) * std::sin(theta), std::cos(phi)});
            }
        }
        n.vertices.push_back({0, 0, -1});
        const int south = static_cast<int>(n.vertices.size());
        auto v = [&](int ring, int j) { return 2 + (ring - 1) * S + j % S; };
        for (int j = 0; j < S; ++j) {
            n.faces.push_back({1, v(1, j), v(1, j + 1), 0});
            for (int k = 1; k + 1 < R; ++k)
                n.faces.push_back({v(k, j), v(k + 1, j), v(k + 1, j + 1), v(k, j + 1)});
            n.faces.push_back({v(R - 1, j), south, v(R - 1, j + 1), 0});
        }
        return n;
    }();
    return net;
}

// Writes the entities of a model space with a dxflib writer.
class EntityWriter {
  public:
    explicit EntityWriter(DL_WriterA& dw) : dw_(dw) {}

    void write(const CadDxfEntity& e) {
        color_ = dxfColor(e.color());
        switch (e.kind()) {
        case CadDxfEntity::Kind::Polyline3d:
            polyline3d(e);
            break;
        case CadDxfEntity::Kind::Polyline:
            polyline(e);
            break;
        case CadDxfEntity::Kind::Text:
            text(e);
            break;
        case CadDxfEntity::Kind::Sphere:
            sphere(e);
            break;
        }
    }

    // Handles each entity takes, for the header's handle seed.
    static unsigned long handles(const CadDxfEntity& e) {
        switch (e.kind()) {
        case CadDxfEntity::Kind::Polyline3d:
            return e.points().size() + 2;
        case CadDxfEntity::Kind::Sphere:
            return sphereNet().vertices.size() + sphereNet().faces.size() + 2;
        default:
            return 1;
        }
    }

  private:
    unsigned long start(const char* type, unsigned long owner = 0) {
        dw_.dxfString(0, type);
        const unsigned long h = dw_.handle();
        if (owner != 0)
            dw_.dxfHex(330, static_cast<int>(owner));
        dw_.dxfString(100, "AcDbEntity");
        dw_.dxfString(8, "0");
        dw_.dxfInt(62, color_.aci);
        if (color_.trueColor >= 0)
            dw_.dxfInt(420, color_.trueColor);
        return h;
    }

    void xyz(int gc, const CadPoint& p) {
        dw_.dxfReal(gc, p[0]);
        dw_.dxfReal(gc + 10, p[1]);
        dw_.dxfReal(gc + 20, p[2]);
    }

    void extrusion(const CadPoint& n) {
        if (n[0] != 0 || n[1] != 0 || n[2] != 1)
            xyz(210, n);
    }

    void seqend(unsigned long owner) { start("SEQEND", owner); }

    void polyline3d(const CadDxfEntity& e) {
        const unsigned long h = start("POLYLINE");
        dw_.dxfString(100, "AcDb3dPolyline");
        dw_.dxfInt(66, 1);
        xyz(10, {0, 0, 0});
        dw_.dxfInt(70, 8);
        for (const CadPoint& p : e.points()) {
            start("VERTEX", h);
            dw_.dxfString(100, "AcDbVertex");
            dw_.dxfString(100, "AcDb3dPolylineVertex");
            xyz(10, p);
            dw_.dxfInt(70, 32);
        }
        seqend(h);
    }

    void polyline(const CadDxfEntity& e) {
        const Ocs ocs = ocsOf(e.axes()[2]);
        start("LWPOLYLINE");
        dw_.dxfString(100, "AcDbPolyline");
        dw_.dxfInt(90, static_cast<int>(e.points().size()));
        dw_.dxfInt(70, 0);
        dw_.dxfReal(38, ocs.toOcs(e.points().front())[2]);
        for (const CadPoint& p : e.points()) {
            const CadPoint q = ocs.toOcs(p);
            dw_.dxfReal(10, q[0]);
            dw_.dxfReal(20, q[1]);
        }
        extrusion(ocs.n);
    }

    void text(const CadDxfEntity& e) {
        const Ocs ocs = ocsOf(e.axes()[2]);
        const CadPoint& dir = e.axes()[0];
        double angle = std::atan2(dot(dir, ocs.ay), dot(dir, ocs.ax)) * 180 / std::numbers::pi;
        if (angle < 0)
            angle += 360;
        start("TEXT");
        dw_.dxfString(100, "AcDbText");
        xyz(10, ocs.toOcs(e.points().front()));
        dw_.dxfReal(40, e.size());
        dw_.dxfString(1, dxfText(e.text()));
        dw_.dxfReal(50, angle);
        dw_.dxfString(7, "Standard");
        extrusion(ocs.n);
        dw_.dxfString(100, "AcDbText");
    }

    void sphere(const CadDxfEntity& e) {
        const SphereNet& net = sphereNet();
        const CadPoint& c = e.points().front();
        const auto& a = e.axes();
        const unsigned long h = start("POLYLINE");
        dw_.dxfString(100, "AcDbPolyFaceMesh");
        dw_.dxfInt(66, 1);
        xyz(10, {0, 0, 0});
        dw_.dxfInt(70, 64);
        dw_.dxfInt(71, static_cast<int>(net.vertices.size()));
        dw_.dxfInt(72, static_cast<int>(net.faces.size()));
        for (const CadPoint& u : net.vertices) {
            const CadPoint local =
                add(add(scale(a[0], u[0]), scale(a[1], u[1])), scale(a[2], u[2]));
            start("VERTEX", h);
            dw_.dxfString(100, "AcDbVertex");
            dw_.dxfString(100, "AcDbPolyFaceMeshVertex");
            xyz(10, add(c, scale(local, e.size())));
            dw_.dxfInt(70, 192);
        }
        for (const auto& f : net.faces) {
            start("VERTEX", h);
            dw_.dxfString(100, "AcDbFaceRecord");
            xyz(10, {0, 0, 0});
            dw_.dxfInt(70, 128);
            for (int k = 0; k < 4 && f[static_cast<std::size_t>(k)] != 0; ++k)
                dw_.dxfInt(71 + k, f[static_cast<std::size_t>(k)]);
        }
        seqend(h);
    }

    DL_WriterA& dw_;
    DxfColor color_{7, -1};
};

// Handles dxflib takes for the tables, blocks and objects around the entities, with room to
// spare: the seed written in the header must lie above every handle in the file.
constexpr unsigned long kFrameHandles = 0x1000;

} // namespace

// A DXF 2000 file holds its texts in its code page, here ANSI_1252: Latin-1 characters go out
// as their byte, anything else beyond ASCII as the \U+XXXX escape that CAD programs read, and
// control characters (which would break the file's line structure) as blanks. Bytes that are
// not UTF-8 become '?'.
std::string dxfText(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    char buf[16];
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
            ++i;
            continue;
        }
        int len = c >= 0xF0 && c < 0xF5   ? 4
                  : c >= 0xE0 && c < 0xF0 ? 3
                  : c >= 0xC2 && c < 0xE0 ? 2
                                          : 0;
        char32_t cp = len == 4 ? c & 0x07u : len == 3 ? c & 0x0Fu : c & 0x1Fu;
        for (int k = 1; k < len; ++k) {
            const std::size_t at = i + static_cast<std::size_t>(k);
            const unsigned cc = at < s.size() ? static_cast<unsigned char>(s[at]) : 0u;
            if ((cc & 0xC0u) != 0x80u) {
                len = 0;
                break;
            }
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
        if (len == 0 || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += '?';
            ++i;
            continue;
        }
        if (cp >= 0xA0 && cp <= 0xFF) {
            out += static_cast<char>(cp);
        } else {
            std::snprintf(buf, sizeof buf, "\\U+%04X", static_cast<unsigned>(cp));
            out += buf;
        }
        i += static_cast<std::size_t>(len);
    }
    return out;
}

bool dxfEndsWithEof(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    const std::streamoff size = in.tellg();
    if (size < 4)
        return false;
    std::string tail(static_cast<std::size_t>(std::min<std::streamoff>(size, 8)), '\0');
    in.seekg(size - static_cast<std::streamoff>(tail.size()));
    in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    return in && tail.find("EOF") != std::string::npos;
}

void dxfTablesEndAndBlocks(DL_Dxf& dxf, DL_WriterA& dw, const DxfFrameExtras& extras) {
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    if (extras.dimStyles)
        extras.dimStyles(dw);
    else
        dxf.writeDimStyle(dw, 2.5, 0.625, 0.625, 0.625, 2.5);
    dxf.writeBlockRecord(dw);
    for (const std::string& name : extras.blockNames)
        dxf.writeBlockRecord(dw, name);
    dw.tableEnd();
    dw.sectionEnd();

    dw.sectionBlocks();
    dxf.writeBlock(dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Model_Space");
    dxf.writeBlock(dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Paper_Space");
    dxf.writeBlock(dw, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Paper_Space0");
    if (extras.blocks)
        extras.blocks(dw);
    dw.sectionEnd();
}

DxfColor dxfColor(std::int16_t index) {
    // Nearest AutoCAD colour index of each palette entry.
    static constexpr std::array<int, 16> aci = {7, 174, 94, 134, 14, 214, 54, 9,
                                                8, 5,   3,  4,   1,  6,   2,  7};
    if (index < 0 || index > 15)
        throw ProgrammingError("palette index " + std::to_string(index) + " outside 0…15");
    if (index == 0)
        return {7, -1};
    const Rgb rgb = kQBPalette[static_cast<std::size_t>(index)];
    return {aci[static_cast<std::size_t>(index)], (rgb.r << 16) | (rgb.g << 8) | rgb.b};
}

CadDxfEntity::CadDxfEntity(Kind kind, std::vector<CadPoint> points)
    : kind_(kind), points_(std::move(points)) {}

void CadDxfEntity::color(std::int16_t index) {
    dxfColor(index); // refuses an index outside the palette
    color_ = index;
}

void CadDxfEntity::Rotate3d(const CadPoint& p1, const CadPoint& p2, double angle) {
    const CadPoint axis = sub(p2, p1);
    if (!finite(p1) || !finite(p2) || !std::isfinite(angle) || dot(axis, axis) == 0)
        throw ProgrammingError("Rotate3d: no rotation axis or angle");
    const CadPoint u = unit(axis);
    const double c = std::cos(angle), s = std::sin(angle);
    for (CadPoint& p : points_)
        p = add(p1, rotateVector(sub(p, p1), u, c, s));
    for (CadPoint& a : axes_)
        a = unit(rotateVector(a, u, c, s));
}

CadDxfEntity& CadDxfModelSpace::add(std::unique_ptr<CadDxfEntity> entity) {
    entities_.push_back(std::move(entity));
    return *entities_.back();
}

CadEntity& CadDxfModelSpace::Add3dpoly(const std::vector<double>& points) {
    return add(std::make_unique<CadDxfEntity>(CadDxfEntity::Kind::Polyline3d,
                                              toPoints(points, "Add3dpoly")));
}

CadEntity& CadDxfModelSpace::AddPolyline(const std::vector<double>& points) {
    std::vector<CadPoint> pts = toPoints(points, "AddPolyline");
    for (CadPoint& p : pts)
        p[2] = pts.front()[2];
    return add(std::make_unique<CadDxfEntity>(CadDxfEntity::Kind::Polyline, std::move(pts)));
}

CadEntity& CadDxfModelSpace::AddText(const std::string& text, const CadPoint& insertion,
                                     double height) {
    if (!finite(insertion))
        throw ProgrammingError("AddText: a coordinate is not finite");
    checkSize(height, "AddText: height");
    auto e =
        std::make_unique<CadDxfEntity>(CadDxfEntity::Kind::Text, std::vector<CadPoint>{insertion});
    e->text_ = text;
    e->size_ = height;
    return add(std::move(e));
}

CadEntity& CadDxfModelSpace::AddSphere(const CadPoint& centre, double radius) {
    if (!finite(centre))
        throw ProgrammingError("AddSphere: a coordinate is not finite");
    checkSize(radius, "AddSphere: radius");
    auto e =
        std::make_unique<CadDxfEntity>(CadDxfEntity::Kind::Sphere, std::vector<CadPoint>{centre});
    e->size_ = radius;
    return add(std::move(e));
}

const CadDxfEntity& CadDxfModelSpace::Item(std::int32_t i) const {
    if (i < 1 || i > Count())
        throw ProgrammingError("model space has no entity " + std::to_string(i));
    return *entities_[static_cast<std::size_t>(i - 1)];
}

bool CadDxfDocument::SaveAs(const std::string& path, std::string& error) {
    unsigned long entityHandles = 0;
    for (std::int32_t i = 1; i <= modelSpace_.Count(); ++i)
        entityHandles += EntityWriter::handles(modelSpace_.Item(i));
    // Handles are written as int by dxflib.
    if (entityHandles > static_cast<unsigned long>(INT_MAX) - 2 * kFrameHandles) {
        error = "El dibujo tiene demasiadas entidades para un archivo DXF";
        return false;
    }
    const unsigned long seed = std::max(0xFFFFul, entityHandles + 2 * kFrameHandles);

    DL_Dxf dxf;
    std::unique_ptr<DL_WriterA> dw(dxf.out(path.c_str(), DL_Codes::AC1015));
    if (!dw) {
        error = "No se ha podido escribir el archivo " + path;
        return false;
    }
    // The header is ours: dxflib's fixes the handle seed at FFFF, too low for a large drawing.
    dw->comment("Tresol");
    dw->sectionHeader();
    dw->dxfString(9, "$ACADVER");
    dw->dxfString(1, "AC1015");
    dw->dxfString(9, "$DWGCODEPAGE");
    dw->dxfString(3, "ANSI_1252");
    dw->dxfString(9, "$HANDSEED");
    dw->dxfHex(5, static_cast<int>(seed));
    dw->sectionEnd();

    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(3);
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dw->tableEnd();
    dw->tableLayers(1);
    dxf.writeLayer(*dw, DL_LayerData("0", 0),
                   DL_Attributes("", DL_Codes::white, 100, "CONTINUOUS", 1.0));
    dw->tableEnd();
    dw->tableStyle(1);
    dxf.writeStyle(*dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw->tableEnd();
    dxfTablesEndAndBlocks(dxf, *dw);

    dw->sectionEntities();
    EntityWriter writer(*dw);
    for (std::int32_t i = 1; i <= modelSpace_.Count(); ++i)
        writer.write(modelSpace_.Item(i));
    dw->sectionEnd();

    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    if (dw->getNextHandle() > seed)
        throw ProgrammingError("DXF handle seed below the handles written");
    dw->close();

    // dxflib reports no write errors; a file that does not end with its end mark is one.
    if (!dxfEndsWithEof(path)) {
        error = "No se ha podido escribir el archivo " + path;
        return false;
    }
    return true;
}

} // namespace tresol

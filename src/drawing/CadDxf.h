#pragma once

#include "drawing/CadSession.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class DL_Dxf;
class DL_WriterA;

namespace tresol {

// An entity of the in-memory model space. Every kind keeps its geometry in world coordinates
// together with its own axes (the images of X, Y and Z under the rotations it received), so
// that a plane entity knows the plane it lies in after a Rotate3d.
class CadDxfEntity : public CadEntity {
  public:
    enum class Kind { Polyline3d, Polyline, Text, Sphere };

    CadDxfEntity(Kind kind, std::vector<CadPoint> points);

    Kind kind() const { return kind_; }
    // Polylines: the vertices; text: the insertion point; sphere: the centre.
    const std::vector<CadPoint>& points() const { return points_; }
    const std::string& text() const { return text_; }
    // Text height or sphere radius.
    double size() const { return size_; }
    // The entity's own X, Y and Z axes in world coordinates (unit vectors).
    const std::array<CadPoint, 3>& axes() const { return axes_; }

    std::int16_t color() const override { return color_; }
    void color(std::int16_t index) override;
    void Rotate3d(const CadPoint& p1, const CadPoint& p2, double angle) override;

  private:
    friend class CadDxfModelSpace;

    Kind kind_;
    std::vector<CadPoint> points_;
    std::string text_;
    double size_ = 0;
    std::array<CadPoint, 3> axes_{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    std::int16_t color_ = 0;
};

// The model space of a drawing kept in memory, in creation order.
class CadDxfModelSpace : public CadModelSpace {
  public:
    CadEntity& Add3dpoly(const std::vector<double>& points) override;
    CadEntity& AddPolyline(const std::vector<double>& points) override;
    CadEntity& AddText(const std::string& text, const CadPoint& insertion, double height) override;
    CadEntity& AddSphere(const CadPoint& centre, double radius) override;
    std::int32_t Count() const override { return static_cast<std::int32_t>(entities_.size()); }

    // Entity i, 1…Count().
    const CadDxfEntity& Item(std::int32_t i) const;

  private:
    CadDxfEntity& add(std::unique_ptr<CadDxfEntity> entity);

    std::vector<std::unique_ptr<CadDxfEntity>> entities_;
};

// A drawing that saves itself as an AutoCAD 2000 DXF file (written through dxflib): 3D
// polylines as 3D POLYLINE entities, plane polylines as LWPOLYLINE, texts as TEXT with their
// height, rotation and plane, and spheres as closed polyface meshes of a 16 × 8 latitude-
// longitude net, all on layer "0". A colour goes out as the nearest AutoCAD colour index plus
// the exact palette colour as a true colour, except black, which goes out as index 7 alone so
// that CAD programs show it in the foreground colour (black on paper, white on a dark screen).
// Texts are written in ASCII, other characters as \U+XXXX escapes.
class CadDxfDocument : public CadDocument {
  public:
    CadModelSpace& ModelSpace() override { return modelSpace_; }
    const CadDxfModelSpace& Entities() const { return modelSpace_; }
    bool SaveAs(const std::string& path, std::string& error) override;

  private:
    CadDxfModelSpace modelSpace_;
};

// A session of the DXF-writing CAD program: one document, open as long as somebody holds it.
class CadDxfApplication : public CadApplication {
  public:
    CadDocument& ActiveDocument() override { return document_; }
    bool Visible() const override { return visible_; }
    void Visible(bool visible) override { visible_ = visible; }

  private:
    CadDxfDocument document_;
    bool visible_ = false;
};

// The AutoCAD colour index (group 62) and the true colour (group 420, 0xRRGGBB, or -1 for none)
// written for palette entry `index`.
struct DxfColor {
    int aci;
    int trueColor;
};
DxfColor dxfColor(std::int16_t index);

// A text as a DXF 2000 file in code page ANSI_1252 holds it (Latin-1 as bytes, other characters
// as \U+XXXX escapes, control characters as blanks).
std::string dxfText(const std::string& utf8);

// Whether the file ends with the DXF end mark: dxflib reports no write errors, so a file cut
// short by a full disk shows only so.
bool dxfEndsWithEof(const std::string& path);

// What a drawing adds to the end of its tables and to its blocks: its own DIMSTYLE table (written
// whole, in place of the standard one) and blocks of its own (a record of each name, and the
// BLOCK … ENDBLK of all after the model and paper space blocks).
struct DxfFrameExtras {
    std::function<void(DL_WriterA&)> dimStyles;
    std::vector<std::string> blockNames;
    std::function<void(DL_WriterA&)> blocks;
};

// The end of a drawing's tables (view, UCS, application, dimension style, block records) and its
// empty model and paper space blocks, as every drawing of this program writes them.
void dxfTablesEndAndBlocks(DL_Dxf& dxf, DL_WriterA& dw, const DxfFrameExtras& extras = {});

// Number of latitude-longitude cells of a sphere's mesh.
inline constexpr int kSphereSegments = 16; // around the polar axis
inline constexpr int kSphereRings = 8;     // from pole to pole

} // namespace tresol

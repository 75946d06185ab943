#pragma once

#include "platform/BoundedArray.h"

#include <cstdint>
#include <optional>

namespace tresol {

class CPosi3D;
class ICuadro;
class LabelSet;

// The contract of every cross-section: a plane figure in the Y-Z plane (X runs along the member)
// that reports its geometric properties, hands out its contour, turns it into 3D points for a
// placement, draws itself and describes itself in labels.
//
// Contours are point arrays, rows 1…n, column 1 = Y, column 2 = Z, closed (the last row repeats
// the first). A counter-clockwise contour (Y to the right, Z upwards) has a positive area; the
// same figure given clockwise negates the area and the first and second moments.
//
// An operation that an implementation does not support, a view code outside 0…2 or an extreme
// code outside 0…3 is a programming error.
class ICSeccG {
  public:
    virtual ~ICSeccG() = default;

    // Torsion constant.
    virtual float Jtor() const = 0;
    virtual float area() const = 0;
    // Centroid.
    virtual float Zg() const = 0;
    virtual float Yg() const = 0;
    // Second moments about the centroidal axes parallel to Y (∫(z − Zg)² dA) and to Z
    // (∫(y − Yg)² dA), and the centroidal product ∫(y − Yg)(z − Zg) dA.
    virtual float Iyg() const = 0;
    virtual float Izg() const = 0;
    virtual float izy() const = 0;
    // Second moments about the axes through the origin: ∫z² dA and ∫y² dA.
    virtual float Iy() const = 0;
    virtual float Iz() const = 0;
    // First moments A·Yg and A·Zg.
    virtual float YgA() const = 0;
    virtual float ZgA() const = 0;

    // Draws the section in view `tipoOrienta` (0 plan X-Y, 1 elevation X-Z, 2 section plane
    // Y-Z) with the placement applied; with `objFinal` (the member's other end) also that
    // section and the segments joining corresponding contour points.
    virtual void DibujaSeccion(ICuadro& Cdibujo3D, const ICSeccG* objFinal, const CPosi3D* posi3D,
                               std::int32_t tipoOrienta, float escala,
                               std::optional<std::int16_t> color = std::nullopt) const = 0;

    // Coordinate j (1 = Y, 2 = Z) of contour point i.
    virtual float pto2d(std::int16_t i, std::int16_t j) const = 0;
    // Rows of the contour, 0 when there is none.
    virtual std::int32_t NumP() const = 0;

    // The section's position along the member (X); 0 until set.
    virtual void ptoyd(float x) = 0;
    virtual float ptoyd() const = 0;

    // The contour as 3D points, placed by `posi3D` when given. XY: (y, x) in Pnt2d, z in Pnt1d.
    virtual void GeneraPuntosXY(PointArray& Pnt2d, Array1<float>& Pnt1d,
                                const CPosi3D* posi3D) const = 0;
    // XZ: (z, x) in Pnt2d, y in Pnt1d; the translations are not used.
    virtual void GeneraPuntosXZ(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D,
                                float xtras, float ztras) const = 0;
    // YZ: (y + ytras, z + ztras) in Pnt2d (Y and Z exchanged with `invierteYZ`), x in Pnt1d.
    virtual void GeneraPuntosYZ(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D,
                                float ytras, float ztras,
                                std::optional<bool> invierteYZ = std::nullopt) const = 0;

    // Depths: largest minus smallest Y, and Z, of the contour.
    virtual float cantoY() const = 0;
    virtual float cantoZ() const = 0;

    // Writes one line into each label from `indi` on and leaves `indi` past the last one.
    virtual bool LetPropiedadesDeContorno(LabelSet& labelDesc, std::int32_t& indi) const = 0;

    // 0 smallest Y, 1 smallest Z, 2 largest Y, 3 largest Z.
    virtual float GetCoorExtrema(std::int32_t orienta) const = 0;
};

} // namespace tresol

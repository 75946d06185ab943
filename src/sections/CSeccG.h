#pragma once

#include "platform/BoundedArray.h"
#include "sections/ICSeccG.h"

#include <cstdint>
#include <optional>

namespace tresol {

class CPto2d;

// A cross-section given by a closed polygon in the Y-Z plane. Its properties are integrated
// side by side (one CSecc2p strip per side and per axis), so a clockwise contour gives the
// negated area and moments and the same centroid.
class CSeccG : public ICSeccG {
  public:
    // Loads the Z-shaped example contour (area 2592, centroid at the origin).
    bool asigna_coorEjemplo();
    // Takes rows 1…NumpAux of `pto2dAux` as the contour and computes every property. An open
    // contour is reported and ends the program; a contour without area is reported and answers
    // false.
    bool asigna_coor(std::int32_t NumpAux, const PointArray& pto2dAux);
    // The counter-clockwise rectangle dimYY × dimZZ centred on the origin.
    bool IniRectangulo(float dimYY, float dimZZ);
    // The contour parallel to `pto2dIn` at distance `dista`, on the left of each side (inside a
    // counter-clockwise contour for a positive distance).
    bool IniHomotetica(const PointArray& pto2dIn, float dista);

    float Ix() const { return Ix_; }
    void Ix(float value) { Ix_ = value; }

    // The contour as one polyline.
    void Dibuja(ICuadro& Cdibujo) const;
    std::int32_t GetNump() const { return numP_; }
    // Thin-walled torsion constant (Bredt): 4·A² / Σ L_i / t_i, t_i = pto2d_aux(i, 2) the wall
    // thickness of side i of `pto2d`.
    void CalIx(std::int16_t NP, const PointArray& pto2d, const PointArray& pto2d_aux);
    void fCoorOrig(float x) { fCoorOrig_ = x; }

    // Not supported by a polygonal section.
    void Gira(float x, float y, float z);
    void Traslada(float x, float y, float z);

    float pto2d(std::int32_t i, std::int32_t j) const { return pto2d_(i, j); }

    float MaxY() const { return maxY_; }
    float MaxZ() const { return maxZ_; }
    float MinY() const { return minY_; }
    float MinZ() const { return minZ_; }

    // Adds to the point collection the crossing of every side with the line Z = XG.
    void CorteVSeccion(CPto2d& Ptos2d, float XG) const;

    // ICSeccG
    float Jtor() const override;
    float area() const override { return -areaSum_; }
    float Zg() const override { return Zg_; }
    float Yg() const override { return Yg_; }
    float Iyg() const override { return static_cast<float>(Iyg_); }
    float Izg() const override { return static_cast<float>(Izg_); }
    float izy() const override { return izy_; }
    float Iy() const override { return Iy_; }
    float Iz() const override { return Iz_; }
    float YgA() const override { return YgA_; }
    float ZgA() const override { return ZgA_; }
    void DibujaSeccion(ICuadro& Cdibujo3D, const ICSeccG* objFinal, const CPosi3D* posi3D,
                       std::int32_t tipoOrienta, float escala,
                       std::optional<std::int16_t> color = std::nullopt) const override;
    float pto2d(std::int16_t i, std::int16_t j) const override { return pto2d_(i, j); }
    std::int32_t NumP() const override { return numP_; }
    void ptoyd(float x) override { fCoorOrig_ = x; }
    float ptoyd() const override { return fCoorOrig_; }
    void GeneraPuntosXY(PointArray& Pnt2d, Array1<float>& Pnt1d,
                        const CPosi3D* posi3D) const override;
    void GeneraPuntosXZ(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D, float xtras,
                        float ztras) const override;
    void GeneraPuntosYZ(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D, float ytras,
                        float ztras, std::optional<bool> invierteYZ = std::nullopt) const override;
    float cantoY() const override;
    float cantoZ() const override;
    // Five lines: area, CantoY, CantoZ, Izz, Iyy. The answer is false.
    bool LetPropiedadesDeContorno(LabelSet& labelDesc, std::int32_t& indi) const override;
    float GetCoorExtrema(std::int32_t orienta) const override;

  private:
    static void checkClosed(const PointArray& contour, std::int32_t lastRow);

    PointArray pto2d_;
    float fCoorOrig_ = 0;
    std::int32_t numP_ = 0;
    // The sums of the integration live in the fields that end up holding the results: S_A in
    // areaSum_ (the negated area of a counter-clockwise contour), S_yy in Iz_, S_zz in Iy_,
    // S_y in YgA_, S_z in ZgA_.
    float areaSum_ = 0;
    float Iz_ = 0;
    float Yg_ = 0;
    double Izg_ = 0;
    float Iy_ = 0;
    float Zg_ = 0;
    double Iyg_ = 0;
    float productSum_ = 0;
    float izy_ = 0;
    float Ix_ = 0;
    float YgA_ = 0;
    float ZgA_ = 0;
    float maxZ_ = 0;
    float minZ_ = 0;
    float maxY_ = 0;
    float minY_ = 0;
};

} // namespace tresol

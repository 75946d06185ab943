#pragma once

#include "platform/BoundedArray.h"
#include "platform/OrderedMap.h"
#include "platform/Value.h"
#include "sections/CDatGener.h"
#include "sections/ICSeccG.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tresol {

class Carmasec;
class Cdiametro;

// The structural section: a circle (kind 0), rectangle (1), double-T profile (2) or polygon by
// points (3) of a material (0, 1 or 3; only 0 takes reinforcement), with its properties held as
// plain values. They come from a shape formula, from a polygon (through CSeccG) or are given
// outright together with the extra dimensions of a profile. The section keeps the polygon it
// was given, or generates a drawing contour for its kind.
class CSeccEstruc : public ICSeccG {
  public:
    // Stores the given properties (a zero `jdat` is replaced by the kind's formula), validates
    // them and keeps the extra data the kind uses. False when the torsion constant is not
    // positive for a kind other than 3.
    bool Ini(std::int32_t tipoSeccdat, std::int32_t tipoMaterialdat, float cantoYdat,
             float cantoZdat, float iyydat, float izzdat, float izydat, float jdat, float areadat,
             float ycdg, float zcdg, const Array1<Value>& datosExtra,
             std::shared_ptr<const Cdiametro> diametros = nullptr,
             std::optional<bool> cdgDondeSea = std::nullopt);
    // A dimYY × dimZZ rectangle centred on the origin; false (nothing stored) when a dimension
    // is not positive.
    bool IniRectang(std::int32_t tipoMaterial, float dimZZ, float dimYY,
                    std::shared_ptr<const Cdiametro> diametros);
    bool IniCircular(std::int32_t tipoMaterial, float diametro,
                     std::shared_ptr<const Cdiametro> diametros = nullptr);
    // Kind 1 or 3 from a closed counter-clockwise contour of at least 3 rows; `j` is the torsion
    // constant (a number or a numeric text; 0 or absent lets the kind's formula decide).
    bool IniPorPuntos(std::int32_t tipoSecc, std::int32_t tipoMaterial, const PointArray& pto2d,
                      std::shared_ptr<const Cdiametro> diametros = nullptr,
                      std::optional<Value> j = std::nullopt,
                      std::optional<bool> cdgDondeSea = std::nullopt);

    float GetArea() const { return area_; }
    float GetCantoY() const { return cantoY_; }
    float GetCantoZ() const { return cantoZ_; }
    float GetIyy() const { return Iyy_; }
    float GetIzz() const { return Izz_; }
    float GetIT() const { return IT_; }

    // Whether the section holds a contour given by points.
    bool HayPuntosContorno() const { return HayPuntos(contorno_); }
    // The stored contour, or the kind's drawing contour; with `distaHomot` other than 1 the
    // contour parallel to it at that distance (1 means the plain contour).
    void GeneraContorno(std::int32_t& NP, PointArray& pto2d, float distaHomot = 1) const;

    std::int32_t GetTipoSecc() const { return tipoSecc_; }
    std::int32_t GetTipoMaterial() const { return tipoMaterial_; }
    // Extra data 1…4 as numbers, 0 where the section has none.
    void GetDatosExtra(Array1<Value>& datos) const;

    // ICSeccG
    float Jtor() const override { return IT_; }
    float area() const override { return area_; }
    float Zg() const override { return zcdg_; }
    float Yg() const override { return ycdg_; }
    float Iyg() const override { return Iyy_; }
    float Izg() const override { return Izz_; }
    float izy() const override { return Izy_; }
    float Iy() const override;
    float Iz() const override;
    float YgA() const override;
    float ZgA() const override;
    // Draws the outline (fitting the surface to it first unless `escala` is 0) and, in the
    // section plane, the bars.
    void DibujaSeccion(ICuadro& Cdibujo3D, const ICSeccG* objFinal, const CPosi3D* posi3D,
                       std::int32_t tipoOrienta, float escala,
                       std::optional<std::int16_t> color = std::nullopt) const override;
    float pto2d(std::int16_t i, std::int16_t j) const override { return contorno_(i, j); }
    std::int32_t NumP() const override;
    void ptoyd(float x) override { ptoyd_ = x; }
    float ptoyd() const override { return ptoyd_; }
    void GeneraPuntosXY(PointArray& Pnt2d, Array1<float>& Pnt1d,
                        const CPosi3D* posi3D) const override;
    void GeneraPuntosXZ(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D, float xtras,
                        float ztras) const override;
    void GeneraPuntosYZ(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D, float ytras,
                        float ztras, std::optional<bool> invierteYZ = std::nullopt) const override;
    float cantoY() const override { return cantoY_; }
    float cantoZ() const override { return cantoZ_; }
    // The five lines of the drawing polygon of a shape; refused (message, false) for a section
    // given by points.
    bool LetPropiedadesDeContorno(LabelSet& labelDesc, std::int32_t& indi) const override;
    // Rectangles only.
    float GetCoorExtrema(std::int32_t orienta) const override;

    // Reinforcement. The bars of an arrangement line ('8 fi 16') around the whole contour at
    // `recub` from the outline to the bars' surfaces, the same number on every face (a column);
    // false, with a message and nothing added, when the count does not share out evenly or
    // exceeds Carmasec::kMaxRedondosLinea.
    bool AnyadeRefuerzoContorno(const std::string& linearef, float recub);
    // The bars of a line along the face of smallest Y (plano 0) or largest Y (1), centred, with
    // the cover to their surfaces (a beam).
    void AnyadeRefuerzoLineaCentrada(const std::string& linearef, float recub, std::int32_t plano);
    // One bar of the catalogue's index `indiDiam` centred at (y, z); refused with the
    // reinforcement set's message when it would overlap a bar already there.
    void AnyadeRedondo(float y, float z, std::int32_t indiDiam);
    // Measures the drawing on an extent collector, fits the surface to it and draws the section
    // in its plane.
    void DibujaSoloSeccion(ICuadro& cuadroi, const ICSeccG* objFinal, const CPosi3D* posi3D,
                           std::int32_t tipoOrienta, float escala,
                           std::optional<std::int16_t> color = std::nullopt) const;
    // The centroidal axes, each 10 % longer than the section on either side.
    void DibujaEjes(ICuadro& cuadroi) const;
    // The reinforcement set, absent until the first bar line.
    std::shared_ptr<const Carmasec> GetArmado() const { return armado_; }

  private:
    void CreaArmado();
    float CalculaJ(float cantoY, float cantoZ) const;
    bool ValidaDatos(bool cdgDondeSea) const;
    bool GuardaDatosExtra(const Array1<Value>& datosExtra);
    static bool HayPuntos(const PointArray& pto2d);
    float datoExtra(std::int32_t i) const;

    void ContornoGuardado(std::int32_t& NP, PointArray& pto2d) const;
    void ContornoCircular(std::int32_t& NP, PointArray& pto2d) const;
    void ContornoDobleT(std::int32_t& NP, PointArray& pto2d) const;
    void ContornoRectangular(std::int32_t& NP, PointArray& pto2d) const;

    std::int32_t tipoSecc_ = 0;
    float cantoY_ = 0;
    float cantoZ_ = 0;
    float area_ = 0;
    float ycdg_ = 0;
    float zcdg_ = 0;
    float Iyy_ = 0;
    float Izz_ = 0;
    float Izy_ = 0;
    float IT_ = 0;
    PointArray contorno_;
    float ptoyd_ = 0;
    std::int32_t tipoMaterial_ = 0;
    std::optional<OrderedMap<CDatGener>> datosExtra_;
    std::shared_ptr<const Cdiametro> diametros_;
    std::shared_ptr<Carmasec> armado_;
};

} // namespace tresol

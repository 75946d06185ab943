#pragma once

#include "pieces/IPieza3D.h"
#include "platform/BoundedArray.h"
#include "platform/OrderedMap.h"
#include "platform/Value.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tresol {

class Carmasec;
class Cdiametro;
class Cmateria;
class CPosi3D;
class CSeccEstruc;

// A straight piece of constant cross-section: a structural section extruded along the piece's
// own x axis over a length L, centred on its origin (start section at x = -L/2, end section at
// +L/2), placed in space by a CPosi3D, made of a material and carrying lines of bars.
//
// Exactly one initialiser is called; before it, every other operation is a programming error.
// The piece has no extents of its own (GetMaxMinXYZ is a programming error; an assembly
// collects them by drawing).
class CPieza3D : public IPieza3D {
  public:
    CPieza3D();
    ~CPieza3D() override;
    CPieza3D(const CPieza3D&) = delete;
    CPieza3D& operator=(const CPieza3D&) = delete;

    // Both sections from given properties (the section's structural-section Ini, product of
    // inertia 0, centroid at the origin).
    bool IniSeccGener(const std::string& ref, std::int32_t tipoPiezadat, float dimXX,
                      std::shared_ptr<const Cmateria> material, std::int32_t tipoSeccdat,
                      std::int32_t tipoMaterialdat, float cantoYdat, float cantoZdat, float iyydat,
                      float izzdat, float jdat, float areadat, float ycdg, float zcdg,
                      const Array1<Value>& datosExtra, std::shared_ptr<const Cdiametro> diametros);
    bool IniCircular(const std::string& ref, std::int32_t tipoPieza, std::int32_t tipoMaterialdat,
                     std::shared_ptr<const Cmateria> material, float dimXX, float diametro,
                     std::shared_ptr<const Cdiametro> diametros);
    // A dimYY × dimZZ rectangle centred on the axis; a non-positive dimension is refused with
    // the message "Error en la creación de " + ref.
    bool IniRectang(const std::string& ref, std::int32_t tipoPieza, std::int32_t tipoMaterial,
                    std::shared_ptr<const Cmateria> material, float dimXX, float dimYY, float dimZZ,
                    std::shared_ptr<const Cdiametro> diametros);

    std::int32_t GetTipoSeccion() const;
    // The sections' smallest y (plane 0) or largest y (plane 1); rectangular sections only.
    float GetPuntoExtremo(std::int32_t planoArma) const;
    // The four corners of the face in plane `planoArma`, in the piece's own coordinates, into
    // ptos(1…4, 1…3) (x, y, z); the caller sizes `ptos`.
    void GetPuntosPlano(std::int32_t planoArma, Array2<float>& ptos) const;

    // IPieza3D
    float GetCantoIniY() const override;
    float GetCantoIniZ() const override;
    float GetAreaIni() const override;
    float GetJIni() const override;
    float GetIyyIni() const override;
    float GetIzzIni() const override;
    std::string GetRef() const override;
    void GetCoorPtoFin3D(float& x, float& y, float& z) const override;
    void GetCoorPtoMedio3D(float& x, float& y, float& z) const override;
    void GetCoorPtoIni3D(float& x, float& y, float& z) const override;
    void LetCoorTrasla(float x, float y, float z) override;
    void GetCoorTrasla(float& x, float& y, float& z) const override;
    void LetCoorGiro(float x, float y, float z) override;
    void GetCoorGiro(float& x, float& y, float& z) const override;
    // Soil (material type 3) is drawn in colour 4, anything else in 0; the colour used is
    // written back into `color`. `coorCorte` is not used.
    bool DibujaSeccion(ICuadro& cuadro, std::int32_t tipoOrienta, float coorCorte, float escala,
                       std::int16_t& color) override;
    bool BorraArma() override;
    // Bars of `sLineaArma` on a line parallel to z, `separPlano` inside the face of plane
    // `planoArma` (0 smallest y, 1 largest y), from z = coorZini to coorZfin, running along the
    // whole piece; stored under the decimal text of `nRefArmasec` (a number used twice is a
    // programming error). `sRefPieza` is not used by a piece.
    bool AnyadeLineaArma3D(const std::string& sRefPieza, const std::string& sLineaArma,
                           std::int32_t nRefArmasec, std::int32_t planoArma, float coorZini,
                           float coorZfin, float separPlano) override;
    std::string GetLineaArma(std::int32_t armaObj) const override;
    float GetLargoX() const override;
    void GetMaxMinXYZ(float& xmax, float& xmin, float& ymax, float& ymin, float& zmax,
                      float& zmin) override;
    // The sections' material type.
    std::int32_t GetTipoMaterial() const override;
    float GetVolumen() const override;
    float GetVolumenMaterial(const Cmateria* material) const override;
    // A piece without material cannot answer: programming error.
    float GetPropMateria(std::int32_t propMater) const override;

    // The sections, for those who draw or inspect the piece.
    const CSeccEstruc& SeccionIni() const;
    const CSeccEstruc& SeccionFin() const;

  private:
    bool IniComun(std::int32_t tipoPiezaIn, const std::string& refIn, float dimXX,
                  std::shared_ptr<const Cmateria> materialIn,
                  std::shared_ptr<const Cdiametro> diametrosIn);
    bool EsValida() const;
    void AnyadeArmasec(std::int32_t plano, std::shared_ptr<Carmasec> armasec,
                       std::int32_t numLinea);
    void DibujaArmaduras(ICuadro& cuadro, std::int32_t tipoOrienta, float coorCorte, float escala);
    bool HayArmadura() const { return armaduras != nullptr; }
    void creaSecciones();
    const CPosi3D& placement() const;
    void axisPoint(float xLocal, float& x, float& y, float& z) const;

    std::int32_t tipoPieza = 0;
    float largoX = 0;
    std::unique_ptr<OrderedMap<std::shared_ptr<Carmasec>>> armaduras;
    std::shared_ptr<const Cdiametro> diametros;
    std::shared_ptr<CPosi3D> posi3D;
    std::shared_ptr<CSeccEstruc> seccIni, seccFin;
    std::shared_ptr<const Cmateria> material;
    std::string ref;
    // Whether each section's initialiser succeeded: a section that was refused counts as
    // missing.
    bool iniOk = false, finOk = false;
};

} // namespace tresol

#pragma once

#include <cstdint>
#include <string>

namespace tresol {

class Cmateria;
class ICuadro;

// Anything that occupies a place in a 3D structure and can be drawn, measured and reinforced:
// a prismatic piece, an assembly of pieces, and the reinforcement set of a section. The piece's
// own axis is x; its cross-section lies in the y-z plane. Operations an implementation does not
// support throw ProgrammingError.
class IPieza3D {
  public:
    virtual ~IPieza3D() = default;

    virtual float GetCantoIniY() const = 0;
    virtual float GetCantoIniZ() const = 0;
    virtual float GetAreaIni() const = 0;
    virtual float GetJIni() const = 0;
    virtual float GetIyyIni() const = 0;
    virtual float GetIzzIni() const = 0;
    virtual std::string GetRef() const = 0;
    virtual void GetCoorPtoFin3D(float& x, float& y, float& z) const = 0;
    virtual void GetCoorPtoMedio3D(float& x, float& y, float& z) const = 0;
    virtual void GetCoorPtoIni3D(float& x, float& y, float& z) const = 0;
    virtual void LetCoorTrasla(float x, float y, float z) = 0;
    virtual void GetCoorTrasla(float& x, float& y, float& z) const = 0;
    // Rotations about X, Y and Z in degrees.
    virtual void LetCoorGiro(float x, float y, float z) = 0;
    // The rotations in radians.
    virtual void GetCoorGiro(float& x, float& y, float& z) const = 0;
    // Draws the piece and its reinforcement; `color` may be changed by the piece.
    virtual bool DibujaSeccion(ICuadro& cuadro, std::int32_t tipoOrienta, float coorCorte,
                               float escala, std::int16_t& color) = 0;
    virtual bool BorraArma() = 0;
    virtual bool AnyadeLineaArma3D(const std::string& sRefPieza, const std::string& sLineaArma,
                                   std::int32_t nRefArmasec, std::int32_t planoArma, float coorZini,
                                   float coorZfin, float separPlano) = 0;
    virtual std::string GetLineaArma(std::int32_t armaObj) const = 0;
    virtual float GetLargoX() const = 0;
    virtual void GetMaxMinXYZ(float& xmax, float& xmin, float& ymax, float& ymin, float& zmax,
                              float& zmin) = 0;
    virtual std::int32_t GetTipoMaterial() const = 0;
    virtual float GetVolumen() const = 0;
    // The volume made of that very material object (0 for any other).
    virtual float GetVolumenMaterial(const Cmateria* material) const = 0;
    virtual float GetPropMateria(std::int32_t propMater) const = 0;
};

} // namespace tresol

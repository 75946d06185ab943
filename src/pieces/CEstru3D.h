#pragma once

#include "pieces/CPieza3D.h"
#include "pieces/IPieza3D.h"
#include "platform/OrderedMap.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tresol {

class Cdiametro;
class Cmateria;
class CSeccEstruc;

// A structure of prismatic pieces under unique keys, all sharing one bar catalogue. It answers
// the piece contract for the whole: volumes summed, drawing and reinforcement removal passed to
// every piece in insertion order, reinforcement lines routed to the piece named, extents
// collected by drawing. What only a single piece can answer (section values, axis points,
// placement, key, length, material type, material property, line description) is a programming
// error on the whole.
//
// `Ini` comes first; adding a piece before it, or under a key already present, is a
// programming error.
class CEstru3D : public IPieza3D {
  public:
    // Always 0.
    std::int32_t Ini(std::shared_ptr<const Cdiametro> diametros);

    // A piece with the properties of `seccEstr`; false (nothing added) when the piece refuses
    // them.
    bool AnyadePiezaSeccGener(const std::string& ref, std::int32_t tipoPiezadat, float dimXX,
                              std::shared_ptr<const Cmateria> material,
                              const CSeccEstruc& seccEstr);
    // A circular (tipoSecc 0, diameter dimZZ, which dimYY must equal) or rectangular (1) piece;
    // false when the piece refuses it. Another section code is a programming error; a circle
    // whose two dimensions differ is refused with "Error en la creación de " + ref.
    bool AnyadePieza(const std::string& ref, std::int32_t tipoPieza, std::int32_t tipoMaterial,
                     std::shared_ptr<const Cmateria> material, float dimXX, float dimYY,
                     float dimZZ, std::optional<std::int32_t> tipoSecc = std::nullopt);

    // The end or start point of the piece's axis; always 0. An absent key is a programming
    // error.
    std::int32_t TomaPtoFinPieza(const std::string& ref, float& x, float& y, float& z) const;
    std::int32_t TomaPtoIniPieza(const std::string& ref, float& x, float& y, float& z) const;
    // Translation, then rotations in degrees; -1 when placed, 0 (with "No se ha localizado
    // pieza") when the key is absent.
    std::int32_t PosicionaPieza(const std::string& ref, float x, float y, float z, float gx,
                                float gy, float gz);
    // The piece under `ref`; an absent key is a programming error.
    IPieza3D& GetPiezaI(const std::string& ref);
    // The piece under `ref`, or no object.
    std::shared_ptr<CPieza3D> GetPieza(const std::string& ref) const;
    std::int32_t GetNumPiezas() const;

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
    bool DibujaSeccion(ICuadro& cuadro, std::int32_t tipoOrienta, float coorCorte, float escala,
                       std::int16_t& color) override;
    bool BorraArma() override;
    bool AnyadeLineaArma3D(const std::string& sRefPieza, const std::string& sLineaArma,
                           std::int32_t nRefArmasec, std::int32_t planoArma, float coorZini,
                           float coorZfin, float separPlano) override;
    std::string GetLineaArma(std::int32_t armaObj) const override;
    float GetLargoX() const override;
    // The extents of the whole drawn in plan (view 0) on an extent collector.
    void GetMaxMinXYZ(float& xmax, float& xmin, float& ymax, float& ymin, float& zmax,
                      float& zmin) override;
    std::int32_t GetTipoMaterial() const override;
    float GetVolumen() const override;
    float GetVolumenMaterial(const Cmateria* material) const override;
    float GetPropMateria(std::int32_t propMater) const override;

  private:
    OrderedMap<std::shared_ptr<CPieza3D>>& coleccion(const std::string& ref);
    const CPieza3D& pieza(const std::string& ref) const;

    std::unique_ptr<OrderedMap<std::shared_ptr<CPieza3D>>> piezas;
    std::shared_ptr<const Cdiametro> diametros;
};

} // namespace tresol

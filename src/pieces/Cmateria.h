#pragma once

#include "datasheets/IHojaDat.h"
#include "platform/BoundedArray.h"
#include "platform/Value.h"

#include <cstdint>
#include <string>

namespace tresol {

// The material of a piece: a name, a type (0 concrete, 3 soil; 1 and 2 like concrete without
// defaults) and five mechanical properties, each applicable or not to the type. Property codes:
// 1 Young's modulus, 2 weight per volume, 3 Poisson's ratio, 4 allowable stress, 5 passive
// earth-pressure coefficient; code 7 is the shear modulus derived from 1 and 3.
class Cmateria {
  public:
    // `dato` holds the five values at indices 1…5.
    bool Ini(const std::string& nombre, std::int32_t tipoMaterial, const Array1<Value>& dato);
    bool IniSegunTipo(std::int32_t tipomat);
    float GetEmpujePasivo(float h, float lado, float coefMin) const;
    // Reads back what OutDatHoja writes.
    bool IniDesdeHoja(IHojaDat& hojaDat);
    // A property that does not apply to the material's type is a programming error.
    float GetPropMateria(std::int32_t propMater) const;
    void OutDatHoja(IHojaDat& hojaDat) const;

    const std::string& nombre() const { return nombre_; }
    std::int32_t tipoMaterial() const { return tipoMaterial_; }
    // Whether property `code` (1…5) applies to the material's type.
    bool definido(std::int32_t code) const;

  private:
    struct Propiedad {
        float valor = 0.0f;
        bool definido = false;
        std::string key;
        std::string descripcion;
    };

    void IniPropiedades();
    const Propiedad& propiedad(std::int32_t code) const;

    std::string nombre_;
    Array1<Propiedad> properties_;
    std::int32_t tipoMaterial_ = 0;
};

} // namespace tresol

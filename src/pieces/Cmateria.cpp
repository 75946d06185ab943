#include "pieces/Cmateria.h"

#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "platform/Single.h"

#include <array>

namespace tresol {
namespace {

constexpr std::int32_t kProperties = 5;
constexpr std::int32_t kWeight = 2;
constexpr std::int32_t kPassiveCoefficient = 5;
constexpr std::int32_t kShearModulus = 7;
constexpr std::int32_t kConcrete = 0;
constexpr std::int32_t kSoil = 3;

struct PropertyName {
    const char* key;
    const char* descripcion;
};
constexpr std::array<PropertyName, kProperties> kNames{{
    {"modYoung", "Modulo de Young"},
    {"pesoPorVolumen", "Peso por volumen"},
    {"modpoisson", "Modulo de Poisson"},
    {"tensionAdmisible", "Tension admisible"},
    {"coefEmpujePasivo", "Coef. empuje pasivo"},
}};

// Which properties apply to a type: weight and allowable stress always; Young's modulus and
// Poisson's ratio to all but soil; the passive coefficient is never written or read as data.
bool applies(std::int32_t code, std::int32_t tipo) {
    return code == 2 || code == 4 || ((code == 1 || code == 3) && tipo != kSoil);
}

float single(double v, const char* what) {
    if (auto f = platform::toSingle(v))
        return *f;
    throw ProgrammingError(std::string(what) + " out of the range of a single");
}

float datum(const Value& v) {
    if (std::holds_alternative<std::string>(v))
        throw ProgrammingError("material datum is text, not a number");
    return single(valueNumber(v), "material datum");
}

} // namespace

void Cmateria::IniPropiedades() {
    properties_.redim(1, kProperties);
    for (std::int32_t code = 1; code <= kProperties; ++code) {
        Propiedad& p = properties_(code);
        p = Propiedad{};
        p.key = kNames[static_cast<std::size_t>(code - 1)].key;
        p.descripcion = kNames[static_cast<std::size_t>(code - 1)].descripcion;
    }
    properties_(2).definido = true;
    properties_(4).definido = true;
}

bool Cmateria::Ini(const std::string& nombre, std::int32_t tipoMaterial,
                   const Array1<Value>& dato) {
    if (tipoMaterial < 0 || tipoMaterial > 3)
        throw ProgrammingError("material type " + std::to_string(tipoMaterial) + " unknown");
    std::array<float, kProperties> values{};
    for (std::int32_t code = 1; code <= kProperties; ++code)
        values[static_cast<std::size_t>(code - 1)] = datum(dato(code));

    nombre_ = nombre;
    tipoMaterial_ = tipoMaterial;
    IniPropiedades();
    for (std::int32_t code = 1; code <= kProperties; ++code) {
        properties_(code).definido = applies(code, tipoMaterial);
        properties_(code).valor = values[static_cast<std::size_t>(code - 1)];
    }
    if (GetPropMateria(kWeight) > 0.0f)
        return true;
    platform::showError("Datos incorrectos del material " + nombre_);
    return false;
}

bool Cmateria::IniSegunTipo(std::int32_t tipomat) {
    Array1<Value> dato(1, kProperties);
    std::string nombre;
    if (tipomat == kConcrete) {
        nombre = "Hormigon";
        dato(1) = 24821128.0;
        dato(2) = 25.0;
        dato(3) = 0.2;
        dato(4) = 25000.0;
        dato(5) = 0.0;
    } else if (tipomat == kSoil) {
        nombre = "tierra";
        dato(1) = 0.0;
        dato(2) = 18.0;
        dato(3) = 0.0;
        dato(4) = 200.0;
        dato(5) = 3.6;
    } else {
        platform::showError("Material no definido todavía");
        return false;
    }
    return Ini(nombre, tipomat, dato);
}

const Cmateria::Propiedad& Cmateria::propiedad(std::int32_t code) const {
    if (!properties_.allocated())
        throw ProgrammingError("material used before Ini");
    return properties_(code);
}

bool Cmateria::definido(std::int32_t code) const {
    return propiedad(code).definido;
}

float Cmateria::GetPropMateria(std::int32_t propMater) const {
    if (propMater == kShearModulus) {
        const double e = GetPropMateria(1);
        const double nu = GetPropMateria(3);
        return single((e * 0.5) / (nu + 1.0), "shear modulus");
    }
    if (propMater < 1 || propMater > kProperties)
        throw ProgrammingError("material property code " + std::to_string(propMater) + " unknown");
    const Propiedad& p = propiedad(propMater);
    if (!p.definido)
        throw ProgrammingError("material property " + p.key + " does not apply to type " +
                               std::to_string(tipoMaterial_));
    return p.valor;
}

float Cmateria::GetEmpujePasivo(float h, float lado, float coefMin) const {
    if (!(coefMin >= 1.0f && coefMin <= 2.0f))
        throw ProgrammingError("passive thrust reduction factor outside 1…2");
    const double kp = propiedad(kPassiveCoefficient).valor;
    if (kp == 0.0)
        throw ProgrammingError("material without a passive earth-pressure coefficient");
    const double gamma = propiedad(kWeight).valor;
    const double hd = h;
    return single(hd * hd * (kp / coefMin * 0.5) * lado * gamma, "passive thrust");
}

void Cmateria::OutDatHoja(IHojaDat& hojaDat) const {
    propiedad(1); // a material without its table cannot describe itself
    hojaDat.SetUsaNombre(true);
    hojaDat.SetNombreObj(nombre_);
    hojaDat.SetObjetoIni("Material", false);
    hojaDat.SetVariable("nombre", nombre_);
    hojaDat.SetVariable("tipoMat", tipoMaterial_, "ref. tipo:");
    for (std::int32_t code = 1; code <= kProperties; ++code) {
        const Propiedad& p = properties_(code);
        if (p.definido)
            hojaDat.SetVariable(p.key, p.valor, p.descripcion);
    }
    hojaDat.SetObjetoFin();
    hojaDat.SetUsaNombre(false);
}

bool Cmateria::IniDesdeHoja(IHojaDat& hojaDat) {
    hojaDat.SetUsaNombre(true);
    hojaDat.SetObjetoIni("Material", false);
    const std::string nombre = valueText(hojaDat.GetVariableDeHoja("nombre"));
    const auto tipo = platform::roundToInt32(hojaDat.GetVarFloat("tipoMat"));
    const bool knownType = tipo && *tipo >= 0 && *tipo <= 3;
    Array1<Value> dato(1, kProperties);
    for (std::int32_t code = 1; code <= kProperties; ++code) {
        // Only what OutDatHoja writes is read; the rest stays 0.
        if (knownType && applies(code, *tipo))
            dato(code) = hojaDat.GetVarFloat(kNames[static_cast<std::size_t>(code - 1)].key);
        else
            dato(code) = 0.0f;
    }
    hojaDat.SetObjetoFin();
    hojaDat.SetUsaNombre(false);
    if (!knownType) {
        platform::showError("Datos incorrectos del material " + nombre);
        return false;
    }
    return Ini(nombre, *tipo, dato);
}

} // namespace tresol

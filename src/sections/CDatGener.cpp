#include "sections/CDatGener.h"

#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <variant>

namespace tresol {
namespace {

// Whether a value counts as zero: no value, false, a zero number or a text that is the number 0.
bool isZero(const Value& v) {
    if (const auto* text = std::get_if<std::string>(&v)) {
        const auto n = platform::parseNumber(*text);
        return n && *n == 0;
    }
    return valueNumber(v) == 0;
}

} // namespace

void CDatGener::Ini(const std::string& nombre, const std::string& descrip, const Value& Valor,
                    std::optional<bool> puedeSerCero) {
    if (nombre.empty())
        throw ProgrammingError("CDatGener::Ini: a datum needs a name");
    if (!puedeSerCero.value_or(false) && isZero(Valor))
        throw ProgrammingError("CDatGener::Ini: datum '" + nombre + "' may not be zero");
    valor_ = Valor;
    descrip_ = descrip;
    nombre_ = nombre;
}

float CDatGener::fValue() const {
    return static_cast<float>(valueAsTypedNumber(valor_));
}

} // namespace tresol

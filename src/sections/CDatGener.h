#pragma once

#include "platform/Value.h"

#include <optional>
#include <string>

namespace tresol {

// A named datum with a description, such as the web thickness of a profile.
class CDatGener {
  public:
    // An empty name, or a zero value when zero is not allowed (the default), is a programming
    // error.
    void Ini(const std::string& nombre, const std::string& descrip, const Value& Valor,
             std::optional<bool> puedeSerCero = std::nullopt);

    const Value& GetValue() const { return valor_; }
    // The value as a number: numbers as they are, a text by its number (as typed in the user's
    // locale, else its leading number; 0 when it does not begin with one).
    float fValue() const;

    const std::string& nombre() const { return nombre_; }
    const std::string& descrip() const { return descrip_; }

  private:
    Value valor_;
    std::string descrip_;
    std::string nombre_;
};

} // namespace tresol

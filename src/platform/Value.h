#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace tresol {

// A value of any kind, as data sheets and named data hold them.
using Value = std::variant<std::monostate, bool, std::int32_t, float, double, std::string>;

// The text form of a value: empty for no value, "True"/"False", numbers in their default text
// form (7 significant digits for a single, 15 for a double), text as it is.
std::string valueText(const Value& v);

// The numeric reading of a value: 0 for no value, -1/0 for a Boolean, numbers as they are, the
// leading number of a text.
double valueNumber(const Value& v);

// A value as a number a user gave: a text as typed in the user's locale (falling back to its
// leading number), anything else by its numeric reading. A number never passes through a text
// form, so a decimal-comma locale cannot cut its fraction off.
double valueAsTypedNumber(const Value& v);

inline bool isEmpty(const Value& v) {
    return std::holds_alternative<std::monostate>(v);
}

} // namespace tresol

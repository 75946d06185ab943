#pragma once

#include "platform/Value.h"

#include <string>
#include <string_view>

namespace tresol::sheets {

// Refuses a data-sheet operation that a sheet does not support.
[[noreturn]] void refuseOperation(std::string_view sheet, std::string_view operation);

// The text of a value that reads back to the very same value: numbers in their shortest exact
// form with `decimalSeparator` (a single keeps all its digits, so 24821128 is not shown as
// 2.482113E+07), whole numbers and text as they are, Booleans as "True"/"False".
std::string exactText(const Value& v, char decimalSeparator);

// exactText with the user's decimal separator: what a control shows for a value.
std::string controlText(const Value& v);

} // namespace tresol::sheets

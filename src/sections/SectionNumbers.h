#pragma once

#include "platform/Numbers.h"
#include "platform/Value.h"

#include <string>
#include <variant>

namespace tresol::sections_detail {

// A value read as a number: a text as the user would have typed it (falling back to its leading
// number), anything else by its numeric reading. Read directly, a number never passes through a
// text form, so a decimal-comma locale cannot cut its fraction off.
inline double numberOf(const Value& v) {
    if (const auto* text = std::get_if<std::string>(&v))
        return platform::boxNumber(*text);
    return valueNumber(v);
}

} // namespace tresol::sections_detail

#pragma once

#include <cmath>
#include <limits>
#include <optional>

namespace tresol::platform {

// `value` rounded to single precision when it is finite and within the range of a single;
// nothing otherwise (converting such a double to float is undefined behaviour in C++).
inline std::optional<float> toSingle(double value) {
    if (!std::isfinite(value) ||
        std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        return std::nullopt;
    return static_cast<float>(value);
}

// `value` in single precision, a value beyond its range becoming an infinity of the same sign
// (a NaN stays a NaN): for user input that may be absurdly large.
inline float toSingleOrInfinity(double value) {
    if (std::isfinite(value) &&
        std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

} // namespace tresol::platform

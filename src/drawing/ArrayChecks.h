#pragma once

#include "platform/BoundedArray.h"
#include "platform/ProgrammingError.h"

#include <cstdint>
#include <string>

namespace tresol::drawing_detail {

// Rows 1…NP of a two-column point array must exist: checked once, before anything is drawn,
// so that a faulty count stops the program without half a drawing.
inline void checkPoints(const PointArray& P, std::int32_t NP, const char* what) {
    if (NP < 1)
        throw ProgrammingError(std::string(what) + ": NP " + std::to_string(NP) + " below 1");
    if (!P.allocated() || P.lower(1) > 1 || P.upper(1) < NP || P.lower(2) > 1 || P.upper(2) < 2)
        throw ProgrammingError(std::string(what) + ": NP " + std::to_string(NP) +
                               " beyond the rows of the point array");
}

// Elements 1…NP of a coordinate vector must exist.
inline void checkVector(const Array1<float>& v, std::int32_t NP, const char* what) {
    if (NP < 1)
        throw ProgrammingError(std::string(what) + ": NP " + std::to_string(NP) + " below 1");
    if (!v.allocated() || v.lower() > 1 || v.upper() < NP)
        throw ProgrammingError(std::string(what) + ": NP " + std::to_string(NP) +
                               " beyond the coordinate vector");
}

// Rows lower…upper of `a` with two columns each, partnered by the same rows of `b` (segments
// joining corresponding points). An array without rows joins nothing; a mismatch is found before
// anything is drawn, so it leaves no half drawing.
inline bool joinable(const PointArray& a, const PointArray& b, const char* what) {
    if (!a.allocated() || a.count(1) == 0)
        return false;
    if (a.lower(2) > 1 || a.upper(2) < 2 || !b.allocated() || b.lower(1) > a.lower(1) ||
        b.upper(1) < a.upper(1) || b.lower(2) > 1 || b.upper(2) < 2)
        throw ProgrammingError(std::string(what) + ": the point arrays do not match");
    return true;
}

} // namespace tresol::drawing_detail

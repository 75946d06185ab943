#pragma once

#include "platform/BoundedArray.h"

#include <array>
#include <initializer_list>
#include <vector>

namespace tresol::test {

using Row = std::array<float, 2>;

// A contour (y, z) from its rows, and back.
inline PointArray points(std::initializer_list<Row> rows) {
    PointArray p = makePointArray(static_cast<std::int32_t>(rows.size()));
    for (std::int32_t i = 1; const Row& r : rows)
        p(i, 1) = r[0], p(i, 2) = r[1], ++i;
    return p;
}

inline std::vector<Row> rowsOf(const PointArray& p) {
    std::vector<Row> out;
    for (std::int32_t i = 1; i <= p.upper(1); ++i)
        out.push_back({p(i, 1), p(i, 2)});
    return out;
}

} // namespace tresol::test

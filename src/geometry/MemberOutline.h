#pragma once

#include "platform/BoundedArray.h"

#include <cstdint>

namespace tresol {

// The outline of a member's section as the design window draws it, closed (the first point
// repeated last), in the section's (y, z) frame: with four sides the rectangle of `height` up (y)
// and `width` across (z), centred; with more, the regular polygon of circumradius `width` centred
// on the origin, a side (not a vertex) crossing the positive y axis. Single precision, as the
// sections take it; the caller checks the figures (sides from 3, finite sizes).
PointArray memberOutlinePoints(std::int32_t sides, float width, float height);

} // namespace tresol

#pragma once

#include "reinforcement/CodeSearch.h"

// The values a member's figures may take, whichever face they are typed into: beyond them a
// figure is refused before any search, never cut or designed. Every limit is inclusive and every
// figure must also be finite.
namespace tresol::design {

// Largest required steel area, cm².
inline constexpr double kLargestAreaCm2 = 1e6;
// Largest cover, width or height, cm; each must also be greater than zero.
inline constexpr double kLargestSizeCm = 1e6;
// Largest member length, m.
inline constexpr double kLargestLengthM = 1e4;
// Largest design action, kN or kN·m either way: beyond it a figure is a typing slip.
inline constexpr double kLargestActionKn = 1e9;
// Largest link diameter, mm: beyond any series' bars.
inline constexpr double kLargestLinkMm = 100;
// Largest aggregate size, mm: the code-checked search's own.
inline constexpr double kLargestAggregateMm = code::kLargestAggregateMm;

} // namespace tresol::design

#pragma once

#include "design/CodeDesign.h"
#include "design/Design.h"

#include <optional>

namespace tresol::design {

inline constexpr double kSteelDensityKgM3 = 7850;

// The mass of a row's bars over the member's length, to the seven digits its area holds; nothing
// without a length.
std::optional<double> steelMassKg(const Candidate& candidate, const Member& member);
std::optional<double> steelMassKg(const code::Arrangement& arrangement, const Member& member);

} // namespace tresol::design

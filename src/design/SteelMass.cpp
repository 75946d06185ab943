#include "design/SteelMass.h"

#include "platform/Numbers.h"

namespace tresol::design {

namespace {

// cm² to m², times m of length: m³ of steel.
std::optional<double> massOf(double areaCm2, const Member& member) {
    if (!member.lengthM)
        return std::nullopt;
    return platform::toSignificantDigits(areaCm2 * 1e-4 * *member.lengthM * kSteelDensityKgM3);
}

} // namespace

std::optional<double> steelMassKg(const Candidate& candidate, const Member& member) {
    return massOf(candidate.totalAreaCm2, member);
}

std::optional<double> steelMassKg(const code::Arrangement& arrangement, const Member& member) {
    return massOf(arrangement.totalAreaCm2, member);
}

} // namespace tresol::design

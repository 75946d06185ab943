#include "batch/SteelTotals.h"

#include <algorithm>
#include <tuple>

namespace tresol::batch {

std::optional<double> steelMassKg(const design::Candidate& candidate,
                                  const design::Member& member) {
    if (!member.lengthM)
        return std::nullopt;
    // cm² to m², times m of length: m³ of steel.
    return candidate.totalAreaCm2 * 1e-4 * *member.lengthM * kSteelDensityKgM3;
}

void SteelTotals::add(const design::DesignResult& result) {
    ++members_;
    const auto chosen = result.chosen();
    if (!chosen) {
        ++withoutChoice_;
        return;
    }
    const design::Candidate& c = result.candidates()[*chosen];
    const design::Member& m = result.member();
    auto it = std::find_if(diameters_.begin(), diameters_.end(), [&](const Diameter& d) {
        return d.series == m.series && d.ref == c.ref;
    });
    if (it == diameters_.end()) {
        diameters_.push_back({m.series, c.ref, c.diameterMm});
        it = diameters_.end() - 1;
    }
    ++it->members;
    it->bars += c.bars;
    if (const auto mass = steelMassKg(c, m)) {
        ++weighed_;
        it->lengthM += c.bars * *m.lengthM;
        it->massKg += *mass;
    }
}

std::vector<SteelTotals::Diameter> SteelTotals::byDiameter() const {
    auto sorted = diameters_;
    std::sort(sorted.begin(), sorted.end(), [](const Diameter& a, const Diameter& b) {
        return std::tie(a.series, a.diameterMm, a.ref) < std::tie(b.series, b.diameterMm, b.ref);
    });
    return sorted;
}

double SteelTotals::massKg() const {
    double total = 0;
    for (const auto& d : diameters_)
        total += d.massKg;
    return total;
}

} // namespace tresol::batch

#include "batch/SteelTotals.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <tuple>

namespace tresol::batch {

SteelTotals::Diameter& SteelTotals::entry(const std::string& series, const std::string& ref,
                                          double diameterMm) {
    auto it = std::find_if(diameters_.begin(), diameters_.end(),
                           [&](const Diameter& d) { return d.series == series && d.ref == ref; });
    if (it != diameters_.end())
        return *it;
    diameters_.push_back({series, ref, diameterMm});
    return diameters_.back();
}

void SteelTotals::add(const design::RunResult& result) {
    ++members_;
    const auto chosen = result.chosen();
    if (!chosen) {
        ++withoutChoice_;
        return;
    }
    const design::Row& row = result.rows()[*chosen];
    const design::Member& m = result.member();
    if (m.lengthM)
        ++weighed_;
    // A size in both layers, or at the corners and between them, is one entry, counted once for
    // the member.
    std::vector<std::string_view> counted;
    for (const design::RowLayer& layer : row.layers)
        for (const design::RowGroup& g : layer.groups) {
            Diameter& d = entry(m.series, g.ref, g.diameterMm);
            if (std::find(counted.begin(), counted.end(), g.ref) == counted.end()) {
                ++d.members;
                counted.push_back(g.ref);
            }
            d.bars += g.count;
            if (m.lengthM && g.massKg) {
                d.lengthM += g.count * *m.lengthM;
                d.massKg += *g.massKg;
            }
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

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

SteelTotals::Share SteelTotals::shareOf(const design::RunResult& result) {
    Share share;
    const auto chosen = result.chosen();
    if (!chosen)
        return share;
    share.chosen = true;
    const design::Row& row = result.rows()[*chosen];
    const design::Member& m = result.member();
    share.weighed = m.lengthM.has_value();
    for (const design::RowLayer& layer : row.layers)
        for (const design::RowGroup& g : layer.groups) {
            Part& part = share.parts.emplace_back();
            part.series = m.series;
            part.ref = g.ref;
            part.diameterMm = g.diameterMm;
            part.bars = g.count;
            if (m.lengthM && g.massKg) {
                part.lengthM = g.count * *m.lengthM;
                part.massKg = *g.massKg;
            }
        }
    return share;
}

void SteelTotals::add(const Share& share) {
    ++members_;
    if (!share.chosen) {
        ++withoutChoice_;
        return;
    }
    if (share.weighed)
        ++weighed_;
    // A size in both layers, or at the corners and between them, is one entry, counted once for
    // the member.
    std::vector<std::string_view> counted;
    for (const Part& part : share.parts) {
        Diameter& d = entry(part.series, part.ref, part.diameterMm);
        if (std::find(counted.begin(), counted.end(), part.ref) == counted.end()) {
            ++d.members;
            counted.push_back(part.ref);
        }
        d.bars += part.bars;
        if (part.massKg) {
            d.lengthM += *part.lengthM;
            d.massKg += *part.massKg;
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

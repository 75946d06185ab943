#pragma once

#include "design/Run.h"
#include "design/SteelMass.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tresol::batch {

using design::kSteelDensityKgM3;
using design::steelMassKg;

// The chosen bars of a schedule, by diameter: a handful of entries however many members.
class SteelTotals {
  public:
    struct Diameter {
        std::string series;
        std::string ref; // '16', or a numbered bar's '5'
        double diameterMm = 0;
        std::int64_t members = 0;
        std::int64_t bars = 0;
        double lengthM = 0; // of bar, over the members with a length
        double massKg = 0;
    };

    // What one member adds: each group of its chosen row under its own diameter. Worked out where
    // the member was designed, and added where the totals are kept in the members' order, it sums
    // the same figures in the same order as add(result).
    struct Part {
        std::string series, ref;
        double diameterMm = 0;
        std::int64_t bars = 0;
        std::optional<double> lengthM, massKg; // with a length and a mass only
    };
    struct Share {
        bool chosen = false, weighed = false;
        std::vector<Part> parts;
    };
    static Share shareOf(const design::RunResult& result);
    void add(const Share& share);
    void add(const design::RunResult& result) { add(shareOf(result)); }
    void addRefused() { ++refused_; }

    // By series, then by diameter.
    std::vector<Diameter> byDiameter() const;
    std::int64_t members() const { return members_; }
    std::int64_t refused() const { return refused_; }
    std::int64_t withoutChoice() const { return withoutChoice_; }
    // Members whose chosen bars have a mass (a length was given).
    std::int64_t weighed() const { return weighed_; }
    double massKg() const;

  private:
    Diameter& entry(const std::string& series, const std::string& ref, double diameterMm);

    std::vector<Diameter> diameters_;
    std::int64_t members_ = 0;
    std::int64_t refused_ = 0;
    std::int64_t withoutChoice_ = 0;
    std::int64_t weighed_ = 0;
};

} // namespace tresol::batch

#pragma once

// The sections the strength tests share, all in metres.
#include "strength/Strength.h"

#include <numbers>
#include <vector>

namespace tresol::strength::testing {

constexpr double kPi = std::numbers::pi;

// EN materials with the rectangular stress block instead of the parabola-rectangle.
inline Materials enBlock(double fck) {
    Materials m = Materials::en(fck);
    m.model = ConcreteModel::RectangularBlock;
    return m;
}

// Ø16: 2.0106 cm².
inline double areaOf(double diameter) {
    return kPi * diameter * diameter / 4;
}

// `count` bars of diameter φ in a row at height z, first and last centres `edge` from the sides of
// a width b.
inline void row(std::vector<Bar>& bars, int count, double diameter, double b, double edge,
                double z) {
    for (int i = 0; i < count; ++i)
        bars.push_back({edge + (b - 2 * edge) * i / (count - 1), z, areaOf(diameter)});
}

// The 30 × 50 beam with '5 fi 16', cover 3 cm to the bars: centres 3.8 cm from the bottom and
// the sides. `second` adds 2 Ø16 with centres 7.8 cm from the bottom.
inline Section beam(const Materials& m, bool second = false) {
    std::vector<Bar> bars;
    row(bars, 5, 0.016, 0.30, 0.038, 0.038);
    if (second)
        row(bars, 2, 0.016, 0.30, 0.038, 0.078);
    return *Section::make(rectangle(0.30, 0.50), bars, m);
}

// A square column of side a with bars of diameter φ, n per side (corners shared), centres
// `edge` from the faces: n = 3 gives '8 fi', n = 4 gives '12 fi'.
inline std::vector<Bar> perimeter(double a, double diameter, int n, double edge) {
    std::vector<Bar> bars;
    const double step = (a - 2 * edge) / (n - 1);
    for (int i = 0; i < n; ++i) {
        bars.push_back({edge + step * i, edge, areaOf(diameter)});
        bars.push_back({edge + step * i, a - edge, areaOf(diameter)});
    }
    for (int i = 1; i + 1 < n; ++i) {
        bars.push_back({edge, edge + step * i, areaOf(diameter)});
        bars.push_back({a - edge, edge + step * i, areaOf(diameter)});
    }
    return bars;
}

// The 40 × 40 column with '8 fi 16', cover 3 cm to the bars (centres 3.8 cm from the faces).
inline Section column(const Materials& m, int perSide = 3) {
    return *Section::make(rectangle(0.40, 0.40), perimeter(0.40, 0.016, perSide, 0.038), m);
}

// A T: flange 80 × 12, web 30 × 48 (total depth 60), four Ø20 at the web's bottom, two Ø12 in the
// flange. Not convex, and not symmetric about y in its bars when `lopsided`.
inline Section tee(const Materials& m, bool lopsided = false) {
    std::vector<Point> o = {{0.25, 0},    {0.55, 0},    {0.55, 0.48}, {0.80, 0.48},
                            {0.80, 0.60}, {0.00, 0.60}, {0.00, 0.48}, {0.25, 0.48}};
    std::vector<Bar> bars;
    row(bars, 4, 0.020, 0.30, 0.045, 0.045);
    for (Bar& b : bars)
        b.y += 0.25;
    bars.push_back({0.06, 0.55, areaOf(0.012)});
    bars.push_back({lopsided ? 0.50 : 0.74, 0.55, areaOf(0.012)});
    return *Section::make(o, bars, m);
}

} // namespace tresol::strength::testing

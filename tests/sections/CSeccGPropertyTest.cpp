// The strip integration of CSeccG against a direct double-precision shoelace computation, on
// random star-shaped (hence simple) polygons given in both directions.
#include "sections/CSeccG.h"

#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using namespace tresol;

TEST(CSeccGProperty, AgreesWithShoelaceOnRandomStarPolygons) {
    platform::RecordingSink quiet;
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> centre(-5, 5), radius(0.5, 3), turn(0, 2 * M_PI),
        jitter(0, 1);
    std::uniform_int_distribution<int> sides(3, 40);
    for (int k = 0; k < 300; ++k) {
        // One vertex in each of n equal sectors, jittered within the first 40 % of it: every gap
        // stays below π, so the polygon is star-shaped about the centre, simple and
        // counter-clockwise. Vertices are stored as singles; the reference uses those values.
        const int n = sides(rng);
        const double cy = centre(rng), cz = centre(rng), offset = turn(rng);
        std::vector<double> y, z;
        double reach = 0;
        for (int i = 0; i < n; ++i) {
            const double a = offset + (i + 0.4 * jitter(rng)) * 2 * M_PI / n, r = radius(rng);
            y.push_back(static_cast<float>(cy + r * std::cos(a)));
            z.push_back(static_cast<float>(cz + r * std::sin(a)));
            reach = std::max(reach, std::hypot(y.back(), z.back()));
        }
        y.push_back(y.front()), z.push_back(z.front());
        for (bool reversed : {false, true}) {
            if (reversed)
                std::reverse(y.begin(), y.end()), std::reverse(z.begin(), z.end());
            PointArray p = makePointArray(n + 1);
            for (int i = 1; i <= n + 1; ++i)
                p(i, 1) = static_cast<float>(y[i - 1]), p(i, 2) = static_cast<float>(z[i - 1]);
            // Green's theorem over the closed polygon: area, first and second moments.
            double a = 0, sy = 0, sz = 0, syy = 0, szz = 0, syz = 0;
            for (int i = 0; i < n; ++i) {
                const double y1 = y[i], z1 = z[i], y2 = y[i + 1], z2 = z[i + 1];
                const double c = y1 * z2 - y2 * z1;
                a += c / 2;
                sy += (y1 + y2) * c / 6, sz += (z1 + z2) * c / 6;
                syy += (y1 * y1 + y1 * y2 + y2 * y2) * c / 12;
                szz += (z1 * z1 + z1 * z2 + z2 * z2) * c / 12;
                syz += (y1 * z2 + 2 * y1 * z1 + 2 * y2 * z2 + y2 * z1) * c / 24;
            }
            const double yg = sy / a, zg = sz / a;
            CSeccG s;
            const std::string id = "case " + std::to_string(k) + (reversed ? " cw" : " ccw") +
                                   ", " + std::to_string(n) + " sides";
            ASSERT_TRUE(s.asigna_coor(n + 1, p)) << id;
            // Singles with sums over the polygon: errors grow with the distance from the origin.
            const double tolPos = 2e-6 * reach, tolMoment = 8e-7 * std::fabs(a) * reach * reach;
            EXPECT_NEAR(s.area(), a, 2e-6 * std::fabs(a) + 1e-7) << id;
            EXPECT_EQ(s.area() > 0, !reversed) << id << ": direction decides the sign";
            EXPECT_NEAR(s.Yg(), yg, tolPos) << id;
            EXPECT_NEAR(s.Zg(), zg, tolPos) << id;
            EXPECT_NEAR(s.Izg(), syy - a * yg * yg, tolMoment) << id;
            EXPECT_NEAR(s.Iyg(), szz - a * zg * zg, tolMoment) << id;
            EXPECT_NEAR(s.izy(), syz - a * yg * zg, tolMoment) << id;
        }
    }
}

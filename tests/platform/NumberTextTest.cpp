#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

using namespace tresol::platform;

// The shortest text that reads back, character for character as the standard library writes it,
// whether the figure is written from its few decimals or by the general algorithm: figures of
// one to fifteen digits, their neighbouring doubles, every magnitude and the edges of the forms.
TEST(NumberText, ShortestTextIsTheStandardLibrarys) {
    auto expected = [](double v) {
        char buffer[32];
        return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
    };
    std::mt19937_64 random(2026);
    std::uniform_real_distribution<double> exponent(-12, 20);
    for (int i = 0; i < 200000; ++i) {
        double v = std::pow(10.0, exponent(random)) * (i % 3 == 0 ? -1 : 1);
        if (i % 4 == 1) { // a figure of a few digits, as the schedules' are
            char text[40];
            std::snprintf(text, sizeof text, "%.*e", i % 15, v);
            v = std::strtod(text, nullptr);
        } else if (i % 4 == 2)
            v = std::nextafter(std::round(v * 1000) / 1000, 0.0);
        ASSERT_EQ(shortestText(v), expected(v)) << i;
    }
    for (double v : {0.0, -0.0, 1e-5, 1e-4, 0.001, 0.00012, 1e4, 1e5, 1.5e5, 123456789012345.0,
                     1e15, 0.1, 1.0 / 3, 25.0, 5e-324, 1.7976931348623157e308})
        EXPECT_EQ(shortestText(v), expected(v)) << v;
}

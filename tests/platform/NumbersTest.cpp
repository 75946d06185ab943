#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

using namespace tresol::platform;

// The point-only prefix, whatever the locale; nothing usable reads as 0, never as infinity.
TEST(LeadingNumber, ReadsThePointOnlyPrefix) {
    ScopedNumberLocale comma(',');
    for (const auto& [text, value] : {std::pair<const char*, double>{"12,5", 12},
                                      {"12.5 cm", 12.5},
                                      {"  -3.25e2x", -325},
                                      {".5", 0.5},
                                      {"4 ", 4},
                                      {"7e", 7},
                                      {"abc", 0},
                                      {"", 0},
                                      {"-", 0},
                                      {"1e999", 0},
                                      {"1e-999", 0}})
        EXPECT_DOUBLE_EQ(leadingNumber(text), value) << text;
}

TEST(NumericTest, FollowsTheLocaleAndRejectsNonFiniteTexts) {
    {
        ScopedNumberLocale point('.');
        for (const char* good : {"12.5", " 16 ", "-1.5E3", "5."})
            EXPECT_TRUE(isNumeric(good)) << good;
        EXPECT_FALSE(isNumeric("12,5") || isNumeric("1,000"));
        EXPECT_EQ(parseNumber("12.5"), 12.5);
        EXPECT_DOUBLE_EQ(boxNumber("abc"), 0.0);
    }
    ScopedNumberLocale comma(',');
    EXPECT_TRUE(isNumeric("12,5"));
    EXPECT_EQ(parseNumber("12,5"), 12.5);
    EXPECT_FALSE(isNumeric("12.5"));
    // What the user typed in a box: a number of the locale, else its leading number.
    EXPECT_DOUBLE_EQ(boxNumber("12,5"), 12.5);
    EXPECT_DOUBLE_EQ(boxNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(boxNumber("30 cm"), 30.0);
    for (const char* bad : {"", " ", "abc", "nan", "NaN", "inf", "-inf", "1e999", "1e", "+", ".",
                            "1 2", "12abc", "0x10"})
        EXPECT_FALSE(isNumeric(bad)) << "'" << bad << "'";
}

TEST(FormatNumber, PatternsAndTheDefaultTextForm) {
    ScopedNumberLocale point('.');
    for (const auto& [value, pattern, text] :
         {std::tuple<double, const char*, const char*>{0.79, "#.00", ".79"},
          {10.0531, "#.00", "10.05"},
          {9.996, "#.00", "10.00"},
          {0.0, "#.00", ".00"},
          {-1.234, "#.00", "-1.23"},
          {10.7, "#", "11"},
          {0.3, "#", ""},
          {3442176.0, "#", "3442176"},
          {0.25, "#0.0", "0.3"},
          {0.04, "#0.0", "0.0"},
          {12.25, "#0.0", "12.3"}})
        EXPECT_EQ(formatNumber(value, pattern), text) << value << " " << pattern;
    for (const auto& [value, text] : {std::pair<double, const char*>{0.0, "0"},
                                      {4.0, "4"},
                                      {24821128.0 / 2.4, "10342136.6666667"},
                                      {1e-10, "1E-10"},
                                      {1e15, "1E+15"},
                                      {-1.5e-7, "-1.5E-07"}})
        EXPECT_EQ(numberText(value), text) << value;
    EXPECT_EQ(numberText(0.025f), "0.025"); // a single's seven digits
    EXPECT_EQ(numberText(2.0106e-4f), "0.00020106");
    ScopedNumberLocale comma(',');
    EXPECT_EQ(formatNumber(0.79, "#.00"), ",79");
    EXPECT_EQ(formatNumber(1.5, "#0.0"), "1,5");
    EXPECT_EQ(numberText(0.5), "0,5");
}

TEST(NumberText, ExtremesReadBackAsFiniteNumbers) {
    ScopedNumberLocale point('.');
    // DBL_MAX = 1.7976931348623157e308 rounds up to 1.79769313486232e308, past the largest
    // double; the text is cut to 15 digits instead.
    EXPECT_EQ(numberText(std::numeric_limits<double>::max()), "1.79769313486231E+308");
    EXPECT_EQ(numberText(-std::numeric_limits<double>::max()), "-1.79769313486231E+308");
    // FLT_MAX = 3.40282347e38 rounds down at 7 digits: nothing to cut.
    EXPECT_EQ(numberText(std::numeric_limits<float>::max()), "3.402823E+38");
    for (double v :
         {std::numeric_limits<double>::max(),
          std::nextafter(std::numeric_limits<double>::max(), 0.0),
          -std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
          std::numeric_limits<double>::denorm_min(), double{std::numeric_limits<float>::max()}}) {
        for (int digits : {15, 7, 1}) {
            const std::string text = numberText(v, digits);
            const auto back = parseNumber(text);
            ASSERT_TRUE(back) << v << " as '" << text << "'";
            EXPECT_LE(std::fabs(*back - v), std::fabs(v) * std::pow(10.0, 1 - digits))
                << v << " as '" << text << "'";
        }
    }
}

TEST(ParseNumber, UnderflowReadsAsZeroHoweverItIsWritten) {
    ScopedNumberLocale point('.');
    const std::string tiny = "0." + std::string(330, '0') + "1";
    for (const std::string& text :
         {std::string("1e-400"), tiny, "-" + tiny, std::string("0.0001e-400"),
          std::string("100e-99999999999999999999")}) {
        EXPECT_EQ(parseNumber(text), 0.0) << text;
        EXPECT_EQ(leadingNumber(text), 0.0) << text;
    }
    // Overflow stays refused, however it is written.
    const std::string huge = "1" + std::string(330, '0');
    for (const std::string& text :
         {std::string("1e400"), huge, huge + ".5", std::string("0.001e99999999999")})
        EXPECT_FALSE(parseNumber(text)) << text;
}

// The quick rounding must give the very double that writing the value to `digits` digits and
// reading the text back gives, for figures of every size, halves and powers of ten included.
TEST(ToSignificantDigits, IsTheDoubleTheRoundedTextReadsAs) {
    auto viaText = [](double v, int digits) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
        double out = 0;
        std::from_chars(buf, r.ptr, out);
        return out;
    };
    EXPECT_EQ(toSignificantDigits(16.00000075995922), 16.0);
    EXPECT_EQ(toSignificantDigits(18.000000000000004, 12), 18.0);
    EXPECT_EQ(toSignificantDigits(1048576.5), 1048576.0); // an exact half: to even
    EXPECT_EQ(toSignificantDigits(1048577.5), 1048578.0);
    EXPECT_EQ(toSignificantDigits(9999999.6), 1e7);
    EXPECT_EQ(toSignificantDigits(0.0), 0.0);
    EXPECT_TRUE(std::isnan(toSignificantDigits(std::nan(""))));
    EXPECT_EQ(toSignificantDigits(-HUGE_VAL), -HUGE_VAL);
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(toSignificantDigits(largest, 4), largest); // 1.798e308 is past it
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 200000; ++i) {
        const int digits = 1 + i % 12;
        double v = mantissa(gen) * std::pow(10.0, exponent(gen));
        if (i % 3 == 0) // a decimal of a few digits, as areas and lengths are
            v = viaText(v, 1 + i % 9);
        if (i % 5 == 0)
            v = -v;
        ASSERT_EQ(toSignificantDigits(v, digits), viaText(v, digits)) << v << " " << digits;
    }
}

TEST(RoundToInt32, HalvesToEvenAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(roundToInt32(2.5), 2);
    EXPECT_EQ(roundToInt32(3.5), 4);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(2147483647.0), 2147483647);
    for (double v : {2147483648.0, -2147483649.0, double{NAN}, double{INFINITY}})
        EXPECT_FALSE(roundToInt32(v)) << v;
}

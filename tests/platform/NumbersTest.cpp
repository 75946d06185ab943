#include "platform/Numbers.h"

#include <gtest/gtest.h>

using namespace tresol::platform;

TEST(LeadingNumber, ReadsThePointOnlyPrefix) {
    ScopedNumberLocale comma(',');
    EXPECT_DOUBLE_EQ(leadingNumber("12,5"), 12.0);
    EXPECT_DOUBLE_EQ(leadingNumber("12.5 cm"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber("  -3.25e2x"), -325.0);
    EXPECT_DOUBLE_EQ(leadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber("4 "), 4.0);
    EXPECT_DOUBLE_EQ(leadingNumber("7e"), 7.0);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("-"), 0.0);
    // Too large to represent: not a usable number, never infinity.
    EXPECT_DOUBLE_EQ(leadingNumber("1e999"), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber("1e-999"), 0.0);
}

TEST(NumericTest, FollowsTheLocaleAndRejectsNonFiniteTexts) {
    {
        ScopedNumberLocale point('.');
        EXPECT_TRUE(isNumeric("12.5"));
        EXPECT_TRUE(isNumeric(" 16 "));
        EXPECT_TRUE(isNumeric("-1.5E3"));
        EXPECT_TRUE(isNumeric("5."));
        EXPECT_FALSE(isNumeric("12,5"));
        EXPECT_FALSE(isNumeric("1,000"));
        EXPECT_EQ(parseNumber("12.5"), 12.5);
    }
    {
        ScopedNumberLocale comma(',');
        EXPECT_TRUE(isNumeric("12,5"));
        EXPECT_EQ(parseNumber("12,5"), 12.5);
        EXPECT_FALSE(isNumeric("12.5"));
    }
    for (const char* bad : {"", " ", "abc", "nan", "NaN", "inf", "-inf", "1e999", "1e", "+", ".",
                            "1 2", "12abc", "0x10"})
        EXPECT_FALSE(isNumeric(bad)) << "'" << bad << "'";
}

TEST(BoxNumber, ReadsWhatTheUserTypedInEitherLocale) {
    {
        ScopedNumberLocale comma(',');
        EXPECT_DOUBLE_EQ(boxNumber("12,5"), 12.5);
        EXPECT_DOUBLE_EQ(boxNumber("12.5"), 12.5); // not numeric here: its leading number
        EXPECT_DOUBLE_EQ(boxNumber("30 cm"), 30.0);
    }
    ScopedNumberLocale point('.');
    EXPECT_DOUBLE_EQ(boxNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(boxNumber("abc"), 0.0);
}

TEST(FormatNumber, Patterns) {
    ScopedNumberLocale point('.');
    EXPECT_EQ(formatNumber(0.79, "#.00"), ".79");
    EXPECT_EQ(formatNumber(10.0531, "#.00"), "10.05");
    EXPECT_EQ(formatNumber(2.0106, "#.00"), "2.01");
    EXPECT_EQ(formatNumber(0.0, "#.00"), ".00");
    EXPECT_EQ(formatNumber(-1.234, "#.00"), "-1.23");
    EXPECT_EQ(formatNumber(5.0, "#"), "5");
    EXPECT_EQ(formatNumber(10.7, "#"), "11");
    EXPECT_EQ(formatNumber(0.3, "#"), "");
    EXPECT_EQ(formatNumber(3442176.0, "#"), "3442176");
    EXPECT_EQ(formatNumber(0.25, "#0.0"), "0.3");
    EXPECT_EQ(formatNumber(0.04, "#0.0"), "0.0");
    EXPECT_EQ(formatNumber(12.25, "#0.0"), "12.3");
    ScopedNumberLocale comma(',');
    EXPECT_EQ(formatNumber(0.79, "#.00"), ",79");
    EXPECT_EQ(formatNumber(1.5, "#0.0"), "1,5");
}

TEST(NumberText, DefaultTextForm) {
    ScopedNumberLocale point('.');
    EXPECT_EQ(numberText(0.0), "0");
    EXPECT_EQ(numberText(4.0), "4");
    EXPECT_EQ(numberText(0.025f), "0.025");
    EXPECT_EQ(numberText(2.0106e-4f), "0.00020106");
    EXPECT_EQ(numberText(24821128.0 / 2.4), "10342136.6666667");
    EXPECT_EQ(numberText(1e15), "1E+15");
    EXPECT_EQ(numberText(-1.5e-7), "-1.5E-07");
    ScopedNumberLocale comma(',');
    EXPECT_EQ(numberText(0.5), "0,5");
}

TEST(RoundToInt32, HalvesToEvenAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(roundToInt32(2.5), 2);
    EXPECT_EQ(roundToInt32(3.5), 4);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(2147483647.0), 2147483647);
    EXPECT_FALSE(roundToInt32(2147483648.0));
    EXPECT_FALSE(roundToInt32(-2147483649.0));
    EXPECT_FALSE(roundToInt32(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(roundToInt32(std::numeric_limits<double>::infinity()));
}

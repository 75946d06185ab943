#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tresol::platform {

// The user's number conventions. The application takes them from the system locale; tests set
// them explicitly. Only the decimal separator matters to Tresol.
struct NumberLocale {
    char decimalSeparator = '.';
};

// One for the process: the window sets it on its own thread, while no design run is working; a
// design run only reads it (its own figures take the separator as an argument), so runs on
// several threads share it safely.
const NumberLocale& numberLocale();
void setNumberLocale(const NumberLocale& locale);

// Sets a number locale for the lifetime of the guard.
class ScopedNumberLocale {
  public:
    explicit ScopedNumberLocale(char decimalSeparator);
    ~ScopedNumberLocale();
    ScopedNumberLocale(const ScopedNumberLocale&) = delete;
    ScopedNumberLocale& operator=(const ScopedNumberLocale&) = delete;

  private:
    NumberLocale previous_;
};

// The number written at the start of `text`, with the point as the only decimal separator,
// whatever the locale: '12,5' gives 12, '12.5 cm' 12.5, 'abc' 0. Leading blanks are skipped.
// A number too large to represent also gives 0, so the result is always finite.
double leadingNumber(std::string_view text);

// The value of `text` when the whole text (blanks around it allowed) is a finite number written
// with the locale's decimal separator: an optional sign, digits with at most one separator and
// an optional exponent. Texts such as "nan", "inf", "1e999" or "1,000" (in a point locale) are
// not numbers.
std::optional<double> parseNumber(std::string_view text);
// The same with the given decimal separator, whatever the locale.
std::optional<double> parseNumber(std::string_view text, char decimalSeparator);

// The numeric test: whether parseNumber accepts the text.
inline bool isNumeric(std::string_view text) {
    return parseNumber(text).has_value();
}

// How a window reads a number box: a text that passes the numeric test is read at the value the
// user typed (in the user's locale); anything else falls back to its leading number.
double boxNumber(std::string_view text);

// Formats `value` with a pattern of '#' and '0' digit places and an optional '.', which stands
// for the locale's decimal separator: "#.00" gives '.79' for 0.79, "#" the whole number (no digits
// at all when it rounds to 0), "#0.0" one decimal with at least one digit before the separator.
std::string formatNumber(double value, std::string_view pattern);

// The default text form of a number: up to `significantDigits` significant digits (7 for a
// single, 15 for a double), no trailing zeros, the locale's decimal separator, and an exponent
// ('1E-05', '1E+15') only when the plain form would be unreadable.
std::string numberText(double value, int significantDigits = 15);
// Figures in the program's own messages, which read the same in every locale (schedules keep
// them): a decimal comma. As formatNumber's pattern; numberText's form; exactly `decimals`
// decimals, rounded as the shortest exact decimal does.
std::string commaFormat(double value, std::string_view pattern);
std::string commaText(double value, int significantDigits = 7);
std::string commaFixed(double value, int decimals);

inline std::string numberText(float value) {
    return numberText(static_cast<double>(value), 7);
}

// `value` to `digits` significant digits (nearest, as its shortest decimal text would read): a
// figure worked out from single-precision data given to the seven digits that data holds, 16
// rather than 16.00000075995922. Zero, infinities and NaN come back unchanged, and so does a value
// that would round past the largest double.
double toSignificantDigits(double value, int digits = 7);

// `value` rounded to the nearest whole number (halves to even) when it fits a 32-bit integer;
// nothing when it is not finite or out of range.
std::optional<std::int32_t> roundToInt32(double value);

} // namespace tresol::platform

// Number reading never fails on any text, and every finite double and single written in the
// default text form reads back, in either decimal separator, as a finite number equal to it
// within the digits written. Rounding a double to significant digits gives the double its
// rounded text reads as.

#include "FuzzSupport.h"
#include "platform/Numbers.h"

#include <bit>
#include <charconv>
#include <cmath>

using namespace tresol;
using namespace tresol::platform;

namespace {

void checkRoundTrip(double value, int digits, char separator) {
    const std::string text = numberText(value, digits);
    FUZZ_CHECK(isNumeric(text), "%.17g written as '%s' is not numeric", value, text.c_str());
    const double back = *parseNumber(text);
    FUZZ_CHECK(std::isfinite(back), "'%s'", text.c_str());
    // One unit in the last of `digits` significant digits is at most |value| × 10^(1 − digits).
    FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * std::pow(10.0, 1 - digits),
               "%.17g written as '%s' reads back as %.17g (separator %c)", value, text.c_str(),
               back, separator);
}

void checkSignificantDigits(double value, int digits) {
    char buf[64];
    const auto end =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    double viaText = 0;
    if (std::from_chars(buf, end.ptr, viaText).ec == std::errc::result_out_of_range)
        viaText = value; // rounded past the largest double: kept as it is
    const double got = toSignificantDigits(value, digits);
    FUZZ_CHECK(got == viaText, "%.17g to %d digits gives %.17g, its text reads %.17g", value,
               digits, got, viaText);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const char separator = in.flag() ? ',' : '.';
    ScopedNumberLocale locale(separator);
    const double d = in.take<double>();
    const float f = in.take<float>();
    if (std::isfinite(d)) {
        checkRoundTrip(d, 15, separator);
        checkRoundTrip(d, 7, separator);
    }
    if (std::isfinite(f))
        checkRoundTrip(static_cast<double>(f), 7, separator);
    if (std::isfinite(d)) {
        checkSignificantDigits(d, 7);
        checkSignificantDigits(d, 1 + static_cast<int>(std::bit_cast<std::uint64_t>(d) % 12));
    }
    for (const char* pattern : {"#.00", "#", "#0.0"})
        (void)formatNumber(d, pattern);

    const std::string text = in.rest();
    FUZZ_CHECK(std::isfinite(leadingNumber(text)), "leading number of '%s'", text.c_str());
    FUZZ_CHECK(std::isfinite(boxNumber(text)), "box number of '%s'", text.c_str());
    if (const auto v = parseNumber(text))
        FUZZ_CHECK(std::isfinite(*v), "'%s'", text.c_str());
    (void)roundToInt32(leadingNumber(text));
    return 0;
}

// Number reading never fails on any text, and every finite double and single written in the
// default text form reads back, in either decimal separator, as a finite number equal to it
// within the digits written.

#include "FuzzSupport.h"
#include "platform/Numbers.h"

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

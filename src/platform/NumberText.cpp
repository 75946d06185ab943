#include "platform/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace tresol::platform {

namespace {

constexpr double kPow10[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                             1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

// The value as n / 10^k with the fewest decimals k, n below 10^15; false when it has none.
// Any decimal of 15 digits or fewer is the only one of them to read back as its double, so the
// least k whose n reads back gives the shortest digits, the ones the general algorithm finds.
// Reading back is exact here: n and 10^k are exact doubles and their quotient is correctly
// rounded, as reading the text is.
bool fewDecimals(double a, std::uint64_t& n, int& k) {
    if (!(a >= 1e-5 && a < 1e15))
        return false;
    for (k = 0; k < 18; ++k) {
        const double scaled = a * kPow10[k];
        if (scaled >= 1e15)
            return false;
        // Below 2^50 adding a half is exact: the cast rounds to the nearest whole number.
        n = static_cast<std::uint64_t>(scaled + 0.5);
        if (static_cast<double>(n) / kPow10[k] == a)
            return true;
    }
    return false;
}

// n / 10^k written as the general algorithm writes it: fixed, unless the exponent form is
// shorter ('1e+05', '1.2e-05').
void appendDecimal(std::string& out, bool negative, std::uint64_t n, int k) {
    char digits[24];
    const int length =
        static_cast<int>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits);
    int significant = length;
    while (significant > 1 && digits[significant - 1] == '0')
        --significant;
    const int fixedLength = k == 0 ? length : (length > k ? length + 1 : k + 2);
    const int exponentLength = significant + (significant > 1 ? 1 : 0) + 4;
    if (negative)
        out += '-';
    const auto size = [](int count) { return static_cast<std::size_t>(count); };
    if (fixedLength <= exponentLength) {
        if (k == 0) {
            out.append(digits, size(length));
        } else if (length > k) {
            out.append(digits, size(length - k));
            out += '.';
            out.append(digits + length - k, size(k));
        } else {
            out += "0.";
            out.append(size(k - length), '0');
            out.append(digits, size(length));
        }
        return;
    }
    out += digits[0];
    if (significant > 1) {
        out += '.';
        out.append(digits + 1, size(significant - 1));
    }
    const int exponent = length - 1 - k; // within ±20 in this range
    const int e = exponent < 0 ? -exponent : exponent;
    const char tail[] = {'e', exponent < 0 ? '-' : '+', static_cast<char>('0' + e / 10),
                         static_cast<char>('0' + e % 10)};
    out.append(tail, sizeof tail);
}

} // namespace

void appendShortest(std::string& out, double value) {
    // Most figures have a few decimals and are written from their digits directly; the general
    // shortest-text algorithm costs several times as much.
    std::uint64_t n = 0;
    int k = 0;
    if (fewDecimals(std::fabs(value), n, k)) {
        appendDecimal(out, std::signbit(value), n, k);
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string shortestText(double value) {
    std::string s;
    appendShortest(s, value);
    return s;
}

} // namespace tresol::platform

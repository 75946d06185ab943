#include "platform/Numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tresol::platform {
namespace {

NumberLocale currentLocale;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Scans a number at the start of `s` written with `sep` as decimal separator and returns it in
// the neutral form std::from_chars reads (point separator) together with the characters used.
struct Scan {
    std::string neutral;
    std::size_t used = 0;
    bool hasDigits = false;
};

Scan scanNumber(std::string_view s, char sep) {
    Scan out;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            out.neutral += '-';
        ++i;
    }
    while (i < s.size() && isDigit(s[i])) {
        out.neutral += s[i++];
        out.hasDigits = true;
    }
    if (i < s.size() && s[i] == sep) {
        std::size_t j = i + 1;
        std::string frac;
        while (j < s.size() && isDigit(s[j]))
            frac += s[j++];
        if (out.hasDigits || !frac.empty()) {
            out.neutral += '.';
            out.neutral += frac;
            out.hasDigits = out.hasDigits || !frac.empty();
            i = j;
        }
    }
    if (!out.hasDigits) {
        out.used = 0;
        out.neutral.clear();
        return out;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exp += s[j++];
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                exp += s[j++];
            out.neutral += exp;
            i = j;
        }
    }
    out.used = i;
    return out;
}

// The power of ten of the first significant digit of a neutral number text with at least one
// non-zero digit ('0.05' gives -2, '12e3' gives 4). The exponent saturates, so a text with a
// thousand exponent digits cannot overflow it.
long long decimalOrder(const std::string& neutral) {
    std::size_t i = neutral[0] == '-' ? 1 : 0;
    long long order = 0;
    bool significant = false;
    for (; i < neutral.size() && isDigit(neutral[i]); ++i) {
        if (significant)
            ++order;
        else if (neutral[i] != '0')
            significant = true;
    }
    if (i < neutral.size() && neutral[i] == '.') {
        for (++i; i < neutral.size() && isDigit(neutral[i]); ++i) {
            if (significant)
                break;
            --order;
            significant = neutral[i] != '0';
        }
        while (i < neutral.size() && isDigit(neutral[i]))
            ++i;
    }
    if (i < neutral.size() && neutral[i] == 'e') {
        ++i;
        const bool negative = i < neutral.size() && neutral[i] == '-';
        if (i < neutral.size() && (neutral[i] == '-' || neutral[i] == '+'))
            ++i;
        long long exponent = 0;
        constexpr long long kSaturated = 1'000'000'000;
        for (; i < neutral.size() && isDigit(neutral[i]); ++i)
            exponent = std::min(kSaturated, exponent * 10 + (neutral[i] - '0'));
        order += negative ? -exponent : exponent;
    }
    return order;
}

std::optional<double> neutralValue(const std::string& neutral) {
    double v = 0.0;
    const char* first = neutral.data();
    const char* last = first + neutral.size();
    // from_chars does not take a leading '+', and scanNumber never writes one.
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero however it is written ('1e-400' or '0.000…01'); overflow is
        // not a usable number.
        if (decimalOrder(neutral) < 0)
            return 0.0;
        return std::nullopt;
    }
    if (ec != std::errc() || ptr != last || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// Rounds |value| to `precision` decimals, halves away from zero, working on the shortest decimal
// text that reads back as the value (so 0.25 gives 0.3 and 2.675 gives 2.68, as a user expects).
void roundDecimal(double value, int precision, std::string& intPart, std::string& fracPart) {
    std::array<char, 512> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
    const std::string text(buf.data(), res.ptr);
    const auto p = text.find('.');
    intPart = text.substr(0, p);
    std::string frac = p == std::string::npos ? std::string() : text.substr(p + 1);
    const auto keep = static_cast<std::size_t>(precision);
    const bool up = frac.size() > keep && frac[keep] >= '5';
    frac.resize(keep, '0');
    if (up) {
        std::string all = intPart + frac;
        int i = static_cast<int>(all.size()) - 1;
        for (; i >= 0; --i) {
            if (all[static_cast<std::size_t>(i)] == '9') {
                all[static_cast<std::size_t>(i)] = '0';
            } else {
                ++all[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0)
            all.insert(all.begin(), '1');
        intPart = all.substr(0, all.size() - keep);
        frac = all.substr(all.size() - keep);
    }
    fracPart = frac;
}

} // namespace

const NumberLocale& numberLocale() {
    return currentLocale;
}
void setNumberLocale(const NumberLocale& locale) {
    currentLocale = locale;
}

ScopedNumberLocale::ScopedNumberLocale(char decimalSeparator) : previous_(currentLocale) {
    currentLocale.decimalSeparator = decimalSeparator;
}
ScopedNumberLocale::~ScopedNumberLocale() {
    currentLocale = previous_;
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    const Scan scan = scanNumber(text.substr(i), '.');
    if (!scan.hasDigits)
        return 0.0;
    return neutralValue(scan.neutral).value_or(0.0);
}

std::optional<double> parseNumber(std::string_view text) {
    return parseNumber(text, currentLocale.decimalSeparator);
}

std::optional<double> parseNumber(std::string_view text, char decimalSeparator) {
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    const std::string_view core = text.substr(b, e - b);
    const Scan scan = scanNumber(core, decimalSeparator);
    if (!scan.hasDigits || scan.used != core.size())
        return std::nullopt;
    return neutralValue(scan.neutral);
}

double boxNumber(std::string_view text) {
    if (auto v = parseNumber(text))
        return *v;
    return leadingNumber(text);
}

std::string formatNumber(double value, std::string_view pattern) {
    const auto dot = pattern.find('.');
    const std::string_view intPat = pattern.substr(0, dot);
    const std::string_view fracPat =
        dot == std::string_view::npos ? std::string_view{} : pattern.substr(dot + 1);
    std::size_t minInt = 0;
    for (char c : intPat)
        minInt += c == '0' ? 1 : 0;
    std::size_t forcedFrac = 0;
    while (forcedFrac < fracPat.size() && fracPat[forcedFrac] == '0')
        ++forcedFrac;
    const int precision = static_cast<int>(fracPat.size());

    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");

    std::string intPart, fracPart;
    roundDecimal(std::fabs(value), precision, intPart, fracPart);
    while (fracPart.size() > forcedFrac && fracPart.back() == '0')
        fracPart.pop_back();
    const bool allZero = intPart.find_first_not_of('0') == std::string::npos &&
                         fracPart.find_first_not_of('0') == std::string::npos;
    intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size()));
    while (intPart.size() < minInt)
        intPart.insert(intPart.begin(), '0');

    std::string out;
    if (value < 0 && !allZero)
        out += '-';
    out += intPart;
    if (dot != std::string_view::npos && !fracPat.empty()) {
        out += currentLocale.decimalSeparator;
        out += fracPart;
    }
    return out;
}

std::string numberText(double value, int significantDigits) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    if (value == 0.0)
        return "0";
    significantDigits = std::clamp(significantDigits, 1, 17);
    std::array<char, 64> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                             std::chars_format::scientific, significantDigits - 1);
    std::string sci(buf.data(), res.ptr);
    if (double back = 0.0; std::from_chars(sci.data(), sci.data() + sci.size(), back).ec ==
                           std::errc::result_out_of_range) {
        // Rounding carried past the largest double ('1.79769313486232E+308' is not a number
        // any reader takes back): cut the digits instead, from enough of them that the cut text
        // stays within one unit of its last digit.
        res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                            std::chars_format::scientific, 30);
        const std::string longer(buf.data(), res.ptr);
        const auto cut = longer.find('.') + static_cast<std::size_t>(significantDigits);
        sci = longer.substr(0, cut) + longer.substr(longer.find('e'));
    }
    const auto e = sci.find('e');
    const int exponent = std::stoi(sci.substr(e + 1));
    std::string mantissa = sci.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0')
            mantissa.pop_back();
        if (mantissa.back() == '.')
            mantissa.pop_back();
    }
    std::string out;
    if (exponent < -5 || exponent >= significantDigits) {
        out = mantissa;
        out += exponent < 0 ? "E-" : "E+";
        const int a = std::abs(exponent);
        if (a < 10)
            out += '0';
        out += std::to_string(a);
    } else {
        auto fixed =
            std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed,
                          std::max(0, significantDigits - 1 - exponent));
        out.assign(buf.data(), fixed.ptr);
        if (out.find('.') != std::string::npos) {
            while (out.back() == '0')
                out.pop_back();
            if (out.back() == '.')
                out.pop_back();
        }
    }
    for (char& c : out)
        if (c == '.')
            c = currentLocale.decimalSeparator;
    return out;
}

double toSignificantDigits(double value, int digits) {
    if (!std::isfinite(value) || value == 0.0)
        return value;
    digits = std::clamp(digits, 1, 17);
    // Every candidate figure of a schedule passes here, so the common case avoids the text:
    // with the value scaled by 10^k into [10^(digits−1), 10^digits), a whole number and a power
    // of ten that are both exact doubles divide (or multiply) correctly rounded to the double
    // nearest the decimal, which is what reading the text gives. The scaled value is within
    // 1e-7 of the exact one, so it rounds as the exact one does unless it lies near a half;
    // those, and magnitudes out of the exact powers' range, go through the text.
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double a = std::fabs(value);
    if (digits <= 9 && a >= 1e-15 && a <= 1e15) {
        // The decimal exponent from the binary one, at most one too low (the loop corrects it):
        // a lies in [2^(e−1), 2^e).
        int e = 0;
        std::frexp(a, &e);
        int k = digits - 1 - static_cast<int>(std::floor((e - 1) * 0.30102999566398120));
        for (int tries = 0; tries < 2 && k >= -22 && k <= 22; ++tries) {
            const double p = k >= 0 ? a * kPow10[k] : a / kPow10[-k];
            if (p >= kPow10[digits]) {
                --k;
                continue;
            }
            if (p < kPow10[digits - 1]) {
                ++k;
                continue;
            }
            const double whole = std::floor(p);
            if (std::fabs(p - whole - 0.5) < 1e-5)
                break;
            const double r = p - whole > 0.5 ? whole + 1 : whole;
            return std::copysign(k >= 0 ? r / kPow10[k] : r * kPow10[-k], value);
        }
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    double out = value;
    std::from_chars(buf, r.ptr, out);
    return out;
}

std::optional<std::int32_t> roundToInt32(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = std::nearbyint(value);
    if (r < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

namespace {
std::string withComma(std::string s, char separator) {
    std::replace(s.begin(), s.end(), separator, ',');
    return s;
}
} // namespace

std::string commaFormat(double value, std::string_view pattern) {
    return withComma(formatNumber(value, pattern), numberLocale().decimalSeparator);
}

std::string commaText(double value, int significantDigits) {
    return withComma(numberText(value, significantDigits), numberLocale().decimalSeparator);
}

std::string commaFixed(double value, int decimals) {
    std::array<char, 400> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                 std::chars_format::fixed, std::clamp(decimals, 0, 17));
    return withComma(std::string(buf.data(), r.ec == std::errc() ? r.ptr : buf.data()), '.');
}

} // namespace tresol::platform

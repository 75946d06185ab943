#include "datasheets/SheetSupport.h"

#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tresol::sheets {
namespace {

template <class F> std::string shortest(F value, char decimalSeparator) {
    if (!std::isfinite(value))
        return valueText(Value(value));
    if (value == 0)
        return "0"; // no "-0"
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    std::string out(buf.data(), res.ptr);
    for (char& c : out) {
        if (c == '.')
            c = decimalSeparator;
        else if (c == 'e')
            c = 'E';
    }
    return out;
}

} // namespace

void refuseOperation(std::string_view sheet, std::string_view operation) {
    throw ProgrammingError(std::string(sheet) + " does not support " + std::string(operation));
}

std::string exactText(const Value& v, char decimalSeparator) {
    if (const auto* f = std::get_if<float>(&v))
        return shortest(*f, decimalSeparator);
    if (const auto* d = std::get_if<double>(&v))
        return shortest(*d, decimalSeparator);
    return valueText(v);
}

std::string controlText(const Value& v) {
    return exactText(v, platform::numberLocale().decimalSeparator);
}

} // namespace tresol::sheets

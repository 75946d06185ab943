#include "platform/Value.h"

#include "platform/Numbers.h"

namespace tresol {

std::string valueText(const Value& v) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(std::int32_t i) const { return std::to_string(i); }
        std::string operator()(float f) const { return platform::numberText(f); }
        std::string operator()(double d) const { return platform::numberText(d, 15); }
        std::string operator()(const std::string& s) const { return s; }
    };
    return std::visit(Visitor{}, v);
}

double valueNumber(const Value& v) {
    struct Visitor {
        double operator()(std::monostate) const { return 0.0; }
        double operator()(bool b) const { return b ? -1.0 : 0.0; }
        double operator()(std::int32_t i) const { return i; }
        double operator()(float f) const { return f; }
        double operator()(double d) const { return d; }
        double operator()(const std::string& s) const { return platform::leadingNumber(s); }
    };
    return std::visit(Visitor{}, v);
}

double valueAsTypedNumber(const Value& v) {
    if (const auto* text = std::get_if<std::string>(&v))
        return platform::boxNumber(*text);
    return valueNumber(v);
}

} // namespace tresol

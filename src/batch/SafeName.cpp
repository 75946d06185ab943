#include "batch/SafeName.h"

#include <cctype>

namespace tresol::batch {
namespace {

constexpr std::size_t kLongest = 120;

std::string lowered(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string safeStem(std::string_view id, std::int64_t row) {
    std::string out;
    for (char ch : id) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '_' || c >= 0x80)
            out.push_back(ch);
        else if (c == '.' && !out.empty() && out.back() != '.')
            out.push_back(ch);
        else
            out.push_back('_');
    }
    if (out.size() > kLongest) {
        std::size_t cut = kLongest;
        // Not in the middle of a UTF-8 character.
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
            --cut;
        out.resize(cut);
    }
    while (!out.empty() && out.back() == '.')
        out.pop_back();
    if (out.empty() || out.find_first_not_of('_') == std::string::npos)
        return "fila-" + std::to_string(row);
    return out;
}

std::string SafeNames::take(std::string_view id, std::int64_t row) {
    const std::string stem = safeStem(id, row);
    std::string name = stem;
    for (int n = 2; !used_.insert(lowered(name)).second; ++n)
        name = stem + "-" + std::to_string(n);
    return name;
}

} // namespace tresol::batch

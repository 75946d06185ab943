#include "platform/NumberText.h"

#include <charconv>

namespace tresol::platform {

void appendShortest(std::string& out, double value) {
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

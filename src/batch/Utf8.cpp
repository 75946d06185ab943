#include "batch/Utf8.h"

namespace tresol::batch {

std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80)
        return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF; // the second byte's range
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0; // overlong below U+0800
        else if (c == 0xED)
            hi = 0x9F; // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90; // overlong below U+10000
        else if (c == 0xF4)
            hi = 0x8F; // past U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - i < len)
        return 0;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (second < lo || second > hi)
        return 0;
    for (std::size_t k = 2; k < len; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    return len;
}

bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = utf8SequenceLength(text, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

} // namespace tresol::batch

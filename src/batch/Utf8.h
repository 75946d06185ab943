#pragma once

#include <cstddef>
#include <string_view>

namespace tresol::batch {

// The length of the well-formed UTF-8 sequence starting at text[i] (1 for ASCII), or 0 when the
// bytes there are not one: a stray continuation byte, an overlong form, a surrogate, a code point
// past U+10FFFF or a sequence cut short.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i);

bool isUtf8(std::string_view text);

} // namespace tresol::batch

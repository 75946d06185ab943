#pragma once

#include "platform/ProgrammingError.h"

#include <array>
#include <cstdint>
#include <string>

namespace tresol {

// An RGB colour as the drawing targets keep it.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// The standard 16-colour palette; drawing surfaces take colours as indexes into it.
inline constexpr std::array<Rgb, 16> kQBPalette = {{
    {0, 0, 0},       // 0 black
    {0, 0, 128},     // 1 blue
    {0, 128, 0},     // 2 green
    {0, 128, 128},   // 3 cyan
    {128, 0, 0},     // 4 red
    {128, 0, 128},   // 5 magenta
    {128, 128, 0},   // 6 yellow
    {192, 192, 192}, // 7 white
    {128, 128, 128}, // 8 grey
    {0, 0, 255},     // 9 light blue
    {0, 255, 0},     // 10 light green
    {0, 255, 255},   // 11 light cyan
    {255, 0, 0},     // 12 light red
    {255, 0, 255},   // 13 light magenta
    {255, 255, 0},   // 14 light yellow
    {255, 255, 255}, // 15 bright white
}};

// Palette entry `index`; an index outside 0…15 is a programming error.
inline Rgb qbColor(int index) {
    if (index < 0 || index >= static_cast<int>(kQBPalette.size()))
        throw ProgrammingError("palette index " + std::to_string(index) + " outside 0…15");
    return kQBPalette[static_cast<std::size_t>(index)];
}

} // namespace tresol

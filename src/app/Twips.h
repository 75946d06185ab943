#pragma once

#include <QSize>

namespace tresol::app {

// The windows were first laid out in twips. They give the arrangement and the proportions of the
// controls and the least sizes; at 15 twips a device-independent pixel Qt's scaling does the rest.
constexpr int twips(int t) {
    return (t + 7) / 15;
}

// The original client area of the design window; the window never opens smaller than 1.6 times
// it, and where the screen has room it opens at about twice it, so the drawing and the table
// read well with the platform's font.
constexpr QSize kDesignClientArea{twips(7176), twips(3948)};
constexpr QSize kDesignLeastOpening{(7176 * 16 + 149) / 150, (3948 * 16 + 149) / 150};
constexpr QSize kDesignOpeningSize{kDesignClientArea.width() * 21 / 10,
                                   kDesignClientArea.height() * 21 / 10};

} // namespace tresol::app

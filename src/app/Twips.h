#pragma once

#include <QSize>

namespace tresol::app {

// The windows were described in twips. They give the arrangement and the proportions of the
// controls and the least sizes; at 15 twips a device-independent pixel Qt's scaling does the rest.
constexpr int twips(int t) {
    return (t + 7) / 15;
}

// The described client area of the design window, and the size it opens at: comfortably larger,
// so the drawing and the table read well with the platform's font.
constexpr QSize kDesignClientArea{twips(7176), twips(3948)};
constexpr QSize kDesignOpeningSize{kDesignClientArea.width() * 17 / 10,
                                   kDesignClientArea.height() * 17 / 10};

} // namespace tresol::app

#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

namespace tresol::app {

// Window layouts are given in twips; at 15 twips per device-independent pixel Qt's HiDPI
// scaling does the rest.
constexpr int twips(int t) { return (t + 7) / 15; }

// The layouts were drawn for a small dialog font: keep text inside its boxes.
inline QFont compactFont(QFont f) {
    f.setPixelSize(10);
    return f;
}

inline void placeTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

} // namespace tresol::app

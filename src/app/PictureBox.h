#pragma once

#include <QWidget>

namespace tresol::app {

// The design window's drawing area.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
};

} // namespace tresol::app

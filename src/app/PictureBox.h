#pragma once

#include "drawing/Canvas.h"

#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class QMenu;
class QPrinter;

namespace tresol::app {

// The design window's picture box: a widget that owns a recorded Canvas and paints it. The core
// draws into `canvas()` (a plotter binds to it with IniciaAPelo); every change schedules one
// repaint, and the picture is repainted from the display list whenever it is exposed, so what
// was drawn stays until it is cleared.
//
// The canvas's outer size follows the widget. Before any fit its scale is the widget's pixels;
// a fitted user scale stays as set when the widget is resized, and the painter shows that
// window whole, undistorted and centred, until the owner fits the drawing again (resized()).
// Painting goes straight to the widget at its device pixel ratio, so it is crisp on HiDPI
// screens.
//
// Its context menu saves the picture ("Guardar dibujo…", PNG, SVG or PDF by the file's
// extension), prints it ("Imprimir…") or copies it to the clipboard ("Copiar").
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    Canvas& canvas() { return canvas_; }
    const Canvas& canvas() const { return canvas_; }

    // What the menu entries do, without their dialogs.
    bool saveDrawing(const QString& path) const;
    bool printDrawing(QPrinter& printer) const;
    void copyDrawing() const;
    // The picture as shown, at the screen's pixel ratio.
    QImage drawingImage() const;

    // A new context menu (owned by the caller) with the three entries and those added below.
    QMenu* createContextMenu();
    // An entry of the window's own at the end of the context menu.
    void addMenuAction(const QString& text, std::function<void()> action);

  signals:
    // The box has a new size: a drawing fitted to the old one can be fitted again.
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void updateTextMetrics();
    void askAndSave();
    void askAndPrint();

    Canvas canvas_;
    std::vector<std::pair<QString, std::function<void()>>> extraActions_;
};

} // namespace tresol::app

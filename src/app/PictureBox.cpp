#include "app/PictureBox.h"

#include "app/CanvasPrint.h"
#include "platform/Messages.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace tresol::app {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.setSize(static_cast<float>(width()), static_cast<float>(height()));
    updateTextMetrics();
    canvas_.setChangeCallback([this] { update(); });
}

void PictureBox::updateTextMetrics() {
    canvas_.setTextMetrics(static_cast<float>(QFontInfo(font()).pixelSize()),
                           static_cast<float>(QFontMetricsF(font()).lineSpacing()));
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    render::paintCanvas(p, canvas_, QRectF(rect()), font());
    canvas_.acknowledgeChanges();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    canvas_.setSize(static_cast<float>(width()), static_cast<float>(height()));
    QWidget::resizeEvent(event);
    emit resized();
}

void PictureBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        updateTextMetrics();
    QWidget::changeEvent(event);
}

QImage PictureBox::drawingImage() const {
    return render::canvasImage(canvas_, size(), devicePixelRatioF(), font());
}

bool PictureBox::saveDrawing(const QString& path) const {
    return render::saveCanvas(canvas_, path, size(), devicePixelRatioF(), font());
}

bool PictureBox::printDrawing(QPrinter& printer) const {
    return printCanvas(canvas_, printer, font());
}

void PictureBox::copyDrawing() const {
    QGuiApplication::clipboard()->setImage(drawingImage());
}

QMenu* PictureBox::createContextMenu() {
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("Guardar dibujo…"), this, &PictureBox::askAndSave);
    menu->addAction(QStringLiteral("Imprimir…"), this, &PictureBox::askAndPrint);
    menu->addAction(QStringLiteral("Copiar"), this, &PictureBox::copyDrawing);
    if (!extraActions_.empty())
        menu->addSeparator();
    for (const auto& [text, action] : extraActions_)
        menu->addAction(text, this, action);
    return menu;
}

void PictureBox::addMenuAction(const QString& text, std::function<void()> action) {
    extraActions_.emplace_back(text, std::move(action));
}

void PictureBox::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createContextMenu());
    menu->exec(event->globalPos());
}

void PictureBox::askAndSave() {
    const QString png = QStringLiteral("Imagen PNG (*.png)");
    const QString svg = QStringLiteral("Dibujo SVG (*.svg)");
    const QString pdf = QStringLiteral("Documento PDF (*.pdf)");
    QString filter = png;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Guardar dibujo"),
                                                QStringLiteral("dibujo.png"),
                                                png + ";;" + svg + ";;" + pdf, &filter);
    if (path.isEmpty())
        return;
    // A name without a known extension takes the one of the chosen file type.
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext != "png" && ext != "svg" && ext != "pdf")
        path += filter == svg ? ".svg" : filter == pdf ? ".pdf" : ".png";
    if (!saveDrawing(path))
        platform::showError("No se ha podido guardar el dibujo.");
}

void PictureBox::askAndPrint() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printDrawing(printer))
        platform::showError("No se ha podido imprimir el dibujo.");
}

} // namespace tresol::app

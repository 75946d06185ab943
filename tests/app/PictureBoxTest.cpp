#include "app/PictureBox.h"
#include "drawing/CCuadroDibujo.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace tresol;

TEST(PictureBox, OwnsAndShowsItsCanvas) {
    QWidget window;
    auto* box = new app::PictureBox(&window);
    box->setObjectName("Picture1");
    box->setGeometry(0, 0, 200, 100);
    window.show();
    QApplication::processEvents();
    EXPECT_FLOAT_EQ(box->canvas().Width(), 200);
    EXPECT_FLOAT_EQ(box->canvas().Height(), 100);

    CCuadroDibujo p;
    p.IniciaAPelo(box->canvas());
    p.escala(1.2f);
    p.MargenSinPic(4, 0, 4, 0);
    PointArray line = makePointArray(2);
    line(1, 1) = 2, line(1, 2) = 0;
    line(2, 1) = 2, line(2, 2) = 4;
    p.DibuGener(2, line);
    const QImage shown = box->grab().toImage();
    const qreal dpr = shown.devicePixelRatio();
    EXPECT_NE(shown.pixelColor(int(100 * dpr), int(50 * dpr)), QColor(Qt::white))
        << "the segment through the centre";
    EXPECT_EQ(shown.pixelColor(int(100 * dpr), int(20 * dpr)), QColor(Qt::white));

    box->resize(300, 100);
    QApplication::processEvents();
    EXPECT_FLOAT_EQ(box->canvas().Width(), 300);
    EXPECT_FLOAT_EQ(box->canvas().ScaleLeft() + box->canvas().ScaleWidth(), p.MaxX())
        << "the fitted window stays";
    EXPECT_EQ(box->drawingImage().size(), QSize(300, 100) * box->devicePixelRatioF());
}

TEST(PictureBox, ContextMenuAndSaving) {
    app::PictureBox box;
    box.resize(120, 80);
    const std::unique_ptr<QMenu> menu(box.createContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text();
    EXPECT_EQ(texts, (QStringList{"Guardar dibujo…", "Imprimir…", "Copiar"}));

    box.canvas().Line(10, 10, 100, 70);
    QTemporaryDir dir;
    for (const char* name : {"a.png", "a.svg", "a.pdf"}) {
        EXPECT_TRUE(box.saveDrawing(dir.filePath(name))) << name;
        EXPECT_GT(QFileInfo(dir.filePath(name)).size(), 0) << name;
    }
    EXPECT_FALSE(box.saveDrawing(dir.filePath("a.txt")));
}

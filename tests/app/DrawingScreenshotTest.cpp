#include "WindowTestSupport.h"
#include "app/PictureBox.h"
#include "drawing/CCuadroDibujo.h"
#include "platform/Numbers.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <gtest/gtest.h>

#include <cstdio>

using namespace tresol;
using namespace tresol::test;

// The design window after a beam run, with a 30 × 50 cm section and the bars of the chosen line
// drawn through the plotter into its picture box. Written only when TRESOL_SCREENSHOT_DIR is set.
TEST(DrawingScreenshot, DesignWindowWithASection) {
    const QByteArray dir = qgetenv("TRESOL_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "TRESOL_SCREENSHOT_DIR not set";
    platform::ScopedNumberLocale point('.');
    QPointer<app::frmTresol> frm = new app::frmTresol;
    frm->Ini(1);
    typeInto(frm, "Text1", "10");
    typeInto(frm, "Text2", "30");
    typeInto(frm, "Text3", "50");
    typeInto(frm, "Text4", "3");
    QTest::mouseClick(ctl<QPushButton>(frm, "Command1"), Qt::LeftButton);
    pickRow(frm, 1);
    QApplication::processEvents();

    int count = 5;
    float diameterMm = 16;
    std::sscanf(ctl<QLabel>(frm, "Label8")->text().toStdString().c_str(), "%d %*s %f", &count,
                &diameterMm);
    auto* picture = frm->findChild<app::PictureBox*>("Picture1");
    ASSERT_NE(picture, nullptr);

    // Outline in (Y, Z), height along Y; bars on the face of smallest Y, inside a 3 cm cover.
    const float h = 0.5f, b = 0.3f, cover = 0.03f, r = diameterMm / 2000;
    PointArray outline = makePointArray(5);
    const float yz[5][2] = {
        {-h / 2, -b / 2}, {h / 2, -b / 2}, {h / 2, b / 2}, {-h / 2, b / 2}, {-h / 2, -b / 2}};
    for (int i = 1; i <= 5; ++i) {
        outline(i, 1) = yz[i - 1][0];
        outline(i, 2) = yz[i - 1][1];
    }
    CCuadroDibujo plotter;
    plotter.IniciaAPelo(picture->canvas());
    ICuadro& surface = plotter;
    surface.escala(1.2f);
    surface.MaxMinMargenNoPic(outline, 5);
    surface.PoneQBColor(0);
    surface.DibuGener(5, outline, nullptr, false);
    const float zFirst = -b / 2 + cover + r;
    const float step = count > 1 ? (b - 2 * (cover + r)) / static_cast<float>(count - 1) : 0;
    for (int i = 0; i < count; ++i)
        surface.bolita(zFirst + step * static_cast<float>(i), -h / 2 + cover + r, r);
    QApplication::processEvents();

    QDir().mkpath(QString::fromUtf8(dir));
    EXPECT_TRUE(
        frm->grab().save(QDir(QString::fromUtf8(dir)).filePath("design-window-drawing.png")));
    frm->close();
    QApplication::processEvents();
}

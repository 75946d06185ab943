#include "WindowTestSupport.h"
#include "app/frmAbout.h"

#include <QHeaderView>
#include <QStyle>
#include <gtest/gtest.h>

using namespace tresol;
using namespace tresol::test;

// The platform's font everywhere, no style sheet; the design window opens at 1.6 × the described
// client area of 7176 × 3948 twips at 15 twips a pixel (765.4 × 421.1), resizable and maximizable,
// never smaller than its controls need. (How the picture grows with it: DesignDrawing.)
TEST(WindowLayout, PlatformFontsAndAResizableWindowOfComfortableSize) {
    OpenWindow beam(1);
    app::frmAbout launcher;
    launcher.show();
    QApplication::processEvents();
    for (QWidget* window : {beam.w(), static_cast<QWidget*>(&launcher)}) {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.append(window);
        for (const QWidget* w : widgets) {
            EXPECT_FALSE(w->testAttribute(Qt::WA_SetFont)) << w->objectName().toStdString();
            EXPECT_EQ(w->font().pixelSize(), -1) << w->objectName().toStdString();
        }
        EXPECT_TRUE(window->styleSheet().isEmpty());
    }
    EXPECT_GE(beam->width(), 766);
    EXPECT_GE(beam->height(), 422);
    EXPECT_LT(beam->minimumWidth(), beam->width());
    EXPECT_GE(beam->maximumWidth(), 4000);
    EXPECT_TRUE(beam->windowFlags() & Qt::WindowMaximizeButtonHint);
    beam->resize(100, 100);
    QApplication::processEvents();
    EXPECT_GE(beam->width(), beam->minimumSizeHint().width());
    EXPECT_GE(beam->picture().width(), 100);
}

// Every cell's text fits its column (with the item's margins), no column narrower than the width
// the search gives it (600 twips for the line, 800 for the others) and no sideways scrolling,
// with the window's font and with one twice its size, as at 200 % text scale.
TEST(WindowLayout, TableColumnsFitTheirLines) {
    platform::ScopedNumberLocale point('.');
    OpenWindow column(0);
    ctl<QRadioButton>(column.w(), "Option1", 1)->click();
    column.member("60", "20", nullptr, "6");
    auto* table = ctl<QTableWidget>(column.w(), "MSFlexGrid1");
    const int least[] = {40, 53, 53, 53};
    for (int scale : {1, 2}) {
        QFont f = QApplication::font();
        f.setPointSizeF(f.pointSizeF() * scale);
        table->setFont(f);
        column.arma();
        QApplication::processEvents();
        ASSERT_GT(table->rowCount(), 1);
        const QFontMetrics fm(f);
        const int margins =
            2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
        for (int c = 0; c < 4; ++c) {
            EXPECT_GE(table->columnWidth(c), least[c]) << scale << " column " << c;
            for (int r = 1; r < table->rowCount(); ++r)
                EXPECT_LE(fm.horizontalAdvance(table->item(r, c)->text()) + margins,
                          table->columnWidth(c))
                    << scale << " " << table->item(r, c)->text().toStdString();
        }
        EXPECT_GE(table->verticalHeader()->defaultSectionSize(), fm.height());
        EXPECT_FALSE(table->horizontalScrollBar()->isVisible()) << scale;
    }
}

// A code search's notes are sentences: their column stays a few words wide, each note whole in
// its cell's tip, and the drawing keeps the room it has beside the described list.
TEST(WindowLayout, LongNotesLeaveTheDrawingItsRoom) {
    platform::ScopedNumberLocale point('.');
    OpenWindow column(0);
    ctl<QRadioButton>(column.w(), "OptionBusqueda", 1)->click();
    column.member("35", "60", nullptr, "3");
    column.set("TextCerco", "10");
    column.arma();
    QApplication::processEvents();
    auto* table = ctl<QTableWidget>(column.w(), "MSFlexGrid1");
    ASSERT_GT(table->rowCount(), 1);
    const QString note = table->item(1, 3)->text();
    ASSERT_TRUE(note.contains("9.5.3(4)")) << note.toStdString();
    EXPECT_EQ(table->item(1, 3)->toolTip(), note);
    EXPECT_LT(table->columnWidth(3), table->fontMetrics().horizontalAdvance(note));
    const int coded = column->picture().width();
    ctl<QRadioButton>(column.w(), "OptionBusqueda", 0)->click();
    QApplication::processEvents();
    EXPECT_GE(coded, column->picture().width());
}

#include "WindowTestSupport.h"
#include "app/frmAbout.h"
#include "platform/Numbers.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <gtest/gtest.h>

#include <algorithm>

using namespace tresol;
using namespace tresol::test;

namespace {

// The drawn outline's extent as a fraction of the box, along x and y: world coordinates of the
// segment ends taken to pixels through the canvas's user scale.
std::pair<double, double> outlineFill(const Canvas& c) {
    const auto segs = c.segments();
    if (segs.empty())
        return {0, 0};
    double xmin = segs[0].x1, xmax = xmin, ymin = segs[0].y1, ymax = ymin;
    for (const auto& s : segs)
        for (auto [x, y] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
            xmin = std::min<double>(xmin, x);
            xmax = std::max<double>(xmax, x);
            ymin = std::min<double>(ymin, y);
            ymax = std::max<double>(ymax, y);
        }
    return {(xmax - xmin) / std::fabs(c.ScaleWidth()), (ymax - ymin) / std::fabs(c.ScaleHeight())};
}

std::size_t barsDrawn(const Canvas& c, float radius) {
    const auto circles = c.circles();
    return static_cast<std::size_t>(
        std::count_if(circles.begin(), circles.end(),
                      [&](const auto& k) { return std::fabs(k.r - radius) < 1e-6f; }));
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

} // namespace

// The fit leaves a margin factor of 1.2 around the outline: along the governing direction the
// outline spans 1 / 1.2 of the box, along the other at most that.
TEST(WindowLayout, PictureGrowsWithTheWindowAndItsDrawingIsFittedAgain) {
    platform::ScopedNumberLocale point('.');
    OpenWindow beam(1);
    beam.set("Text1", "10");
    beam.set("Text2", "30");
    beam.set("Text3", "50");
    beam.set("Text4", "3");
    beam.arma();
    pickRow(beam.frm, 1);
    settle();
    auto* table = ctl<QTableWidget>(beam.w(), "MSFlexGrid1");
    const QSize opening = beam->size(), picture = beam->picture().size();
    const int tableHeight = table->height();

    auto fitted = [&](const char* when) {
        const app::PictureBox& p = beam->picture();
        const Canvas& c = beam.canvas();
        EXPECT_EQ(QSizeF(c.Width(), c.Height()), QSizeF(p.size())) << when;
        // Fitted to this size: as many world units a pixel across as up.
        EXPECT_NEAR(std::fabs(c.ScaleWidth()) / c.Width() /
                        (std::fabs(c.ScaleHeight()) / c.Height()),
                    1.0, 1e-3)
            << when;
        const auto [fx, fy] = outlineFill(c);
        EXPECT_NEAR(std::max(fx, fy), 1 / 1.2, 1e-3) << when;
        EXPECT_LE(std::min(fx, fy), 1 / 1.2 + 1e-3) << when;
        EXPECT_EQ(barsDrawn(c, 0.008f), 5u) << when; // 5 fi 16
    };
    fitted("at the opening size");

    beam->resize(1600, 1000);
    settle();
    ASSERT_EQ(beam->size(), QSize(1600, 1000));
    // Every extra pixel goes to the picture; the table takes the extra height too.
    EXPECT_EQ(beam->picture().width() - picture.width(), 1600 - opening.width());
    EXPECT_EQ(beam->picture().height() - picture.height(), 1000 - opening.height());
    EXPECT_EQ(table->height() - tableHeight, 1000 - opening.height());
    fitted("at 1600 x 1000");

    beam->resize(opening);
    settle();
    EXPECT_EQ(beam->picture().size(), picture);
    fitted("back at the opening size");
}

TEST(WindowLayout, PlatformFontsAndAResizableWindowOfComfortableSize) {
    OpenWindow beam(1);
    app::frmAbout launcher;
    launcher.show();
    settle();
    for (QWidget* window : {beam.w(), static_cast<QWidget*>(&launcher)}) {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.append(window);
        for (const QWidget* w : widgets) {
            EXPECT_FALSE(w->testAttribute(Qt::WA_SetFont)) << w->objectName().toStdString();
            EXPECT_EQ(w->font().pixelSize(), -1) << w->objectName().toStdString();
        }
        EXPECT_TRUE(window->styleSheet().isEmpty());
    }
    // 1.6 x the described client area of 7176 x 3948 twips at 15 twips a pixel: 765.4 x 421.1.
    EXPECT_GE(beam->width(), 766);
    EXPECT_GE(beam->height(), 422);
    EXPECT_LT(beam->minimumWidth(), beam->width());
    EXPECT_LT(beam->minimumHeight(), beam->height());
    EXPECT_GE(beam->maximumWidth(), 4000);
    EXPECT_TRUE(beam->windowFlags() & Qt::WindowMaximizeButtonHint);
    // A window can never be made smaller than its controls need.
    beam->resize(100, 100);
    settle();
    EXPECT_GE(beam->width(), beam->minimumSizeHint().width());
    EXPECT_GE(beam->picture().width(), 100);
}

// Every cell's text fits its column (with the item's margins) and no column is narrower than
// the width the search gives it (600 twips for the line, 800 for the others), with the window's
// font and with one twice its size, as at 200 % text scale.
TEST(WindowLayout, TableColumnsFitTheirLines) {
    platform::ScopedNumberLocale point('.');
    OpenWindow column(0);
    ctl<QRadioButton>(column.w(), "Option1", 1)->click();
    column.set("Text1", "60");
    column.set("Text2", "20");
    column.set("Text4", "6");
    auto* table = ctl<QTableWidget>(column.w(), "MSFlexGrid1");
    const int least[] = {40, 53, 53, 53}; // 600 and 800 twips
    for (int scale : {1, 2}) {
        QFont f = QApplication::font();
        f.setPointSizeF(f.pointSizeF() * scale);
        table->setFont(f);
        column.arma();
        settle();
        ASSERT_GT(table->rowCount(), 1);
        const QFontMetrics fm(f);
        // What an item view leaves each side of a text.
        const int margins =
            2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
        for (int c = 0; c < 4; ++c) {
            EXPECT_GE(table->columnWidth(c), least[c]) << scale << " column " << c;
            for (int r = 1; r < table->rowCount(); ++r) {
                const QString t = table->item(r, c)->text();
                EXPECT_LE(fm.horizontalAdvance(t) + margins, table->columnWidth(c))
                    << scale << " " << t.toStdString();
            }
        }
        EXPECT_GE(table->verticalHeader()->defaultSectionSize(), fm.height());
        // The whole table is in view sideways: no scrolling to read a line.
        EXPECT_FALSE(table->horizontalScrollBar()->isVisible()) << scale;
    }
}

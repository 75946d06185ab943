#include "WindowTestSupport.h"

#include <gtest/gtest.h>

using namespace tresol;
using namespace tresol::test;

// The rows whose bars do not all fit on the section (the design run's placeable flag; on the
// 20 cm beam with cover 2 and multiple 5 one row, 20 fi 8) are greyed and say in their tip how
// many fit; a pick draws those that fit and raises the refusals of the others in one box.
TEST(MarkedRows, RowsWhoseBarsDoNotAllFitAreGreyedSaySoAndRaiseOneBox) {
    platform::ScopedNumberLocale point('.');
    CountedBoxes sink;
    OpenWindow run(1);
    run.member("10", "20", "40", "2");
    ctl<QScrollBar>(run.w(), "HScroll1")->setValue(5);
    run.arma();
    QApplication::processEvents();
    ASSERT_TRUE(sink.shown.empty());

    design::Member m;
    m.kind = design::MemberKind::Beam;
    m.areaCm2 = 10, m.coverCm = 2, m.widthCm = 20, m.heightCm = 40, m.multiple = 5;
    const design::RunResult core = design::run(m, {});
    ASSERT_EQ(run->grid().Rows(), static_cast<int>(core.rows().size()) + 1);
    auto* table = ctl<QTableWidget>(run.w(), "MSFlexGrid1");
    const QColor grey = table->palette().color(QPalette::Disabled, QPalette::Text);
    int marked = 0;
    for (const design::Row& row : core.rows()) {
        SCOPED_TRACE(row.line);
        sink.shown.clear();
        pickRow(run.w(), row.number);
        QApplication::processEvents();
        EXPECT_EQ(run.label8(), QString::fromStdString(row.line));
        EXPECT_EQ(barCircles(run.canvas(), static_cast<float>(row.diameterMm / 2000)).size(),
                  static_cast<std::size_t>(row.placed));
        EXPECT_EQ(run->grid().isMarked(row.number), !row.placeable);
        const QTableWidgetItem* item = table->item(row.number, 0);
        if (row.placeable) {
            EXPECT_TRUE(item->toolTip().isEmpty());
            EXPECT_FALSE(item->data(Qt::ForegroundRole).isValid());
            EXPECT_TRUE(sink.shown.empty());
            continue;
        }
        ++marked;
        EXPECT_EQ(item->toolTip().toStdString(), "Solo caben " + std::to_string(row.placed) +
                                                     " de " + std::to_string(row.bars) +
                                                     " redondos");
        for (int c = 0; c < table->columnCount(); ++c)
            EXPECT_EQ(table->item(row.number, c)->foreground().color(), grey) << c;
        EXPECT_EQ(sink.shown,
                  (decltype(sink.shown){
                      {app::QtMessageSink::collapsedText(
                           "Se ha intentado meter un redondo que no cabe", row.bars - row.placed),
                       platform::MsgIcon::Critical}}));
    }
    EXPECT_EQ(marked, 1);
}

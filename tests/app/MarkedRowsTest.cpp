#include "WindowTestSupport.h"
#include "app/QtMessageSink.h"
#include "platform/Numbers.h"

#include <gtest/gtest.h>

#include <set>

using namespace tresol;
using namespace tresol::test;

namespace {

// The Qt sink as the program installs it, counting the boxes it would show.
class CountedBoxes : public app::QtMessageSink {
  public:
    CountedBoxes() : previous_(platform::installMessageSink(this)) {}
    ~CountedBoxes() override { platform::installMessageSink(previous_); }
    std::vector<std::string> boxes;

  protected:
    void present(const std::string& text, platform::MsgIcon) override { boxes.push_back(text); }

  private:
    platform::MessageSink* previous_;
};

std::size_t barsDrawn(const Canvas& c, float radius) {
    std::size_t n = 0;
    for (const auto& k : c.circles())
        n += std::fabs(k.r - radius) < 1e-6f;
    return n;
}

struct MarkCase {
    const char* id;
    int tipo;
    const char *area, *width, *height, *cover;
    int multiple;
    std::set<int> marked;
};

// Hand counts of the bar step along a face against the bar diameter:
// - beam 20 cm, cover 2, multiple 5 (area 10): all bars on one face, their centres spread over
//   0.20 - 2 (0.02 + d/2). 20 fi 8: 0.152 / 19 = 0.008, touching (refused); 15 fi 10:
//   0.150 / 14 = 0.0107 > 0.010; 10 fi 12: 0.148 / 9 = 0.016; 5 fi 16 and 5 fi 20 far apart.
// - beam 30 cm, cover 3 (area 10): 5 fi 16 0.056 apart, 4 fi 20 0.073, 3 fi 25 0.107: clean.
const MarkCase kMarkCases[] = {
    {"beam 20 cover 2 multiple 5", 1, "10", "20", "40", "2", 5, {1}},
    {"clean beam", 1, "10", "30", "50", "3", 1, {}},
};

} // namespace

TEST(MarkedRows, RowsWhoseBarsDoNotAllFitAreGreyedSaySoAndRaiseOneBox) {
    platform::ScopedNumberLocale point('.');
    for (const MarkCase& k : kMarkCases) {
        CountedBoxes sink;
        OpenWindow run(k.tipo);
        run.set("Text1", k.area);
        run.set("Text2", k.width);
        run.set("Text3", k.height);
        run.set("Text4", k.cover);
        ctl<QScrollBar>(run.w(), "HScroll1")->setValue(k.multiple);
        run.arma();
        QApplication::processEvents();
        ASSERT_TRUE(sink.boxes.empty()) << k.id;

        auto* table = ctl<QTableWidget>(run.w(), "MSFlexGrid1");
        const QColor grey = table->palette().color(QPalette::Disabled, QPalette::Text);
        std::set<int> marked;
        for (int row = 1; row < run->grid().Rows(); ++row) {
            const std::string line = run->grid().TextMatrix(row, 0);
            const std::string id = std::string(k.id) + " " + line;
            const QTableWidgetItem* item = table->item(row, 0);
            std::int32_t n = 0, idx = 0;
            std::string ref;
            float d = 0;
            run->diametrosEnUso()->GetNumArmaRefDiam(line, n, ref, idx, d);

            sink.boxes.clear();
            pickRow(run.w(), row);
            QApplication::processEvents();
            EXPECT_EQ(run.label8(), QString::fromStdString(line)) << id;
            const std::size_t drawn = barsDrawn(run.canvas(), d / 2);
            if (run->grid().isMarked(row)) {
                marked.insert(row);
                EXPECT_LT(drawn, static_cast<std::size_t>(n)) << id;
                EXPECT_EQ(item->toolTip().toStdString(), "Solo caben " + std::to_string(drawn) +
                                                             " de " + std::to_string(n) +
                                                             " redondos")
                    << id;
                for (int c = 0; c < table->columnCount(); ++c)
                    EXPECT_EQ(table->item(row, c)->foreground().color(), grey) << id << " " << c;
                // The refusals of one pick, in one box.
                EXPECT_EQ(sink.boxes, std::vector<std::string>{app::QtMessageSink::collapsedText(
                                          "Se ha intentado meter un redondo que no cabe",
                                          n - static_cast<int>(drawn))})
                    << id;
            } else {
                EXPECT_EQ(drawn, static_cast<std::size_t>(n)) << id;
                EXPECT_TRUE(item->toolTip().isEmpty()) << id;
                EXPECT_FALSE(item->data(Qt::ForegroundRole).isValid()) << id;
                EXPECT_TRUE(sink.boxes.empty()) << id;
            }
        }
        EXPECT_EQ(marked, k.marked) << k.id;
    }
}

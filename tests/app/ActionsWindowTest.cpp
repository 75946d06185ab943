#include "WindowTestSupport.h"
#include "design/Diagram.h"

#include <QTabBar>
#include <gtest/gtest.h>

#include <algorithm>

using namespace tresol;
using namespace tresol::test;

namespace {

// The 40 × 40 column of the tests, as the window's boxes hold it.
design::Member column40(double areaCm2, std::optional<design::Actions> actions) {
    design::Member m;
    m.kind = design::MemberKind::Column;
    m.areaCm2 = areaCm2, m.coverCm = 4, m.widthCm = m.heightCm = 40, m.multiple = 4;
    m.actions = actions;
    return m;
}

void typeColumn40(const OpenWindow& w, const char* area, const char* n, const char* my,
                  const char* mz) {
    w.member(area, "40", nullptr, "4");
    for (const auto& [box, text] : {std::pair{"TextNEd", n}, {"TextMyEd", my}, {"TextMzEd", mz}})
        w.set(box, text);
}

std::vector<std::string> utilisations(const design::RunResult& r) {
    std::vector<std::string> out;
    for (const auto& row : r.rows())
        out.push_back(platform::formatNumber(row.utilisation.value(), "#0.00"));
    return out;
}

} // namespace

// The window's table gives the engine's utilisation for each row, failing rows are marked in the
// error colour with the governing check, and the diagram drawn is the engine's curve with the
// design point, fitted to the box at every size.
TEST(ActionsWindow, ColumnShowsTheEnginesUtilisationAndDiagram) {
    platform::ScopedNumberLocale point('.');
    RecordingSink rec;
    OpenWindow w(0);
    typeColumn40(w, "12", "1500", "100", "50");
    ctl<QRadioButton>(w.w(), "OptionBusqueda", 1)->click();
    design::Search ec2{design::SearchKind::EC2, {}};
    ec2.code.aggregateMm = 20;
    const auto expected = design::run(column40(12, design::Actions{1500, 100, 50}), ec2);
    ASSERT_FALSE(expected.rows().empty());
    EXPECT_EQ(w->grid().TextMatrix(0, 4), "Aprov.");
    EXPECT_EQ(gridColumn(*w.frm, 4), utilisations(expected));

    pickRow(w.w(), 1);
    const design::Diagram d = design::interactionDiagram(expected, 1);
    ASSERT_FALSE(d.curve.empty());
    ctl<QTabBar>(w.w(), "TabDibujos")->setCurrentIndex(1);
    for (const QSize size : {QSize(), QSize(1400, 900)}) {
        if (size.isValid())
            w->resize(size);
        QApplication::processEvents();
        const Canvas& c = w->diagram().canvas();
        EXPECT_EQ(QSizeF(c.Width(), c.Height()), QSizeF(w->diagram().size()));
        std::vector<Canvas::Segment> curve, cross;
        for (const auto& s : c.segments()) {
            if (s.pen.color == Rgb{0, 70, 160})
                curve.push_back(s);
            if (s.pen.color == Rgb{200, 0, 0})
                cross.push_back(s);
        }
        ASSERT_EQ(curve.size(), d.curve.size());
        // One map (M across, N up), taken from the curve's extreme points, places every point
        // inside the box and the design point's cross at the action.
        auto scale = [&](auto value, auto at) {
            const auto [lo, hi] = std::minmax_element(
                d.curve.begin(), d.curve.end(),
                [&](const auto& a, const auto& b) { return value(a) < value(b); });
            return (at(curve[std::size_t(hi - d.curve.begin())]) -
                    at(curve[std::size_t(lo - d.curve.begin())])) /
                   (value(*hi) - value(*lo));
        };
        const double kx =
            scale([](const auto& p) { return p.mKnm; }, [](const auto& s) { return double(s.x1); });
        const double ky =
            scale([](const auto& p) { return p.nKn; }, [](const auto& s) { return double(s.y1); });
        ASSERT_TRUE(kx > 0 && ky < 0) << "M to the right, N up";
        const auto x = [&](double mKnm) { return curve[0].x1 + kx * (mKnm - d.curve[0].mKnm); };
        const auto y = [&](double nKn) { return curve[0].y1 + ky * (nKn - d.curve[0].nKn); };
        for (std::size_t i = 0; i < d.curve.size(); ++i) {
            EXPECT_NEAR(curve[i].x1, x(d.curve[i].mKnm), 0.05) << i;
            EXPECT_NEAR(curve[i].y1, y(d.curve[i].nKn), 0.05) << i;
            EXPECT_TRUE(curve[i].x1 >= 0 && curve[i].x1 <= c.Width() && curve[i].y1 >= 0 &&
                        curve[i].y1 <= c.Height())
                << i;
        }
        ASSERT_EQ(cross.size(), 2u);
        EXPECT_NEAR((cross[0].x1 + cross[0].x2) / 2, x(d.action.mKnm), 0.05);
        EXPECT_NEAR((cross[0].y1 + cross[0].y2) / 2, y(d.action.nKn), 0.05);
    }

    // The described list keeps every row: those that do not carry the actions are marked.
    typeColumn40(w, "12", "1500", "145", "72.5");
    ctl<QRadioButton>(w.w(), "OptionBusqueda", 0)->click();
    EXPECT_TRUE(ctl<QLineEdit>(w.w(), "TextHormigon")->isEnabled());
    const auto listed = design::run(column40(12, design::Actions{1500, 145, 72.5}), {});
    EXPECT_EQ(gridColumn(*w.frm, 4), utilisations(listed));
    auto* table = ctl<QTableWidget>(w.w(), "MSFlexGrid1");
    int failing = 0;
    for (const auto& row : listed.rows()) {
        const bool fails = *row.utilisation > 1;
        failing += fails;
        const QTableWidgetItem* cell = table->item(row.number, 4);
        EXPECT_EQ(cell->foreground().color() == QColor(190, 0, 0), fails) << row.line;
        EXPECT_EQ(cell->toolTip().contains(row.governing.c_str()), fails) << row.line;
    }
    EXPECT_GT(failing, 0);
    EXPECT_LT(failing, static_cast<int>(listed.rows().size()));

    // No area: the run finds it from the actions and the window shows it.
    w.set("Text1", "");
    w.arma();
    const auto found = design::run(column40(0, design::Actions{1500, 145, 72.5}), {});
    EXPECT_EQ(ctl<QLineEdit>(w.w(), "Text1")->placeholderText().toStdString(),
              platform::formatNumber(found.areaCm2(), "#0.00"));
    EXPECT_TRUE(ctl<QLabel>(w.w(), "LabelNotas")->text().contains(QString::fromUtf8("área")));
    EXPECT_EQ(gridColumn(*w.frm, 0).size(), found.rows().size());
    EXPECT_TRUE(rec.texts().empty()) << rec.texts().front();
}

// A bad action is refused with one message and changes nothing; emptied actions give today's
// table back. (A member file keeps them: MemberFile.)
TEST(ActionsWindow, BadAndEmptiedActions) {
    platform::ScopedNumberLocale comma(',');
    RecordingSink rec;
    OpenWindow w(0);
    typeColumn40(w, "12", "", "", "");
    w.arma();
    const auto today = gridColumn(*w.frm, 0);
    EXPECT_FALSE(ctl<QLineEdit>(w.w(), "TextHormigon")->isEnabled());
    typeColumn40(w, "12", "1500", "100,5", "-50");
    pickRow(w.w(), 2);
    const auto checkedLines = gridColumn(*w.frm, 4);
    ASSERT_FALSE(checkedLines.front().empty());
    const QString line = w.label8();
    const auto segments = w->diagram().canvas().segments().size();
    ASSERT_TRUE(rec.texts().empty());

    for (const char* bad : {"abc", "NaN", "1e10", "12.5"}) {
        w.set("TextMyEd", bad);
        w.arma();
        ASSERT_EQ(rec.texts().size(), 1u) << bad;
        EXPECT_NE(rec.texts().front().find("M_Ed,y"), std::string::npos) << rec.texts().front();
        EXPECT_EQ(gridColumn(*w.frm, 4), checkedLines) << bad;
        EXPECT_EQ(w.label8(), line) << bad;
        EXPECT_EQ(w->diagram().canvas().segments().size(), segments) << bad;
        rec.clear();
    }
    for (const char* box : {"TextNEd", "TextMyEd", "TextMzEd"})
        w.set(box, "");
    w.arma();
    EXPECT_EQ(gridColumn(*w.frm, 0), today);
    EXPECT_EQ(w->grid().TextMatrix(0, 4), "");
    // No figure of the checked run stays in the utilisation column.
    EXPECT_EQ(gridColumn(*w.frm, 4), std::vector<std::string>(today.size()));
    EXPECT_TRUE(rec.texts().empty());
    // A beam bends in its own plane only.
    OpenWindow beam(1);
    EXPECT_FALSE(ctl<QLineEdit>(beam.w(), "TextMzEd")->isEnabled());
}

#include "WindowTestSupport.h"
#include "design/Design.h"
#include "drawing/DxfCheck.h"

#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tresol;
using namespace tresol::test;

namespace {

// The drawn outline's extent as a fraction of the picture, across and up.
std::pair<double, double> outlineFill(const Canvas& c) {
    double xmin = 1e30, xmax = -1e30, ymin = 1e30, ymax = -1e30;
    for (const auto& s : c.segments())
        for (const auto& [x, y] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
            xmin = std::min<double>(xmin, x), xmax = std::max<double>(xmax, x);
            ymin = std::min<double>(ymin, y), ymax = std::max<double>(ymax, y);
        }
    return {(xmax - xmin) / std::fabs(c.ScaleWidth()), (ymax - ymin) / std::fabs(c.ScaleHeight())};
}

std::vector<std::pair<float, float>> centres(const Canvas& c) {
    std::vector<std::pair<float, float>> out;
    for (const auto& k : barCircles(c, 0.008f))
        out.emplace_back(k.x, k.y);
    return out;
}

} // namespace

// Before a row is picked the bare outline, centred; then the picked row's bars where the design
// run places them, fitted again (equal scales, the outline filling 1/1.2 along the governing
// direction) whenever the window grows.
TEST(DesignDrawing, BeamDrawsItsOutlineAndThePickedBarsFittedAtAnySize) {
    platform::ScopedNumberLocale point('.');
    RecordingSink rec;
    OpenWindow beam(1);
    beam.member("10", "30", "50", "3");
    beam.arma();
    EXPECT_TRUE(barCircles(beam.canvas(), 0.008f).empty());
    ASSERT_FALSE(beam.canvas().segments().empty());
    for (const auto& s : beam.canvas().segments())
        for (const auto& [x, y] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
            EXPECT_NEAR(std::fabs(x), 0.15f, 1e-6) << x << "," << y;
            EXPECT_NEAR(std::fabs(y), 0.25f, 1e-6) << x << "," << y;
        }

    pickRow(beam.frm, 1);
    ASSERT_EQ(beam.label8(), "5 fi 16");
    design::Member m;
    m.kind = design::MemberKind::Beam;
    m.areaCm2 = 10, m.coverCm = 3, m.widthCm = 30, m.heightCm = 50;
    Canvas core(400, 300);
    design::DesignResult::draw(design::design(m).place(1), core);
    ASSERT_EQ(centres(core).size(), 5u);

    const QSize opening = beam->size(), picture = beam->picture().size();
    for (const QSize size : {opening, QSize(1600, 1000)}) {
        beam->resize(size);
        QApplication::processEvents();
        ASSERT_EQ(beam->size(), size);
        EXPECT_EQ(beam->picture().size() - picture, size - opening);
        const Canvas& c = beam.canvas();
        EXPECT_EQ(QSizeF(c.Width(), c.Height()), QSizeF(beam->picture().size()));
        EXPECT_NEAR(std::fabs(c.ScaleWidth()) / c.Width() /
                        (std::fabs(c.ScaleHeight()) / c.Height()),
                    1.0, 1e-3);
        const auto [fx, fy] = outlineFill(c);
        EXPECT_NEAR(std::max(fx, fy), 1 / 1.2, 1e-3);
        EXPECT_EQ(centres(c), centres(core));
    }
    EXPECT_TRUE(rec.texts().empty());

    // Face 1 (largest Y) when the caller asks for it.
    QPointer<frmTresol> top = new frmTresol;
    QTimer::singleShot(0, [&] {
        pickRow(top, 2);
        const auto b = barCircles(top->picture().canvas(), 0.010f);
        ASSERT_EQ(b.size(), 4u);
        EXPECT_NEAR(b[0].y, 0.25f - 0.03f - 0.01f, 1e-6);
        QTest::mouseClick(ctl<QPushButton>(top, "Command2"), Qt::LeftButton);
    });
    EXPECT_EQ(top->Ini(1, {}, 0.001, 0.30, 0.50, 0.03, 1.0), "4 fi 20");
}

TEST(DesignDrawing, ExportsTheDrawnSectionAsDxf) {
    platform::ScopedNumberLocale point('.');
    RecordingSink rec;
    std::string error;
    const tresol::testing::DxfDir dir;
    const std::string path = dir.file("beam.dxf");
    OpenWindow column(0); // nothing drawn before the first run
    EXPECT_FALSE(column->ExportaDxf(path, error));
    EXPECT_EQ(error, "No hay ninguna sección dibujada que exportar.");

    OpenWindow beam(1);
    beam.member("10", "30", "50", "3");
    beam.arma();
    pickRow(beam.frm, 1);
    EXPECT_FALSE(beam.frm->ExportaDxf("/nonexistent-dir/x.dxf", error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(beam.frm->ExportaDxf(path, error)) << error;
    const auto back = tresol::testing::readDxf(path);
    if (!back.skipped.empty())
        GTEST_SKIP() << back.skipped;
    ASSERT_TRUE(back.failure.empty()) << back.failure;
    EXPECT_EQ(back.auditErrors, 0);
    // Read back by an independent reader: the outline, a sphere of the bar radius per bar (the
    // first at the picture's first circle, in the front plane) and the line.
    std::map<std::string, int> count;
    for (const auto& e : back.entities) {
        ++count[e.kind == "POLYLINE3D" ? "LWPOLYLINE" : e.kind];
        if (e.kind == "TEXT") {
            EXPECT_EQ(e.at("text"), "5 fi 16");
        } else if (e.kind == "SPHERE") {
            EXPECT_NEAR(e.number("radius"), 0.008, 1e-4);
            if (count["SPHERE"] == 1) {
                const auto first = barCircles(beam.canvas(), 0.008f).at(0);
                EXPECT_NEAR(e.numbers("centre").at(0), first.x, 1e-4);
                EXPECT_NEAR(e.numbers("centre").at(2), first.y, 1e-4);
            }
        }
    }
    EXPECT_EQ(count["LWPOLYLINE"], 1);
    EXPECT_EQ(count["SPHERE"], 5);
    EXPECT_EQ(count["TEXT"], 1);
    EXPECT_TRUE(rec.texts().empty());

    std::unique_ptr<QMenu> menu(
        beam.frm->findChild<app::PictureBox*>("Picture1")->createContextMenu());
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << a->text();
    EXPECT_TRUE(entries.contains(QString::fromUtf8("Exportar DXF…")));
}

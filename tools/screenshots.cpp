// Pictures of the design window for the documentation, taken from the real windows. See the
// README for the commands (Xvfb at scale 1 and at scale 2; at a device pixel ratio of 2 only the
// scaled pictures are taken).
//
//   tresol-screenshots FOLDER
#include "app/WindowTestSupport.h"

#include <QDir>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolTip>

#include <cstdio>

using namespace tresol;
using namespace tresol::test;

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(20);
    }
}

// The first table row with `bars` bars in all ('4 fi 20 + 12 fi 16' has 16); 0 when none.
int rowWithBars(const app::frmTresol& frm, int bars) {
    const std::vector<std::string> lines = gridColumn(frm, 0);
    for (std::size_t r = 0; r < lines.size(); ++r) {
        int n = 0;
        for (const QString& group : QString::fromStdString(lines[r]).split('+'))
            n += group.trimmed().section(' ', 0, 0).toInt();
        if (n == bars)
            return static_cast<int>(r) + 1;
    }
    return 0;
}

using Boxes = std::vector<std::pair<const char*, const char*>>;
const Boxes kBeam = {{"Text1", "10"}, {"Text2", "30"}, {"Text3", "50"}, {"Text4", "3"}};

struct Shot {
    std::string name;
    int kind, search, multiple, row; // row 0: the first of 16 bars
    Boxes boxes;
};

// Each picture that could not be taken or written, named on standard error.
int failures = 0;
void fail(const std::string& what) {
    std::fprintf(stderr, "tresol-screenshots: %s\n", what.c_str());
    ++failures;
}

void save(const QPixmap& shot, const QDir& out, const std::string& name) {
    if (shot.width() < 1000)
        fail(name + ": the picture is narrower than 1000 pixels");
    if (!shot.save(out.filePath(QString::fromStdString(name))))
        fail(name + ": cannot be written");
}

void takeAll(const QDir& out) {
    RecordingSink quiet; // a refused bar's box would cover the picture
    Boxes linkBeam = kBeam;
    linkBeam.emplace_back("TextCerco", "8");
    // A 40 × 40 column checked against its actions under EC2 (the utilisation column and the
    // picked row's interaction diagram); the beam as listed and under the EC2 clear spacing; a
    // hexagon, also maximised; with a link, the beam and a 60 × 60 column of 16 bars with its
    // crossties, drawn as a detailer draws them.
    std::vector<Shot> shots = {
        {"design-window-actions",
         0,
         1,
         4,
         1,
         {{"Text1", "12"},
          {"Text2", "40"},
          {"Text4", "4"},
          {"TextNEd", "1500"},
          {"TextMyEd", "100"},
          {"TextMzEd", "50"}}},
        {"design-window", 1, 0, 1, 1, kBeam},
        {"design-window-ec2", 1, 1, 1, 1, kBeam},
        {"design-window-hexagon", 0, 0, 6, 2, {{"Text1", "30"}, {"Text2", "40"}, {"Text4", "4"}}},
        {"design-window-link-beam", 1, 1, 1, 1, linkBeam},
        {"design-window-link-column",
         0,
         1,
         4,
         0,
         {{"Text1", "35"}, {"Text2", "60"}, {"Text4", "3"}, {"TextCerco", "10"}}},
    };
    const bool scaled = qApp->devicePixelRatio() >= 2;
    if (scaled)
        shots = {shots[0], shots[1]};
    for (const Shot& shot : shots) {
        OpenWindow w(shot.kind);
        ctl<QRadioButton>(w.frm, "OptionBusqueda", shot.search)->click();
        for (const auto& [box, text] : shot.boxes)
            typeInto(w.frm, box, text);
        ctl<QScrollBar>(w.frm, "HScroll1")->setValue(shot.multiple);
        w.arma();
        const int row = shot.row ? shot.row : rowWithBars(*w.frm, 16);
        if (row <= 0) {
            fail(shot.name + ": no row of 16 bars");
            continue;
        }
        pickRow(w.frm, row);
        if (shot.name.ends_with("actions")) { // its diagram, the titles in view
            ctl<QTabBar>(w.frm, "TabDibujos")->setCurrentIndex(1);
            ctl<QTableWidget>(w.frm, "MSFlexGrid1")->scrollToTop();
        }
        settle();
        save(w.frm->grab(), out, shot.name + (scaled ? "-scale2.png" : ".png"));
        if (shot.name.ends_with("hexagon")) {
            // Maximised on a 1600 x 1000 screen: the window manager's part done by hand, as
            // Xvfb runs none.
            w->showMaximized();
            w->setGeometry(w->screen()->availableGeometry());
            settle();
            save(w.frm->grab(), out, "design-window-maximised.png");
        }
    }
    if (scaled)
        return;
    // A marked row and its tool tip: a picture of the screen, where the tip is a window of its
    // own.
    OpenWindow beam(1);
    beam.member("10", "20", "40", "2");
    ctl<QScrollBar>(beam.frm, "HScroll1")->setValue(5);
    pickRow(beam.frm, 1); // 20 fi 8, drawn with the 16 bars that fit
    auto* table = ctl<QTableWidget>(beam.frm, "MSFlexGrid1");
    // Hovering the empty end of the row, so the tip leaves the lines readable.
    const QRect cell = table->visualItemRect(table->item(1, 4));
    const QPoint at = table->viewport()->mapToGlobal(cell.center());
    QTest::mouseMove(table->viewport(), cell.center());
    QToolTip::showText(at, table->item(1, 4)->toolTip(), table->viewport());
    settle();
    const QRect frame = beam->frameGeometry();
    save(beam->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()), out,
         "design-window-marked.png");
    QToolTip::hideText();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tresol-screenshots FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists()) {
        std::fprintf(stderr, "tresol-screenshots: no folder %s\n", argv[1]);
        return 2;
    }
    // The windows remember their member in a scratch place, never the user's settings.
    const QTemporaryDir settings;
    QCoreApplication::setOrganizationName("TresolScreenshots");
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    platform::ScopedNumberLocale point('.');
    takeAll(out);
    return failures == 0 ? 0 : 1;
}

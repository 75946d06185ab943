// A seeded random walk over the design windows: typing ordinary and hostile text into every box,
// moving the multiple, switching series and search, "Arma!", picking rows, resizing and exporting.
// It fails on a programming error, on an action slower than its budget, or on an action that would
// raise more than one message box (a burst of identical messages is one box, as the application's
// sink shows it).
//
// TRESOL_MONKEY_SEED replays a walk; TRESOL_MONKEY_ACTIONS sets the actions per window kind.

#include "WindowTestSupport.h"
#include "platform/ProgrammingError.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

using namespace tresol;
using namespace tresol::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer slows an action that places and draws many bars up to about 18 times (picking a
// row of a 10 m hexagon: 52 ms optimized, 0.96 s under the sanitizers).
constexpr double kSlowdown = 20.0;
#elif !defined(__OPTIMIZE__)
// Unoptimized builds (the coverage build) slow a run that draws a thousand bars about this much.
constexpr double kSlowdown = 6.0;
#else
constexpr double kSlowdown = 1.0;
#endif
// An interactive step; writing a file of a drawing with a thousand bars (a DXF in particular,
// about 0.7 s) has a budget of its own.
constexpr double kBudgetMs = 100.0 * kSlowdown, kExportBudgetMs = 2000.0 * kSlowdown;

// Time this thread spent running: a wall-clock overrun while other processes held the CPU (or
// the disk held an export) is the machine's, not the action's.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long envNumber(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

class Monkey {
  public:
    Monkey(unsigned seed, const QString& dir) : rng_(seed), dir_(dir) {}

    // One random action; its name for the failure message.
    std::string act(OpenWindow* win) {
        QWidget* w = win->w();
        switch (pick(0, 10)) {
        default: { // 0…3: type into a box
            static const char* const boxes[] = {"Text1",   "Text2",    "Text3",
                                                "Text4",   "Text5",    "TextArido",
                                                "TextNEd", "TextMyEd", "TextMzEd"};
            const char* box = boxes[pick(0, 8)];
            auto* edit = ctl<QLineEdit>(w, box);
            const QString t = QString::fromStdString(text());
            if (!edit->isEnabled())
                return std::string("type into disabled ") + box;
            // Short ASCII texts key by key as a user types (QTest keys ASCII only); the rest
            // pasted.
            if (t.size() <= 24 && t.toLatin1() == t.toUtf8()) {
                edit->selectAll();
                QTest::keyClicks(edit, t);
            } else {
                edit->setText(t);
            }
            return "type '" + t.left(40).toStdString() + "' into " + box;
        }
        case 4: {
            auto* s = ctl<QScrollBar>(w, "HScroll1");
            if (!s->isEnabled())
                return "scroll disabled";
            s->setValue(pick(s->minimum(), s->maximum()));
            return "multiple " + std::to_string(s->value());
        }
        case 5: {
            const int i = pick(0, 4);
            if (i < 2)
                QTest::mouseClick(ctl<QRadioButton>(w, "Option1", i), Qt::LeftButton);
            else
                ctl<QRadioButton>(w, "OptionBusqueda", i - 2)->click();
            return (i < 2 ? "series " : "search ") + std::to_string(i < 2 ? i : i - 2);
        }
        case 6:
        case 7:
            win->arma();
            return "Arma!";
        case 8: {
            const int rows = win->frm->grid().Rows();
            if (rows < 2)
                return "no row to pick";
            const int r = pick(1, rows - 1);
            pickRow(w, r);
            return "pick row " + std::to_string(r);
        }
        case 9: {
            const int width = pick(50, 1600), height = pick(50, 1200);
            w->resize(width, height);
            QApplication::processEvents();
            return "resize " + std::to_string(width) + "x" + std::to_string(height);
        }
        case 10: { // the picture as an image or a plan drawing
            const std::string kind =
                std::vector<std::string>{"dxf", "png", "svg", "pdf"}[pick(0, 3)];
            const std::string path = QDir(dir_).filePath("m.").toStdString() + kind;
            std::string error;
            if (kind == "dxf")
                (void)win->frm->ExportaDxf2D(path, error);
            else
                (void)win->frm->picture().saveDrawing(QString::fromStdString(path));
            return "export " + kind;
        }
        }
    }

  private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string text() {
        switch (pick(0, 4)) {
        case 0: { // hostile, one of these '|'-separated texts
            static const std::string hostile = "| |0|-1|1e308|-1e308|1e-400|NaN|nan|inf|-inf|1,5|"
                                               "12,5 cm|1.5|abc|1e|.|-|1e39|3e38|0.00001|"
                                               "99999999999999999999999|١٢|0x10|1 2|+5|5.|1E+15";
            std::vector<std::string> all;
            std::istringstream in(hostile);
            for (std::string t; std::getline(in, t, '|');)
                all.push_back(t);
            return all[static_cast<std::size_t>(pick(0, static_cast<int>(all.size()) - 1))];
        }
        case 1: { // random printable, or long
            std::string s;
            for (int i = pick(0, 12); i > 0; --i)
                s += static_cast<char>(pick(32, 126));
            return pick(0, 3) ? s : std::string(static_cast<std::size_t>(pick(100, 5000)), '9');
        }
        default: { // a plausible value, so that runs find candidates and draw bars
            const double v =
                std::uniform_real_distribution<double>(0, 1)(rng_) * std::pow(10.0, pick(0, 3));
            return platform::numberText(v, pick(1, 6));
        }
        }
    }

    std::mt19937 rng_;
    QString dir_;
};

} // namespace

TEST(Monkey, RandomActionsOnBothWindowKinds) {
    const unsigned seed = static_cast<unsigned>(
        envNumber("TRESOL_MONKEY_SEED", static_cast<long>(std::random_device{}() & 0x7fffffff)));
    const long actions = envNumber("TRESOL_MONKEY_ACTIONS", 10000); // about 11 s a walk
    std::cout << "monkey seed " << seed << " (replay with TRESOL_MONKEY_SEED=" << seed << "), "
              << actions << " actions per window kind" << std::endl;
    RecordProperty("seed", std::to_string(seed));
    platform::ScopedNumberLocale point('.');
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (int tipo : {0, 1}) {
        platform::RecordingSink rec;
        Monkey monkey(seed + static_cast<unsigned>(tipo), dir.path());
        auto* win = new OpenWindow(tipo);
        for (long i = 0; i < actions; ++i) {
            const std::size_t before = rec.entries().size();
            const auto t0 = std::chrono::steady_clock::now();
            const double cpu0 = threadCpuMs();
            std::string what;
            try {
                what = monkey.act(win);
                QApplication::processEvents();
            } catch (const ProgrammingError& e) {
                FAIL() << "seed " << seed << ", kind " << tipo << ", action " << i
                       << ": programming error " << e.what();
            }
            const std::string at = "seed " + std::to_string(seed) + ", kind " +
                                   std::to_string(tipo) + ", action " + std::to_string(i) + ": " +
                                   what;
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count();
            const double budget = what.starts_with("export") ? kExportBudgetMs : kBudgetMs;
            ASSERT_TRUE(ms <= budget || threadCpuMs() - cpu0 <= budget) << ms << " ms, " << at;
            // The boxes the action would raise: the sink shows a run of identical messages once.
            const auto& e = rec.entries();
            int boxes = 0;
            for (std::size_t k = before; k < e.size(); ++k)
                boxes += k == before || e[k].text != e[k - 1].text || e[k].icon != e[k - 1].icon;
            ASSERT_LE(boxes, 1) << at << " raised '" << e[before].text << "' and '" << e.back().text
                                << "'";
            if (e.size() > 1000) // keep the record short on long walks
                rec.clear();
        }
        delete win;
    }
}

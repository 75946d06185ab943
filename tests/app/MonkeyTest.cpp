// A seeded random walk over the design windows: typing ordinary and hostile text into every box,
// moving the multiple, switching series and search, "Arma!", picking rows, resizing, exporting and
// leaving. It fails on a programming error, on an action slower than its budget, or on an action
// that would raise more than one message box (a burst of identical messages is one box, as the
// application's sink shows it).
//
// TRESOL_MONKEY_SEED replays a walk; TRESOL_MONKEY_ACTIONS sets the actions per window kind.

#include "WindowTestSupport.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <random>
#include <string>

using namespace tresol;
using namespace tresol::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The sanitizers slow the slowest action (a design run that draws a thousand bars) by about this
// much; the budget is the same action budget scaled by it.
constexpr double kSlowdown = 6.0;
#else
constexpr double kSlowdown = 1.0;
#endif
// About 11 s a walk as built for use, 80 s under the sanitizers.
constexpr long kDefaultActions = 10000;
constexpr double kBudgetMs = 100.0 * kSlowdown;
// Writing a file of a drawing with a thousand bars (a DXF in particular, about 0.7 s) is not an
// interactive step; it has a budget of its own until the exporters are made faster.
constexpr double kExportBudgetMs = 2000.0 * kSlowdown;

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

// Boxes an action would raise: the application's sink shows a run of identical messages once.
int boxes(const std::vector<platform::RecordingSink::Entry>& e, std::size_t from) {
    int n = 0;
    for (std::size_t i = from; i < e.size(); ++i)
        if (i == from || e[i].text != e[i - 1].text || e[i].icon != e[i - 1].icon)
            ++n;
    return n;
}

class Monkey {
  public:
    Monkey(unsigned seed, int tipo, const QString& dir) : rng_(seed), tipo_(tipo), dir_(dir) {}

    // One random action; its name for the failure message.
    std::string act(OpenWindow*& win) {
        QWidget* w = win->w();
        switch (pick(0, 11)) {
        case 0:
        case 1:
        case 2:
        case 3: {
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
            const bool typeable = t.size() <= 24 && std::all_of(t.begin(), t.end(), [](QChar c) {
                                      return c.unicode() >= 32 && c.unicode() < 127;
                                  });
            if (typeable) {
                edit->selectAll();
                QTest::keyClicks(edit, t);
            } else {
                edit->setText(t);
            }
            return std::string("type '") + t.left(40).toStdString() + "' into " + box;
        }
        case 4: {
            auto* s = ctl<QScrollBar>(w, "HScroll1");
            if (!s->isEnabled())
                return "scroll disabled";
            const int v = pick(s->minimum(), s->maximum());
            s->setValue(v);
            return "multiple " + std::to_string(v);
        }
        case 5: {
            const int i = pick(0, 4);
            if (i < 2) {
                QTest::mouseClick(ctl<QRadioButton>(w, "Option1", i), Qt::LeftButton);
                return "series " + std::to_string(i);
            }
            ctl<QRadioButton>(w, "OptionBusqueda", i - 2)->click();
            return "search " + std::to_string(i - 2);
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
        case 10: {
            static const char* const kinds[] = {"dxf", "png", "svg", "pdf"};
            const std::string kind = kinds[pick(0, 3)];
            const QString path = QDir(dir_).filePath(QString::fromStdString("m." + kind));
            if (kind == "dxf") {
                std::string error;
                (void)(pick(0, 1) ? win->frm->ExportaDxf2D(path.toStdString(), error)
                                  : win->frm->ExportaDxf(path.toStdString(), error));
            } else {
                (void)win->frm->picture().saveDrawing(path);
            }
            return "export " + kind;
        }
        default: {
            if (pick(0, 20) != 0)
                return "nothing";
            // "Salir" ends the window: a fresh one takes its place.
            QTest::mouseClick(ctl<QPushButton>(w, "Command2"), Qt::LeftButton);
            delete win;
            win = new OpenWindow(tipo_);
            return "Salir and reopen";
        }
        }
    }

  private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string text() {
        static const char* const hostile[] = {"",        " ",
                                              "0",       "-1",
                                              "1e308",   "-1e308",
                                              "1e-400",  "NaN",
                                              "nan",     "inf",
                                              "-inf",    "1,5",
                                              "12,5 cm", "1.5",
                                              "abc",     "1e",
                                              ".",       "-",
                                              "1e39",    "3e38",
                                              "0.00001", "99999999999999999999999",
                                              "١٢",      "0x10",
                                              "1 2",     "+5",
                                              "5.",      "1E+15"};
        switch (pick(0, 5)) {
        case 0:
            return hostile[pick(0, static_cast<int>(std::size(hostile)) - 1)];
        case 1: // long
            return std::string(static_cast<std::size_t>(pick(100, 5000)), "9.,e-a"[pick(0, 5)]);
        case 2: { // random printable
            std::string s;
            for (int i = pick(0, 12); i > 0; --i)
                s += static_cast<char>(pick(32, 126));
            return s;
        }
        default: { // a plausible value, so that runs find candidates and draw bars
            static const double scale[] = {1, 10, 100, 1000};
            const double v = std::uniform_real_distribution<double>(0, 1)(rng_) * scale[pick(0, 3)];
            return platform::numberText(v, pick(1, 6));
        }
        }
    }

    std::mt19937 rng_;
    int tipo_;
    QString dir_;
};

} // namespace

TEST(Monkey, RandomActionsOnBothWindowKinds) {
    const unsigned seed = static_cast<unsigned>(
        envNumber("TRESOL_MONKEY_SEED", static_cast<long>(std::random_device{}() & 0x7fffffff)));
    const long actions = envNumber("TRESOL_MONKEY_ACTIONS", kDefaultActions);
    std::cout << "monkey seed " << seed << " (replay with TRESOL_MONKEY_SEED=" << seed << "), "
              << actions << " actions per window kind, budget " << kBudgetMs << " ms" << std::endl;
    RecordProperty("seed", std::to_string(seed));
    platform::ScopedNumberLocale point('.');
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    for (int tipo : {0, 1}) {
        platform::RecordingSink rec;
        Monkey monkey(seed + static_cast<unsigned>(tipo), tipo, dir.path());
        auto* win = new OpenWindow(tipo);
        double worst = 0;
        std::string worstAction;
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
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count();
            if (ms > worst && what.rfind("export", 0) != 0) {
                worst = ms;
                worstAction = what;
            }
            const double cpu = threadCpuMs() - cpu0;
            const double budget = what.rfind("export", 0) == 0 ? kExportBudgetMs : kBudgetMs;
            ASSERT_TRUE(ms <= budget || cpu <= budget)
                << ms << " ms (" << cpu << " ms running), seed " << seed << ", kind " << tipo
                << ", action " << i << ": " << what;
            ASSERT_LE(boxes(rec.entries(), before), 1)
                << "seed " << seed << ", kind " << tipo << ", action " << i << ": " << what
                << " raised '" << rec.entries()[before].text << "' and '"
                << rec.entries().back().text << "'";
            // Keep the record short on long walks.
            if (rec.entries().size() > 1000)
                rec.clear();
        }
        std::cout << "kind " << tipo << ": " << actions << " actions, worst " << worst << " ms ("
                  << worstAction << ")" << std::endl;
        delete win;
    }
}

#pragma once

#include "app/PictureBox.h"
#include "app/QtGrid.h"
#include "app/QtMessageSink.h"
#include "app/frmTresol.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <cmath>
#include <string>
#include <vector>

namespace tresol::test {

using app::frmTresol;
using platform::RecordingSink;
using Lines = std::vector<std::string>;

// Finds a control of a window by its name (and control-array index, where it has one).
template <class W> W* ctl(QWidget* window, const char* name, int index = -1) {
    for (W* w : window->findChildren<W*>(name))
        if (index < 0 || w->property("index").toInt() == index)
            return w;
    return nullptr;
}

// A design window opened as the launcher opens it, closed at the end of the test.
struct OpenWindow {
    QPointer<app::frmTresol> frm = new app::frmTresol;
    explicit OpenWindow(int tipo) { frm->Ini(tipo); }
    // One already opened, closed at the end of the test all the same.
    explicit OpenWindow(app::frmTresol* opened) : frm(opened) {}
    ~OpenWindow() {
        if (frm)
            frm->close();
        QApplication::processEvents();
    }
    app::frmTresol* operator->() const { return frm; }
    QWidget* w() const { return frm; }
    QString label8() const { return ctl<QLabel>(w(), "Label8")->text(); }
    void set(const char* box, const QString& t) const { ctl<QLineEdit>(w(), box)->setText(t); }
    // The member's boxes: area, width, height (a column's repeats its width) and cover.
    void member(const char* area, const char* width, const char* height, const char* cover) const {
        set("Text1", area);
        set("Text2", width);
        if (height)
            set("Text3", height);
        set("Text4", cover);
    }
    void arma() const { QTest::mouseClick(ctl<QPushButton>(w(), "Command1"), Qt::LeftButton); }
    const Canvas& canvas() const { return frm->picture().canvas(); }
};

// The Qt sink as the program installs it, keeping the boxes it would show.
class CountedBoxes : public app::QtMessageSink {
  public:
    CountedBoxes() : previous_(platform::installMessageSink(this)) {}
    ~CountedBoxes() override { platform::installMessageSink(previous_); }
    std::vector<std::pair<std::string, platform::MsgIcon>> shown;

  protected:
    void present(const std::string& text, platform::MsgIcon icon) override {
        shown.emplace_back(text, icon);
    }

  private:
    platform::MessageSink* previous_;
};

// The bars drawn: circles of a bar's radius (the plotter adds marks of its own).
inline std::vector<Canvas::CircleShape> barCircles(const Canvas& c, float radius) {
    std::vector<Canvas::CircleShape> out;
    for (const auto& k : c.circles())
        if (std::fabs(k.r - radius) < 1e-6f)
            out.push_back(k);
    return out;
}

inline std::vector<std::string> gridColumn(const app::frmTresol& frm, int column) {
    std::vector<std::string> out;
    for (int r = 1; r < frm.grid().Rows(); ++r)
        out.push_back(frm.grid().TextMatrix(r, column));
    return out;
}

inline void typeInto(QWidget* window, const char* box, const QString& text) {
    auto* edit = ctl<QLineEdit>(window, box);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    if (edit->text() != text)
        edit->setText(text);
}

// Picks a table row as the user would: a click on its first data cell.
inline void pickRow(QWidget* window, int row) {
    auto* table = ctl<QTableWidget>(window, "MSFlexGrid1");
    table->scrollToItem(table->item(row, 1));
    const QRect r = table->visualItemRect(table->item(row, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
}

// A whole file, or nothing when it cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace tresol::test

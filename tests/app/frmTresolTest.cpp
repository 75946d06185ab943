#include "WindowTestSupport.h"
#include "app/frmAbout.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace tresol;
using namespace tresol::test;

TEST(frmTresol, ColumnAndBeamWindowsOpenAsDescribed) {
    platform::ScopedNumberLocale point('.');
    OpenWindow column(0);
    EXPECT_TRUE(column->isVisible());
    EXPECT_EQ(column->windowTitle(), "Arma pilar");
    auto* text3 = ctl<QLineEdit>(column.w(), "Text3");
    EXPECT_FALSE(text3->isEnabled());
    EXPECT_EQ(text3->text(), "100");
    typeInto(column.w(), "Text2", "45");
    EXPECT_EQ(text3->text(), "45");
    auto* scroll = ctl<QScrollBar>(column.w(), "HScroll1");
    EXPECT_EQ(std::tuple(scroll->value(), scroll->minimum(), scroll->maximum()),
              std::tuple(4, 4, 10));
    EXPECT_EQ(column->GetNumLados(), 4);
    EXPECT_EQ(column->GetTipoNorma(), "Euro");

    OpenWindow beam(1);
    EXPECT_EQ(beam->windowTitle(), "Arma viga");
    // Its multiple moved from 4 to 1: a first run with the defaults drew the 100 x 200 outline.
    EXPECT_EQ(ctl<QLineEdit>(beam.w(), "Text5")->text(), "1");
    EXPECT_FALSE(beam->picture().canvas().segments().empty());
    EXPECT_TRUE(column->picture().canvas().items().empty());
    EXPECT_EQ(ctl<QScrollBar>(beam.w(), "HScroll1")->minimum(), 1);
    EXPECT_TRUE(ctl<QLineEdit>(beam.w(), "Text3")->isEnabled());
    typeInto(beam.w(), "Text2", "45");
    EXPECT_EQ(ctl<QLineEdit>(beam.w(), "Text3")->text(), "200"); // a beam keeps its height
    EXPECT_NE(column->diametrosEnUso(), beam->diametrosEnUso());
    EXPECT_EQ(ctl<QLineEdit>(beam.w(), "TextCerco")->parentWidget(),
              ctl<QLineEdit>(beam.w(), "TextArido")->parentWidget());

    // "Salir" sits under the picture, on its right.
    EXPECT_TRUE(ctl<QPushButton>(beam.w(), "Command1")->isDefault());
    const QRect salir = ctl<QPushButton>(beam.w(), "Command2")->geometry();
    const QRect picture = beam->picture().geometry();
    EXPECT_GE(salir.top(), picture.bottom());
    EXPECT_EQ(salir.right(), picture.right());
}

// The described list in the table; a pick shows its line, which "Arma!" keeps; an area that is
// not a number is refused with one message, the table and the line left as they were.
TEST(frmTresol, BeamDesignListsCandidatesAndShowsThePickedLine) {
    platform::ScopedNumberLocale point('.');
    RecordingSink rec;
    OpenWindow beam(1);
    beam.arma(); // area 0: no candidate
    EXPECT_EQ(beam->grid().Rows(), 1);
    EXPECT_EQ(beam.label8(), "");

    beam.member("10", "30", nullptr, "3");
    beam.arma();
    const Lines lines{"5 fi 16", "4 fi 20", "3 fi 25"};
    EXPECT_EQ(gridColumn(*beam.frm, 0), lines);
    EXPECT_EQ(gridColumn(*beam.frm, 3), (Lines{"fi 16 c/5", "fi 20 c/7", "fi 25 c/10"}));
    pickRow(beam.w(), 3);
    EXPECT_EQ(beam.label8(), "3 fi 25");
    beam.arma(); // redone with the current row
    EXPECT_EQ(beam.label8(), "3 fi 25");
    beam->ArmaSeccion(99); // a row beyond the last uses the last
    EXPECT_EQ(beam.label8(), "3 fi 25");
    EXPECT_TRUE(rec.texts().empty());

    rec.clear();
    typeInto(beam.w(), "Text1", "abc");
    beam.arma();
    ASSERT_EQ(rec.entries().size(), 1u);
    EXPECT_EQ(rec.entries()[0].text, "Debe de introducir un número.");
    EXPECT_EQ(rec.entries()[0].icon, platform::MsgIcon::Critical);
    EXPECT_EQ(gridColumn(*beam.frm, 0), lines);
    EXPECT_EQ(beam.label8(), "3 fi 25");
    // Enter in a box presses the default button.
    beam.set("Text1", "10");
    QTest::keyClick(ctl<QLineEdit>(beam.w(), "Text1"), Qt::Key_Return);
    EXPECT_EQ(beam->grid().Rows(), 4);
}

TEST(frmTresol, ModalIniReturnsTheAcceptedLine) {
    platform::ScopedNumberLocale point('.');
    RecordingSink rec;
    {
        QPointer<frmTresol> frm = new frmTresol;
        QTimer::singleShot(0, [&] {
            EXPECT_FALSE(ctl<QLineEdit>(frm, "Text1")->isEnabled());
            EXPECT_FALSE(ctl<QScrollBar>(frm, "HScroll1")->isEnabled());
            EXPECT_EQ(ctl<QLineEdit>(frm, "Text1")->text(), "20.00");
            EXPECT_EQ(gridColumn(*frm, 0), (Lines{"28 fi 10", "20 fi 12", "12 fi 16", "8 fi 20"}));
            pickRow(frm, 3);
            QTest::mouseClick(ctl<QPushButton>(frm, "Command2"), Qt::LeftButton);
        });
        EXPECT_EQ(frm->Ini(0, {}, 0.002, 0.40, 0.40, 0.03, 2.0), "12 fi 16");
    }
    // Closed by its frame: nothing accepted.
    {
        QPointer<frmTresol> frm = new frmTresol;
        QTimer::singleShot(0, [&] {
            pickRow(frm, 1);
            frm->close();
        });
        EXPECT_EQ(frm->Ini(1, {}, 0.001, 0.30, 0.50, 0.03), "");
    }
    // A supplied "Mex" catalogue is kept and cannot be changed.
    {
        auto mex = std::make_shared<Cdiametro>();
        mex->Ini("Mex", "m", false, true);
        QPointer<frmTresol> frm = new frmTresol;
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(ctl<QRadioButton>(frm, "Option1", 1)->isChecked());
            EXPECT_FALSE(ctl<QRadioButton>(frm, "Option1", 0)->isEnabled());
            EXPECT_FALSE(ctl<QRadioButton>(frm, "Option1", 1)->isEnabled());
            EXPECT_EQ(frm->diametrosEnUso(), mex);
            EXPECT_EQ(frm->GetPlanoArmado(), 1);
            pickRow(frm, 1);
            QTest::mouseClick(ctl<QPushButton>(frm, "Command2"), Qt::LeftButton);
        });
        EXPECT_EQ(frm->Ini(1, mex, 0.001, 0.30, 0.50, 0.03, 1.0), "5 # 5");
    }
    // A member kind other than column or beam closes the window at once.
    {
        QPointer<frmTresol> frm = new frmTresol;
        EXPECT_EQ(frm->Ini(2, {}, 0.001, 0.30, 0.50, 0.03), "");
        QApplication::processEvents();
        EXPECT_FALSE(frm && frm->isVisible());
    }
    EXPECT_TRUE(rec.texts().empty());
}

TEST(frmAbout, LauncherOpensOneWindowPerPress) {
    app::frmAbout launcher;
    launcher.show();
    QTest::mouseClick(ctl<QPushButton>(&launcher, "Command1"), Qt::LeftButton);
    QPointer<frmTresol> first = launcher.lastDesignWindow();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->windowTitle(), "Arma pilar");
    QTest::mouseClick(ctl<QPushButton>(&launcher, "Command2"), Qt::LeftButton);
    QPointer<frmTresol> second = launcher.lastDesignWindow();
    ASSERT_TRUE(second && first != second);
    EXPECT_EQ(second->windowTitle(), "Arma viga");
    EXPECT_TRUE(first->isVisible());
    first->close();
    second->close();
    QApplication::processEvents();
    QTest::mouseClick(ctl<QPushButton>(&launcher, "cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(launcher.isVisible());
}

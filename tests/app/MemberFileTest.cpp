#include "WindowTestSupport.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

using namespace tresol;
using namespace tresol::test;

namespace {

// What a user sees of a window: title, boxes, multiple, series, search, line, table and the
// drawing.
struct Seen {
    QStringList controls;
    std::vector<std::string> lines;
    std::vector<std::tuple<float, float, float, float>> segments;
    std::vector<std::tuple<float, float, float>> circles;
    std::tuple<float, float, float, float> scale;

    friend bool operator==(const Seen&, const Seen&) = default;
};

Seen seen(const OpenWindow& w) {
    const Canvas& c = w.canvas();
    Seen s;
    s.lines = gridColumn(*w.frm, 0);
    s.scale = {c.ScaleLeft(), c.ScaleTop(), c.ScaleWidth(), c.ScaleHeight()};
    s.controls << w->windowTitle() << QString::number(ctl<QScrollBar>(w.w(), "HScroll1")->value())
               << (ctl<QRadioButton>(w.w(), "Option1", 1)->isChecked() ? "Mex" : "Euro")
               << w.label8()
               << QString::number(ctl<QRadioButton>(w.w(), "OptionBusqueda", 1)->isChecked());
    for (const char* box :
         {"Text1", "Text2", "Text3", "Text4", "Text5", "TextArido", "TextCerco", "TextHormigon",
          "TextAcero", "TextDiamMax", "TextNEd", "TextMyEd", "TextMzEd"})
        s.controls << ctl<QLineEdit>(w.w(), box)->text();
    for (const auto& g : c.segments())
        s.segments.emplace_back(g.x1, g.y1, g.x2, g.y2);
    for (const auto& k : c.circles())
        s.circles.emplace_back(k.x, k.y, k.r);
    return s;
}

} // namespace

// Saved from one window and opened in another of the other kind: every control, the table,
// the picked line and the drawing come back. A code-checked beam with a link, materials and an
// action comes back with them, in the user's locale; a file without them empties their boxes.
TEST(MemberFile, SaveThenOpenRestoresTheWindow) {
    platform::ScopedNumberLocale comma(',');
    RecordingSink rec;
    const QTemporaryDir dir;
    const std::string beamFile = dir.filePath("viga.xml").toStdString();
    const std::string columnFile = dir.filePath("pilar.xml").toStdString();
    OpenWindow beam(1);
    ctl<QRadioButton>(beam.w(), "Option1", 1)->click();
    for (const auto& [box, text] :
         {std::pair{"Text1", "12,5"}, {"Text2", "30,5"}, {"Text3", "55"}, {"Text4", "3,5"}})
        typeInto(beam.w(), box, text);
    typeInto(beam.w(), "TextMyEd", "20,5"); // checked under the described list
    ctl<QScrollBar>(beam.w(), "HScroll1")->setValue(2);
    pickRow(beam.w(), 2);
    ASSERT_FALSE(beam.label8().isEmpty());
    ASSERT_TRUE(beam->GuardaMiembro(beamFile));

    OpenWindow column(0);
    column.member("30", "40", nullptr, "4");
    ctl<QScrollBar>(column.w(), "HScroll1")->setValue(6);
    pickRow(column.w(), 2);
    ASSERT_TRUE(column->GuardaMiembro(columnFile));
    const Seen hexagon = seen(column);

    ASSERT_TRUE(column->AbreMiembro(beamFile));
    EXPECT_EQ(seen(column), seen(beam));
    EXPECT_TRUE(ctl<QLineEdit>(column.w(), "Text3")->isEnabled()) << "a beam's height is typed";
    ASSERT_TRUE(beam->AbreMiembro(columnFile));
    EXPECT_EQ(seen(beam), hexagon);
    EXPECT_FALSE(ctl<QLineEdit>(beam.w(), "Text3")->isEnabled());

    const std::string codedFile = dir.filePath("norma.xml").toStdString();
    OpenWindow coded(1);
    coded.member("4", "30", "50", "3");
    ctl<QRadioButton>(coded.w(), "OptionBusqueda", 1)->click();
    for (const auto& [box, text] : {std::pair{"TextCerco", "8"},
                                    {"TextHormigon", "C40/50"},
                                    {"TextAcero", "500"},
                                    {"TextDiamMax", "12,5"},
                                    {"TextMyEd", "50,5"}})
        typeInto(coded.w(), box, text);
    coded.arma();
    pickRow(coded.w(), 1);
    ASSERT_FALSE(gridColumn(*coded.frm, 4).front().empty());
    ASSERT_TRUE(coded->GuardaMiembro(codedFile));
    OpenWindow opened(1);
    ASSERT_TRUE(opened->AbreMiembro(codedFile));
    // The link's detail may come out a float's last bit apart; the bars and the rest may not.
    const auto undrawn = [](Seen s) {
        s.segments.clear();
        s.scale = {};
        return s;
    };
    EXPECT_EQ(undrawn(seen(opened)), undrawn(seen(coded)));
    EXPECT_EQ(gridColumn(*opened.frm, 4), gridColumn(*coded.frm, 4));
    ASSERT_TRUE(coded->AbreMiembro(columnFile));
    EXPECT_EQ(seen(coded), hexagon);
    EXPECT_TRUE(rec.texts().empty());
    // Written in full with a point, through a temporary file renamed over the old one.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{"norma.xml", "pilar.xml", "viga.xml"}));
    const QByteArray text = readAll(QString::fromStdString(beamFile));
    for (const char* value :
         {"tipo= \"1\"", "norma= \"Mex\"", "area= \"12.5\"", "ancho= \"30.5\"", "alto= \"55\"",
          "recub= \"3.5\"", "multiplo= \"2\"", "fila= \"2\"", "my_ed= \"20.5\""})
        EXPECT_TRUE(text.contains(value)) << value;
    EXPECT_FALSE(text.contains("cerco"));
    const QByteArray codedText = readAll(QString::fromStdString(codedFile));
    for (const char* value : {"cerco= \"8\"", "hormigon= \"C40/50\"", "acero= \"500\"",
                              "diam_max= \"12.5\"", "my_ed= \"50.5\""})
        EXPECT_TRUE(codedText.contains(value)) << value;
    EXPECT_FALSE(beam->GuardaMiembro("/nonexistent-dir/m.xml"));
    EXPECT_EQ(rec.texts(), Lines{"No se ha podido guardar el miembro en m.xml."});
}

TEST(MemberFile, ABadFileSaysWhyAndChangesNothing) {
    platform::ScopedNumberLocale point('.');
    const QTemporaryDir dir;
    OpenWindow beam(1);
    beam.member("10", "30", "50", "3");
    beam.arma();
    pickRow(beam.w(), 1);
    const QString good = dir.filePath("bueno.xml");
    ASSERT_TRUE(beam->GuardaMiembro(good.toStdString()));
    const QByteArray text = readAll(good);
    QByteArray unreadable = text;
    unreadable.replace("area= \"10\"", "area= \"diez\"");
    ASSERT_NE(unreadable, text);

    const struct {
        const char* file;
        QByteArray content;
        std::string message;
    } cases[] = {
        {"corto.xml", text.left(text.size() / 2),
         "No se puede abrir corto.xml: el fichero está incompleto o no es XML."},
        {"otro.xml", "<datos><Material nombre=\"Hormigon\" tipoMat=\"0\"/></datos>",
         "otro.xml no es un fichero de miembro de Tresol."},
        {"texto.xml", unreadable,
         "No se puede abrir texto.xml: el valor de area (\"diez\") no se puede leer."},
    };
    beam.set("Text1", "20"); // typed, not yet run: also kept
    const Seen before = seen(beam);
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.file);
        ASSERT_TRUE(writeAll(path, c.content));
        RecordingSink rec;
        EXPECT_FALSE(beam->AbreMiembro(path.toStdString())) << c.file;
        EXPECT_EQ(rec.texts(), Lines{c.message});
        EXPECT_EQ(seen(beam), before) << c.file;
    }
    RecordingSink rec;
    EXPECT_FALSE(beam->AbreMiembro(dir.filePath("no-existe.xml").toStdString()));
    EXPECT_EQ(rec.texts(), Lines{"No se encuentra el fichero no-existe.xml."});
}

// A window the launcher opens starts from the member the last one of its kind closed with; the
// settings are the test program's scratch ones.
TEST(MemberFile, TheLastMemberIsRestoredOnTheNextStart) {
    platform::ScopedNumberLocale point('.');
    RecordingSink rec;
    QSettings().remove("miembro");
    Seen closed;
    {
        QPointer<app::frmTresol> frm = new app::frmTresol;
        frm->setRemembersMember(true);
        frm->Ini(1);
        const OpenWindow w(frm);
        w.member("10", "30", "50", "3");
        w.arma();
        pickRow(w.w(), 3);
        closed = seen(w);
        QTest::keyClick(frm, Qt::Key_Escape); // leaving by Esc remembers too
        EXPECT_FALSE(frm && frm->isVisible());
    }
    EXPECT_TRUE(QSettings().contains("miembro/viga"));
    EXPECT_FALSE(QSettings().contains("miembro/pilar"));
    QPointer<app::frmTresol> next = new app::frmTresol;
    next->setRemembersMember(true);
    next->Ini(1);
    OpenWindow again(next);
    EXPECT_EQ(seen(again), closed);
    // Windows that do not remember start from the defaults.
    OpenWindow plain(1);
    EXPECT_EQ(ctl<QLineEdit>(plain.w(), "Text1")->text(), "0");
    EXPECT_TRUE(rec.texts().empty());
}

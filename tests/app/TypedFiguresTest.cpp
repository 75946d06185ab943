// How the design window reads what is typed into its number boxes, and what it says when a run
// lists nothing.

#include "WindowTestSupport.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tresol;
using namespace tresol::test;

namespace {

// The lines in the table: none in a window that never listed any (its starting rows are empty).
Lines listed(const frmTresol& frm) {
    Lines out;
    for (const std::string& line : gridColumn(frm, 0))
        if (!line.empty())
            out.push_back(line);
    return out;
}

std::string range(const char* box) {
    return std::string("El ") + box + " debe ser un número de centímetros mayor que 0 y de hasta " +
           "1000000.";
}
const std::string kArea = "El área debe ser un número de cm² de 0 a 1000000.";
const std::string kLink = "El diámetro del cerco debe ser un número de milímetros de 0 a 1000 (0 o "
                          "vacío: sin cerco).";
const std::string kNotANumber = "Debe de introducir un número";

} // namespace

// Every box of the member, and the link's, refuses in every search what is not in full a number of
// the user's locale (never read as its leading digits) and a figure outside the limits, with one
// message naming the box and before anything is worked out: a window that never ran lists nothing
// and draws nothing. The largest figures taken are the batch program's.
TEST(TypedFigures, EveryBoxRefusesWhatIsNotAUsableFigureInEverySearch) {
    platform::ScopedNumberLocale point('.');
    const struct {
        const char* box;
        const char* text;
        std::string message;
    } cases[] = {
        {"Text4", "-3", range("recubrimiento")},
        {"Text4", "2,5", kNotANumber + " en el recubrimiento."},
        {"Text4", "3 cm", kNotANumber + " en el recubrimiento."},
        {"Text2", "abc", kNotANumber + " en el ancho."},
        {"Text2", "1000000.5", range("ancho")},
        {"Text2", "inf", kNotANumber + " en el ancho."},
        {"Text3", "nan", kNotANumber + " en el alto."},
        {"Text3", "", kNotANumber + " en el alto."},
        {"Text1", "-5", kArea},
        {"Text1", "1000001", kArea},
        {"Text1", "1e999", kNotANumber + "."},
        {"TextCerco", "8,5", kNotANumber + " en el diámetro del cerco."},
        {"TextCerco", "-8", kLink},
        {"TextCerco", "1200", kLink},
    };
    for (int search = 0; search < 3; ++search)
        for (const auto& c : cases) {
            const std::string id = std::to_string(search) + " " + c.box + " '" + c.text + "'";
            RecordingSink rec;
            OpenWindow beam(1);
            ctl<QRadioButton>(beam.w(), "OptionBusqueda", search)->click();
            beam.member("10", "30", "50", "3");
            typeInto(beam.w(), c.box, c.text);
            rec.clear();
            beam.arma();
            EXPECT_EQ(rec.texts(), Lines{c.message}) << id;
            EXPECT_EQ(listed(*beam.frm), Lines{}) << id;
            EXPECT_EQ(beam.label8(), "") << id;
            EXPECT_TRUE(barCircles(beam.canvas(), 0.008f).empty()) << id;
        }
    RecordingSink rec;
    OpenWindow beam(1);
    beam.member("10", "1000000", "50", "3");
    rec.clear();
    beam.arma();
    EXPECT_EQ(rec.texts(),
              Lines{"ninguna disposición de 1 a 1000 redondos queda a entre 5 y 30 cm"});
}

// The member the user met: area 10, cover −3, 30 × 50. Refused with one message in every search;
// nothing listed or drawn, and "Salir" of the window the caller opened hands no line back.
TEST(TypedFigures, ANegativeCoverIsRefusedAndNoLineIsHandedBack) {
    platform::ScopedNumberLocale point('.');
    RecordingSink rec;
    QPointer<frmTresol> frm = new frmTresol;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(ctl<QLineEdit>(frm, "Text4")->text(), "-3.00");
        EXPECT_TRUE(barCircles(frm->picture().canvas(), 0.008f).empty());
        ctl<QRadioButton>(frm, "OptionBusqueda", 1)->click();
        EXPECT_EQ(listed(*frm), Lines{});
        QTest::mouseClick(ctl<QPushButton>(frm, "Command2"), Qt::LeftButton);
    });
    EXPECT_EQ(frm->Ini(1, {}, 0.001, 0.30, 0.50, -0.03), "");
    EXPECT_EQ(rec.texts(), (Lines{range("recubrimiento"), range("recubrimiento")}));
}

// "2,5" in the cover is 2.5 where the comma is the decimal separator and refused, in the run
// and in the file, where it is not.
TEST(TypedFigures, ADecimalCommaIsReadOnlyWhereItIsTheSeparator) {
    RecordingSink rec;
    const QTemporaryDir dir;
    {
        platform::ScopedNumberLocale point('.');
        OpenWindow beam(1);
        beam.member("10", "30", "50", "2,5");
        rec.clear();
        EXPECT_FALSE(beam->GuardaMiembro(dir.filePath("punto.xml").toStdString()));
        EXPECT_EQ(rec.texts(), Lines{kNotANumber + " en el recubrimiento."});
        EXPECT_FALSE(QFile::exists(dir.filePath("punto.xml")));
    }
    platform::ScopedNumberLocale comma(',');
    OpenWindow beam(1);
    beam.member("10", "30,7", "50", "2,5");
    rec.clear();
    beam.arma();
    pickRow(beam.w(), 1);
    ASSERT_EQ(beam.label8(), "5 fi 16");
    // Read as 2 and 30 the first bar would sit at (−12.2, −22.2) cm.
    const auto bars = barCircles(beam.canvas(), 0.008f);
    const auto first = std::min_element(bars.begin(), bars.end(),
                                        [](const auto& a, const auto& b) { return a.x < b.x; });
    ASSERT_NE(first, bars.end());
    EXPECT_NEAR(first->x, -0.1205f, 1e-6);
    EXPECT_NEAR(first->y, -0.217f, 1e-6);
    EXPECT_TRUE(rec.texts().empty());
}

// A column says once why it lists nothing: its height box repeats its width, so a bad width is
// named once, as the width, and nothing is drawn; 30 × 30 with cover 3 holds at most 98.1 cm²,
// short of the 300 asked for (the design run's test works it out), and the outline is drawn.
TEST(TypedFigures, AColumnSaysOnceWhyItListsNothing) {
    platform::ScopedNumberLocale point('.');
    for (const auto& [area, width, message, outline] :
         {std::tuple<const char*, const char*, std::string, bool>{
              "20", "abc", kNotANumber + " en el ancho.", false},
          {"300", "30", "no cabe: como máximo 98,1 cm²", true}}) {
        RecordingSink rec;
        OpenWindow column(0);
        column.member(area, width, nullptr, "3");
        column.arma();
        EXPECT_EQ(rec.texts(), Lines{message}) << width;
        EXPECT_EQ(listed(*column.frm), Lines{}) << width;
        EXPECT_EQ(!column.canvas().segments().empty(), outline) << width;
    }
}

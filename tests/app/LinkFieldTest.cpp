#include "WindowTestSupport.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tresol;
using namespace tresol::test;
using platform::RecordingSink;

namespace {

// The window's beam, 30 × 50 with 10 cm² at 3 cm, and a link typed in its box.
void typeBeam(const OpenWindow& w, const QString& link) {
    for (const auto& [box, value] :
         {std::pair{"Text1", "10"}, {"Text2", "30"}, {"Text3", "50"}, {"Text4", "3"}})
        w.set(box, value);
    typeInto(w.w(), "TextCerco", link);
}

} // namespace

// The box sits beside the aggregate's, is read in the user's locale into the member a file
// keeps, and comes back when the file is opened; a file from before the box opens without a link.
TEST(LinkField, KeptByMemberFilesAndAbsentFromOldOnes) {
    platform::ScopedNumberLocale comma(',');
    RecordingSink rec;
    const QTemporaryDir dir;
    OpenWindow beam(1);
    EXPECT_EQ(ctl<QLineEdit>(beam.w(), "TextCerco")->parentWidget(),
              ctl<QLineEdit>(beam.w(), "TextArido")->parentWidget());

    typeBeam(beam, "8,0");
    beam.arma();
    const QString withLink = dir.filePath("cerco.xml");
    ASSERT_TRUE(beam->GuardaMiembro(withLink.toStdString()));
    QByteArray old = readAll(withLink);
    EXPECT_TRUE(old.contains("cerco= \"8\""));

    OpenWindow other(1);
    ASSERT_TRUE(other->AbreMiembro(withLink.toStdString()));
    EXPECT_EQ(ctl<QLineEdit>(other.w(), "TextCerco")->text(), "8");

    // Empty or 0: no link, and nothing of it in the file.
    for (const QString& none : {QString(""), QString("0")}) {
        typeInto(beam.w(), "TextCerco", none);
        const std::string path = dir.filePath("sin-cerco.xml").toStdString();
        ASSERT_TRUE(beam->GuardaMiembro(path)) << none.toStdString();
        EXPECT_FALSE(readAll(QString::fromStdString(path)).contains("cerco")) << none.toStdString();
    }

    // A file written before the box: opened over a window with a link, it leaves none.
    old.replace("cerco= \"8\"", "");
    ASSERT_FALSE(old.contains("cerco"));
    const QString oldPath = dir.filePath("antiguo.xml");
    ASSERT_TRUE(writeAll(oldPath, old));
    ASSERT_TRUE(other->AbreMiembro(oldPath.toStdString()));
    EXPECT_EQ(ctl<QLineEdit>(other.w(), "TextCerco")->text(), "");
    EXPECT_TRUE(rec.texts().empty());
}

// A value the box cannot take is refused naming it, by the run and by the file alike, and
// changes nothing in the window.
TEST(LinkField, ABadValueNamesTheBox) {
    platform::ScopedNumberLocale point('.');
    const QTemporaryDir dir;
    OpenWindow beam(1);
    typeBeam(beam, "");
    beam.arma();
    pickRow(beam.w(), 1);
    const QString line = beam.label8();
    ASSERT_FALSE(line.isEmpty());
    const std::string range = "El diámetro del cerco debe ser un número de milímetros de 0 a 1000 "
                              "(0 o vacío: sin cerco).";
    const std::string nan = "Debe de introducir un número en el diámetro del cerco.";
    // '8,5': a comma, not the decimal mark here.
    for (const auto& c : {std::pair{"ocho", nan}, {"8,5", nan}, {"-8", range}, {"1200", range}}) {
        typeInto(beam.w(), "TextCerco", c.first);
        RecordingSink rec;
        beam.arma();
        EXPECT_EQ(rec.texts(), std::vector<std::string>{c.second}) << c.first;
        EXPECT_EQ(beam.label8(), line) << c.first;
        EXPECT_FALSE(beam->GuardaMiembro(dir.filePath("m.xml").toStdString())) << c.first;
        EXPECT_EQ(rec.texts(), (std::vector<std::string>{c.second, c.second})) << c.first;
    }
}

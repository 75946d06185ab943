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

QString cerco(const OpenWindow& w) {
    return ctl<QLineEdit>(w.w(), "TextCerco")->text();
}

// The window's beam, 30 × 50 with 10 cm² at 3 cm, and a link typed in its box.
void typeBeam(const OpenWindow& w, const QString& link) {
    w.set("Text1", "10");
    w.set("Text2", "30");
    w.set("Text3", "50");
    w.set("Text4", "3");
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
    auto* box = ctl<QLineEdit>(beam.w(), "TextCerco");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ctl<QLabel>(beam.w(), "LabelCerco")->text(), QString::fromUtf8("cerco (mm)"));
    EXPECT_EQ(box->parentWidget(), ctl<QLineEdit>(beam.w(), "TextArido")->parentWidget());
    EXPECT_TRUE(box->isEnabled()) << "a link is drawn under every search";

    typeBeam(beam, "8,0");
    beam.arma();
    const std::string withLink = dir.filePath("cerco.xml").toStdString();
    ASSERT_TRUE(beam->GuardaMiembro(withLink));
    EXPECT_TRUE(readAll(QString::fromStdString(withLink)).contains("cerco= \"8\""));

    OpenWindow other(1);
    ASSERT_TRUE(other->AbreMiembro(withLink));
    EXPECT_EQ(cerco(other), "8");

    // Empty or 0: no link, and nothing of it in the file.
    for (const QString& none : {QString(""), QString("0")}) {
        typeInto(beam.w(), "TextCerco", none);
        const std::string path = dir.filePath("sin-cerco.xml").toStdString();
        ASSERT_TRUE(beam->GuardaMiembro(path)) << none.toStdString();
        EXPECT_FALSE(readAll(QString::fromStdString(path)).contains("cerco")) << none.toStdString();
    }

    // A file written before the box: opened over a window with a link, it leaves none.
    QByteArray old = readAll(QString::fromStdString(withLink));
    old.replace("cerco= \"8\"", "");
    ASSERT_FALSE(old.contains("cerco"));
    const QString oldPath = dir.filePath("antiguo.xml");
    ASSERT_TRUE(writeAll(oldPath, old));
    ASSERT_TRUE(other->AbreMiembro(oldPath.toStdString()));
    EXPECT_EQ(cerco(other), "");
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
    const struct {
        const char* typed;
        std::string message;
    } cases[] = {
        {"ocho", "Debe de introducir un número en el diámetro del cerco."},
        {"8,5", "Debe de introducir un número en el diámetro del cerco."}, // a comma, not here
        {"-8", range},
        {"1200", range},
    };
    for (const auto& c : cases) {
        typeInto(beam.w(), "TextCerco", c.typed);
        RecordingSink rec;
        beam.arma();
        EXPECT_EQ(rec.texts(), std::vector<std::string>{c.message}) << c.typed;
        EXPECT_EQ(beam.label8(), line) << c.typed;
        EXPECT_FALSE(beam->GuardaMiembro(dir.filePath("m.xml").toStdString())) << c.typed;
        EXPECT_EQ(rec.texts(), (std::vector<std::string>{c.message, c.message})) << c.typed;
    }
}

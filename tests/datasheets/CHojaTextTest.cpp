#include "datasheets/CHojaText.h"
#include "datasheets/TempDir.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace tresol;
using tresol::platform::MsgIcon;
using tresol::platform::RecordingSink;
using tresol::testing::TempDir;

namespace {

const std::string kMaterialText = "<!-- datos-->\r\n"
                                  "\r\n"
                                  "<Material \r\n"
                                  "nombre= \"tierra\"\r\n"
                                  "tipoMat= \"3\">\r\n"
                                  "ref. tipo: = 3\r\n"
                                  "</Material> \r\n"
                                  "\r\n";

void writeMaterial(CHojaText& hoja) {
    hoja.IniEscritura("datos");
    hoja.SetObjetoIni("Material", false);
    hoja.SetVariable("nombre", std::string("tierra"));
    hoja.SetVariable("tipoMat", std::int32_t{3}, "ref. tipo:");
    hoja.SetObjetoFin();
}

Array2<float> table2x2() {
    Array2<float> m(0, 1, 1, 2);
    m(0, 1) = 1.5f;
    m(1, 1) = -2.0f;
    m(0, 2) = 0.1f;
    m(1, 2) = 24821128.0f;
    return m;
}

// A text with the table inside an outer object, as an owner writes it.
std::string tableText() {
    CHojaText hoja;
    hoja.IniEscritura("tabla");
    hoja.SetObjetoIni("datos", false);
    hoja.PoneTablaEnHoja("Tabla", 0, 0, table2x2(), false);
    hoja.SetObjetoFin();
    return hoja.GetTexto();
}

const std::string kAwkward = "a \"b\" <c> & 'd'\r\ne\tf";

std::string escapedText() {
    CHojaText hoja;
    hoja.IniEscritura("raros");
    hoja.SetObjetoIni("datos", false);
    hoja.SetObjetoIni("Texto", true);
    hoja.SetVariable("valor", kAwkward, "nota <&>");
    hoja.SetVariable("numero", 0.1, "");
    hoja.SetObjetoFin();
    hoja.SetObjetoFin();
    return hoja.GetTexto();
}

} // namespace

TEST(CHojaText, WritesTheMaterialExampleByteForByte) {
    CHojaText hoja;
    writeMaterial(hoja);
    EXPECT_EQ(hoja.GetTexto(), kMaterialText);

    // An empty header keeps what was written; a header starts a new text; GetTexto(true) empties.
    hoja.IniEscritura("");
    EXPECT_EQ(hoja.GetTexto(), kMaterialText);
    hoja.IniEscritura("otro");
    EXPECT_EQ(hoja.GetTexto(true), "<!-- otro-->\r\n");
    EXPECT_EQ(hoja.GetTexto(), "");
}

TEST(CHojaText, ResultObjectsAndASecondOutermostObject) {
    CHojaText hoja;
    writeMaterial(hoja);
    // The outermost name stays open on the stack: the next object goes three blanks in.
    hoja.SetObjetoIni("Calculo", true);
    hoja.SetVariable("x", 1.5f);
    hoja.SetObjetoFin();
    EXPECT_EQ(hoja.GetTexto().substr(kMaterialText.size()), "\r\n"
                                                            "   <resultado-Calculo \r\n"
                                                            "   x= \"1.5\">\r\n"
                                                            "\r\n"
                                                            "   </resultado-Calculo> \r\n"
                                                            "\r\n");

    // Reading walks the same way: the second object is searched below the first.
    TempDir dir;
    const auto file = dir.write("r.xml", "<datos><Material nombre=\"m\">"
                                         "<resultado-Calculo x=\"2.5\"/></Material>"
                                         "<resultado-Calculo x=\"9\"/></datos>");
    CHojaText lee;
    RecordingSink rec;
    ASSERT_TRUE(lee.IniLectura(file));
    lee.SetObjetoIni("Material", false);
    EXPECT_EQ(valueText(lee.GetVariableDeHoja("nombre")), "m");
    lee.SetObjetoFin();
    lee.SetObjetoIni("Calculo", true);
    EXPECT_FLOAT_EQ(lee.GetVarFloat("x"), 2.5f);
    lee.SetObjetoFin();
    // Without its "resultado-" name the object is not found.
    lee.SetObjetoIni("Calculo", false);
    EXPECT_FLOAT_EQ(lee.GetVarFloat("x"), 0.0f);
    lee.SetObjetoFin();
    EXPECT_EQ(rec.texts(),
              std::vector<std::string>{"Error grave: no se ha encontrado el parámetro x"});
    EXPECT_EQ(rec.entries().at(0).icon, MsgIcon::Critical);
}

TEST(CHojaText, TableWrittenAndReadBack) {
    const std::string text = tableText();
    EXPECT_NE(text.find("   <Tabla    celda_1_0=\"1.5\"     celda_1_1=\"-2\"  \r\n"
                        "   celda_2_0=\"0.1\"     celda_2_1=\"24821128\"  \r\n>"),
              std::string::npos)
        << text;

    TempDir dir;
    CHojaText lee;
    ASSERT_TRUE(lee.IniLectura(dir.write("t.xml", text)));
    Array2<float> leida;
    lee.LlenaDeTablaSingle("Tabla", "", 2, leida, false, false);
    EXPECT_EQ(leida, table2x2());

    // A table whose array does not start at 0 and 1 is refused rather than misread.
    CHojaText hoja;
    hoja.SetObjetoIni("datos", false);
    EXPECT_THROW(hoja.PoneTablaEnHoja("T", 0, 0, Array2<float>(1, 2, 1, 2), false),
                 ProgrammingError);
    EXPECT_THROW(lee.LlenaDeTablaSingle("Tabla", "", 0, leida, false, false), ProgrammingError);
}

TEST(CHojaText, ValuesNeedingEscapesSurviveTheRoundTrip) {
    const std::string text = escapedText();
    EXPECT_NE(text.find("valor= \"a &quot;b&quot; &lt;c&gt; &amp; 'd'&#13;&#10;e&#9;f\""),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("nota &lt;&amp;&gt; = " + std::string("a \"b\" &lt;c&gt; &amp;")),
              std::string::npos)
        << text;

    TempDir dir;
    CHojaText lee;
    RecordingSink rec;
    ASSERT_TRUE(lee.IniLectura(dir.write("e.xml", text)));
    lee.SetObjetoIni("Texto", true);
    EXPECT_EQ(valueText(lee.GetVariableDeHoja("valor")), kAwkward);
    EXPECT_DOUBLE_EQ(lee.GetVarFloat("numero"), 0.1f);
    EXPECT_TRUE(rec.texts().empty());
}

TEST(CHojaText, NamesXmlCannotCarryAndMisplacedValuesAreRefused) {
    CHojaText hoja;
    EXPECT_THROW(hoja.SetObjetoIni("", false), ProgrammingError);
    EXPECT_THROW(hoja.SetObjetoIni("dos palabras", false), ProgrammingError);
    EXPECT_THROW(hoja.SetObjetoIni("1abc", false), ProgrammingError);
    EXPECT_THROW(hoja.SetObjetoFin(), ProgrammingError);      // nothing open
    EXPECT_THROW(hoja.SetVariable("x", 1), ProgrammingError); // no start tag open
    EXPECT_THROW(hoja.IniEscritura("a -- b"), ProgrammingError);

    hoja.SetObjetoIni("Año", false); // non-ASCII letters are fine
    hoja.SetVariable("x.y_z-1", 1);
    EXPECT_THROW(hoja.SetVariable("", 1), ProgrammingError);
    EXPECT_THROW(hoja.SetVariable("a b", 1), ProgrammingError);
    EXPECT_THROW(hoja.SetVariable("a\"", 1), ProgrammingError);
    EXPECT_THROW(hoja.SetVariable("x.y_z-1", 2), ProgrammingError); // twice in one element
    hoja.SetObjetoIni("Hijo", false);
    hoja.SetObjetoFin();
    EXPECT_THROW(hoja.SetVariable("tarde", 1), ProgrammingError); // after a child element
}

TEST(CHojaText, SheetHeadingClosesAnOpenStartTag) {
    CHojaText hoja;
    hoja.SetObjetoIni("datos", false);
    hoja.SetVariable("a", 1);
    EXPECT_TRUE(hoja.SeleccionaHoja("Hoja1"));
    hoja.SetObjetoFin();
    EXPECT_EQ(hoja.GetTexto(), "\r\n<datos \r\na= \"1\">\r\n\r\n\r\n    Hoja1:\r\n" +
                                   std::string(34, '-') + "</datos> \r\n\r\n");
}

// An independent parser must accept every text the sheet writes.
TEST(CHojaText, WrittenTextsAreWellFormedForXmllint) {
    const char* xmllint = "/usr/bin/xmllint";
    if (!std::filesystem::exists(xmllint))
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed; the check needs it";
    CHojaText material;
    writeMaterial(material);
    CHojaText heading;
    heading.SetObjetoIni("datos", false);
    heading.SeleccionaHoja("Hoja <1>");
    heading.SetObjetoFin();
    const std::pair<const char*, std::string> cases[] = {
        {"material", material.GetTexto()},
        {"table", tableText()},
        {"escapes", escapedText()},
        {"heading", heading.GetTexto()},
    };
    TempDir dir;
    for (const auto& [name, text] : cases) {
        const auto file = dir.write(std::string(name) + ".xml", text);
        const std::string cmd = std::string(xmllint) + " --noout --nonet '" + file + "' 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << name << ":\n" << text;
    }
}

TEST(CHojaText, HostileAndBrokenFilesAreReportedNotFollowed) {
    TempDir dir;
    std::string lol = "<!ENTITY lol0 \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        lol += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            lol += "&lol" + std::to_string(i - 1) + ";";
        lol += "\">";
    }
    const std::string secret = dir.write("secret.txt", "SECRETO");
    struct Case {
        const char* id;
        std::string content;
        const char* reason; // nullptr: the file loads, but no entity is read
    };
    const Case cases[] = {
        {"bomb",
         "<?xml version=\"1.0\"?><!DOCTYPE datos [" + lol + "]><datos><M v=\"&lol9;\"/></datos>",
         nullptr},
        {"external",
         "<!DOCTYPE datos [<!ENTITY x SYSTEM \"file://" + secret +
             "\">]><datos><M v=\"&x;\"/></datos>",
         nullptr},
        {"truncated", "<datos>\r\n<M v=\"1\"", "Parser Error: "},
        {"non-utf8", "<datos><M v=\"a\xFF\"/></datos>",
         "Parser Error: Invalid UTF-8 byte sequence\rLinea: 1\rPos. linea: 15\rURL: file://"},
        {"empty", "", "Parser Error: No document element found\rLinea: 1\rPos. linea: 1\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const auto file = dir.write(std::string(c.id) + ".xml", c.content);
        RecordingSink rec;
        CHojaText hoja;
        const bool loaded = hoja.IniLectura(file);
        hoja.SetObjetoIni("M", false);
        const std::string v = valueText(hoja.GetVariableDeHoja("v"));
        if (!c.reason) {
            EXPECT_TRUE(loaded);
            EXPECT_LT(v.size(), 10u) << v;
            EXPECT_EQ(v.find("SECRETO"), std::string::npos);
            EXPECT_TRUE(rec.texts().empty());
            continue;
        }
        EXPECT_FALSE(loaded);
        ASSERT_EQ(rec.entries().size(), 2u);
        EXPECT_EQ(rec.entries()[0].icon, MsgIcon::None);
        EXPECT_EQ(rec.texts()[0].rfind(c.reason, 0), 0u) << rec.texts()[0];
        EXPECT_NE(rec.texts()[0].find("URL: file://" + file), std::string::npos);
        EXPECT_EQ(rec.texts()[1], "Error grave: no se ha encontrado el parámetro v");
    }

    RecordingSink rec;
    CHojaText hoja;
    const auto missing = dir.file("no existe.xml");
    EXPECT_FALSE(hoja.IniLectura(missing));
    EXPECT_FALSE(hoja.IniLectura(dir.file("")));
    ASSERT_EQ(rec.texts().size(), 2u);
    std::string url = "file://" + missing;
    url.replace(url.find(' '), 1, "%20");
    EXPECT_EQ(rec.texts()[0], "Parser Error: File was not found\rLinea: 0\rPos. linea: 0\rURL: " +
                                  url + "\rPos. fichero : 0");
    EXPECT_EQ(rec.texts()[1].rfind("Parser Error: Not a regular file\r", 0), 0u);
}

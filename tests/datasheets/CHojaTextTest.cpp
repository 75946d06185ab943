#include "datasheets/CHojaText.h"
#include "TempDir.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>

using namespace tresol;
using tresol::platform::RecordingSink;
using tresol::testing::TempDir;
using Texts = std::vector<std::string>;

namespace {

const std::string kMaterialText = "<!-- datos-->\r\n\r\n<Material \r\nnombre= \"tierra\"\r\n"
                                  "tipoMat= \"3\">\r\nref. tipo: = 3\r\n</Material> \r\n\r\n";
const std::string kAwkward = "a \"b\" <c> & 'd'\r\ne\tf";

Array2<float> table2x2() {
    Array2<float> m(0, 1, 1, 2);
    const float v[] = {1.5f, -2.0f, 0.1f, 24821128.0f};
    for (int k = 0; k < 4; ++k)
        m(k % 2, 1 + k / 2) = v[k];
    return m;
}

// What an owner writes inside its object: a value, a sheet heading, a table and a result object
// with values that need escaping.
std::string ownerText() {
    CHojaText hoja;
    hoja.SetObjetoIni("datos", false);
    hoja.SetVariable("a", 1);
    EXPECT_TRUE(hoja.SeleccionaHoja("Hoja <1>"));
    hoja.PoneTablaEnHoja("Tabla", 0, 0, table2x2(), false);
    hoja.SetObjetoIni("Texto", true);
    hoja.SetVariable("valor", kAwkward, "nota <&>");
    hoja.SetObjetoFin();
    hoja.SetObjetoFin();
    return hoja.GetTexto();
}

} // namespace

TEST(CHojaText, WritingAndReadingProtocol) {
    CHojaText hoja;
    hoja.IniEscritura("datos");
    hoja.SetObjetoIni("Material", false);
    hoja.SetVariable("nombre", std::string("tierra"));
    hoja.SetVariable("tipoMat", std::int32_t{3}, "ref. tipo:");
    hoja.SetObjetoFin();
    EXPECT_EQ(hoja.GetTexto(), kMaterialText);
    // The outermost name stays open on the stack: the next object goes three blanks in.
    hoja.SetObjetoIni("Calculo", true);
    hoja.SetVariable("x", 1.5f);
    hoja.SetObjetoFin();
    const std::string all = kMaterialText + "\r\n   <resultado-Calculo \r\n   x= \"1.5\">\r\n\r\n"
                                            "   </resultado-Calculo> \r\n\r\n";
    EXPECT_EQ(hoja.GetTexto(), all);
    // An empty header keeps what was written; a header starts a new text; GetTexto(true) empties.
    hoja.IniEscritura("");
    EXPECT_EQ(hoja.GetTexto(), all);
    hoja.IniEscritura("otro");
    EXPECT_EQ(hoja.GetTexto(true), "<!-- otro-->\r\n");
    EXPECT_EQ(hoja.GetTexto(), "");

    // Reading walks the same way: the second object is searched below the first.
    TempDir dir;
    CHojaText lee;
    RecordingSink rec;
    ASSERT_TRUE(lee.IniLectura(dir.file("r.xml", "<datos><Material nombre=\"m\">"
                                                 "<resultado-Calculo x=\"2.5\"/></Material>"
                                                 "<resultado-Calculo x=\"9\"/></datos>")));
    lee.SetObjetoIni("Material", false);
    lee.SetObjetoFin();
    lee.SetObjetoIni("Calculo", true);
    EXPECT_FLOAT_EQ(lee.GetVarFloat("x"), 2.5f);
    lee.SetObjetoFin();
    lee.SetObjetoIni("Calculo", false); // without its "resultado-" name it is not found
    EXPECT_FLOAT_EQ(lee.GetVarFloat("x"), 0.0f);
    EXPECT_EQ(rec.texts(), Texts{"Error grave: no se ha encontrado el parámetro x"});
}

TEST(CHojaText, HeadingTableAndEscapedValuesSurviveTheRoundTrip) {
    const std::string text = ownerText();
    for (const std::string& part :
         {"<datos \r\na= \"1\">\r\n\r\n\r\n    Hoja &lt;1&gt;:\r\n" + std::string(34, '-'),
          std::string("   <Tabla    celda_1_0=\"1.5\"     celda_1_1=\"-2\"  \r\n"
                      "   celda_2_0=\"0.1\"     celda_2_1=\"24821128\"  \r\n>"),
          std::string("valor= \"a &quot;b&quot; &lt;c&gt; &amp; 'd'&#13;&#10;e&#9;f\""),
          std::string("nota &lt;&amp;&gt; = a \"b\" &lt;c&gt; &amp;")})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\nin\n" << text;

    TempDir dir;
    const auto file = dir.file("t.xml", text);
    RecordingSink rec;
    CHojaText tabla, texto; // a second outermost object is searched below the first
    ASSERT_TRUE(tabla.IniLectura(file) && texto.IniLectura(file));
    Array2<float> leida;
    tabla.LlenaDeTablaSingle("Tabla", "", 2, leida, false, false);
    EXPECT_EQ(leida, table2x2());
    EXPECT_THROW(tabla.LlenaDeTablaSingle("Tabla", "", 0, leida, false, false), ProgrammingError);
    texto.SetObjetoIni("Texto", true);
    EXPECT_EQ(valueText(texto.GetVariableDeHoja("valor")), kAwkward);
    EXPECT_TRUE(rec.texts().empty());
}

TEST(CHojaText, WhatXmlCannotCarryIsRefusedWhenWritten) {
    CHojaText hoja;
    for (const char* name : {"", "dos palabras", "1abc"})
        EXPECT_THROW(hoja.SetObjetoIni(name, false), ProgrammingError) << name;
    EXPECT_THROW(hoja.SetObjetoFin(), ProgrammingError);      // nothing open
    EXPECT_THROW(hoja.SetVariable("x", 1), ProgrammingError); // no start tag open
    EXPECT_THROW(hoja.IniEscritura("a -- b"), ProgrammingError);

    hoja.SetObjetoIni("Año", false); // non-ASCII letters are fine
    hoja.SetVariable("x.y_z-1", 1);
    for (const char* name : {"", "a b", "a\"", "x.y_z-1"}) // the last: twice in one element
        EXPECT_THROW(hoja.SetVariable(name, 2), ProgrammingError) << name;
    // A table whose array does not start at 0 and 1 is refused rather than misread.
    EXPECT_THROW(hoja.PoneTablaEnHoja("T", 0, 0, Array2<float>(1, 2, 1, 2), false),
                 ProgrammingError);
    hoja.SetObjetoIni("Hijo", false);
    hoja.SetObjetoFin();
    EXPECT_THROW(hoja.SetVariable("tarde", 1), ProgrammingError); // after a child element
}

// An independent parser must accept every text the sheet writes.
TEST(CHojaText, WrittenTextsAreWellFormedForXmllint) {
    const std::string xmllint = "/usr/bin/xmllint";
    if (!std::filesystem::exists(xmllint))
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed; the check needs it";
    TempDir dir;
    for (const std::string& text : {kMaterialText, ownerText()}) {
        const std::string cmd = xmllint + " --noout --nonet '" + dir.file("x.xml", text) + "' 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << text;
    }
}

TEST(CHojaText, HostileAndBrokenFilesAreReportedNotFollowed) {
    TempDir dir;
    std::string lol = "<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i) { // each entity ten times the one before
        const std::string r = "&l" + std::to_string(i - 1) + ";";
        lol += "<!ENTITY l" + std::to_string(i) + " \"" + r + r + r + r + r + r + r + r + r + r +
               "\">";
    }
    // An entity bomb and an external entity: the file loads, but no entity is expanded.
    const std::string secret = dir.file("secret.txt", "SECRETO");
    for (const std::string& decl : {lol, "<!ENTITY l9 SYSTEM \"file://" + secret + "\">"}) {
        RecordingSink rec;
        CHojaText hoja;
        EXPECT_TRUE(hoja.IniLectura(
            dir.file("h.xml", "<!DOCTYPE datos [" + decl + "]><datos><M v=\"&l9;\"/></datos>")));
        hoja.SetObjetoIni("M", false);
        const std::string v = valueText(hoja.GetVariableDeHoja("v"));
        EXPECT_LT(v.size(), 10u) << v;
        EXPECT_EQ(v.find("SECRETO"), std::string::npos);
        EXPECT_TRUE(rec.texts().empty());
    }
    // File (content: none when there is no such file), reason, line and position, file position.
    const std::tuple<std::string, std::optional<std::string>, std::string, std::string> broken[] = {
        {"truncado.xml", "<datos>\r\n<M v=\"1\"",
         "Error parsing start element tag\rLinea: 2\rPos. linea: 8", "17"},
        {"no utf8.xml", "<datos><M v=\"a\xFF\"/></datos>",
         "Invalid UTF-8 byte sequence\rLinea: 1\rPos. linea: 15", "15"},
        {"vacio.xml", "", "No document element found\rLinea: 1\rPos. linea: 1", "1"},
        {"no existe.xml", {}, "File was not found\rLinea: 0\rPos. linea: 0", "0"},
        {".", {}, "Not a regular file\rLinea: 0\rPos. linea: 0", "0"},
    };
    for (const auto& [name, content, reason, pos] : broken) {
        const auto file = dir.file(name, content);
        RecordingSink rec;
        CHojaText hoja;
        EXPECT_FALSE(hoja.IniLectura(file)) << name;
        hoja.SetObjetoIni("M", false);
        hoja.GetVariableDeHoja("v");
        const auto url = "file://" + std::regex_replace(file, std::regex(" "), "%20");
        EXPECT_EQ(rec.texts(),
                  (Texts{"Parser Error: " + reason + "\rURL: " + url + "\rPos. fichero : " + pos,
                         "Error grave: no se ha encontrado el parámetro v"}))
            << name;
    }
}

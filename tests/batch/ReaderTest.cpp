#include "batch/CsvReader.h"
#include "batch/MemberReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace tresol::batch {
namespace {

using Records = std::vector<std::vector<std::string>>;

struct CsvRead {
    Records records;
    std::vector<std::int64_t> lines;
    char separator;
};

CsvRead readAll(const std::string& text) {
    std::istringstream in(text);
    CsvReader reader(in);
    CsvRead out;
    for (std::vector<std::string> fields; reader.next(fields); out.lines.push_back(reader.line()))
        out.records.push_back(fields);
    out.separator = reader.separator();
    return out;
}

TEST(CsvReader, SplitsRecordsAsSpreadsheetsWriteThem) {
    // clang-format off
    const struct {
        const char* name;
        std::string text;
        Records records;
        std::vector<std::int64_t> lines;
        char separator;
    } cases[] = {
        {"CRLF, no final break", "a,b\r\n1,2", {{"a", "b"}, {"1", "2"}}, {1, 2}, ','},
        {"byte-order mark", "\xEF\xBB\xBFid,x\n1,2\n", {{"id", "x"}, {"1", "2"}}, {1, 2}, ','},
        {"quoted separator and doubled quote", "a,b\n\"x,y\",\"say \"\"hi\"\"\"\n",
         {{"a", "b"}, {"x,y", "say \"hi\""}}, {1, 2}, ','},
        {"line break inside quotes moves the next record's line", "a,b\r\n\"one\r\ntwo\",3\r\n4,5\r\n",
         {{"a", "b"}, {"one\r\ntwo", "3"}, {"4", "5"}}, {1, 2, 4}, ','},
        {"blank lines skipped", "a\n\n\r\n1\n\n", {{"a"}, {"1"}}, {1, 4}, ','},
        {"semicolons with decimal commas", "a;b;c\n1,5;2;\"x;y\"\n",
         {{"a", "b", "c"}, {"1,5", "2", "x;y"}}, {1, 2}, ';'},
        {"a comma inside a quoted header does not count", "\"a,b\";c\n1;2\n",
         {{"a,b", "c"}, {"1", "2"}}, {1, 2}, ';'},
        {"empty fields kept", "a,b,c\n,,\n", {{"a", "b", "c"}, {"", "", ""}}, {1, 2}, ','},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CsvRead r = readAll(c.text);
        EXPECT_EQ(r.records, c.records);
        EXPECT_EQ(r.lines, c.lines);
        EXPECT_EQ(r.separator, c.separator);
    }
}

TEST(CsvReader, ReportsAQuoteLeftOpen) {
    std::istringstream in("a,b\n1,\"open\n2,3\n");
    CsvReader reader(in);
    std::vector<std::string> fields;
    ASSERT_TRUE(reader.next(fields));
    EXPECT_FALSE(reader.unterminatedQuote());
    ASSERT_TRUE(reader.next(fields));
    EXPECT_TRUE(reader.unterminatedQuote());
    EXPECT_EQ(fields, (std::vector<std::string>{"1", "open\n2,3\n"}));
    EXPECT_FALSE(reader.next(fields));
}

struct Read {
    std::vector<InputRow> rows;
    std::string error; // the InputError, if any
};

Read readText(const std::string& text, InputFormat format) {
    std::istringstream in(text);
    Read out;
    try {
        readMembers(in, format, [&](InputRow&& row) { out.rows.push_back(std::move(row)); });
    } catch (const InputError& e) {
        out.error = e.what();
    }
    return out;
}

// A spreadsheet on a Spanish Windows saves its CSV in Windows-1252; fields come out in UTF-8
// either way, each field on its own, so a file of both reads whole.
TEST(CsvReader, ReadsWindows1252FieldsAsUtf8) {
    const CsvRead r = readAll("id,nota\r\n"
                              "P\xf3rtico,\x80 \x93"
                              "a\x94\r\n"                                        // Windows-1252
                              "P\xc3\xb3rtico,\xe2\x82\xac \xf0\x9f\x8f\x97\r\n" // UTF-8
                              "\xc0\xaf,\xed\xa0\x80\r\n"); // overlong '/', a surrogate
    const Records want = {{"id", "nota"},
                          {"Pórtico", "€ “a”"},
                          {"Pórtico", "€ 🏗"},
                          {"\xc3\x80\xc2\xaf", "\xc3\xad\xc2\xa0\xe2\x82\xac"}};
    EXPECT_EQ(r.records, want);
}

// The format of what comes on standard input: JSON when its first character after blanks and
// line breaks opens an array or an object.
TEST(MemberReader, SniffsTheFormatPastBlanksAndLineBreaks) {
    using enum InputFormat;
    // clang-format off
    for (const auto& [text, format] : {std::pair<std::string, InputFormat>{" [", Json}, {"\t{", Json},
             {"\n[", Json}, {"\r\n\t id,kind", Csv}, {"", Csv}, {" \n", Csv}}) {
        // clang-format on
        std::istringstream in(text);
        EXPECT_EQ(sniffFormat(in), format) << text;
    }
}

TEST(MemberReader, RefusesBadRowsOneMessageEach) {
    const std::string header =
        "id,kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple,length_m\n";
    const struct {
        std::string row, message;
    } cases[] = {
        {"V,viga,Euro,10,3,30,50", "multiple: falta."},
        {"V,viga,Euro,,3,30,50,1", "area_cm2: sin valor."},
        {"V,viga,Euro,diez,3,30,50,1", "area_cm2: no es un número («diez»)."},
        {"V,viga,Euro,10,0,30,50,1", "cover_cm: debe ser mayor que cero (0)."},
        {"V,viga,Euro,nan,3,30,50,1", "area_cm2: no es un número finito («nan»)."},
        {"V,viga,Euro,10,3,30,1e999,1", "height_cm: no es un número finito («1e999»)."},
        {"V,viga,Euro,10,3,30,5e7,1",
         "height_cm: es demasiado grande (50000000; el máximo es 1000000)."},
        {"V,losa,Euro,10,3,30,50,1", "kind: tipo desconocido «losa» (se espera viga o pilar)."},
        {"V,viga,ACI,10,3,30,50,1", "series: serie desconocida «ACI» (se espera Euro o Mex)."},
        {"V,viga,Euro,10,3,30,50,11", "multiple: fuera de 1…10 para una viga (11)."},
        {"P,pilar,Euro,10,3,30,30,3", "multiple: fuera de 4…10 para un pilar (3)."},
        {"V,viga,Euro,10,3,30,50,1.5", "multiple: no es un número entero (1.5)."},
        {"V,,,0,3,30,50,1",
         "kind: sin valor (se espera viga o pilar); columna series: sin valor (se "
         "espera Euro o Mex); columna area_cm2: debe ser mayor que cero (0)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const Read r = readText(header + c.row + "\n", InputFormat::Csv);
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_FALSE(r.rows[0].member);
        EXPECT_EQ(r.rows[0].error, "Fila 2, columna " + c.message);
    }
}

TEST(MemberReader, RefusesFilesItCannotUse) {
    using enum InputFormat;
    const std::string header = "kind,series,area_cm2,cover_cm,width_cm,height_cm,multiple";
    const struct {
        std::string text;
        InputFormat format;
        std::string error;
    } cases[] = {
        {"", Csv, "está vacío"},
        {"\r\n\n", Csv, "está vacío"},
        {header + "\n", Csv, "no contiene ningún miembro, solo la cabecera"},
        {"id,kind,area_cm2,cover_cm,width_cm\n1,viga,1,1,1\n", Csv,
         "a la cabecera (línea 1) le faltan las columnas: series, height_cm, multiple"},
        {header + ",Kind\n", Csv, "la columna kind aparece dos veces en la cabecera"},
        {"[ ]", Json, "no contiene ningún miembro"},
        {"{\"kind\": \"viga\"}", Json, "no es una lista de miembros: debe empezar por «[»"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readText(c.text, c.format).error, c.error) << c.text;
    const std::string broken = readText("[{\"kind\": \"viga\",]", InputFormat::Json).error;
    EXPECT_TRUE(broken.starts_with("no es un JSON válido: ")) << broken;
}

// Headers match regardless of case, spaces and order; a JSON member reads as its CSV row.
TEST(MemberReader, ReadsJsonMembersLikeCsvRows) {
    const Read csv =
        readText(" Multiple ,SERIES,note,Height_cm,width_cm , Cover_CM,AREA_CM2,kind,Id,length_m\n"
                 "1,Euro,x,50,30,3,10.5,Viga,V1,6\n"
                 "6,mex,,,40,3,30,pilar,P1,\n",
                 InputFormat::Csv);
    const Read json = readText(R"([
        {"id": "V1", "kind": "viga", "series": "Euro", "area_cm2": 10.5, "cover_cm": 3,
         "width_cm": 30, "height_cm": 50, "multiple": 1, "length_m": 6, "extra": [1, 2]},
        {" ID ": "P1", "Kind": "pilar", "series": "Mex", "area_cm2": "30", "cover_cm": 3,
         "width_cm": 40, "height_cm": null, "multiple": 6}
    ])",
                               InputFormat::Json);
    ASSERT_TRUE(csv.rows.size() == 2 && json.rows.size() == 2);
    auto fields = [](const design::Member& m) {
        return std::tie(m.id, m.kind, m.series, m.areaCm2, m.coverCm, m.widthCm, m.heightCm,
                        m.multiple, m.lengthM);
    };
    ASSERT_TRUE(csv.rows[0].member) << csv.rows[0].error;
    EXPECT_TRUE(fields(*csv.rows[0].member) == std::make_tuple("V1", design::MemberKind::Beam,
                                                               "Euro", 10.5, 3, 30, 50, 1,
                                                               std::optional<double>(6)));
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(csv.rows[i].member) << csv.rows[i].error;
        ASSERT_TRUE(json.rows[i].member) << json.rows[i].error;
        EXPECT_TRUE(fields(*csv.rows[i].member) == fields(*json.rows[i].member));
        EXPECT_EQ(csv.rows[i].number, static_cast<std::int64_t>(i + 2));
        EXPECT_EQ(json.rows[i].number, static_cast<std::int64_t>(i + 1));
    }
}

TEST(MemberReader, RefusesBadJsonMembersAndGoesOn) {
    const Read r = readText(R"([3, {"kind": "viga", "series": "Euro", "area_cm2": true,
        "cover_cm": 3, "width_cm": 30, "height_cm": 50, "multiple": 1},
        {"id": 7, "kind": "viga", "series": "Euro", "area_cm2": 10, "cover_cm": 3,
         "width_cm": 30, "height_cm": 50, "multiple": 1}])",
                            InputFormat::Json);
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0].error, "Miembro 1: no es un objeto con los campos de un miembro.");
    EXPECT_EQ(r.rows[1].error, "Miembro 2, campo area_cm2: no es un número.");
    ASSERT_TRUE(r.rows[2].member);
    EXPECT_EQ(r.rows[2].member->id, "7");
}

} // namespace
} // namespace tresol::batch

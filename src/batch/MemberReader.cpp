#include "batch/MemberReader.h"

#include "batch/CsvReader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <vector>

namespace tresol::batch {
namespace {

bool blank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

RawValue jsonValue(const nlohmann::json& v) {
    RawValue raw;
    if (v.is_null()) {
        raw.type = RawValue::Type::Null;
    } else if (v.is_string()) {
        raw.type = RawValue::Type::Text;
        raw.text = v.get_ref<const std::string&>();
    } else if (v.is_number()) {
        raw.type = RawValue::Type::Number;
        raw.number = v.get<double>();
    } else {
        raw.type = RawValue::Type::Other;
    }
    return raw;
}

} // namespace

InputFormat sniffFormat(std::istream& in) {
    for (int c = in.peek(); c != std::char_traits<char>::eof(); c = in.peek()) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            in.get();
            continue;
        }
        return c == '[' || c == '{' ? InputFormat::Json : InputFormat::Csv;
    }
    return InputFormat::Csv;
}

std::int64_t readCsvMembers(std::istream& in, const RowSink& sink,
                            const design::RowDefaults& defaults) {
    CsvReader reader(in);
    std::vector<std::string> fields;
    if (!reader.next(fields) || (fields.size() == 1 && blank(fields[0])))
        throw InputError("está vacío");
    if (reader.unterminatedQuote())
        throw InputError("la cabecera tiene unas comillas sin cerrar");

    std::array<std::size_t, kColumnCount> index;
    constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
    index.fill(kAbsent);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto column = columnByName(fields[i]);
        if (!column)
            continue;
        std::size_t& slot = index[static_cast<std::size_t>(*column)];
        if (slot != kAbsent)
            throw InputError("la columna " + std::string(columnName(*column)) +
                             " aparece dos veces en la cabecera");
        slot = i;
    }
    std::string missing;
    for (std::size_t c = 0; c < kColumnCount; ++c)
        if (index[c] == kAbsent && isRequired(static_cast<Column>(c)))
            missing +=
                (missing.empty() ? "" : ", ") + std::string(columnName(static_cast<Column>(c)));
    if (!missing.empty())
        throw InputError("a la cabecera (línea " + std::to_string(reader.line()) +
                         ") le faltan las columnas: " + missing);

    // With ';' between fields the comma is the decimal separator, as spreadsheets write it.
    const char decimal = reader.separator() == ';' ? ',' : '.';
    std::int64_t rows = 0;
    RawRow raw;
    while (reader.next(fields)) {
        if (std::all_of(fields.begin(), fields.end(), blank))
            continue; // a spreadsheet's empty row
        for (std::size_t c = 0; c < kColumnCount; ++c) {
            raw[c] = RawValue{};
            if (index[c] != kAbsent && index[c] < fields.size()) {
                raw[c].type = RawValue::Type::Text;
                raw[c].text = fields[index[c]];
            }
        }
        const std::string label = "Fila " + std::to_string(reader.line());
        InputRow row = checkRow(reader.line(), raw, label, "columna", decimal, defaults);
        if (reader.unterminatedQuote()) {
            row.member.reset();
            row.error =
                label + ": unas comillas se abren y no se cierran hasta el final del archivo.";
        }
        ++rows;
        sink(std::move(row));
    }
    if (rows == 0)
        throw InputError("no contiene ningún miembro, solo la cabecera");
    return rows;
}

std::int64_t readJsonMembers(std::istream& in, const RowSink& sink,
                             const design::RowDefaults& defaults) {
    using nlohmann::json;
    if (in.peek() == std::char_traits<char>::eof())
        throw InputError("está vacío");
    std::int64_t rows = 0;
    RawRow raw;
    // Each element of the top array is handed on as soon as it is complete and then dropped, so
    // the whole document is never held.
    const json::parser_callback_t callback = [&](int depth, json::parse_event_t event,
                                                 json& parsed) {
        using E = json::parse_event_t;
        if (depth == 0) {
            if (event == E::object_start || event == E::value)
                throw InputError("no es una lista de miembros: debe empezar por «[»");
            return true;
        }
        if (depth != 1 || event == E::object_start || event == E::array_start || event == E::key)
            return true;
        ++rows;
        const std::string label = "Miembro " + std::to_string(rows);
        if (event != E::object_end) {
            InputRow row;
            row.number = rows;
            row.error = label + ": no es un objeto con los campos de un miembro.";
            sink(std::move(row));
            return false;
        }
        raw.fill(RawValue{});
        for (const auto& [key, value] : parsed.items())
            if (const auto column = columnByName(key))
                raw[static_cast<std::size_t>(*column)] = jsonValue(value);
        sink(checkRow(rows, raw, label, "campo", '.', defaults));
        return false;
    };
    try {
        const json rest = json::parse(in, callback);
        (void)rest; // every element was handed on and dropped
    } catch (const json::exception& e) {
        std::string what = e.what();
        // Drop the library's "[json.exception.parse_error.101] " prefix.
        if (const auto close = what.find("] ");
            what.starts_with("[json.") && close != std::string::npos)
            what.erase(0, close + 2);
        throw InputError("no es un JSON válido: " + what);
    }
    if (rows == 0)
        throw InputError("no contiene ningún miembro");
    return rows;
}

std::int64_t readMembers(std::istream& in, InputFormat format, const RowSink& sink,
                         const design::RowDefaults& defaults) {
    return format == InputFormat::Json ? readJsonMembers(in, sink, defaults)
                                       : readCsvMembers(in, sink, defaults);
}

} // namespace tresol::batch

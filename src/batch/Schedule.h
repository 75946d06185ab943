#pragma once

#include "batch/AtomicFile.h"
#include "batch/SteelTotals.h"
#include "design/Run.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tresol::batch {

enum class OutputFormat { Csv, Json };

// How a CSV is written: ',' and a decimal point, as programs read it ("en"), or ';', a decimal
// comma and a UTF-8 byte-order mark, as a Spanish spreadsheet opens it ("es").
struct CsvDialect {
    char separator = ',';
    char decimal = '.';
    bool byteOrderMark = false;
};
inline constexpr CsvDialect kSpanishCsv{';', ',', true};

// "en" or "es" (any case); nothing for another text.
std::optional<CsvDialect> csvDialectFromText(std::string_view text);

// Writes a schedule one member at a time, as the members are designed.
class ScheduleWriter {
  public:
    virtual ~ScheduleWriter() = default;
    // `row` is the member's CSV line or JSON element.
    void member(std::int64_t row, const design::RunResult& result) {
        std::string text;
        format(row, result, text);
        written(text);
    }
    // A member's text as the schedule holds it (a CSV's records, a JSON element), appended to
    // `text`. It changes nothing in the writer: once the columns are said, any thread may make
    // the text of any member.
    virtual void format(std::int64_t row, const design::RunResult& result,
                        std::string& text) const = 0;
    // Puts a member's text in the schedule, after those of the members before it.
    virtual void written(std::string_view text) = 0;
    virtual void finish() = 0;
    // Whether the schedule takes the code search's columns; said before the first member (a CSV
    // has one header for every row). Without it, the described columns.
    virtual void codeColumns(bool) {}
    // Whether it takes the strength check's columns (utilisation, m_rd_knm, x_d, phi), at the
    // end; said likewise before the first member.
    virtual void strengthColumns(bool) {}
    // Whether it takes the link's columns (link, crossties, link_spacing_mm), after those, and a
    // JSON member its link_mm; said likewise.
    virtual void linkColumns(bool) {}
};

// CSV: one row per candidate (one with an empty line for a member without candidates), columns
// id, candidate, line, bars, diameter_mm, bar_area_cm2, total_area_cm2, excess_pct, spacing_cm,
// clear_spacing_cm, placeable, placed, chosen, messages, mass_kg. With the code columns: id,
// search, aggregate_mm, candidate, line, bars, total_area_cm2, excess_pct, layers, diameters_mm,
// clear_spacing_mm, min_clear_mm, effective_depth_cm, ratio_pct, flags, chosen, messages, mass_kg
// (several values of a row as its line writes them: groups by " + ", layers by " / "). Both end
// with short, centre_spacing_cm and clear_gap_cm (the bars as placed), after the columns earlier
// readers know, then the strength check's and the link's columns when the run asks for them.
// JSON: an array of members with their inputs, messages and nested candidates under the same
// names, readable back as input; a code search's member also has its search and aggregate size,
// and its candidates their layers of groups.
std::unique_ptr<ScheduleWriter> makeScheduleWriter(OutputFormat format, BufferedWriter& out,
                                                   const CsvDialect& dialect = {});

// The chosen bars by diameter and the whole, as CSV or JSON.
void writeTotals(OutputFormat format, const SteelTotals& totals, BufferedWriter& out,
                 const CsvDialect& dialect = {});

// A number as the dialect writes it: the shortest text that reads back as the same double.
void appendCsvNumber(std::string& out, double value, const CsvDialect& dialect);

// A CSV field, quoted when it holds a separator, a quote or a line break.
void appendCsvField(std::string& line, std::string_view text);

} // namespace tresol::batch

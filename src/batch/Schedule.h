#pragma once

#include "batch/AtomicFile.h"
#include "batch/SteelTotals.h"
#include "design/Design.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tresol::batch {

enum class OutputFormat { Csv, Json };

// Writes a schedule one member at a time, as the members are designed.
class ScheduleWriter {
  public:
    virtual ~ScheduleWriter() = default;
    // `row` is the member's CSV line or JSON element.
    virtual void member(std::int64_t row, const design::DesignResult& result) = 0;
    virtual void finish() = 0;
};

// CSV: one row per candidate (one with an empty line for a member without candidates), columns
// id, candidate, line, bars, diameter_mm, bar_area_cm2, total_area_cm2, excess_pct, spacing_cm,
// clear_spacing_cm, placeable, placed, chosen, messages, mass_kg.
// JSON: an array of members with their inputs, messages and nested candidates under the same
// names, readable back as input.
std::unique_ptr<ScheduleWriter> makeScheduleWriter(OutputFormat format, BufferedWriter& out);

// The chosen bars by diameter and the whole, as CSV or JSON.
void writeTotals(OutputFormat format, const SteelTotals& totals, BufferedWriter& out);

// A CSV field, quoted when it holds a separator, a quote or a line break.
void appendCsvField(std::string& line, std::string_view text);

} // namespace tresol::batch

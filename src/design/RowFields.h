#pragma once

#include "design/Run.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The fields of a row, once, for everything that lists rows: the batch program's CSV and JSON
// schedules, its report and the Python module's dictionaries. Each field has its name (a
// schedule's column and key), its caption in the report and how to read it from a row; each
// face says which fields it lists, in which order, and how it writes a value. A new field is one
// entry here and its name in the layouts that show it.
namespace tresol::design {

// A row as a field reads it: its result (for the member's own figures) and its place in it.
struct RowView {
    const RunResult& result;
    const Row* row; // null for the line of a member without rows
    bool chosen;
    std::string_view messages; // the member's schedule messages, joined
};

// Which figure of each layer a layered field gives.
enum class LayerFigure { GroupDiameters, ClearSpacing, MinClear };

// What a face does with a field's value.
class FieldSink {
  public:
    virtual ~FieldSink() = default;
    virtual void empty() = 0;
    virtual void number(double v) = 0;
    virtual void integer(std::int64_t v) = 0;
    virtual void boolean(bool v) = 0;
    virtual void text(std::string_view t) = 0;
    // Notes: a list in JSON and Python, joined in a CSV or a report.
    virtual void texts(const std::vector<std::string>& list) = 0;
    // Figures per layer, layers by " / " and a layer's groups by " + " where written as text.
    virtual void layered(const std::vector<RowLayer>& layers, LayerFigure figure) = 0;
    // The layers themselves: their count in a CSV, their groups in JSON and Python.
    virtual void layers(const std::vector<RowLayer>& layers) = 0;
};

enum class Align { Left, Right, Centre };

struct Field {
    std::string_view name;    // the schedule's column and key
    std::string_view caption; // the report's column title
    std::string_view pattern; // the report's figures ("" for its usual two decimals)
    Align align = Align::Right;
    // Of the member, not of a row: written also on the line of a member without rows.
    bool ofMember = false;
    // Left out of a JSON object when it has no value (rather than null).
    bool omitWhenEmpty = false;
    void (*read)(FieldSink&, const RowView&) = nullptr;
};

// The field of that name; a programming error for an unknown one.
const Field& field(std::string_view name);

// Each face's lists of fields, in order.
enum class Layout {
    CsvDescribed,    // the schedule's columns when no member asks for a code search
    CsvCode,         // with the code search's columns
    JsonDescribed,   // a described member's candidates
    JsonCode,        // a code member's candidates
    ReportDescribed, // the report's table of a described member
    ReportCode,      // of a code-checked column
    ReportCodeBeam,  // of a code-checked beam (with its effective depth)
};
std::span<const Field* const> layout(Layout which);
// The fields of a strength check, after a layout's own where the rows were checked: the
// utilisation, the resistance, a beam's x/d and ACI's φ.
std::span<const Field* const> strengthFields();
// The fields of a member's link, after those when the input gives links: its text, the number of
// crossties and a column's largest link spacing.
std::span<const Field* const> linkFields();

// The field's value into a sink.
inline void readField(const Field& f, FieldSink& sink, const RowView& view) {
    if (!view.row && !f.ofMember)
        sink.empty();
    else
        f.read(sink, view);
}

} // namespace tresol::design

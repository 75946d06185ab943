#pragma once

#include "design/CodeDesign.h"
#include "design/Design.h"
#include "design/MemberLimits.h"
#include "design/Run.h"
#include "reinforcement/CodeSearch.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A member as the faces take it from their users: a row of named fields, checked once here with
// one set of limits and texts, for the batch program, Python and the member files alike.
namespace tresol::design {

// The columns of a member row, in the order of their names.
enum class Column : std::size_t {
    Id,
    Kind,
    Series,
    Area,
    Cover,
    Width,
    Height,
    Multiple,
    Length,
    Search,
    Aggregate,
    Concrete,
    Steel,
    NEd,
    MyEd,
    MzEd,
    Link,
};
inline constexpr std::size_t kColumnCount = 17;

// 'id', 'kind', 'series', 'area_cm2', 'cover_cm', 'width_cm', 'height_cm', 'multiple', 'length_m',
// 'search', 'aggregate_mm', 'concrete', 'steel_mpa', 'n_ed_kn', 'my_ed_knm', 'mz_ed_knm',
// 'link_mm'.
std::string_view columnName(Column column);
// A header or key matched regardless of case and surrounding blanks; nothing for an unknown one.
std::optional<Column> columnByName(std::string_view name);
// Whether a file must have the column (every one but the id, the length, the search's, the
// actions and the link).
bool isRequired(Column column);

// One field of a row as read, before it is checked.
struct RawValue {
    enum class Type { Missing, Null, Text, Number, Other };
    Type type = Type::Missing;
    std::string_view text; // Text: the field as written
    double number = 0;     // Number: a JSON number
};
using RawRow = std::array<RawValue, kColumnCount>;

// A row read and checked: a member ready for the design run, or the reason it was refused.
struct InputRow {
    std::int64_t number = 0; // the CSV line on which the row starts, or the JSON array element (1…)
    std::string label;       // "Fila 4", "Miembro 2": how messages name the row
    std::optional<Member> member;
    // The row's own search and aggregate size, over the run's; the search is known whenever the
    // field is present, even in a refused row.
    std::optional<SearchKind> search;
    std::optional<double> aggregateMm;
    // The row's own concrete (fck under EN, f'c under ACI) and steel strengths, MPa.
    std::optional<double> concreteMpa, steelMpa;
    bool searchField = false;  // the row has a search field, filled or not
    bool actionFields = false; // the row has a field of the actions, filled or not
    bool linkField = false;    // the row has a link field, filled or not
    std::string error;         // one message naming the row, every faulty column and why
};

// What a run gives a row that leaves a field out: its search (which the row's link is checked
// against) and its link (mm; 0: none).
struct RowDefaults {
    SearchKind search = SearchKind::Described;
    double linkMm = 0;
};

// Checks a row and builds its member. `rowLabel` starts the message ("Fila 4", "Miembro 2"; empty:
// the message starts with the first faulty field), `fieldWord` names a field ("columna",
// "campo"); texts are numbers with `decimalSeparator`. A link, the row's or the run's, is checked
// against the row's search (linkProblem) once the rest of the row is sound.
InputRow checkRow(std::int64_t number, const RawRow& raw, std::string_view rowLabel,
                  std::string_view fieldWord, char decimalSeparator,
                  const RowDefaults& defaults = {});

// The search a row is designed with: the row's own search, aggregate size and strengths over the
// run's (`run`).
Search searchOf(const InputRow& row, const Search& run);

// 'viga' or 'pilar'.
std::string_view kindName(MemberKind kind);

} // namespace tresol::design

#pragma once

#include "design/CodeDesign.h"
#include "design/Design.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tresol::platform {
class GridControl;
}

// The one design run every face calls: a member and a search in, one table of rows out, whichever
// search listed them. The window, the batch program and the Python module read these rows and
// never branch on the engine behind them.
namespace tresol::design {

// What fills a member's table: the described list, or a code-checked search with its options
// (their code follows the kind).
struct Search {
    SearchKind kind = SearchKind::Described;
    code::Options code;
};

struct RowGroup {
    std::int32_t count = 0;
    std::int32_t diameterIndex = 0; // in the result's catalogue
    std::string ref;                // '16', '5'
    double diameterMm = 0;
    // The mass of the group's bars over the member's length; nothing without a length.
    std::optional<double> massKg;
};

struct RowLayer {
    std::vector<RowGroup> groups;
    // The least clear gap between neighbouring bars (the described list: its line's figure).
    double clearSpacingMm = 0;
    std::optional<double> minClearMm; // the code's least; the described list has none
    double maxCentreSpacingMm = 0;
};

// One row of a member's table. A described candidate is one layer of one group; a code-checked
// arrangement carries its layers, ratio, depth and notes.
struct Row {
    std::int32_t number = 0; // 1…k, the table row
    std::string line;        // '5 fi 16', '2 fi 20 + 2 fi 16'
    std::int32_t bars = 0;
    double totalAreaCm2 = 0;
    double excessPct = 0;
    std::vector<RowLayer> layers;
    double diameterMm = 0; // the largest bar (a code row's corners)
    // The described list's one size; nothing for a row of several.
    std::optional<double> barAreaCm2;
    // Centre to centre and clear between bars, cm: the described line's figures as its search
    // shared the line out; a code row's widest centre spacing and narrowest clear gap.
    double spacingCm = 0, clearSpacingCm = 0;
    std::int32_t placed = 0; // bars that fit on the section
    bool placeable = false;  // all of them
    bool isShort = false;    // less steel than the required area
    std::optional<double> effectiveDepthCm, ratioPct;
    std::vector<std::string> flags; // a code row's notes
    std::optional<BarGaps> gaps;    // the bars as placed
    std::optional<double> massKg;   // over the member's length
    // Every bar as placed, in the section's frame (metres).
    std::vector<BarCircle> placement;
    // Against the member's actions: the design action over the resistance (≤ 1 carries it) and
    // the governing check as a short text.
    std::optional<double> utilisation;
    std::string governing;
    std::optional<double> mRdKnm; // the resistance at N_Ed in the direction of the moment
    std::optional<double> xOverD; // a beam's neutral-axis depth over its effective depth
    std::optional<double> phi;    // ACI's strength-reduction factor at that state
    // The member's link, the crossties the bars need and its spacing, when the member has one.
    std::optional<links::LinkDetail> link;
};

class RunResult {
  public:
    const Member& member() const;
    const Search& search() const { return search_; }
    bool coded() const { return search_.kind != SearchKind::Described; }
    // Whether the rows were checked against the member's actions.
    bool checked() const { return member().actions.has_value(); }
    const std::vector<Row>& rows() const { return rows_; }
    // The row a schedule takes (an index into rows()).
    std::optional<std::size_t> chosen() const;
    // What the run raised, in order, as the window shows it.
    const std::vector<Message>& messages() const;
    // The strength check's notes, the last of messages().
    const std::vector<Message>& notes() const { return notes_; }
    // What a schedule says of the member: messages() and the note of a short choice.
    std::vector<Message> scheduleMessages() const;
    // The member or the options could not be searched: messages() says why.
    bool refused() const;
    bool hasOutline() const;
    std::shared_ptr<const Cdiametro> catalogue() const;
    // A code search's concrete and steel, defaults filled in.
    std::optional<code::rules::Materials> materials() const;

    // The section with the bars of row `row` (1…k; 0 or past the table: the bare outline).
    Placement place(std::int32_t row) const;
    // The section with the bars of a line the search wrote for this member, as a saved member
    // hands it back; no bars, and a message, when it is not one of its lines.
    Placement placeLine(const std::string& line) const;
    // The rows into a table with a fixed header row and column, as the design window shows them.
    void writeGrid(platform::GridControl& grid) const;

    // The required area the run worked with: the member's, or the one found from its actions.
    double areaCm2() const { return areaCm2_; }

  private:
    friend RunResult run(const Member&, const Search&, std::shared_ptr<const Cdiametro>);

    Search search_;
    std::variant<DesignResult, CodeDesignResult> engine_;
    std::vector<Row> rows_;
    // The engine's row (1…) behind each of rows_ (a code search checked for strength lists only
    // the arrangements that carry the actions).
    std::vector<std::int32_t> engineRows_;
    std::optional<std::size_t> chosen_;
    std::vector<Message> messages_;
    std::vector<Message> notes_; // the strength check's, after the engine's messages
    bool refused_ = false;
    double areaCm2_ = 0;
};

// Why the member's link cannot go round its bars under the search (Spanish, naming the value), or
// empty: see links::problem. Without a catalogue, the series' sizes the search draws from.
std::string linkProblem(const Member& member, SearchKind search,
                        std::shared_ptr<const Cdiametro> catalogue = nullptr);

// Designs one member. Without a catalogue, the member's series with the sizes the search draws
// from. Messages are recorded into the result, never shown. A member whose link is refused
// (linkProblem) is refused.
RunResult run(const Member& member, const Search& search,
              std::shared_ptr<const Cdiametro> catalogue = nullptr);

// The catalogues of a run of many members, made once for each series and search.
class Catalogues {
  public:
    std::shared_ptr<const Cdiametro> get(const std::string& series, SearchKind kind);

  private:
    std::array<std::shared_ptr<const Cdiametro>, 4> made_;
};

} // namespace tresol::design

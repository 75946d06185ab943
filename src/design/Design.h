#pragma once

#include "platform/GridControl.h"
#include "platform/Messages.h"
#include "reinforcement/Links.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tresol {
class CArmador;
class CSeccEstruc;
class Cdiametro;
class DrawingTarget;
} // namespace tresol

// The design run of one member, without any window: the arrangement search, the honest check of
// every candidate on a scratch section, and the section with the bars of a chosen row, drawn on
// any drawing target. The design window, the batch program and the Python module are faces over
// it and never repeat its steps.
namespace tresol::design {

enum class MemberKind : std::int32_t { Column = 0, Beam = 1 };

// Design actions on a section: N_Ed (kN, compression positive); M_Ed,y (kN·m) about the section's
// horizontal axis, along its width — a beam's moment, positive when it stretches the face that
// holds the beam's bars; M_Ed,z (kN·m) about its vertical axis, along its height, positive when
// it compresses the side of largest z. A beam takes M_Ed,y only.
struct Actions {
    double nKn = 0, myKnm = 0, mzKnm = 0;
};

// A member in the window's units: areas in cm², lengths in cm (the length of the member in m).
struct Member {
    std::string id;
    MemberKind kind = MemberKind::Beam;
    std::string series = "Euro"; // "Euro" or "Mex"
    double areaCm2 = 0;
    double coverCm = 0;
    double widthCm = 0;
    // A beam's height; a four-sided column is width × height, one of more sides the regular
    // polygon of circumradius = width.
    double heightCm = 0;
    // A beam: the faces laid end to end that share the bars; a column: its number of sides.
    double multiple = 1;
    std::optional<double> lengthM;
    // A beam's bars run along the face of smallest y (0) or largest y (1); any other counts as 0.
    std::int32_t face = 0;
    // The design actions the listed bars are checked against, when given.
    std::optional<Actions> actions;
    // The link's bar (mm) round the main bars; 0: no link, the cover measured to the main bars.
    double linkMm = 0;
};

// A message the core raised, kept as data instead of shown.
struct Message {
    std::string text;
    platform::MsgIcon icon = platform::MsgIcon::Critical;

    friend bool operator==(const Message&, const Message&) = default;
};

// A bar's circle in the section's frame (metres).
struct BarCircle {
    double y = 0, z = 0, diameter = 0;
    double area = 0; // m², the catalogue's (a numbered bar's nominal area)
};

// One row of the arrangement table, with what it really places. Its figures come from
// single-precision data and are given to its seven significant digits.
struct Candidate {
    std::int32_t row = 0; // 1…k, the table row and the order of the search
    std::string line;     // '5 fi 16'
    std::int32_t bars = 0;
    std::int32_t diameterIndex = 0; // in the member's catalogue
    std::string ref;                // '16', '5'
    double diameterMm = 0;
    double barAreaCm2 = 0;
    double totalAreaCm2 = 0;
    double excessPct = 0;      // of the required area
    double spacingCm = 0;      // centre to centre, as the search worked it out
    double clearSpacingCm = 0; // spacing less one diameter
    std::int32_t placed = 0;   // bars that fit when the line is placed on the section
    bool placeable = false;    // all of them fit
    // Less steel than the required area: the search lists rows up to 1 % short of it.
    bool isShort = false;
    // The bars as placed on the section: the least distance between two centres and the least
    // clear gap between two bars (cm); nothing when fewer than two were placed, or when the
    // placement was not checked.
    std::optional<double> centreSpacingCm;
    std::optional<double> clearGapCm;
    // Its bars as placed (none when the placement was not checked).
    std::vector<BarCircle> placement;
};

// The least centre-to-centre distance and the least clear gap (the centre distance less both
// radii) over every pair of bars, in cm to seven significant digits.
struct BarGaps {
    double centreCm = 0, clearCm = 0;
};
// Nothing with fewer than two bars.
std::optional<BarGaps> measureGaps(const std::vector<BarCircle>& bars);

// The section of a member with the bars of one row on it.
// A group of a row's bars a drawing labels ('2 fi 20'), by their indices among the placed bars.
struct Callout {
    std::string text;
    std::vector<std::int32_t> bars;
};

struct Placement {
    std::shared_ptr<const CSeccEstruc> section; // null when the member has no outline
    std::string line;                           // empty for the bare outline
    std::vector<Message> messages;              // raised while the bars were placed
    std::int32_t placed = 0;
    // The member's link round the bars, and a label for each group of bars (with a link only:
    // the section is then drawn as a detailer draws it).
    std::optional<links::LinkDetail> link;
    std::vector<Callout> callouts;
};

struct Options {
    // Place every candidate on a scratch section to find the ones whose bars do not all fit.
    bool checkPlacement = true;
};

class DesignResult {
  public:
    DesignResult();
    ~DesignResult();
    DesignResult(DesignResult&&) noexcept;
    DesignResult& operator=(DesignResult&&) noexcept;

    const Member& member() const { return member_; }
    const std::vector<Candidate>& candidates() const { return candidates_; }
    // What the search raised, in order (the window shows them as it runs).
    const std::vector<Message>& messages() const { return messages_; }
    // False when the search refused its data (a multiple below one, for instance).
    bool searched() const { return searched_; }
    // Whether the member's dimensions give an outline to place bars on and draw.
    bool hasOutline() const { return base_ != nullptr; }
    // The candidate a schedule takes: the placeable one of least steel area at or above the
    // required area, ties to fewer bars; when every placeable one is short, the least short
    // (with a note in scheduleMessages()). An index into candidates().
    std::optional<std::size_t> chosen() const { return chosen_; }
    // Chooses again among the candidates `allowed` marks (all when it is shorter than the list),
    // by the same rule: those that carry a member's actions, say.
    void choose(const std::vector<bool>& allowed);
    // What a schedule says of the member: messages() and, when the chosen candidate is short of
    // the required area, by how much. The window lists without choosing: it shows messages().
    std::vector<Message> scheduleMessages() const;
    std::shared_ptr<const Cdiametro> catalogue() const { return catalogue_; }
    // The cover in metres after the search (zero when it did not fit the width).
    float coverM() const { return cover_; }

    // The candidates into rows 1…k of a table with a fixed header row and column.
    void writeGrid(platform::GridControl& grid) const;
    // The section with the bars of table row `row` (0, or a row past the table: no bars).
    Placement place(std::int32_t row) const;
    // Draws a placement as the design window shows it: the section fitted to the target (the
    // elevation of its plane, with its bars); a placement without a section clears the target.
    static void draw(const Placement& placement, DrawingTarget& target);

  private:
    friend DesignResult design(const Member&, std::shared_ptr<const Cdiametro>, const Options&);

    Member member_;
    std::vector<Candidate> candidates_;
    std::vector<Message> messages_;
    bool searched_ = false;
    std::optional<std::size_t> chosen_;
    std::optional<Message> shortfall_; // of the chosen candidate
    std::shared_ptr<const Cdiametro> catalogue_;
    std::unique_ptr<CArmador> armador_;
    std::shared_ptr<const CSeccEstruc> base_; // the bare outline, copied for every placement
    float cover_ = 0;
    // Each candidate's placement, made once while it was checked (empty when not checked).
    std::vector<Placement> placements_;
};

// The design run of one member. Without a catalogue, the member's series is used with its
// standard bars. Messages are recorded into the result, never shown. An unknown series is a
// programming error: callers check what users type.
DesignResult design(const Member& member, std::shared_ptr<const Cdiametro> catalogue = nullptr,
                    const Options& options = {});

// The member's bare outline as the design run builds it (null when its dimensions give none),
// its messages dropped.
std::shared_ptr<CSeccEstruc> memberOutline(const Member& member,
                                           std::shared_ptr<const Cdiametro> catalogue);

// A catalogue of a series with its standard bars ("Euro" or "Mex"), in metres.
std::shared_ptr<const Cdiametro> standardCatalogue(const std::string& series);

} // namespace tresol::design

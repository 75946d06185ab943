#pragma once

#include "design/Run.h"
#include "strength/Materials.h"
#include "strength/Section.h"
#include "strength/Strength.h"

#include <optional>
#include <string>
#include <vector>

// The design run's check of its rows against the member's actions, through the section-strength
// engine: the member's outline and each row's bars as placed.
namespace tresol::design {

// The concrete and steel of a search: the code search's own; the described list is checked by
// EN 1992-1-1 with the search's strengths (C25/30 and 500 MPa unless given).
strength::Materials strengthMaterials(const Search& search);

// Why the actions cannot be checked, or empty.
std::string actionsProblem(const Actions& actions);

class StrengthCheck {
  public:
    StrengthCheck(const Member& member, const Search& search);

    // The row's utilisation and governing check, set on the row; nothing when the member has no
    // outline or the section cannot be checked (its reason in the row's governing text).
    std::optional<double> check(Row& row) const;
    // The steel area (cm²) the actions ask for before any bar is chosen: a beam's by the
    // rectangular block with one layer of an assumed bar, a column's least (EN 9.5.2,
    // ACI 10.6.1.1).
    std::optional<double> areaFromActions(std::string& why) const;

    // The section of a row's bars as placed, for the engine.
    strength::Checked<strength::Section> section(const Row& row) const;
    // The member's actions in the engine's frame and signs.
    strength::Action action() const;

    std::string noneCarries(const Row& least) const;
    // `raised`: above the least the actions ask for, the least with which the bars carry them.
    std::string areaNote(double areaCm2, bool raised) const;

  private:
    const Member& member_;
    Actions actions_;
    strength::Materials materials_;
    std::vector<strength::Point> outline_;
    // The outline checked once, the rows' bars put on it.
    std::optional<strength::Section> bare_;
};

} // namespace tresol::design

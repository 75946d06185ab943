#include "design/RunStrength.h"

#include "geometry/MemberOutline.h"
#include "platform/Numbers.h"
#include "platform/Single.h"
#include "reinforcement/CodeRules.h"
#include "strength/Strength.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tresol::design {

namespace {

// The bar assumed for a beam's effective depth before any bar is chosen (one layer).
constexpr double kAssumedBarM = 0.016;

std::int32_t sidesOf(const Member& m) {
    if (m.kind == MemberKind::Beam)
        return 4;
    return platform::roundToInt32(m.multiple).value_or(0);
}

std::string ratioText(double r) {
    return std::isfinite(r) ? platform::commaFixed(r, 2) : std::string("∞");
}

} // namespace

strength::Materials strengthMaterials(const Search& search) {
    code::Options o = search.code;
    o.code = search.kind == SearchKind::ACI ? code::Code::ACI : code::Code::EC2;
    const code::rules::Materials m = code::materials(o);
    return o.code == code::Code::ACI ? strength::Materials::aci(m.fc, m.fy)
                                     : strength::Materials::en(m.fc, m.fy);
}

std::string actionsProblem(const Actions& a) {
    if (!std::isfinite(a.nKn) || !std::isfinite(a.myKnm) || !std::isfinite(a.mzKnm))
        return "las acciones deben ser números finitos";
    return {};
}

StrengthCheck::StrengthCheck(const Member& member, const Search& search)
    : member_(member), actions_(member.actions.value_or(Actions{})),
      materials_(strengthMaterials(search)) {
    const std::int32_t sides = sidesOf(member);
    const float b = platform::toSingleOrInfinity(member.widthCm / 100.0);
    const float h = platform::toSingleOrInfinity(member.heightCm / 100.0);
    if (sides < 3 || !std::isfinite(b) || !(b > 0) || (sides == 4 && !(std::isfinite(h) && h > 0)))
        return;
    const PointArray pts = memberOutlinePoints(sides, b, h);
    for (std::int32_t i = 1; i <= sides; ++i)
        outline_.push_back({double{pts(i, 1)}, double{pts(i, 2)}});
    if (auto bare = strength::Section::make(outline_, {}, materials_))
        bare_ = *bare;
}

strength::Checked<strength::Section> StrengthCheck::section(const Row& row) const {
    if (outline_.empty())
        return strength::Checked<strength::Section>::fail("el miembro no tiene sección");
    std::vector<strength::Bar> bars;
    bars.reserve(row.placement.size());
    for (const BarCircle& c : row.placement)
        bars.push_back({c.y, c.z, c.area});
    // A bare outline the engine refuses gives its reason with the bars.
    return bare_ ? bare_->withBars(std::move(bars))
                 : strength::Section::make(outline_, std::move(bars), materials_);
}

strength::Action StrengthCheck::action() const {
    // The member's moments in the section's frame: M_Ed,y turns about the horizontal axis, its
    // stresses varying up the height (y); a beam's is positive when it stretches its bars' face.
    strength::Action a{actions_.nKn, actions_.mzKnm, actions_.myKnm};
    if (member_.kind == MemberKind::Beam && member_.face == 1)
        a.Mz = -a.Mz;
    return a;
}

std::optional<double> StrengthCheck::check(Row& row) const {
    if (outline_.empty())
        return std::nullopt;
    const auto section = this->section(row);
    if (!section) {
        row.governing = section.error;
        return std::nullopt;
    }
    const strength::Action a = action();
    const strength::Utilisation u = strength::utilisation(*section, a);
    if (!u.error.empty()) {
        row.governing = u.error;
        return std::nullopt;
    }
    row.utilisation = platform::toSignificantDigits(u.ratio);
    row.governing = u.governing;
    if (u.MRd != 0)
        row.mRdKnm = platform::toSignificantDigits(u.MRd);
    if (materials_.code == strength::Code::ACI)
        row.phi = platform::toSignificantDigits(u.state.phi);
    if (member_.kind == MemberKind::Beam && !row.placement.empty() &&
        std::isfinite(u.state.depth)) {
        // The effective depth from the compressed face to the bars' centroid.
        double sum = 0, area = 0;
        for (const BarCircle& b : row.placement) {
            sum += b.y * b.area;
            area += b.area;
        }
        const double top = member_.heightCm / 200; // the outline's half height, m
        const double d = member_.face == 1 ? sum / area + top : top - sum / area;
        if (area > 0 && d > 0)
            row.xOverD = platform::toSignificantDigits(u.state.depth / d);
    }
    return row.utilisation;
}

std::optional<double> StrengthCheck::areaFromActions(std::string& why) const {
    if (outline_.empty()) {
        why = "sin sección no se puede hallar el área de las acciones";
        return std::nullopt;
    }
    if (member_.kind == MemberKind::Beam) {
        if (actions_.myKnm < 0) {
            why = "el momento M_Ed,y tracciona la cara sin barras de la viga";
            return std::nullopt;
        }
        const double width = member_.widthCm / 100, height = member_.heightCm / 100;
        const double d =
            strength::effectiveDepthOneLayer(height, member_.coverCm / 100, kAssumedBarM);
        const strength::RequiredArea r =
            strength::beamRequiredArea(materials_, width, d, actions_.myKnm);
        if (!r.error.empty()) {
            why = r.error;
            return std::nullopt;
        }
        return r.As * 1e4;
    }
    double ac = 0;
    for (std::size_t i = 0; i < outline_.size(); ++i) {
        const auto& p = outline_[i];
        const auto& q = outline_[(i + 1) % outline_.size()];
        ac += p.y * q.z - q.y * p.z;
    }
    ac = std::abs(ac) / 2;
    const auto least = strength::columnMinimumArea(materials_, std::max(actions_.nKn, 0.0), ac);
    if (!least) {
        why = least.error;
        return std::nullopt;
    }
    return *least * 1e4;
}

std::string StrengthCheck::noneCarries(const Row& least) const {
    return "ningún armado resiste las acciones: el menor aprovechamiento es " +
           ratioText(least.utilisation.value_or(std::numeric_limits<double>::infinity())) + " (" +
           least.line + ")";
}

std::string StrengthCheck::areaNote(double areaCm2, bool raised) const {
    const char* how = member_.kind == MemberKind::Beam ? " (bloque rectangular, una capa de Ø16)"
                      : raised ? " (la menor con la que el armado resiste las acciones)"
                               : " (armado mínimo de pilar)";
    return "área necesaria según las acciones: " + platform::commaFixed(areaCm2, 2) + " cm²" + how;
}

} // namespace tresol::design

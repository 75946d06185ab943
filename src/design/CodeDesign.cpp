#include "design/CodeDesign.h"

#include "platform/Numbers.h"
#include "reinforcement/Carmasec.h"
#include "sections/CSeccEstruc.h"

#include <algorithm>
#include <cctype>

namespace tresol::design {

std::optional<SearchKind> searchKindFromText(const std::string& text) {
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (t == "described")
        return SearchKind::Described;
    if (t == "ec2")
        return SearchKind::EC2;
    if (t == "aci")
        return SearchKind::ACI;
    return std::nullopt;
}

const char* searchKindText(SearchKind kind) {
    switch (kind) {
    case SearchKind::EC2:
        return "ec2";
    case SearchKind::ACI:
        return "aci";
    case SearchKind::Described:
        break;
    }
    return "described";
}

code::Member codeMember(const Member& member) {
    code::Member m;
    m.column = member.kind == MemberKind::Column;
    m.areaCm2 = member.areaCm2;
    m.coverCm = member.coverCm;
    m.widthCm = member.widthCm;
    m.heightCm = member.heightCm;
    // A column's sides as the described run counts them; a count that is not a whole number
    // in range is left for the search to refuse.
    m.sides = m.column ? platform::roundToInt32(member.multiple).value_or(0) : 4;
    if (!m.column)
        m.multiple = member.multiple;
    return m;
}

std::shared_ptr<const Cdiametro> codeCatalogue(const std::string& series) {
    auto cat = std::make_shared<Cdiametro>();
    cat->IniCodeSizes(series);
    return cat;
}

namespace {

// The figures a row shows, to the seven significant digits of the catalogue's single-precision
// data, as the described run gives its candidates: the excess is worked out from the area shown.
// Rounding to nearest keeps every "clear ≥ minimum" the search checked.
void roundFigures(code::Arrangement& a, double requiredCm2) {
    using platform::toSignificantDigits;
    a.totalAreaCm2 = toSignificantDigits(a.totalAreaCm2);
    if (requiredCm2 > 0)
        a.excessPct = toSignificantDigits((a.totalAreaCm2 - requiredCm2) / requiredCm2 * 100.0);
    a.ratioPct = toSignificantDigits(a.ratioPct);
    if (a.effectiveDepthCm)
        a.effectiveDepthCm = toSignificantDigits(*a.effectiveDepthCm);
    for (code::Layer& layer : a.layers) {
        layer.clearSpacingMm = toSignificantDigits(layer.clearSpacingMm);
        layer.minClearMm = toSignificantDigits(layer.minClearMm);
        layer.maxCentreSpacingMm = toSignificantDigits(layer.maxCentreSpacingMm);
        for (code::Group& g : layer.groups)
            g.diameterMm = toSignificantDigits(g.diameterMm);
    }
}

} // namespace

CodeDesignResult designCode(const Member& member, const code::Options& options,
                            std::shared_ptr<const Cdiametro> catalogue) {
    CodeDesignResult r;
    r.member_ = member;
    r.options_ = options;
    r.catalogue_ = catalogue ? std::move(catalogue) : codeCatalogue(member.series);
    r.base_ = memberOutline(member, r.catalogue_);
    r.codeMember_ = codeMember(member);
    code::Result found = code::search(r.codeMember_, *r.catalogue_, options);
    r.arrangements_ = std::move(found.arrangements);
    r.refused_ = found.refused;
    std::vector<BarCircle> bars;
    for (code::Arrangement& a : r.arrangements_) {
        roundFigures(a, member.areaCm2);
        bars.clear();
        for (const code::Bar& b : a.placement)
            bars.push_back({b.y, b.z, r.catalogue_->GetDiametroMetros(b.diameterIndex)});
        r.gaps_.push_back(measureGaps(bars));
    }
    for (auto& text : found.messages)
        r.messages_.push_back({std::move(text), platform::MsgIcon::Information});
    return r;
}

Placement CodeDesignResult::placeBars(const std::string& line,
                                      const std::vector<code::Bar>& bars) const {
    Placement p;
    if (!base_)
        return p;
    auto section = std::make_shared<CSeccEstruc>(*base_);
    p.section = section;
    p.line = line;
    {
        platform::RecordingSink rec;
        // The search lays a beam's first layer along the face of smallest y; a beam whose bars
        // belong on the other face (face 1) gets the mirror image, the outline being symmetric.
        const double side = member_.kind == MemberKind::Beam && member_.face == 1 ? -1.0 : 1.0;
        for (const code::Bar& b : bars)
            section->AnyadeRedondo(static_cast<float>(side * b.y), static_cast<float>(b.z),
                                   b.diameterIndex);
        for (const auto& e : rec.entries())
            p.messages.push_back({e.text, e.icon});
    }
    if (const auto armado = section->GetArmado())
        p.placed = armado->GetNumeroRedondos();
    return p;
}

Placement CodeDesignResult::place(std::int32_t row) const {
    if (row < 1 || row > static_cast<std::int32_t>(arrangements_.size()))
        return placeBars({}, {});
    const code::Arrangement& a = arrangements_[static_cast<std::size_t>(row - 1)];
    return placeBars(a.line, a.placement);
}

Placement CodeDesignResult::placeLine(const std::string& line) const {
    std::string error;
    const std::vector<code::Bar> bars =
        code::placeLine(line, codeMember_, *catalogue_, options_, error);
    Placement p = placeBars(bars.empty() ? std::string() : line, bars);
    if (bars.empty() && !error.empty())
        p.messages.push_back({error, platform::MsgIcon::Critical});
    return p;
}

} // namespace tresol::design

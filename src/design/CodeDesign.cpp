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
    m.linkMm = member.linkMm;
    return m;
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

// A row's callouts: a group of each layer ('2 fi 20'), with its bars' places in the placement,
// where a layer's bars follow those of the layer below and a group's are those of its size.
std::vector<Callout> callouts(const code::Arrangement& a, const std::string& gen) {
    std::vector<Callout> out;
    std::size_t first = 0;
    for (const code::Layer& layer : a.layers) {
        std::size_t count = 0;
        for (const code::Group& g : layer.groups)
            count += static_cast<std::size_t>(g.count);
        const std::size_t end = std::min(first + count, a.placement.size());
        for (const code::Group& g : layer.groups) {
            Callout c{std::to_string(g.count) + ' ' + gen + ' ' + g.ref, {}};
            for (std::size_t i = first; i < end; ++i)
                if (a.placement[i].diameterIndex == g.diameterIndex)
                    c.bars.push_back(static_cast<std::int32_t>(i));
            out.push_back(std::move(c));
        }
        first = end;
    }
    return out;
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
    if (member.linkMm > 0)
        r.linkFrame_ =
            links::frame(r.codeMember_.column, r.codeMember_.sides, member.widthCm, member.heightCm,
                         member.coverCm, member.linkMm, options.code, *r.catalogue_);
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
        if (r.linkFrame_)
            r.links_.push_back(*r.linkOf(a));
    }
    for (auto& text : found.messages)
        r.messages_.push_back({std::move(text), platform::MsgIcon::Information});
    return r;
}

std::optional<links::LinkDetail> CodeDesignResult::linkOf(const code::Arrangement& a) const {
    if (!linkFrame_)
        return std::nullopt;
    // As placed: a beam whose bars belong on its other face gets the mirror image.
    const double side = member_.kind == MemberKind::Beam && member_.face == 1 ? -1.0 : 1.0;
    std::vector<links::Bar> bars;
    bars.reserve(a.placement.size());
    for (const code::Bar& b : a.placement)
        bars.push_back({{side * b.y, b.z},
                        platform::toSignificantDigits(
                            double{catalogue_->GetDiametroMetros(b.diameterIndex)} * 1000)});
    return links::detail(*linkFrame_, bars);
}

Placement CodeDesignResult::placeBars(const code::Arrangement* a,
                                      std::optional<links::LinkDetail> link) const {
    Placement p;
    if (!base_)
        return p;
    auto section = std::make_shared<CSeccEstruc>(*base_);
    p.section = section;
    if (!a)
        return p;
    p.line = a->line;
    {
        platform::RecordingSink rec;
        // The search lays a beam's first layer along the face of smallest y; a beam whose bars
        // belong on the other face (face 1) gets the mirror image, the outline being symmetric.
        const double side = member_.kind == MemberKind::Beam && member_.face == 1 ? -1.0 : 1.0;
        for (const code::Bar& b : a->placement)
            section->AnyadeRedondo(static_cast<float>(side * b.y), static_cast<float>(b.z),
                                   b.diameterIndex);
        for (const auto& e : rec.entries())
            p.messages.push_back({e.text, e.icon});
    }
    if (const auto armado = section->GetArmado())
        p.placed = armado->GetNumeroRedondos();
    if (link) {
        p.link = std::move(link);
        p.callouts = callouts(*a, catalogue_->GetRefGener());
    }
    return p;
}

Placement CodeDesignResult::place(std::int32_t row) const {
    if (row < 1 || row > static_cast<std::int32_t>(arrangements_.size()))
        return placeBars(nullptr, std::nullopt);
    const auto i = static_cast<std::size_t>(row - 1);
    return placeBars(&arrangements_[i], link(i));
}

Placement CodeDesignResult::placeLine(const std::string& line) const {
    std::string error;
    const auto a = code::readLine(line, codeMember_, *catalogue_, options_, error);
    Placement p = a ? placeBars(&*a, linkOf(*a)) : placeBars(nullptr, std::nullopt);
    if (!a && !error.empty())
        p.messages.push_back({error, platform::MsgIcon::Critical});
    return p;
}

} // namespace tresol::design

#include "design/Run.h"

#include "design/RunStrength.h"
#include "design/SteelMass.h"
#include "platform/GridControl.h"
#include "platform/Numbers.h"
#include "reinforcement/Cdiametro.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tresol::design {

namespace {

// A described candidate as a row: one layer of one size.
Row describedRow(const Candidate& c, const Member& m) {
    Row r;
    r.number = c.row;
    r.line = c.line;
    r.bars = c.bars;
    r.totalAreaCm2 = c.totalAreaCm2;
    r.excessPct = c.excessPct;
    r.diameterMm = c.diameterMm;
    r.barAreaCm2 = c.barAreaCm2;
    r.spacingCm = c.spacingCm;
    r.clearSpacingCm = c.clearSpacingCm;
    r.placed = c.placed;
    r.placeable = c.placeable;
    r.isShort = c.isShort;
    if (c.centreSpacingCm && c.clearGapCm)
        r.gaps = BarGaps{*c.centreSpacingCm, *c.clearGapCm};
    r.massKg = steelMassKg(c, m);
    r.layers.push_back({{{c.bars, c.diameterIndex, c.ref, c.diameterMm, r.massKg}},
                        c.clearSpacingCm * 10,
                        std::nullopt,
                        c.spacingCm * 10});
    r.placement = c.placement;
    for (BarCircle& b : r.placement)
        b.area = c.barAreaCm2 * 1e-4;
    return r;
}

// A code-checked arrangement as a row: every bar placed where the code's rules put it.
void codeRow(const CodeDesignResult& result, std::size_t i, Row& r) {
    const code::Arrangement& a = result.arrangements()[i];
    const Member& m = result.member();
    const Cdiametro& cat = *result.catalogue();
    r.number = static_cast<std::int32_t>(i) + 1;
    r.line = a.line;
    r.bars = a.bars;
    r.totalAreaCm2 = a.totalAreaCm2;
    r.excessPct = a.excessPct;
    r.effectiveDepthCm = a.effectiveDepthCm;
    r.ratioPct = a.ratioPct;
    r.flags = a.flags;
    r.placed = a.bars;
    r.placeable = true;
    r.isShort = result.isShort(i);
    r.gaps = result.gaps(i);
    r.massKg = steelMassKg(a, m);
    double widest = 0, narrowest = a.layers.empty() ? 0 : a.layers[0].clearSpacingMm;
    r.layers.reserve(a.layers.size());
    for (const code::Layer& layer : a.layers) {
        RowLayer out{{}, layer.clearSpacingMm, layer.minClearMm, layer.maxCentreSpacingMm};
        out.groups.reserve(layer.groups.size());
        for (const code::Group& g : layer.groups) {
            std::optional<double> mass;
            if (m.lengthM)
                // cm² of the catalogue's bar to m², times the length, times the density.
                mass = g.count * cat.GetAreaIndice(g.diameterIndex) * 1e4 * 1e-4 * *m.lengthM *
                       kSteelDensityKgM3;
            out.groups.push_back({g.count, g.diameterIndex, g.ref, g.diameterMm, mass});
            r.diameterMm = std::max(r.diameterMm, g.diameterMm);
        }
        widest = std::max(widest, layer.maxCentreSpacingMm);
        narrowest = std::min(narrowest, layer.clearSpacingMm);
        r.layers.push_back(std::move(out));
    }
    r.spacingCm = widest / 10;
    r.clearSpacingCm = narrowest / 10;
    // As placed: a beam whose bars belong on its other face gets the mirror image.
    const double side = m.kind == MemberKind::Beam && m.face == 1 ? -1.0 : 1.0;
    r.link = result.link(i);
    r.placement.reserve(a.placement.size());
    // A row has a size or two: each looked up once.
    std::int32_t index = -1;
    double diameter = 0, area = 0;
    for (const code::Bar& b : a.placement) {
        if (b.diameterIndex != index) {
            index = b.diameterIndex;
            diameter = cat.GetDiametroMetros(index);
            area = cat.GetAreaIndice(index);
        }
        r.placement.push_back({side * b.y, b.z, diameter, area});
    }
}

// "56,0 ≥ 25,0" per layer, layer 1 first, as the line joins its layers.
std::string clearGaps(const Row& row) {
    std::string out;
    for (const RowLayer& layer : row.layers) {
        if (!out.empty())
            out += " / ";
        out += platform::formatNumber(layer.clearSpacingMm, "#0.0") + " ≥ " +
               platform::formatNumber(layer.minClearMm.value_or(0), "#0.0");
    }
    return out;
}

// The code rows into the table as the described search writes its own: rows 1…k, the line in
// the fixed column, and the column titles in the header row.
void writeCodeGrid(const std::vector<Row>& rows, platform::GridControl& grid) {
    grid.Cols(5);
    const std::int32_t widths[] = {1200, 800, 1200, 800};
    for (std::int32_t c = 0; c < 4; ++c)
        grid.ColWidth(c, widths[c]);
    grid.Rows(static_cast<std::int32_t>(rows.size()) + 1);
    auto put = [&grid](std::int32_t row, std::int32_t col, const std::string& text) {
        grid.Row(row);
        grid.col(col);
        grid.Text(text);
    };
    put(0, 0, "Armado");
    put(0, 1, "Área cm²");
    put(0, 2, "Libre / mín. mm");
    put(0, 3, "Avisos");
    for (const Row& r : rows) {
        std::string flags;
        for (const std::string& f : r.flags)
            flags += (flags.empty() ? "" : "; ") + f;
        put(r.number, 0, r.line);
        put(r.number, 1, platform::formatNumber(r.totalAreaCm2, "#0.00"));
        put(r.number, 2, clearGaps(r));
        put(r.number, 3, flags);
    }
}

} // namespace

const Member& RunResult::member() const {
    return std::visit([](const auto& e) -> const Member& { return e.member(); }, engine_);
}

std::optional<std::size_t> RunResult::chosen() const {
    return chosen_;
}

const std::vector<Message>& RunResult::messages() const {
    return messages_;
}

std::vector<Message> RunResult::scheduleMessages() const {
    std::vector<Message> all;
    if (const auto* d = std::get_if<DesignResult>(&engine_))
        all = d->scheduleMessages();
    else
        all = std::get<CodeDesignResult>(engine_).messages();
    all.insert(all.end(), notes_.begin(), notes_.end());
    return all;
}

bool RunResult::refused() const {
    return refused_;
}

bool RunResult::hasOutline() const {
    return std::visit([](const auto& e) { return e.hasOutline(); }, engine_);
}

std::shared_ptr<const Cdiametro> RunResult::catalogue() const {
    return std::visit([](const auto& e) { return e.catalogue(); }, engine_);
}

std::optional<code::rules::Materials> RunResult::materials() const {
    if (const auto* c = std::get_if<CodeDesignResult>(&engine_))
        return code::materials(c->options());
    return std::nullopt;
}

Placement RunResult::place(std::int32_t row) const {
    const std::int32_t at = row >= 1 && static_cast<std::size_t>(row) <= engineRows_.size()
                                ? engineRows_[static_cast<std::size_t>(row - 1)]
                                : 0;
    return std::visit([at](const auto& e) { return e.place(at); }, engine_);
}

Placement RunResult::placeLine(const std::string& line) const {
    if (const auto* c = std::get_if<CodeDesignResult>(&engine_))
        return c->placeLine(line);
    for (const Row& r : rows_)
        if (r.line == line)
            return place(r.number);
    Placement p = place(0);
    if (!line.empty())
        p.messages.push_back({"«" + line + "» no es un armado de la lista para este miembro",
                              platform::MsgIcon::Critical});
    return p;
}

void RunResult::writeGrid(platform::GridControl& grid) const {
    if (const auto* d = std::get_if<DesignResult>(&engine_))
        d->writeGrid(grid);
    else
        writeCodeGrid(rows_, grid);
    // Checked against actions: each row's utilisation in the last column, two decimals. Not
    // checked, the column is emptied: a table written over keeps no figure of an earlier run.
    grid.Row(0);
    grid.col(4);
    grid.Text(checked() ? "Aprov." : "");
    if (checked())
        grid.ColWidth(4, 700);
    for (const Row& r : rows_) {
        grid.Row(r.number);
        grid.col(4);
        grid.Text(checked() && r.utilisation ? platform::formatNumber(*r.utilisation, "#0.00")
                                             : "");
    }
}

namespace {

// The described list of a member, its rows and choice as the engine made them.
void runDescribed(const Member& member, std::shared_ptr<const Cdiametro> catalogue,
                  DesignResult& out, std::vector<Row>& rows) {
    out = design(member, std::move(catalogue));
    rows.clear();
    rows.reserve(out.candidates().size());
    for (const Candidate& c : out.candidates()) {
        rows.push_back(describedRow(c, out.member()));
        if (member.linkMm > 0)
            rows.back().link = out.place(c.row).link;
    }
}

// A column's link thinner than its code asks for its largest bars is a note of the row, and so
// is the closer spacing EN asks for near beams, slabs and laps.
void noteLink(Row& row, const Member& m, code::Code code) {
    if (!row.link || m.kind != MemberKind::Column)
        return;
    if (std::string note = links::leastLinkNote(code, m.linkMm, row.diameterMm); !note.empty())
        row.flags.push_back(std::move(note));
    if (const auto near = row.link->reducedSpacingMm)
        row.flags.push_back(
            "cercos a " + platform::commaText(*near, 4) +
            " mm como máximo junto a vigas, losas y solapes (EN 1992-1-1 9.5.3(4))");
}

// The least area (cm²) in [low, high] whose chosen row carries the actions, by bisection; the
// described list of that area in `out`. Nothing when even the largest does not.
std::optional<double> leastCarryingArea(const Member& member, const StrengthCheck& check,
                                        const std::shared_ptr<const Cdiametro>& catalogue,
                                        double low, double high) {
    auto carries = [&](double area) {
        Member m = member;
        m.areaCm2 = area;
        const DesignResult d = design(m, catalogue);
        if (!d.chosen())
            return false;
        Row row = describedRow(d.candidates()[*d.chosen()], m);
        const auto u = check.check(row);
        return u && *u <= 1;
    };
    if (carries(low))
        return low;
    if (!carries(high))
        return std::nullopt;
    // To a hundredth of a cm², well inside a catalogue's steps.
    for (int i = 0; i < 60 && high - low > 0.01; ++i) {
        const double mid = (low + high) / 2;
        (carries(mid) ? high : low) = mid;
    }
    return high;
}

} // namespace

std::string linkProblem(const Member& member, SearchKind search,
                        std::shared_ptr<const Cdiametro> catalogue) {
    if (member.linkMm == 0)
        return {};
    if (!catalogue)
        catalogue = search == SearchKind::Described ? standardCatalogue(member.series)
                                                    : codeCatalogue(member.series);
    const bool column = member.kind == MemberKind::Column;
    const std::int32_t sides = column ? platform::roundToInt32(member.multiple).value_or(0) : 4;
    return links::problem(
        search == SearchKind::ACI ? code::Code::ACI : code::Code::EC2, *catalogue, member.linkMm,
        links::memberOutline(sides, member.widthCm, member.heightCm), member.coverCm * 10);
}

RunResult run(const Member& memberIn, const Search& search,
              std::shared_ptr<const Cdiametro> catalogue) {
    RunResult r;
    r.search_ = search;
    r.search_.code.code = search.kind == SearchKind::ACI ? code::Code::ACI : code::Code::EC2;
    Member member = memberIn;
    if (member.linkMm != 0) {
        if (!catalogue)
            catalogue = search.kind == SearchKind::Described ? standardCatalogue(member.series)
                                                             : codeCatalogue(member.series);
        if (const std::string why = linkProblem(member, search.kind, catalogue); !why.empty()) {
            r.refused_ = true;
            r.messages_.push_back({why, platform::MsgIcon::Critical});
            r.engine_ = DesignResult();
            return r;
        }
    }
    const bool checked = member.actions.has_value();
    std::optional<StrengthCheck> check;
    if (checked) {
        if (const std::string why = actionsProblem(*member.actions); !why.empty()) {
            r.refused_ = true;
            r.messages_.push_back({why, platform::MsgIcon::Critical});
            r.engine_ = DesignResult();
            return r;
        }
        check.emplace(member, r.search_);
    }
    const bool fromActions = checked && !(member.areaCm2 > 0);
    if (fromActions) {
        std::string why;
        const auto area = check->areaFromActions(why);
        if (!area) {
            r.refused_ = true;
            r.messages_.push_back({why, platform::MsgIcon::Critical});
            r.engine_ = DesignResult();
            return r;
        }
        member.areaCm2 = platform::toSignificantDigits(*area);
    }
    const double leastFromActions = member.areaCm2;

    if (search.kind == SearchKind::Described) {
        if (!catalogue)
            catalogue = standardCatalogue(member.series);
        if (fromActions && member.kind == MemberKind::Column) {
            // The least area whose chosen row carries the actions, up to the list's 4 % of the
            // concrete (a column's usual ceiling).
            const double concrete = member.multiple == 4 ? member.widthCm * member.heightCm : 0;
            const double high = std::max(member.areaCm2, 0.04 * concrete);
            if (const auto least =
                    leastCarryingArea(member, *check, catalogue, member.areaCm2, high))
                member.areaCm2 = platform::toSignificantDigits(*least);
        }
        DesignResult d;
        runDescribed(member, catalogue, d, r.rows_);
        for (Row& row : r.rows_)
            noteLink(row, member, r.search_.code.code);
        for (std::size_t i = 0; i < r.rows_.size(); ++i)
            r.engineRows_.push_back(static_cast<std::int32_t>(i) + 1);
        if (check) {
            // Every row stays listed, its utilisation beside it; the choice is made among those
            // that carry the actions.
            std::vector<bool> carries;
            const Row* least = nullptr;
            for (Row& row : r.rows_) {
                const auto u = check->check(row);
                carries.push_back(u && *u <= 1);
                if (row.placeable && u && (!least || *u < *least->utilisation))
                    least = &row;
            }
            d.choose(carries);
            if (!d.chosen() && least)
                r.notes_.push_back({check->noneCarries(*least), platform::MsgIcon::Information});
        }
        r.chosen_ = d.chosen();
        r.messages_ = d.messages();
        r.engine_ = std::move(d);
    } else {
        code::Options options = r.search_.code;
        // Checked for strength, the allowed arrangements in rank order until `top` carry the
        // actions: first the best few times `top`, then, when too few of them carry, every one.
        // From the actions, the window of areas moves up until some carry them.
        const std::int32_t top = search.code.top;
        if (checked)
            options.top = top > 0 && top <= 200 ? std::max(3 * top, 30) : 0;
        for (int attempt = 0;; ++attempt) {
            CodeDesignResult c = designCode(member, options, catalogue);
            r.rows_.clear();
            r.engineRows_.clear();
            r.refused_ = c.refused();
            std::optional<Row> least;
            constexpr double kNone = std::numeric_limits<double>::infinity();
            for (std::size_t i = 0; i < c.arrangements().size(); ++i) {
                // Made in place; taken back when it does not carry the actions.
                Row& row = r.rows_.emplace_back();
                codeRow(c, i, row);
                noteLink(row, member, r.search_.code.code);
                if (check) {
                    const auto u = check->check(row);
                    if (!u || *u > 1) {
                        if (!least ||
                            row.utilisation.value_or(kNone) < least->utilisation.value_or(kNone))
                            least = std::move(row);
                        r.rows_.pop_back();
                        continue;
                    }
                }
                row.number = static_cast<std::int32_t>(r.rows_.size());
                r.engineRows_.push_back(static_cast<std::int32_t>(i) + 1);
                if (checked && search.code.top > 0 &&
                    r.rows_.size() >= static_cast<std::size_t>(search.code.top))
                    break;
            }
            const bool cut =
                options.top > 0 && c.arrangements().size() == static_cast<std::size_t>(options.top);
            if (checked && cut && r.rows_.size() < static_cast<std::size_t>(top)) {
                options.top = 0; // more may carry the actions further down the list
                continue;
            }
            const bool widen = fromActions && r.rows_.empty() && least && attempt < 12 &&
                               member.kind == MemberKind::Column;
            if (!widen) {
                r.messages_ = c.messages();
                if (check && r.rows_.empty() && least)
                    r.notes_.push_back(
                        {check->noneCarries(*least), platform::MsgIcon::Information});
                r.engine_ = std::move(c);
                break;
            }
            member.areaCm2 = platform::toSignificantDigits(member.areaCm2 * 1.8);
        }
        if (!r.rows_.empty())
            r.chosen_ = 0;
    }
    if (fromActions && !r.refused_)
        r.notes_.insert(r.notes_.begin(),
                        {check->areaNote(member.areaCm2, member.areaCm2 > leastFromActions),
                         platform::MsgIcon::Information});
    r.areaCm2_ = member.areaCm2;
    r.messages_.insert(r.messages_.end(), r.notes_.begin(), r.notes_.end());
    return r;
}

std::shared_ptr<const Cdiametro> Catalogues::get(const std::string& series, SearchKind kind) {
    const bool coded = kind != SearchKind::Described;
    auto& made = made_[(series == "Euro" ? 0 : 1) + (coded ? 2 : 0)];
    if (!made)
        made = coded ? codeCatalogue(series) : standardCatalogue(series);
    return made;
}

} // namespace tresol::design

#include "design/Run.h"

#include "design/SteelMass.h"
#include "platform/GridControl.h"
#include "platform/Numbers.h"
#include "reinforcement/Cdiametro.h"

#include <algorithm>

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
    return r;
}

// A code-checked arrangement as a row: every bar placed where the code's rules put it.
Row codeRow(const CodeDesignResult& result, std::size_t i) {
    const code::Arrangement& a = result.arrangements()[i];
    const Member& m = result.member();
    const Cdiametro& cat = *result.catalogue();
    Row r;
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
    for (const code::Layer& layer : a.layers) {
        RowLayer out{{}, layer.clearSpacingMm, layer.minClearMm, layer.maxCentreSpacingMm};
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
    r.placement.reserve(a.placement.size());
    for (const code::Bar& b : a.placement)
        r.placement.push_back({b.y, b.z, cat.GetDiametroMetros(b.diameterIndex)});
    return r;
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
    return std::visit([](const auto& e) { return e.chosen(); }, engine_);
}

const std::vector<Message>& RunResult::messages() const {
    return std::visit([](const auto& e) -> const std::vector<Message>& { return e.messages(); },
                      engine_);
}

std::vector<Message> RunResult::scheduleMessages() const {
    if (const auto* d = std::get_if<DesignResult>(&engine_))
        return d->scheduleMessages();
    return messages();
}

bool RunResult::refused() const {
    const auto* c = std::get_if<CodeDesignResult>(&engine_);
    return c && c->refused();
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
    return std::visit([row](const auto& e) { return e.place(row); }, engine_);
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
}

RunResult run(const Member& member, const Search& search,
              std::shared_ptr<const Cdiametro> catalogue) {
    RunResult r;
    r.search_ = search;
    if (search.kind == SearchKind::Described) {
        DesignResult d = design(member, std::move(catalogue));
        r.rows_.reserve(d.candidates().size());
        for (const Candidate& c : d.candidates())
            r.rows_.push_back(describedRow(c, d.member()));
        r.engine_ = std::move(d);
        return r;
    }
    r.search_.code.code = search.kind == SearchKind::ACI ? code::Code::ACI : code::Code::EC2;
    CodeDesignResult c = designCode(member, r.search_.code, std::move(catalogue));
    r.rows_.reserve(c.arrangements().size());
    for (std::size_t i = 0; i < c.arrangements().size(); ++i)
        r.rows_.push_back(codeRow(c, i));
    r.engine_ = std::move(c);
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

#include "design/RowFields.h"

#include <array>
#include <cassert>
#include <stdexcept>

namespace tresol::design {

namespace {

using S = FieldSink;
using V = RowView;

void optional(S& s, const std::optional<double>& v) {
    if (v)
        s.number(*v);
    else
        s.empty();
}

// The fields, in no particular order: the layouts below give each face's.
const std::array kFields = {
    Field{"id", "", "", Align::Left, true, false,
          [](S& s, const V& v) { s.text(v.result.member().id); }},
    Field{"search", "", "", Align::Left, true, false,
          [](S& s, const V& v) { s.text(searchKindText(v.result.search().kind)); }},
    Field{"aggregate_mm", "", "", Align::Right, true, false,
          [](S& s, const V& v) {
              if (v.result.coded())
                  s.number(v.result.search().code.aggregateMm);
              else
                  s.empty();
          }},
    Field{"candidate", "Nº", "", Align::Right, false, false,
          [](S& s, const V& v) { s.integer(v.row->number); }},
    Field{"line", "Armado", "", Align::Left, false, false,
          [](S& s, const V& v) { s.text(v.row->line); }},
    Field{"bars", "Redondos", "", Align::Right, false, false,
          [](S& s, const V& v) { s.integer(v.row->bars); }},
    Field{"diameter_mm", "Ø mm", "#0.0", Align::Right, false, false,
          [](S& s, const V& v) { s.number(v.row->diameterMm); }},
    Field{"bar_area_cm2", "Área Ø cm²", "", Align::Right, false, false,
          [](S& s, const V& v) { optional(s, v.row->barAreaCm2); }},
    Field{"total_area_cm2", "Área cm²", "", Align::Right, false, false,
          [](S& s, const V& v) { s.number(v.row->totalAreaCm2); }},
    Field{"excess_pct", "Exceso %", "#0.0", Align::Right, false, false,
          [](S& s, const V& v) { s.number(v.row->excessPct); }},
    Field{"spacing_cm", "", "", Align::Right, false, false,
          [](S& s, const V& v) { s.number(v.row->spacingCm); }},
    Field{"clear_spacing_cm", "", "", Align::Right, false, false,
          [](S& s, const V& v) { s.number(v.row->clearSpacingCm); }},
    Field{"layers", "", "", Align::Right, false, false,
          [](S& s, const V& v) { s.layers(v.row->layers); }},
    Field{"diameters_mm", "", "", Align::Right, false, false,
          [](S& s, const V& v) { s.layered(v.row->layers, LayerFigure::GroupDiameters); }},
    Field{"clear_spacing_mm", "Libre mm", "#0.0", Align::Right, false, false,
          [](S& s, const V& v) { s.layered(v.row->layers, LayerFigure::ClearSpacing); }},
    Field{"min_clear_mm", "Mín. mm", "#0.0", Align::Right, false, false,
          [](S& s, const V& v) { s.layered(v.row->layers, LayerFigure::MinClear); }},
    Field{"effective_depth_cm", "d cm", "#0.0", Align::Right, false, true,
          [](S& s, const V& v) { optional(s, v.row->effectiveDepthCm); }},
    Field{"ratio_pct", "Cuantía %", "", Align::Right, false, false,
          [](S& s, const V& v) { optional(s, v.row->ratioPct); }},
    // A described row whose bars do not all fit says so among its notes.
    Field{"flags", "Avisos", "", Align::Left, false, false,
          [](S& s, const V& v) {
              if (v.row->placeable)
                  s.texts(v.row->flags);
              else
                  s.text("solo caben " + std::to_string(v.row->placed) + " de " +
                         std::to_string(v.row->bars));
          }},
    Field{"placeable", "", "", Align::Right, false, false,
          [](S& s, const V& v) { s.boolean(v.row->placeable); }},
    Field{"placed", "", "", Align::Right, false, false,
          [](S& s, const V& v) { s.integer(v.row->placed); }},
    Field{"fits", "Caben", "", Align::Right, false, false,
          [](S& s, const V& v) {
              s.text(std::to_string(v.row->placed) + " de " + std::to_string(v.row->bars));
          }},
    Field{"chosen", "Elegido", "", Align::Centre, false, false,
          [](S& s, const V& v) { s.boolean(v.chosen); }},
    Field{"messages", "", "", Align::Left, true, false,
          [](S& s, const V& v) { s.text(v.messages); }},
    Field{"mass_kg", "", "", Align::Right, false, true,
          [](S& s, const V& v) { optional(s, v.row->massKg); }},
    Field{"short", "Corto", "", Align::Centre, false, false,
          [](S& s, const V& v) { s.boolean(v.row->isShort); }},
    Field{"centre_spacing_cm", "Entre ejes cm", "", Align::Right, false, false,
          [](S& s, const V& v) {
              if (v.row->gaps)
                  s.number(v.row->gaps->centreCm);
              else
                  s.empty();
          }},
    Field{"utilisation", "Aprov.", "#0.00", Align::Right, false, false,
          [](S& s, const V& v) { optional(s, v.row->utilisation); }},
    Field{"m_rd_knm", "M_Rd kN·m", "#0.0", Align::Right, false, false,
          [](S& s, const V& v) { optional(s, v.row->mRdKnm); }},
    Field{"x_d", "x/d", "#0.000", Align::Right, false, true,
          [](S& s, const V& v) { optional(s, v.row->xOverD); }},
    Field{"phi", "φ", "#0.000", Align::Right, false, true,
          [](S& s, const V& v) { optional(s, v.row->phi); }},
    Field{"clear_gap_cm", "Libre cm", "", Align::Right, false, false,
          [](S& s, const V& v) {
              if (v.row->gaps)
                  s.number(v.row->gaps->clearCm);
              else
                  s.empty();
          }},
    Field{"link", "Cerco", "", Align::Left, false, false,
          [](S& s, const V& v) {
              if (v.row->link)
                  s.text(v.row->link->text);
              else
                  s.empty();
          }},
    Field{"crossties", "Horquillas", "", Align::Right, false, false,
          [](S& s, const V& v) {
              if (v.row->link)
                  s.integer(static_cast<std::int64_t>(v.row->link->crossties.size()));
              else
                  s.empty();
          }},
    Field{"link_spacing_mm", "Sep. cercos mm", "#", Align::Right, false, false,
          [](S& s, const V& v) {
              optional(s, v.row->link ? v.row->link->spacingMm : std::nullopt);
          }},
};

using Names = std::vector<std::string_view>;

// The columns earlier readers know first; what came later at the end.
const Names kCsvDescribed = {"id",
                             "candidate",
                             "line",
                             "bars",
                             "diameter_mm",
                             "bar_area_cm2",
                             "total_area_cm2",
                             "excess_pct",
                             "spacing_cm",
                             "clear_spacing_cm",
                             "placeable",
                             "placed",
                             "chosen",
                             "messages",
                             "mass_kg",
                             "short",
                             "centre_spacing_cm",
                             "clear_gap_cm"};
const Names kCsvCode = {"id",
                        "search",
                        "aggregate_mm",
                        "candidate",
                        "line",
                        "bars",
                        "total_area_cm2",
                        "excess_pct",
                        "layers",
                        "diameters_mm",
                        "clear_spacing_mm",
                        "min_clear_mm",
                        "effective_depth_cm",
                        "ratio_pct",
                        "flags",
                        "chosen",
                        "messages",
                        "mass_kg",
                        "short",
                        "centre_spacing_cm",
                        "clear_gap_cm"};
const Names kJsonDescribed = {"candidate",   "line",         "bars",
                              "diameter_mm", "bar_area_cm2", "total_area_cm2",
                              "excess_pct",  "spacing_cm",   "clear_spacing_cm",
                              "placeable",   "placed",       "chosen",
                              "mass_kg",     "short",        "centre_spacing_cm",
                              "clear_gap_cm"};
const Names kJsonCode = {
    "candidate",          "line",        "bars",  "total_area_cm2", "excess_pct", "layers",
    "effective_depth_cm", "ratio_pct",   "flags", "chosen",         "mass_kg",    "short",
    "centre_spacing_cm",  "clear_gap_cm"};
// The report shows the spacings of the bars as placed and drawn beside the table.
const Names kReportDescribed = {"candidate",    "line",           "bars",       "diameter_mm",
                                "bar_area_cm2", "total_area_cm2", "excess_pct", "centre_spacing_cm",
                                "clear_gap_cm", "fits",           "short",      "chosen"};
const Names kReportCode = {
    "candidate",        "line",         "bars",      "total_area_cm2", "excess_pct",
    "clear_spacing_mm", "min_clear_mm", "ratio_pct", "flags",          "chosen"};
const Names kReportCodeBeam = {"candidate",    "line",
                               "bars",         "total_area_cm2",
                               "excess_pct",   "clear_spacing_mm",
                               "min_clear_mm", "effective_depth_cm",
                               "ratio_pct",    "flags",
                               "chosen"};

// After every layout's own, when the rows were checked against actions.
const Names kStrength = {"utilisation", "m_rd_knm", "x_d", "phi"};
// Last, when the members have links.
const Names kLink = {"link", "crossties", "link_spacing_mm"};

std::vector<const Field*> fieldsOf(const Names& names) {
    std::vector<const Field*> out;
    for (std::string_view n : names)
        out.push_back(&field(n));
    return out;
}

} // namespace

const Field& field(std::string_view name) {
    for (const Field& f : kFields)
        if (f.name == name)
            return f;
    throw std::logic_error("no row field " + std::string(name));
}

std::span<const Field* const> strengthFields() {
    static const std::vector<const Field*> fields = fieldsOf(kStrength);
    return fields;
}

std::span<const Field* const> linkFields() {
    static const std::vector<const Field*> fields = fieldsOf(kLink);
    return fields;
}

std::span<const Field* const> layout(Layout which) {
    static const std::array<std::vector<const Field*>, 7> layouts = {
        fieldsOf(kCsvDescribed),  fieldsOf(kCsvCode),         fieldsOf(kJsonDescribed),
        fieldsOf(kJsonCode),      fieldsOf(kReportDescribed), fieldsOf(kReportCode),
        fieldsOf(kReportCodeBeam)};
    return layouts[static_cast<std::size_t>(which)];
}

} // namespace tresol::design

#include "design/MemberRow.h"

#include "platform/NumberText.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace tresol::design {
namespace {

constexpr std::array<std::string_view, kColumnCount> kNames = {
    "id",        "kind",     "series",    "area_cm2",  "cover_cm",     "width_cm",
    "height_cm", "multiple", "length_m",  "search",    "aggregate_mm", "concrete",
    "steel_mpa", "n_ed_kn",  "my_ed_knm", "mz_ed_knm", "link_mm"};

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Collects the faults of one row into a single message.
class Faults {
  public:
    Faults(std::string_view fieldWord) : fieldWord_(fieldWord) {}
    void add(Column column, const std::string& reason) {
        text_ += text_.empty() ? ", " : "; ";
        text_ += fieldWord_;
        text_ += ' ';
        text_ += columnName(column);
        text_ += ": ";
        text_ += reason;
    }
    bool any() const { return !text_.empty(); }
    const std::string& text() const { return text_; }

  private:
    std::string_view fieldWord_;
    std::string text_;
};

std::string quoted(std::string_view text) {
    return "«" + std::string(text) + "»";
}

// The field as a number; nothing (with the fault noted) when it is not a usable one.
std::optional<double> readNumber(const RawValue& raw, Column column, char decimalSeparator,
                                 Faults& faults) {
    switch (raw.type) {
    case RawValue::Type::Missing:
        faults.add(column, "falta");
        return std::nullopt;
    case RawValue::Type::Null:
        faults.add(column, "sin valor");
        return std::nullopt;
    case RawValue::Type::Other:
        faults.add(column, "no es un número");
        return std::nullopt;
    case RawValue::Type::Number:
        return raw.number;
    case RawValue::Type::Text:
        break;
    }
    const std::string_view text = trim(raw.text);
    if (text.empty()) {
        faults.add(column, "sin valor");
        return std::nullopt;
    }
    const std::optional<double> value = platform::parseNumber(text, decimalSeparator);
    if (value)
        return value;
    // Written as a number but not a finite one ('nan', 'inf', '1e999').
    std::string plain(text);
    std::replace(plain.begin(), plain.end(), decimalSeparator, '.');
    char* end = nullptr;
    const double v = std::strtod(plain.c_str(), &end);
    if (end == plain.c_str() + plain.size() && !std::isfinite(v)) {
        faults.add(column, "no es un número finito (" + quoted(text) + ")");
        return std::nullopt;
    }
    std::string reason = "no es un número (" + quoted(text) + ")";
    if (decimalSeparator == ',' && text.find('.') != std::string_view::npos)
        reason += ", con «;» como separador la coma es la decimal";
    faults.add(column, reason);
    return std::nullopt;
}

// A positive, finite number no larger than `largest`.
std::optional<double> readPositive(const RawValue& raw, Column column, char decimalSeparator,
                                   double largest, Faults& faults) {
    const auto v = readNumber(raw, column, decimalSeparator, faults);
    if (!v)
        return std::nullopt;
    if (!std::isfinite(*v)) {
        faults.add(column, "no es un número finito");
        return std::nullopt;
    }
    if (*v <= 0) {
        faults.add(column, "debe ser mayor que cero (" + platform::numberText(*v) + ")");
        return std::nullopt;
    }
    if (*v > largest) {
        faults.add(column, "es demasiado grande (" + platform::numberText(*v) + "; el máximo es " +
                               platform::numberText(largest) + ")");
        return std::nullopt;
    }
    return v;
}

// A text field (a number is taken as written, for ids such as 12).
std::optional<std::string> readText(const RawValue& raw, Column column, Faults& faults) {
    switch (raw.type) {
    case RawValue::Type::Missing:
        faults.add(column, "falta");
        return std::nullopt;
    case RawValue::Type::Null:
        return std::string();
    case RawValue::Type::Other:
        faults.add(column, "no es un texto");
        return std::nullopt;
    case RawValue::Type::Number:
        return platform::shortestText(raw.number);
    case RawValue::Type::Text:
        break;
    }
    return std::string(trim(raw.text));
}

// An optional field left out, null or blank.
bool blankOrAbsent(const RawValue& raw) {
    return raw.type == RawValue::Type::Missing || raw.type == RawValue::Type::Null ||
           (raw.type == RawValue::Type::Text && trim(raw.text).empty());
}

} // namespace

std::string_view columnName(Column column) {
    return kNames[static_cast<std::size_t>(column)];
}

std::optional<Column> columnByName(std::string_view name) {
    name = trim(name);
    for (std::size_t i = 0; i < kColumnCount; ++i)
        if (equalsNoCase(name, kNames[i]))
            return static_cast<Column>(i);
    return std::nullopt;
}

bool isRequired(Column column) {
    return column != Column::Id && column != Column::Length && column != Column::Search &&
           column != Column::Aggregate && column != Column::Concrete && column != Column::Steel &&
           column != Column::NEd && column != Column::MyEd && column != Column::MzEd &&
           column != Column::Link;
}

Search searchOf(const InputRow& row, const Search& run) {
    Search search{row.search.value_or(run.kind), run.code};
    if (row.aggregateMm)
        search.code.aggregateMm = *row.aggregateMm;
    if (row.concreteMpa)
        search.code.concreteMpa = *row.concreteMpa;
    if (row.steelMpa)
        search.code.steelMpa = *row.steelMpa;
    return search;
}

std::string_view kindName(MemberKind kind) {
    return kind == MemberKind::Beam ? "viga" : "pilar";
}

InputRow checkRow(std::int64_t number, const RawRow& raw, std::string_view rowLabel,
                  std::string_view fieldWord, char decimalSeparator, const RowDefaults& defaults) {
    InputRow row;
    row.number = number;
    row.label = rowLabel;
    Faults faults(fieldWord);
    auto at = [&raw](Column c) -> const RawValue& { return raw[static_cast<std::size_t>(c)]; };

    Member m;
    if (at(Column::Id).type != RawValue::Type::Missing)
        m.id = readText(at(Column::Id), Column::Id, faults).value_or(std::string());

    std::optional<MemberKind> kind;
    if (const auto text = readText(at(Column::Kind), Column::Kind, faults)) {
        if (equalsNoCase(*text, "viga"))
            kind = MemberKind::Beam;
        else if (equalsNoCase(*text, "pilar"))
            kind = MemberKind::Column;
        else if (text->empty())
            faults.add(Column::Kind, "sin valor (se espera viga o pilar)");
        else
            faults.add(Column::Kind,
                       "tipo desconocido " + quoted(*text) + " (se espera viga o pilar)");
    }
    if (const auto text = readText(at(Column::Series), Column::Series, faults)) {
        if (equalsNoCase(*text, "Euro"))
            m.series = "Euro";
        else if (equalsNoCase(*text, "Mex"))
            m.series = "Mex";
        else if (text->empty())
            faults.add(Column::Series, "sin valor (se espera Euro o Mex)");
        else
            faults.add(Column::Series,
                       "serie desconocida " + quoted(*text) + " (se espera Euro o Mex)");
    }

    // The design actions, any of them; a member with actions may leave its area to them.
    std::optional<Actions> actions;
    for (const Column c : {Column::NEd, Column::MyEd, Column::MzEd}) {
        const RawValue& v = at(c);
        row.actionFields = row.actionFields || v.type != RawValue::Type::Missing;
        if (blankOrAbsent(v))
            continue;
        const auto value = readNumber(v, c, decimalSeparator, faults);
        if (!value)
            continue;
        if (!std::isfinite(*value)) {
            faults.add(c, "no es un número finito");
            continue;
        }
        if (std::abs(*value) > kLargestActionKn) {
            faults.add(c, "es demasiado grande (" + platform::numberText(*value) + ")");
            continue;
        }
        if (!actions)
            actions.emplace();
        (c == Column::NEd    ? actions->nKn
         : c == Column::MyEd ? actions->myKnm
                             : actions->mzKnm) = *value;
    }
    std::optional<double> area;
    if (!actions || !blankOrAbsent(at(Column::Area)))
        area =
            readPositive(at(Column::Area), Column::Area, decimalSeparator, kLargestAreaCm2, faults);
    else
        area = 0.0; // from the actions
    const auto cover =
        readPositive(at(Column::Cover), Column::Cover, decimalSeparator, kLargestSizeCm, faults);
    const auto width =
        readPositive(at(Column::Width), Column::Width, decimalSeparator, kLargestSizeCm, faults);

    // A column's height may be left out: the window makes it the width.
    std::optional<double> height;
    const RawValue& h = at(Column::Height);
    const bool noHeight = h.type == RawValue::Type::Missing || h.type == RawValue::Type::Null ||
                          (h.type == RawValue::Type::Text && trim(h.text).empty());
    if (kind == MemberKind::Column && noHeight)
        height = width;
    else
        height = readPositive(h, Column::Height, decimalSeparator, kLargestSizeCm, faults);

    // The window's scroll bar takes whole numbers 1…10 for a beam and 4…10 for a column.
    std::optional<double> multiple;
    if (const auto v =
            readNumber(at(Column::Multiple), Column::Multiple, decimalSeparator, faults)) {
        const double lowest = kind == MemberKind::Column ? 4 : 1;
        const std::string range = kind == MemberKind::Column ? "4…10 para un pilar"
                                  : kind == MemberKind::Beam ? "1…10 para una viga"
                                                             : "1…10";
        if (!std::isfinite(*v) || *v != std::nearbyint(*v))
            faults.add(Column::Multiple,
                       "no es un número entero (" + platform::numberText(*v) + ")");
        else if (*v < lowest || *v > 10)
            faults.add(Column::Multiple,
                       "fuera de " + range + " (" + platform::numberText(*v) + ")");
        else
            multiple = v;
    }

    const RawValue& len = at(Column::Length);
    std::optional<double> length;
    if (!blankOrAbsent(len))
        length = readPositive(len, Column::Length, decimalSeparator, kLargestLengthM, faults);

    // The search and the aggregate size may be left empty: the run's own are taken.
    const RawValue& search = at(Column::Search);
    row.searchField = search.type != RawValue::Type::Missing;
    if (!blankOrAbsent(search))
        if (const auto text = readText(search, Column::Search, faults)) {
            row.search = searchKindFromText(*text);
            if (!row.search)
                faults.add(Column::Search, "búsqueda desconocida " + quoted(*text) +
                                               " (se espera described, ec2 o aci)");
        }
    if (const RawValue& aggregate = at(Column::Aggregate); !blankOrAbsent(aggregate))
        row.aggregateMm = readPositive(aggregate, Column::Aggregate, decimalSeparator,
                                       kLargestAggregateMm, faults);

    // Materials may be left empty too; whether a strength suits the code is the search's check.
    if (const RawValue& concrete = at(Column::Concrete); !blankOrAbsent(concrete)) {
        if (concrete.type == RawValue::Type::Number && std::isfinite(concrete.number)) {
            row.concreteMpa = concrete.number;
        } else if (const auto text = readText(concrete, Column::Concrete, faults)) {
            row.concreteMpa = code::rules::concreteFromText(*text);
            if (!row.concreteMpa)
                faults.add(Column::Concrete, "hormigón desconocido " + quoted(*text) +
                                                 " (se espera una clase como C30/37 o MPa)");
        }
    }
    if (const RawValue& steel = at(Column::Steel); !blankOrAbsent(steel))
        row.steelMpa = readPositive(steel, Column::Steel, decimalSeparator, 1e4, faults);

    // The link may be left empty: the run's is taken.
    const RawValue& link = at(Column::Link);
    row.linkField = link.type != RawValue::Type::Missing;
    double linkMm = defaults.linkMm;
    if (!blankOrAbsent(link))
        if (const auto v = readNumber(link, Column::Link, decimalSeparator, faults)) {
            if (!std::isfinite(*v))
                faults.add(Column::Link, "no es un número finito");
            else if (*v < 0)
                faults.add(Column::Link,
                           "no puede ser negativo (" + platform::numberText(*v) + ")");
            else if (*v > kLargestLinkMm)
                faults.add(Column::Link, "es demasiado grande (" + platform::numberText(*v) +
                                             "; el máximo es " +
                                             platform::numberText(kLargestLinkMm) + ")");
            else
                linkMm = *v;
        }

    if (!faults.any() && linkMm != 0) {
        // Whether the link is one of the series' bars and leaves room inside the cover.
        Member withLink;
        withLink.kind = *kind;
        withLink.series = m.series;
        withLink.coverCm = *cover;
        withLink.widthCm = *width;
        withLink.heightCm = *height;
        withLink.multiple = *multiple;
        withLink.linkMm = linkMm;
        if (const std::string why = linkProblem(withLink, row.search.value_or(defaults.search));
            !why.empty())
            faults.add(Column::Link, why);
    }

    if (faults.any()) {
        // Without a label the message starts at its first field.
        row.error = rowLabel.empty() ? faults.text().substr(2) + "."
                                     : std::string(rowLabel) + faults.text() + ".";
        return row;
    }
    m.kind = *kind;
    m.areaCm2 = *area;
    m.coverCm = *cover;
    m.widthCm = *width;
    m.heightCm = *height;
    m.multiple = *multiple;
    m.lengthM = length;
    m.actions = actions;
    m.linkMm = linkMm;
    row.member = std::move(m);
    return row;
}

} // namespace tresol::design

#include "batch/Schedule.h"

#include "batch/MemberInput.h"
#include "batch/Utf8.h"
#include "design/RowFields.h"
#include "platform/Numbers.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tresol::batch {
namespace {

using Json = nlohmann::ordered_json;

std::string joined(const std::vector<std::string>& texts, std::string_view separator) {
    std::string text;
    for (const auto& t : texts) {
        if (!text.empty())
            text += separator;
        text += t;
    }
    return text;
}

// A schedule's messages of a member, joined.
std::string joinedMessages(const design::RunResult& result) {
    std::string text;
    for (const auto& m : result.scheduleMessages()) {
        if (!text.empty())
            text += " | ";
        text += m.text;
    }
    return text;
}

// A layered field as text, appended to `out`: groups by " + ", layers by " / ".
template <class Append>
void appendLayered(std::string& out, const std::vector<design::RowLayer>& layers,
                   design::LayerFigure figure, Append append) {
    for (std::size_t l = 0; l < layers.size(); ++l) {
        if (l > 0)
            out += " / ";
        const design::RowLayer& layer = layers[l];
        switch (figure) {
        case design::LayerFigure::GroupDiameters:
            for (std::size_t g = 0; g < layer.groups.size(); ++g) {
                if (g > 0)
                    out += " + ";
                append(out, layer.groups[g].diameterMm);
            }
            break;
        case design::LayerFigure::ClearSpacing:
            append(out, layer.clearSpacingMm);
            break;
        case design::LayerFigure::MinClear:
            if (layer.minClearMm)
                append(out, *layer.minClearMm);
            break;
        }
    }
}

// One CSV record built field by field in a dialect.
class CsvLine {
  public:
    explicit CsvLine(const CsvDialect& dialect) : d_(dialect) {}

    CsvLine& start() {
        text_.clear();
        first_ = true;
        return *this;
    }
    CsvLine& text(std::string_view t) {
        separate();
        appendCsvField(text_, t);
        return *this;
    }
    // A field already safe in the dialect (numbers joined by " / ").
    CsvLine& plain(std::string_view t) {
        separate();
        text_ += t;
        return *this;
    }
    CsvLine& number(double v) {
        separate();
        appendCsvNumber(text_, v, d_);
        return *this;
    }
    CsvLine& number(const std::optional<double>& v) {
        separate();
        if (v)
            appendCsvNumber(text_, *v, d_);
        return *this;
    }
    CsvLine& integer(std::int64_t v) {
        separate();
        text_ += std::to_string(v);
        return *this;
    }
    CsvLine& boolean(bool v) {
        separate();
        text_ += v ? "true" : "false";
        return *this;
    }
    CsvLine& blanks(int n) {
        for (int i = 0; i < n; ++i)
            separate();
        return *this;
    }
    // The record with its line end.
    const std::string& end() {
        text_ += "\r\n";
        return text_;
    }

  private:
    void separate() {
        if (!first_)
            text_ += d_.separator;
        first_ = false;
    }

    const CsvDialect& d_;
    std::string text_;
    bool first_ = true;
};

// A field of a row into a CSV record.
class CsvSink : public design::FieldSink {
  public:
    CsvSink(CsvLine& line, const CsvDialect& dialect) : line_(line), dialect_(dialect) {}

    void empty() override { line_.blanks(1); }
    void number(double v) override { line_.number(v); }
    void integer(std::int64_t v) override { line_.integer(v); }
    void boolean(bool v) override { line_.boolean(v); }
    void text(std::string_view t) override { line_.text(t); }
    void texts(const std::vector<std::string>& list) override {
        if (list.size() == 1)
            line_.text(list.front());
        else
            line_.text(joined(list, " | "));
    }
    void layered(const std::vector<design::RowLayer>& layers, design::LayerFigure figure) override {
        buffer_.clear();
        appendLayered(buffer_, layers, figure,
                      [this](std::string& out, double v) { appendCsvNumber(out, v, dialect_); });
        line_.plain(buffer_);
    }
    void layers(const std::vector<design::RowLayer>& layers) override {
        line_.integer(static_cast<std::int64_t>(layers.size()));
    }

  private:
    CsvLine& line_;
    const CsvDialect& dialect_;
    std::string buffer_; // kept between fields: a schedule writes many
};

class CsvSchedule : public ScheduleWriter {
  public:
    CsvSchedule(BufferedWriter& out, const CsvDialect& dialect) : out_(out), dialect_(dialect) {}

    void codeColumns(bool on) override {
        if (!headerWritten_)
            code_ = on;
    }
    void strengthColumns(bool on) override {
        if (!headerWritten_)
            strength_ = on;
    }
    void linkColumns(bool on) override {
        if (!headerWritten_)
            link_ = on;
    }

    // One record per row; a member without rows has one with its own fields alone.
    void format(std::int64_t, const design::RunResult& result, std::string& text) const override {
        CsvLine line(dialect_);
        CsvSink sink(line, dialect_);
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& rows = result.rows();
        for (std::size_t i = 0; i == 0 || i < rows.size(); ++i) {
            const design::RowView view{result, rows.empty() ? nullptr : &rows[i], chosen == i,
                                       messages};
            line.start();
            for (const design::Field* f : fields())
                design::readField(*f, sink, view);
            if (strength_)
                for (const design::Field* f : design::strengthFields())
                    design::readField(*f, sink, view);
            if (link_)
                for (const design::Field* f : design::linkFields())
                    design::readField(*f, sink, view);
            text += line.end();
        }
    }

    void written(std::string_view text) override {
        header();
        out_.write(text);
    }

    void finish() override { header(); }

  private:
    std::span<const design::Field* const> fields() const {
        return design::layout(code_ ? design::Layout::CsvCode : design::Layout::CsvDescribed);
    }

    // Written with the first member, once the run knows which columns it needs.
    void header() {
        if (headerWritten_)
            return;
        headerWritten_ = true;
        if (dialect_.byteOrderMark)
            out_.write("\xEF\xBB\xBF");
        std::string names;
        auto name = [&](const design::Field* f) {
            if (!names.empty())
                names += dialect_.separator;
            names += f->name;
        };
        for (const design::Field* f : fields())
            name(f);
        if (strength_)
            for (const design::Field* f : design::strengthFields())
                name(f);
        if (link_)
            for (const design::Field* f : design::linkFields())
                name(f);
        out_.write(names + "\r\n");
    }

    BufferedWriter& out_;
    CsvDialect dialect_;
    bool code_ = false;
    bool strength_ = false;
    bool link_ = false;
    bool headerWritten_ = false;
};

// Compact JSON written straight into a text, as nlohmann's dump writes the same values (members
// in the order written, whole doubles as "20.0", NaN and infinities as null, bytes that are not
// UTF-8 as U+FFFD), without building a document for each member.
class JsonText {
  public:
    explicit JsonText(std::string& out) : out_(out) {}

    void begin(char bracket) {
        separate();
        out_ += bracket;
        comma_ = false;
    }
    void end(char bracket) {
        out_ += bracket;
        comma_ = true;
    }
    // A member's name; its value follows.
    JsonText& key(std::string_view name) {
        separate();
        out_ += '"';
        out_ += name;
        out_ += "\":";
        comma_ = false;
        return *this;
    }
    void number(double v) {
        separate();
        if (!std::isfinite(v)) {
            out_ += "null";
        } else {
            const std::size_t at = out_.size();
            appendShortest(out_, v);
            if (out_.find_first_of(".e", at) == std::string::npos)
                out_ += ".0";
        }
        comma_ = true;
    }
    void integer(std::int64_t v) {
        separate();
        out_ += std::to_string(v);
        comma_ = true;
    }
    void boolean(bool v) {
        separate();
        out_ += v ? "true" : "false";
        comma_ = true;
    }
    void null() {
        separate();
        out_ += "null";
        comma_ = true;
    }
    void text(std::string_view t) {
        separate();
        out_ += '"';
        for (std::size_t i = 0; i < t.size();) {
            const auto c = static_cast<unsigned char>(t[i]);
            if (c >= 0x80) {
                const std::size_t len = utf8SequenceLength(t, i);
                if (len == 0) {
                    out_ += "\xEF\xBF\xBD";
                    ++i;
                } else {
                    out_.append(t, i, len);
                    i += len;
                }
                continue;
            }
            ++i;
            switch (c) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\b':
                out_ += "\\b";
                break;
            case '\f':
                out_ += "\\f";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\r':
                out_ += "\\r";
                break;
            case '\t':
                out_ += "\\t";
                break;
            default:
                if (c < 0x20) {
                    static constexpr char kHex[] = "0123456789abcdef";
                    out_ += "\\u00";
                    out_ += kHex[c >> 4];
                    out_ += kHex[c & 0xF];
                } else {
                    out_ += static_cast<char>(c);
                }
            }
        }
        out_ += '"';
        comma_ = true;
    }

  private:
    void separate() {
        if (comma_)
            out_ += ',';
    }

    std::string& out_;
    bool comma_ = false;
};

// A field of a row into a JSON object: its key, then its value.
class JsonSink : public design::FieldSink {
  public:
    explicit JsonSink(JsonText& j) : j_(j) {}

    void field(const design::Field& f, const design::RowView& view) {
        field_ = &f;
        design::readField(f, *this, view);
    }

    void empty() override {
        if (!field_->omitWhenEmpty)
            key().null();
    }
    void number(double v) override { key().number(v); }
    void integer(std::int64_t v) override { key().integer(v); }
    void boolean(bool v) override { key().boolean(v); }
    void text(std::string_view t) override { key().text(t); }
    void texts(const std::vector<std::string>& list) override {
        key().begin('[');
        for (const std::string& t : list)
            j_.text(t);
        j_.end(']');
    }
    void layered(const std::vector<design::RowLayer>& layers, design::LayerFigure figure) override {
        std::string text;
        appendLayered(text, layers, figure,
                      [](std::string& out, double v) { appendShortest(out, v); });
        key().text(text);
    }
    void layers(const std::vector<design::RowLayer>& layers) override {
        key().begin('[');
        for (const design::RowLayer& layer : layers) {
            j_.begin('{');
            j_.key("groups").begin('[');
            for (const design::RowGroup& g : layer.groups) {
                j_.begin('{');
                j_.key("count").integer(g.count);
                j_.key("diameter_mm").number(g.diameterMm);
                j_.key("ref").text(g.ref);
                j_.end('}');
            }
            j_.end(']');
            j_.key("clear_spacing_mm").number(layer.clearSpacingMm);
            j_.key("min_clear_mm");
            if (layer.minClearMm)
                j_.number(*layer.minClearMm);
            else
                j_.null();
            j_.end('}');
        }
        j_.end(']');
    }

  private:
    JsonText& key() { return j_.key(field_->name); }

    JsonText& j_;
    const design::Field* field_ = nullptr;
};

class JsonSchedule : public ScheduleWriter {
  public:
    explicit JsonSchedule(BufferedWriter& out) : out_(out) { out_.write("["); }

    void linkColumns(bool on) override { link_ = on; }

    void format(std::int64_t row, const design::RunResult& result,
                std::string& text) const override {
        const design::Member& m = result.member();
        JsonText j = start(row, m, text);
        if (const auto mat = result.materials()) {
            j.key("search").text(design::searchKindText(result.search().kind));
            j.key("aggregate_mm").number(result.search().code.aggregateMm);
            // The strengths the rows were worked with, defaults filled in, so the file reads
            // back as the same members.
            j.key("concrete").number(mat->fc);
            j.key("steel_mpa").number(mat->fy);
        }
        if (const auto& a = m.actions) {
            j.key("n_ed_kn").number(a->nKn);
            j.key("my_ed_knm").number(a->myKnm);
            j.key("mz_ed_knm").number(a->mzKnm);
        }
        j.key("messages").begin('[');
        for (const auto& msg : result.scheduleMessages())
            j.text(msg.text);
        j.end(']');
        const auto chosen = result.chosen();
        const auto& rows = result.rows();
        if (chosen)
            j.key("chosen").integer(rows[*chosen].number);
        else
            j.key("chosen").null();
        if (chosen && rows[*chosen].massKg)
            j.key("mass_kg").number(*rows[*chosen].massKg);
        j.key("candidates").begin('[');
        JsonSink sink(j);
        const auto fields = design::layout(result.coded() ? design::Layout::JsonCode
                                                          : design::Layout::JsonDescribed);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const design::RowView view{result, &rows[i], chosen == i, {}};
            j.begin('{');
            for (const design::Field* f : fields)
                sink.field(*f, view);
            if (result.checked())
                for (const design::Field* f : design::strengthFields())
                    sink.field(*f, view);
            if (link_)
                for (const design::Field* f : design::linkFields())
                    sink.field(*f, view);
            j.end('}');
        }
        j.end(']');
        j.end('}');
    }

    void written(std::string_view text) override {
        out_.write(first_ ? "\n" : ",\n");
        first_ = false;
        out_.write(text);
    }

    void finish() override { out_.write(first_ ? "]\n" : "\n]\n"); }

  private:
    // A member's object opened with its inputs, readable back as a member.
    JsonText start(std::int64_t row, const design::Member& m, std::string& text) const {
        JsonText j(text);
        j.begin('{');
        j.key("row").integer(row);
        j.key("id").text(m.id);
        j.key("kind").text(kindName(m.kind));
        j.key("series").text(m.series);
        j.key("area_cm2").number(m.areaCm2);
        j.key("cover_cm").number(m.coverCm);
        j.key("width_cm").number(m.widthCm);
        j.key("height_cm").number(m.heightCm);
        j.key("multiple").number(m.multiple);
        if (m.lengthM)
            j.key("length_m").number(*m.lengthM);
        if (link_)
            j.key("link_mm").number(m.linkMm);
        return j;
    }

    BufferedWriter& out_;
    bool first_ = true;
    bool link_ = false;
};

// Sums of many members: the mass to the seven digits of the areas it comes from, the length
// clear of the additions' last-digit noise (18.000000000000004).
double shownMass(double kg) {
    return platform::toSignificantDigits(kg);
}
double shownLength(double m) {
    return platform::toSignificantDigits(m, 12);
}

} // namespace

void appendCsvNumber(std::string& out, double value, const CsvDialect& dialect) {
    const std::size_t at = out.size();
    appendShortest(out, value);
    if (dialect.decimal != '.')
        std::replace(out.begin() + static_cast<std::ptrdiff_t>(at), out.end(), '.',
                     dialect.decimal);
}

std::optional<CsvDialect> csvDialectFromText(std::string_view text) {
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (t == "en")
        return CsvDialect{};
    if (t == "es")
        return kSpanishCsv;
    return std::nullopt;
}

void appendCsvField(std::string& line, std::string_view text) {
    // A plain loop: most fields are a few characters, where find_first_of's search per
    // character costs more than the test.
    const bool quoted = std::any_of(text.begin(), text.end(), [](char c) {
        return c == ',' || c == ';' || c == '"' || c == '\r' || c == '\n';
    });
    if (!quoted) {
        line += text;
        return;
    }
    line += '"';
    for (char c : text) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

std::unique_ptr<ScheduleWriter> makeScheduleWriter(OutputFormat format, BufferedWriter& out,
                                                   const CsvDialect& dialect) {
    if (format == OutputFormat::Json)
        return std::make_unique<JsonSchedule>(out);
    return std::make_unique<CsvSchedule>(out, dialect);
}

void writeTotals(OutputFormat format, const SteelTotals& totals, BufferedWriter& out,
                 const CsvDialect& dialect) {
    const auto diameters = totals.byDiameter();
    if (format == OutputFormat::Json) {
        Json j;
        j["members"] = totals.members();
        j["refused_rows"] = totals.refused();
        j["without_choice"] = totals.withoutChoice();
        Json& list = j["by_diameter"] = Json::array();
        for (const auto& d : diameters) {
            Json& e = list.emplace_back();
            e["series"] = d.series;
            e["diameter"] = d.ref;
            e["diameter_mm"] = d.diameterMm;
            e["members"] = d.members;
            e["bars"] = d.bars;
            e["length_m"] = shownLength(d.lengthM);
            e["mass_kg"] = shownMass(d.massKg);
        }
        j["mass_kg"] = shownMass(totals.massKg());
        out.write(j.dump(2, ' ', false, Json::error_handler_t::replace));
        out.write("\n");
        return;
    }
    if (dialect.byteOrderMark)
        out.write("\xEF\xBB\xBF");
    std::string names = "series,diameter,diameter_mm,members,bars,length_m,mass_kg";
    std::replace(names.begin(), names.end(), ',', dialect.separator);
    out.write(names + "\r\n");
    CsvLine line(dialect);
    for (const auto& d : diameters) {
        line.start()
            .text(d.series)
            .text(d.ref)
            .number(d.diameterMm)
            .integer(d.members)
            .integer(d.bars)
            .number(shownLength(d.lengthM))
            .number(shownMass(d.massKg));
        out.write(line.end());
    }
}

} // namespace tresol::batch

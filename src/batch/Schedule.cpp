#include "batch/Schedule.h"

#include "batch/MemberInput.h"
#include "batch/Utf8.h"
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

// The largest bar of an arrangement (its corners), its widest centre spacing and its narrowest
// clear gap, for the described columns.
struct CodeSummary {
    double diameterMm = 0, spacingMm = 0, clearMm = 0;
};
CodeSummary summary(const code::Arrangement& a) {
    CodeSummary s;
    s.clearMm = a.layers.empty() ? 0 : a.layers[0].clearSpacingMm;
    for (const code::Layer& layer : a.layers) {
        s.spacingMm = std::max(s.spacingMm, layer.maxCentreSpacingMm);
        s.clearMm = std::min(s.clearMm, layer.clearSpacingMm);
        for (const code::Group& g : layer.groups)
            s.diameterMm = std::max(s.diameterMm, g.diameterMm);
    }
    return s;
}

const char* codeText(const code::Options& o) {
    return o.code == code::Code::ACI ? "aci" : "ec2";
}

// A schedule's messages of a member: a described one's with the note of a short choice.
const std::vector<design::Message>& messagesOf(const design::CodeDesignResult& r) {
    return r.messages();
}
std::vector<design::Message> messagesOf(const design::DesignResult& r) {
    return r.scheduleMessages();
}

template <class Result> std::string joinedMessages(const Result& result) {
    std::string text;
    for (const auto& m : messagesOf(result)) {
        if (!text.empty())
            text += " | ";
        text += m.text;
    }
    return text;
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

// The headers, the columns earlier readers know first.
constexpr std::string_view kPlainHeader =
    "id,candidate,line,bars,diameter_mm,bar_area_cm2,total_area_cm2,excess_pct,spacing_cm,"
    "clear_spacing_cm,placeable,placed,chosen,messages,mass_kg,short,centre_spacing_cm,"
    "clear_gap_cm";
constexpr std::string_view kCodeHeader =
    "id,search,aggregate_mm,candidate,line,bars,total_area_cm2,excess_pct,layers,diameters_mm,"
    "clear_spacing_mm,min_clear_mm,effective_depth_cm,ratio_pct,flags,chosen,messages,mass_kg,"
    "short,centre_spacing_cm,clear_gap_cm";

class CsvSchedule : public ScheduleWriter {
  public:
    CsvSchedule(BufferedWriter& out, const CsvDialect& dialect)
        : out_(out), dialect_(dialect), line_(dialect_) {}

    void codeColumns(bool on) override {
        if (!headerWritten_)
            code_ = on;
    }

    void member(std::int64_t, const design::DesignResult& result) override {
        header();
        if (code_)
            described(result);
        else
            plain(result);
    }

    void member(std::int64_t, const design::CodeDesignResult& result) override {
        header();
        if (code_)
            coded(result);
        else
            codeInPlainColumns(result);
    }

    void finish() override { header(); }

  private:
    // A member without a row: the lead columns, `blanks` empty columns, its messages and empty
    // trailing columns (mass, short, spacings).
    void memberWithoutRows(int blanks, const std::string& messages) {
        line_.blanks(blanks).text(messages).blanks(4);
        out_.write(line_.end());
    }

    // The columns every row ends with: chosen, messages, the mass, whether it is short and its
    // bars' gaps as placed; then the row is written.
    void endRow(bool chosen, const std::string& messages, std::optional<double> mass, bool isShort,
                const std::optional<design::BarGaps>& gaps) {
        line_.boolean(chosen).text(messages).number(mass).boolean(isShort);
        if (gaps)
            line_.number(gaps->centreCm).number(gaps->clearCm);
        else
            line_.blanks(2);
        out_.write(line_.end());
    }

    // Written with the first member, once the run knows which columns it needs.
    void header() {
        if (headerWritten_)
            return;
        headerWritten_ = true;
        if (dialect_.byteOrderMark)
            out_.write("\xEF\xBB\xBF");
        std::string names(code_ ? kCodeHeader : kPlainHeader);
        std::replace(names.begin(), names.end(), ',', dialect_.separator);
        out_.write(names + "\r\n");
    }

    // The lead of a code search's row: id, search and aggregate size.
    void codeLead(const design::CodeDesignResult& result) {
        line_.start()
            .text(result.member().id)
            .plain(codeText(result.options()))
            .number(result.options().aggregateMm);
    }

    // A code search's rows under the code columns.
    void coded(const design::CodeDesignResult& result) {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& list = result.arrangements();
        if (list.empty()) {
            codeLead(result);
            return memberWithoutRows(13, messages);
        }
        std::string diameters, clear, minimum;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const code::Arrangement& a = list[i];
            diameters.clear();
            clear.clear();
            minimum.clear();
            for (const code::Layer& layer : a.layers) {
                if (!clear.empty()) {
                    diameters += " / ";
                    clear += " / ";
                    minimum += " / ";
                }
                for (std::size_t g = 0; g < layer.groups.size(); ++g) {
                    if (g > 0)
                        diameters += " + ";
                    appendCsvNumber(diameters, layer.groups[g].diameterMm, dialect_);
                }
                appendCsvNumber(clear, layer.clearSpacingMm, dialect_);
                appendCsvNumber(minimum, layer.minClearMm, dialect_);
            }
            codeLead(result);
            line_.integer(static_cast<std::int64_t>(i) + 1)
                .text(a.line)
                .integer(a.bars)
                .number(a.totalAreaCm2)
                .number(a.excessPct)
                .integer(static_cast<std::int64_t>(a.layers.size()))
                .plain(diameters)
                .plain(clear)
                .plain(minimum)
                .number(a.effectiveDepthCm)
                .number(a.ratioPct)
                .text(joined(a.flags, " | "));
            endRow(chosen == i, messages, steelMassKg(a, m), result.isShort(i), result.gaps(i));
        }
    }

    // A described member under the code columns: one layer of one size; a candidate whose bars
    // do not all fit says so in its flags.
    void described(const design::DesignResult& result) {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& candidates = result.candidates();
        if (candidates.empty()) {
            line_.start().text(m.id).plain("described").blanks(1);
            return memberWithoutRows(13, messages);
        }
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const design::Candidate& c = candidates[i];
            line_.start()
                .text(m.id)
                .plain("described")
                .blanks(1)
                .integer(c.row)
                .text(c.line)
                .integer(c.bars)
                .number(c.totalAreaCm2)
                .number(c.excessPct)
                .integer(1)
                .number(c.diameterMm)
                .number(c.clearSpacingCm * 10)
                .blanks(3)
                .text(c.placeable ? std::string()
                                  : "solo caben " + std::to_string(c.placed) + " de " +
                                        std::to_string(c.bars));
            endRow(chosen == i, messages, steelMassKg(c, m), c.isShort, gapsOf(c));
        }
    }

    // A code search's rows under the described columns: the corner size, the widest centre
    // spacing and the narrowest clear gap; every bar placed.
    void codeInPlainColumns(const design::CodeDesignResult& result) {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& list = result.arrangements();
        if (list.empty()) {
            line_.start().text(m.id);
            return memberWithoutRows(12, messages);
        }
        for (std::size_t i = 0; i < list.size(); ++i) {
            const code::Arrangement& a = list[i];
            const CodeSummary sum = summary(a);
            line_.start()
                .text(m.id)
                .integer(static_cast<std::int64_t>(i) + 1)
                .text(a.line)
                .integer(a.bars)
                .number(sum.diameterMm)
                .blanks(1)
                .number(a.totalAreaCm2)
                .number(a.excessPct)
                .number(sum.spacingMm / 10)
                .number(sum.clearMm / 10)
                .boolean(true)
                .integer(a.bars);
            endRow(chosen == i, messages, steelMassKg(a, m), result.isShort(i), result.gaps(i));
        }
    }

    void plain(const design::DesignResult& result) {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& candidates = result.candidates();
        if (candidates.empty()) {
            line_.start().text(m.id);
            return memberWithoutRows(12, messages);
        }
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const design::Candidate& c = candidates[i];
            line_.start()
                .text(m.id)
                .integer(c.row)
                .text(c.line)
                .integer(c.bars)
                .number(c.diameterMm)
                .number(c.barAreaCm2)
                .number(c.totalAreaCm2)
                .number(c.excessPct)
                .number(c.spacingCm)
                .number(c.clearSpacingCm)
                .boolean(c.placeable)
                .integer(c.placed);
            endRow(chosen == i, messages, steelMassKg(c, m), c.isShort, gapsOf(c));
        }
    }

    static std::optional<design::BarGaps> gapsOf(const design::Candidate& c) {
        if (!c.centreSpacingCm || !c.clearGapCm)
            return std::nullopt;
        return design::BarGaps{*c.centreSpacingCm, *c.clearGapCm};
    }

    BufferedWriter& out_;
    CsvDialect dialect_;
    CsvLine line_;
    bool code_ = false;
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

class JsonSchedule : public ScheduleWriter {
  public:
    explicit JsonSchedule(BufferedWriter& out) : out_(out) { out_.write("["); }

    void member(std::int64_t row, const design::DesignResult& result) override {
        const design::Member& m = result.member();
        JsonText j = start(row, m);
        messages(j, result);
        const auto chosen = result.chosen();
        if (chosen)
            j.key("chosen").integer(result.candidates()[*chosen].row);
        else
            j.key("chosen").null();
        if (chosen)
            if (const auto mass = steelMassKg(result.candidates()[*chosen], m))
                j.key("mass_kg").number(*mass);
        j.key("candidates").begin('[');
        for (std::size_t i = 0; i < result.candidates().size(); ++i) {
            const design::Candidate& c = result.candidates()[i];
            j.begin('{');
            j.key("candidate").integer(c.row);
            j.key("line").text(c.line);
            j.key("bars").integer(c.bars);
            j.key("diameter_mm").number(c.diameterMm);
            j.key("bar_area_cm2").number(c.barAreaCm2);
            j.key("total_area_cm2").number(c.totalAreaCm2);
            j.key("excess_pct").number(c.excessPct);
            j.key("spacing_cm").number(c.spacingCm);
            j.key("clear_spacing_cm").number(c.clearSpacingCm);
            j.key("placeable").boolean(c.placeable);
            j.key("placed").integer(c.placed);
            j.key("chosen").boolean(chosen == i);
            if (const auto mass = steelMassKg(c, m))
                j.key("mass_kg").number(*mass);
            j.key("short").boolean(c.isShort);
            gaps(j, c.centreSpacingCm, c.clearGapCm);
            j.end('}');
        }
        j.end(']');
        finishMember(j);
    }

    void member(std::int64_t row, const design::CodeDesignResult& result) override {
        const design::Member& m = result.member();
        JsonText j = start(row, m);
        j.key("search").text(codeText(result.options()));
        j.key("aggregate_mm").number(result.options().aggregateMm);
        // The strengths the rows were worked with, defaults filled in, so the file reads back
        // as the same members.
        const code::rules::Materials mat = code::materials(result.options());
        j.key("concrete").number(mat.fc);
        j.key("steel_mpa").number(mat.fy);
        messages(j, result);
        const auto chosen = result.chosen();
        const auto& list = result.arrangements();
        if (chosen)
            j.key("chosen").integer(static_cast<std::int64_t>(*chosen) + 1);
        else
            j.key("chosen").null();
        if (chosen)
            if (const auto mass = steelMassKg(list[*chosen], m))
                j.key("mass_kg").number(*mass);
        j.key("candidates").begin('[');
        for (std::size_t i = 0; i < list.size(); ++i) {
            const code::Arrangement& a = list[i];
            j.begin('{');
            j.key("candidate").integer(static_cast<std::int64_t>(i) + 1);
            j.key("line").text(a.line);
            j.key("bars").integer(a.bars);
            j.key("total_area_cm2").number(a.totalAreaCm2);
            j.key("excess_pct").number(a.excessPct);
            j.key("layers").begin('[');
            for (const code::Layer& layer : a.layers) {
                j.begin('{');
                j.key("groups").begin('[');
                for (const code::Group& g : layer.groups) {
                    j.begin('{');
                    j.key("count").integer(g.count);
                    j.key("diameter_mm").number(g.diameterMm);
                    j.key("ref").text(g.ref);
                    j.end('}');
                }
                j.end(']');
                j.key("clear_spacing_mm").number(layer.clearSpacingMm);
                j.key("min_clear_mm").number(layer.minClearMm);
                j.end('}');
            }
            j.end(']');
            if (a.effectiveDepthCm)
                j.key("effective_depth_cm").number(*a.effectiveDepthCm);
            j.key("ratio_pct").number(a.ratioPct);
            j.key("flags").begin('[');
            for (const std::string& f : a.flags)
                j.text(f);
            j.end(']');
            j.key("chosen").boolean(chosen == i);
            if (const auto mass = steelMassKg(a, m))
                j.key("mass_kg").number(*mass);
            j.key("short").boolean(result.isShort(i));
            const auto g = result.gaps(i);
            gaps(j, g ? std::optional(g->centreCm) : std::nullopt,
                 g ? std::optional(g->clearCm) : std::nullopt);
            j.end('}');
        }
        j.end(']');
        finishMember(j);
    }

    void finish() override { out_.write(first_ ? "]\n" : "\n]\n"); }

  private:
    // A member's object opened with its inputs, readable back as a member.
    JsonText start(std::int64_t row, const design::Member& m) {
        line_ = first_ ? "\n" : ",\n";
        first_ = false;
        JsonText j(line_);
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
        return j;
    }

    template <class Result> static void messages(JsonText& j, const Result& result) {
        j.key("messages").begin('[');
        for (const auto& msg : messagesOf(result))
            j.text(msg.text);
        j.end(']');
    }

    // The bars' gaps as placed; null when fewer than two were placed.
    static void gaps(JsonText& j, std::optional<double> centre, std::optional<double> clear) {
        for (const auto& [name, v] :
             {std::pair{"centre_spacing_cm", centre}, {"clear_gap_cm", clear}}) {
            j.key(name);
            if (v)
                j.number(*v);
            else
                j.null();
        }
    }

    void finishMember(JsonText& j) {
        j.end('}');
        out_.write(line_);
    }

    BufferedWriter& out_;
    std::string line_;
    bool first_ = true;
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
    if (text.find_first_of(",;\"\r\n") == std::string_view::npos) {
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

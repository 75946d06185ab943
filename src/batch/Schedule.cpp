#include "batch/Schedule.h"

#include "batch/MemberInput.h"
#include "batch/NumberText.h"
#include "platform/Numbers.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace tresol::batch {
namespace {

using Json = nlohmann::ordered_json;

template <class Result> std::string joinedMessages(const Result& result) {
    std::string text;
    for (const auto& m : result.messages()) {
        if (!text.empty())
            text += " | ";
        text += m.text;
    }
    return text;
}

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

class CsvSchedule : public ScheduleWriter {
  public:
    explicit CsvSchedule(BufferedWriter& out) : out_(out) {}

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
    // A member without a row: its lead columns, `blanks` empty columns, its messages and an
    // empty mass.
    void memberWithoutRows(const std::string& lead, const char* blanks,
                           const std::string& messages) {
        line_ = lead;
        line_ += blanks;
        appendCsvField(line_, messages);
        line_ += ",\r\n";
        out_.write(line_);
    }

    // The columns every row starts with after the lead: the candidate's number, line and bars.
    void startRow(const std::string& lead, std::size_t number, const std::string& line,
                  std::int32_t bars) {
        line_ = lead;
        line_ += ',';
        line_ += std::to_string(number);
        line_ += ',';
        appendCsvField(line_, line);
        line_ += ',';
        line_ += std::to_string(bars);
    }

    // The columns every row ends with: chosen, messages and the mass; then the row is written.
    void endRow(bool chosen, const std::string& messages, std::optional<double> mass) {
        line_ += chosen ? ",true," : ",false,";
        appendCsvField(line_, messages);
        line_ += ',';
        if (mass)
            appendShortest(line_, *mass);
        line_ += "\r\n";
        out_.write(line_);
    }

    // Written with the first member, once the run knows which columns it needs.
    void header() {
        if (headerWritten_)
            return;
        headerWritten_ = true;
        if (code_)
            out_.write("id,search,aggregate_mm,candidate,line,bars,total_area_cm2,excess_pct,"
                       "layers,diameters_mm,clear_spacing_mm,min_clear_mm,effective_depth_cm,"
                       "ratio_pct,flags,chosen,messages,mass_kg\r\n");
        else
            out_.write("id,candidate,line,bars,diameter_mm,bar_area_cm2,total_area_cm2,excess_pct,"
                       "spacing_cm,clear_spacing_cm,placeable,placed,chosen,messages,mass_kg\r\n");
    }

    // A code search's rows under the code columns.
    void coded(const design::CodeDesignResult& result) {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& list = result.arrangements();
        std::string lead;
        appendCsvField(lead, m.id);
        lead += ',';
        lead += codeText(result.options());
        lead += ',';
        appendShortest(lead, result.options().aggregateMm);
        if (list.empty())
            return memberWithoutRows(lead, ",,,,,,,,,,,,,,", messages);
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
                    appendShortest(diameters, layer.groups[g].diameterMm);
                }
                appendShortest(clear, layer.clearSpacingMm);
                appendShortest(minimum, layer.minClearMm);
            }
            startRow(lead, i + 1, a.line, a.bars);
            line_ += ',';
            appendShortest(line_, a.totalAreaCm2);
            line_ += ',';
            appendShortest(line_, a.excessPct);
            line_ += ',';
            line_ += std::to_string(a.layers.size());
            line_ += ',';
            line_ += diameters;
            line_ += ',';
            line_ += clear;
            line_ += ',';
            line_ += minimum;
            line_ += ',';
            if (a.effectiveDepthCm)
                appendShortest(line_, *a.effectiveDepthCm);
            line_ += ',';
            appendShortest(line_, a.ratioPct);
            line_ += ',';
            appendCsvField(line_, joined(a.flags, " | "));
            endRow(chosen == i, messages, steelMassKg(a, m));
        }
    }

    // A described member under the code columns: one layer of one size; a candidate whose bars
    // do not all fit says so in its flags.
    void described(const design::DesignResult& result) {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& candidates = result.candidates();
        std::string lead;
        appendCsvField(lead, m.id);
        lead += ",described,";
        if (candidates.empty())
            return memberWithoutRows(lead, ",,,,,,,,,,,,,,", messages);
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const design::Candidate& c = candidates[i];
            startRow(lead, c.row, c.line, c.bars);
            line_ += ',';
            appendShortest(line_, c.totalAreaCm2);
            line_ += ',';
            appendShortest(line_, c.excessPct);
            line_ += ",1,";
            appendShortest(line_, c.diameterMm);
            line_ += ',';
            appendShortest(line_, c.clearSpacingCm * 10);
            line_ += ",,,,";
            if (!c.placeable)
                line_ += "solo caben " + std::to_string(c.placed) + " de " + std::to_string(c.bars);
            endRow(chosen == i, messages, steelMassKg(c, m));
        }
    }

    // A code search's rows under the described columns: the corner size, the widest centre
    // spacing and the narrowest clear gap; every bar placed.
    void codeInPlainColumns(const design::CodeDesignResult& result) {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& list = result.arrangements();
        std::string lead;
        appendCsvField(lead, m.id);
        if (list.empty())
            return memberWithoutRows(lead, ",,,,,,,,,,,,,", messages);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const code::Arrangement& a = list[i];
            const CodeSummary sum = summary(a);
            startRow(lead, i + 1, a.line, a.bars);
            line_ += ',';
            appendShortest(line_, sum.diameterMm);
            line_ += ",,";
            appendShortest(line_, a.totalAreaCm2);
            line_ += ',';
            appendShortest(line_, a.excessPct);
            line_ += ',';
            appendShortest(line_, sum.spacingMm / 10);
            line_ += ',';
            appendShortest(line_, sum.clearMm / 10);
            line_ += ",true,";
            line_ += std::to_string(a.bars);
            endRow(chosen == i, messages, steelMassKg(a, m));
        }
    }

    void plain(const design::DesignResult& result) {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& candidates = result.candidates();
        std::string lead;
        appendCsvField(lead, m.id);
        if (candidates.empty())
            return memberWithoutRows(lead, ",,,,,,,,,,,,,", messages);
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const design::Candidate& c = candidates[i];
            startRow(lead, c.row, c.line, c.bars);
            for (double v : {c.diameterMm, c.barAreaCm2, c.totalAreaCm2, c.excessPct, c.spacingCm,
                             c.clearSpacingCm}) {
                line_ += ',';
                appendShortest(line_, v);
            }
            line_ += c.placeable ? ",true," : ",false,";
            line_ += std::to_string(c.placed);
            endRow(chosen == i, messages, steelMassKg(c, m));
        }
    }

    BufferedWriter& out_;
    std::string line_;
    bool code_ = false;
    bool headerWritten_ = false;
};

class JsonSchedule : public ScheduleWriter {
  public:
    explicit JsonSchedule(BufferedWriter& out) : out_(out) { out_.write("["); }

    void member(std::int64_t row, const design::DesignResult& result) override {
        const design::Member& m = result.member();
        Json j = inputs(row, m);
        Json& messages = j["messages"] = Json::array();
        for (const auto& msg : result.messages())
            messages.push_back(msg.text);
        const auto chosen = result.chosen();
        j["chosen"] = chosen ? Json(result.candidates()[*chosen].row) : Json(nullptr);
        if (chosen)
            if (const auto mass = steelMassKg(result.candidates()[*chosen], m))
                j["mass_kg"] = *mass;
        Json& list = j["candidates"] = Json::array();
        for (std::size_t i = 0; i < result.candidates().size(); ++i) {
            const design::Candidate& c = result.candidates()[i];
            Json& e = list.emplace_back();
            e["candidate"] = c.row;
            e["line"] = c.line;
            e["bars"] = c.bars;
            e["diameter_mm"] = c.diameterMm;
            e["bar_area_cm2"] = c.barAreaCm2;
            e["total_area_cm2"] = c.totalAreaCm2;
            e["excess_pct"] = c.excessPct;
            e["spacing_cm"] = c.spacingCm;
            e["clear_spacing_cm"] = c.clearSpacingCm;
            e["placeable"] = c.placeable;
            e["placed"] = c.placed;
            e["chosen"] = chosen == i;
            if (const auto mass = steelMassKg(c, m))
                e["mass_kg"] = *mass;
        }
        write(j);
    }

    void member(std::int64_t row, const design::CodeDesignResult& result) override {
        const design::Member& m = result.member();
        Json j = inputs(row, m);
        j["search"] = codeText(result.options());
        j["aggregate_mm"] = result.options().aggregateMm;
        Json& messages = j["messages"] = Json::array();
        for (const auto& msg : result.messages())
            messages.push_back(msg.text);
        const auto chosen = result.chosen();
        const auto& list = result.arrangements();
        j["chosen"] = chosen ? Json(*chosen + 1) : Json(nullptr);
        if (chosen)
            if (const auto mass = steelMassKg(list[*chosen], m))
                j["mass_kg"] = *mass;
        Json& candidates = j["candidates"] = Json::array();
        for (std::size_t i = 0; i < list.size(); ++i) {
            const code::Arrangement& a = list[i];
            Json& e = candidates.emplace_back();
            e["candidate"] = i + 1;
            e["line"] = a.line;
            e["bars"] = a.bars;
            e["total_area_cm2"] = a.totalAreaCm2;
            e["excess_pct"] = a.excessPct;
            Json& layers = e["layers"] = Json::array();
            for (const code::Layer& layer : a.layers) {
                Json& l = layers.emplace_back();
                Json& groups = l["groups"] = Json::array();
                for (const code::Group& g : layer.groups)
                    groups.push_back(
                        {{"count", g.count}, {"diameter_mm", g.diameterMm}, {"ref", g.ref}});
                l["clear_spacing_mm"] = layer.clearSpacingMm;
                l["min_clear_mm"] = layer.minClearMm;
            }
            if (a.effectiveDepthCm)
                e["effective_depth_cm"] = *a.effectiveDepthCm;
            e["ratio_pct"] = a.ratioPct;
            e["flags"] = a.flags;
            e["chosen"] = chosen == i;
            if (const auto mass = steelMassKg(a, m))
                e["mass_kg"] = *mass;
        }
        write(j);
    }

    void finish() override { out_.write(first_ ? "]\n" : "\n]\n"); }

  private:
    // The member's inputs, readable back as a member.
    static Json inputs(std::int64_t row, const design::Member& m) {
        Json j;
        j["row"] = row;
        j["id"] = m.id;
        j["kind"] = kindName(m.kind);
        j["series"] = m.series;
        j["area_cm2"] = m.areaCm2;
        j["cover_cm"] = m.coverCm;
        j["width_cm"] = m.widthCm;
        j["height_cm"] = m.heightCm;
        j["multiple"] = m.multiple;
        if (m.lengthM)
            j["length_m"] = *m.lengthM;
        return j;
    }

    void write(const Json& j) {
        out_.write(first_ ? "\n" : ",\n");
        first_ = false;
        out_.write(j.dump(-1, ' ', false, Json::error_handler_t::replace));
    }

    BufferedWriter& out_;
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

std::unique_ptr<ScheduleWriter> makeScheduleWriter(OutputFormat format, BufferedWriter& out) {
    if (format == OutputFormat::Json)
        return std::make_unique<JsonSchedule>(out);
    return std::make_unique<CsvSchedule>(out);
}

void writeTotals(OutputFormat format, const SteelTotals& totals, BufferedWriter& out) {
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
    out.write("series,diameter,diameter_mm,members,bars,length_m,mass_kg\r\n");
    std::string line;
    for (const auto& d : diameters) {
        line.clear();
        appendCsvField(line, d.series);
        line += ',';
        appendCsvField(line, d.ref);
        line += ',';
        appendShortest(line, d.diameterMm);
        line += ',' + std::to_string(d.members) + ',' + std::to_string(d.bars) + ',';
        appendShortest(line, shownLength(d.lengthM));
        line += ',';
        appendShortest(line, shownMass(d.massKg));
        line += "\r\n";
        out.write(line);
    }
}

} // namespace tresol::batch

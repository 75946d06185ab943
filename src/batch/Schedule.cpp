#include "batch/Schedule.h"

#include "batch/MemberInput.h"
#include "batch/NumberText.h"

#include <nlohmann/json.hpp>

namespace tresol::batch {
namespace {

using Json = nlohmann::ordered_json;

std::string joinedMessages(const design::DesignResult& result) {
    std::string text;
    for (const auto& m : result.messages()) {
        if (!text.empty())
            text += " | ";
        text += m.text;
    }
    return text;
}

class CsvSchedule : public ScheduleWriter {
  public:
    explicit CsvSchedule(BufferedWriter& out) : out_(out) {
        out_.write("id,candidate,line,bars,diameter_mm,bar_area_cm2,total_area_cm2,excess_pct,"
                   "spacing_cm,clear_spacing_cm,placeable,placed,chosen,messages,mass_kg\r\n");
    }

    void member(std::int64_t, const design::DesignResult& result) override {
        const design::Member& m = result.member();
        const std::string messages = joinedMessages(result);
        const auto chosen = result.chosen();
        const auto& candidates = result.candidates();
        if (candidates.empty()) {
            line_.clear();
            appendCsvField(line_, m.id);
            line_ += ",,,,,,,,,,,,,";
            appendCsvField(line_, messages);
            line_ += ",\r\n";
            out_.write(line_);
            return;
        }
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const design::Candidate& c = candidates[i];
            line_.clear();
            appendCsvField(line_, m.id);
            line_ += ',';
            line_ += std::to_string(c.row);
            line_ += ',';
            appendCsvField(line_, c.line);
            line_ += ',';
            line_ += std::to_string(c.bars);
            for (double v : {c.diameterMm, c.barAreaCm2, c.totalAreaCm2, c.excessPct, c.spacingCm,
                             c.clearSpacingCm}) {
                line_ += ',';
                appendShortest(line_, v);
            }
            line_ += c.placeable ? ",true," : ",false,";
            line_ += std::to_string(c.placed);
            line_ += chosen == i ? ",true," : ",false,";
            appendCsvField(line_, messages);
            line_ += ',';
            if (const auto mass = steelMassKg(c, m))
                appendShortest(line_, *mass);
            line_ += "\r\n";
            out_.write(line_);
        }
    }

    void finish() override {}

  private:
    BufferedWriter& out_;
    std::string line_;
};

class JsonSchedule : public ScheduleWriter {
  public:
    explicit JsonSchedule(BufferedWriter& out) : out_(out) { out_.write("["); }

    void member(std::int64_t row, const design::DesignResult& result) override {
        const design::Member& m = result.member();
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
        out_.write(first_ ? "\n" : ",\n");
        first_ = false;
        out_.write(j.dump());
    }

    void finish() override { out_.write(first_ ? "]\n" : "\n]\n"); }

  private:
    BufferedWriter& out_;
    bool first_ = true;
};

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
            e["length_m"] = d.lengthM;
            e["mass_kg"] = d.massKg;
        }
        j["mass_kg"] = totals.massKg();
        out.write(j.dump(2));
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
        appendShortest(line, d.lengthM);
        line += ',';
        appendShortest(line, d.massKg);
        line += "\r\n";
        out.write(line);
    }
}

} // namespace tresol::batch

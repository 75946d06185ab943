// The batch program's member reader on any bytes, as CSV or JSON, and every member it accepts
// through the design front door: a whole input is either refused with an input error or read row
// by row; a row is either a member with finite, positive values or a refusal that says why; and
// the design of an accepted member (described, or code-checked when the row asks) never places
// more bars than its line holds. The schedules of the accepted members, CSV and JSON, are written
// whatever their texts hold, and the JSON one reads back as JSON with a member for each.

#include "FuzzSupport.h"
#include "batch/CsvReader.h"
#include "batch/MemberReader.h"
#include "batch/Schedule.h"
#include "design/MemberRow.h"
#include "design/Run.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <sstream>
#include <sys/mman.h>
#include <unistd.h>

using namespace tresol;

namespace {

// A schedule written into memory and handed back as text.
class MemorySchedule {
  public:
    explicit MemorySchedule(batch::OutputFormat format)
        : fd_(memfd_create("schedule", 0)), out_(fd_, "schedule"),
          writer_(batch::makeScheduleWriter(format, out_)) {}
    ~MemorySchedule() { ::close(fd_); }
    batch::ScheduleWriter& writer() { return *writer_; }
    std::string finish() {
        writer_->finish();
        out_.flush();
        std::string text(static_cast<std::size_t>(::lseek(fd_, 0, SEEK_END)), '\0');
        FUZZ_CHECK(::pread(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()),
                   "schedule read back");
        return text;
    }

  private:
    int fd_;
    batch::BufferedWriter out_;
    std::unique_ptr<batch::ScheduleWriter> writer_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::CountingSink sink;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    static design::Catalogues catalogues;
    std::int64_t rows = 0, members = 0;
    MemorySchedule csv(batch::OutputFormat::Csv), json(batch::OutputFormat::Json);
    csv.writer().codeColumns(size % 2 == 1);
    try {
        batch::readMembers(in, batch::sniffFormat(in), [&](batch::InputRow&& row) {
            ++rows;
            FUZZ_CHECK(row.member.has_value() != !row.error.empty(), "row %lld: '%s'",
                       static_cast<long long>(row.number), row.error.c_str());
            if (!row.member)
                return;
            const design::Member& m = *row.member;
            FUZZ_CHECK(m.series == "Euro" || m.series == "Mex", "series '%s'", m.series.c_str());
            for (double v : {m.widthCm, m.multiple})
                FUZZ_CHECK(std::isfinite(v) && v > 0, "value %g accepted", v);
            // An area may be left to the actions, and only then.
            FUZZ_CHECK(std::isfinite(m.areaCm2) && (m.areaCm2 > 0 || m.actions), "area %g",
                       m.areaCm2);
            FUZZ_CHECK(std::isfinite(m.coverCm) && m.coverCm >= 0, "cover %g", m.coverCm);
            ++members;
            const design::Search search = design::searchOf(row, {});
            const design::RunResult r =
                design::run(m, search, catalogues.get(m.series, search.kind));
            FUZZ_CHECK(!r.refused() || !r.messages().empty(), "refused without a reason");
            for (const auto& c : r.rows())
                FUZZ_CHECK(c.placed >= 0 && c.placed <= c.bars, "%s placed %d", c.line.c_str(),
                           c.placed);
            if (r.coded() && r.chosen()) {
                const auto p = r.place(1);
                FUZZ_CHECK(p.placed == r.rows()[0].bars, "%s placed %d", p.line.c_str(), p.placed);
            }
            if (r.refused()) {
                --members; // refused as the batch program refuses it: no schedule entry
                return;
            }
            csv.writer().member(row.number, r);
            json.writer().member(row.number, r);
        });
    } catch (const batch::InputError&) {
        // A whole input refused is an answer.
        return 0;
    }
    const std::string jsonText = json.finish();
    const auto schedule = nlohmann::json::parse(jsonText, nullptr, false);
    FUZZ_CHECK(schedule.is_array() && schedule.size() == static_cast<std::size_t>(members),
               "JSON schedule of %lld members: %s", static_cast<long long>(members),
               jsonText.substr(0, 200).c_str());
    std::istringstream csvText(csv.finish());
    batch::CsvReader reader(csvText);
    std::vector<std::string> fields;
    std::int64_t records = 0;
    while (reader.next(fields))
        ++records;
    FUZZ_CHECK(records >= members + 1, "CSV schedule of %lld members has %lld records",
               static_cast<long long>(members), static_cast<long long>(records));
    return 0;
}

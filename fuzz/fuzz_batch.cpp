// The batch program's member reader on any bytes, as CSV or JSON, and every member it accepts
// through the design front door: a whole input is either refused with an input error or read row
// by row; a row is either a member with finite, positive values or a refusal that says why; and
// the design of an accepted member (described, or code-checked when the row asks) never places
// more bars than its line holds.

#include "FuzzSupport.h"
#include "batch/MemberReader.h"
#include "design/CodeDesign.h"
#include "design/Design.h"

#include <cmath>
#include <sstream>

using namespace tresol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::CountingSink sink;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    static const auto euro = design::standardCatalogue("Euro");
    static const auto mex = design::standardCatalogue("Mex");
    std::int64_t rows = 0;
    try {
        batch::readMembers(in, batch::sniffFormat(in), [&](batch::InputRow&& row) {
            ++rows;
            FUZZ_CHECK(row.member.has_value() != !row.error.empty(), "row %lld: '%s'",
                       static_cast<long long>(row.number), row.error.c_str());
            if (!row.member)
                return;
            const design::Member& m = *row.member;
            FUZZ_CHECK(m.series == "Euro" || m.series == "Mex", "series '%s'", m.series.c_str());
            for (double v : {m.areaCm2, m.widthCm, m.multiple})
                FUZZ_CHECK(std::isfinite(v) && v > 0, "value %g accepted", v);
            FUZZ_CHECK(std::isfinite(m.coverCm) && m.coverCm >= 0, "cover %g", m.coverCm);
            const auto& cat = m.series == "Euro" ? euro : mex;
            const design::DesignResult r = design::design(m, cat);
            for (const auto& c : r.candidates())
                FUZZ_CHECK(c.placed >= 0 && c.placed <= c.bars, "%s placed %d", c.line.c_str(),
                           c.placed);
            if (row.search && *row.search != design::SearchKind::Described) {
                code::Options o;
                o.code = *row.search == design::SearchKind::ACI ? code::Code::ACI : code::Code::EC2;
                if (row.aggregateMm)
                    o.aggregateMm = *row.aggregateMm;
                const design::CodeDesignResult cr = design::designCode(m, o, cat);
                if (cr.chosen()) {
                    const auto p = cr.place(1);
                    FUZZ_CHECK(p.placed == cr.arrangements()[0].bars, "%s placed %d",
                               p.line.c_str(), p.placed);
                }
            }
        });
    } catch (const batch::InputError&) {
        // A whole input refused is an answer.
    }
    return 0;
}

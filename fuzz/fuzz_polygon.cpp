// Polygonal sections from any closed point list: the properties come out finite or the contour
// is refused with a message, and the parallel contour at any distance is built without failing.
// A contour whose first and last rows differ is, by the section's contract, a programming error
// (after its message); a NaN in the first row makes even a copied last row differ, so that case
// is expected to throw and nothing else is.

#include "FuzzSupport.h"
#include "platform/ProgrammingError.h"
#include "sections/CSeccG.h"

#include <cmath>

using namespace tresol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::CountingSink sink;
    fuzz::Input in(data, size);
    const auto rows = static_cast<std::int32_t>(in.range(1, 64));
    const float dista = in.take<float>();
    PointArray p = makePointArray(rows);
    bool moderate = true; // every coordinate finite and within ±1e6
    for (std::int32_t i = 1; i < rows; ++i)
        for (std::int32_t j = 1; j <= 2; ++j) {
            p(i, j) = in.take<float>();
            moderate = moderate && std::fabs(p(i, j)) <= 1e6f;
        }
    p(rows, 1) = p(1, 1);
    p(rows, 2) = p(1, 2);
    const bool open = std::isnan(p(1, 1)) || std::isnan(p(1, 2));

    CSeccG secc;
    bool ok = false;
    try {
        ok = secc.asigna_coor(rows, p);
    } catch (const ProgrammingError&) {
        FUZZ_CHECK(open, "a closed contour of %d rows refused as a programming error", rows);
        return 0;
    }
    FUZZ_CHECK(!open, "an open contour accepted");
    if (!ok) {
        FUZZ_CHECK(sink.count == 1, "refused with %zu messages", sink.count);
        return 0;
    }
    if (moderate) {
        const float props[] = {secc.area(), secc.Yg(), secc.Zg(), secc.Iyg(),    secc.Izg(),
                               secc.izy(),  secc.Iy(), secc.Iz(), secc.cantoY(), secc.cantoZ()};
        for (float v : props)
            FUZZ_CHECK(std::isfinite(v), "a property of a %d-row contour is %g", rows, v);
    }
    if (std::isfinite(dista)) {
        CSeccG paralela;
        (void)paralela.IniHomotetica(p, dista);
    }
    return 0;
}

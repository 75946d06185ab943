// Polygonal sections from any closed point list (the last row a copy of the first, as the
// section's contract asks): the properties come out finite or the contour is refused with one
// message, and the parallel contour at any finite distance is built or refused the same way.
// Nothing may throw: an open contour is the only programming error and none is given.

#include "FuzzSupport.h"
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

    CSeccG secc;
    if (!secc.asigna_coor(rows, p)) {
        FUZZ_CHECK(sink.count == 1, "refused with %zu messages", sink.count);
        return 0;
    }
    const float props[] = {secc.area(), secc.Yg(), secc.Zg(), secc.Iyg(), secc.Izg(),
                           secc.izy(),  secc.Iy(), secc.Iz(), secc.YgA(), secc.ZgA()};
    for (float v : props)
        FUZZ_CHECK(std::isfinite(v), "a property of a %d-row contour is %g", rows, v);
    // The depths are differences of coordinates, finite whenever those are moderate.
    if (moderate)
        FUZZ_CHECK(std::isfinite(secc.cantoY()) && std::isfinite(secc.cantoZ()), "depths");
    if (std::isfinite(dista)) {
        CSeccG paralela;
        (void)paralela.IniHomotetica(p, dista);
    }
    return 0;
}

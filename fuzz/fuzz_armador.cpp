// The arrangement search with any area, width, cover, spacing limits, counts, multiple and
// series: it answers without failing, and every candidate it keeps obeys the search's own rules
// (a count within the limits that is a multiple of the rounded multiple, an index of the
// catalogue, a readable line).

#include "FuzzSupport.h"
#include "platform/MemoryGrid.h"
#include "platform/Numbers.h"
#include "platform/Single.h"
#include "reinforcement/CArmador.h"

#include <cmath>
#include <limits>
#include <memory>

using namespace tresol;

namespace {

// Mostly the bytes as they come; now and then the values a caller is likely to get wrong.
double number(fuzz::Input& in) {
    static constexpr double kSpecial[] = {0.0,
                                          -0.0,
                                          std::numeric_limits<double>::quiet_NaN(),
                                          std::numeric_limits<double>::infinity(),
                                          -std::numeric_limits<double>::infinity(),
                                          1e300,
                                          -1e300,
                                          0.5,
                                          1.5,
                                          2.5,
                                          1e-40};
    const auto pick = in.take<std::uint8_t>();
    if (pick < std::size(kSpecial))
        return kSpecial[pick];
    return in.take<double>();
}

float single(fuzz::Input& in) {
    return platform::toSingleOrInfinity(number(in));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::CountingSink sink;
    fuzz::Input in(data, size);
    auto cat = std::make_shared<Cdiametro>();
    cat->Ini(in.flag() ? "Mex" : "Euro", "m", in.flag(), in.flag());

    const float area = single(in);
    float lado = single(in);
    float recub = single(in);
    const bool cerrado = in.flag();
    std::optional<float> separMin, separMax;
    if (in.flag())
        separMin = single(in);
    if (in.flag())
        separMax = single(in);
    const auto nMin = in.take<std::int32_t>();
    const auto nMax = in.take<std::int32_t>();
    const double multiplo = number(in);

    CArmador arm;
    arm.Ini(area, cat, lado, cerrado, separMin, separMax, nMin, nMax, recub, multiplo);
    const auto m = platform::roundToInt32(multiplo);
    for (std::int32_t i = 1; i <= arm.GetNumRedondos(); ++i) {
        const std::int32_t n = arm.GetNumero(i);
        FUZZ_CHECK(n >= nMin && n <= nMax, "count %d outside %d…%d", n, nMin, nMax);
        FUZZ_CHECK(m && *m >= 1 && n % *m == 0, "count %d not a multiple of %.17g", n, multiplo);
        FUZZ_CHECK(arm.GetIndiDiam(i) >= cat->GetIndiMin() &&
                       arm.GetIndiDiam(i) <= cat->GetIndiMax(),
                   "index %d", arm.GetIndiDiam(i));
        // The line reads back through the catalogue as the same bars.
        std::int32_t numArma = 0, indiDiam = 0;
        std::string ref;
        float d = 0;
        cat->GetNumArmaRefDiam(arm.GetLinea(i), numArma, ref, indiDiam, d);
        FUZZ_CHECK(numArma == n && indiDiam == arm.GetIndiDiam(i), "%s", arm.GetLinea(i).c_str());
    }
    platform::MemoryGrid grid;
    arm.PasaRedondosGrid(grid);
    return 0;
}

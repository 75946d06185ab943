// Arrangement lines and catalogue look-ups from any text. The catalogue's contract makes a line
// it cannot read (no two spaces, a word that is not a number, a bar it does not hold) and an
// unknown series or unit a programming error, so those are caught here; anything else that
// escapes, and any line read into values the catalogue does not hold, is a finding.

#include "FuzzSupport.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Cdiametro.h"

using namespace tresol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::CountingSink sink;
    fuzz::Input in(data, size);
    platform::ScopedNumberLocale locale(in.flag() ? ',' : '.');
    Cdiametro cat;
    cat.Ini(in.flag() ? "Mex" : "Euro", "m", in.flag(), in.flag());

    const std::string serie = in.text(8);
    try {
        Cdiametro other;
        other.Ini(serie, "m");
        FUZZ_CHECK(serie == "Euro" || serie == "Mex", "series '%s' accepted", serie.c_str());
    } catch (const ProgrammingError&) {
        FUZZ_CHECK(serie != "Euro" && serie != "Mex", "series '%s' refused", serie.c_str());
    }

    const std::string ref = in.text(32);
    const std::int32_t i = cat.GetIndiceDeDiametro(ref);
    FUZZ_CHECK(i == 0 || (i >= cat.GetIndiMin() && i <= cat.GetIndiMax()), "index %d", i);
    if (i != 0)
        FUZZ_CHECK(cat.GetDiametroMetros(i) > 0 && cat.GetAreaIndice(i) > 0, "bar %d", i);

    const std::string line = in.rest();
    std::int32_t numArma = 0, indiDiam = 0;
    std::string refDiametro;
    float d = 0;
    try {
        cat.GetNumArmaRefDiam(line, numArma, refDiametro, indiDiam, d);
    } catch (const ProgrammingError&) {
        return 0;
    }
    FUZZ_CHECK(indiDiam >= cat.GetIndiMin() && indiDiam <= cat.GetIndiMax(), "'%s'", line.c_str());
    FUZZ_CHECK(d == cat.GetDiametroMetros(indiDiam), "'%s'", line.c_str());
    // What was read is written back in the canonical form and read again the same.
    const std::string again =
        std::to_string(numArma) + " " + cat.GetRefGener() + " " + cat.GetDiamRefer(indiDiam);
    std::int32_t n2 = 0, i2 = 0;
    float d2 = 0;
    cat.GetNumArmaRefDiam(again, n2, refDiametro, i2, d2);
    FUZZ_CHECK(n2 == numArma && i2 == indiDiam, "'%s' then '%s'", line.c_str(), again.c_str());
    return 0;
}

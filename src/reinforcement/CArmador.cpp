#include "reinforcement/CArmador.h"

#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <cmath>

namespace tresol {

bool CArmador::Ini(float areaIn, std::shared_ptr<const Cdiametro> diametrosIn, float& ladoIn,
                   bool cerradoIn, std::optional<float> separMinIn, std::optional<float> separMaxIn,
                   std::int32_t nMinIn, std::int32_t nMaxIn, float& recubIn, double multiploIn) {
    diametros = std::move(diametrosIn);
    cerrado = cerradoIn;
    area = areaIn;
    nMax = nMaxIn;
    nMin = nMinIn;
    // The multiple counts faces and bars: the window hands over its whole scroll-bar value, and
    // a fractional one from any other caller is rounded the same way every count is (halves to
    // even) before the search and the spacing use it, so each count found is a multiple of it.
    const auto m = platform::roundToInt32(multiploIn);
    multiploValido = m && *m >= 1;
    multiploEntero = multiploValido ? *m : 0;
    multiplo = multiploValido ? static_cast<float>(*m) : static_cast<float>(multiploIn);

    if (2.0 * recubIn > ladoIn) {
        platform::showError("Recubrimiento incompatible con ancho. Se hacen cero.");
        recubIn = 0.0f;
        ladoIn = 0.0f;
    }
    recub = recubIn;
    lado = ladoIn;
    separMin = separMinIn.value_or(0.0f);
    separMax = separMaxIn.value_or(0.0f);
    if (separMax == 0.0f)
        separMax = lado;

    bool ok = true;
    // A multiple that rounds to no bar at all (below 0.5, or not a number) cannot be searched:
    // it is refused like a negative one instead of dividing by zero.
    if (!(multiplo > 0.0f) || !multiploValido) {
        platform::showError("Error: el múltipo debe ser >= 0");
        ok = false;
    }
    if (nMin < 1) {
        platform::showError("Error: el número minimo de redondos debe ser 1");
        ok = false;
    }
    if (nMax < nMin) {
        platform::showError(
            "Error: el número máximo de redondos debe ser mayor que el número mínimo");
        ok = false;
    }
    BuscaArmados();
    return ok;
}

void CArmador::BuscaArmados() {
    if (!multiploValido || !diametros)
        return;
    // The whole multiple, not its single-precision copy: beyond 2^24 the two differ, and every
    // count must be a multiple of the one the caller asked for.
    const std::int32_t m = multiploEntero;
    const Cdiametro& cat = *diametros;
    for (std::int32_t i = cat.GetIndiMin(); i <= cat.GetIndiMax(); ++i) {
        const float a = cat.GetAreaIndice(i);
        // Counts are worked out in 64 bits; one that does not fit a 32-bit count (a huge area)
        // simply yields no candidate.
        const auto n0 = platform::roundToInt32(static_cast<double>(area) / a);
        if (!n0)
            continue;
        std::int64_t n = *n0;
        auto excess = [&] { return static_cast<float>(static_cast<double>(a) * n - area); };
        float exceso = excess();
        if (exceso < -static_cast<double>(area) / 100.0) {
            ++n;
            exceso = excess();
        }
        if (n % m != 0) {
            const double next = std::floor(n / static_cast<double>(m) + 1.0) * m;
            const auto r = platform::roundToInt32(next);
            if (!r)
                continue;
            n = *r;
            exceso = excess();
        }
        if (!(exceso < 0.8 * static_cast<double>(area)))
            continue;
        if (n < nMin || n > nMax)
            continue;
        const float d = cat.GetDiametroMetros(i);
        const float s = GetSeparacion(static_cast<std::int32_t>(n), d);
        if (s >= d && s >= separMin && s <= separMax)
            AnyadeArmado(i, static_cast<std::int32_t>(n));
    }
}

void CArmador::AnyadeArmado(std::int32_t indiDiam, std::int32_t numero) {
    const std::int32_t k = GetNumRedondos() + 1;
    armados.redimPreserve(1, k);
    armados(k) = Armado{numero, indiDiam};
}

std::int32_t CArmador::GetNumRedondos() const {
    return armados.allocated() ? armados.upper() : 0;
}

float CArmador::GetSeparacion(std::int32_t n, float diametro) const {
    if (lado <= 0.0f)
        return 0.0f;
    const double d = diametro;
    if (cerrado)
        return static_cast<float>((lado - 2.0 * recub - d) * multiplo / n);
    const double w = static_cast<double>(multiplo) * lado - 2.0 * recub;
    if (n <= 1)
        return static_cast<float>(w / 2.0);
    return static_cast<float>((w - d) / (n - 1));
}

const CArmador::Armado& CArmador::candidate(std::int32_t i) const {
    if (i < 1 || i > GetNumRedondos())
        throw ProgrammingError("no arrangement candidate " + std::to_string(i));
    return armados(i);
}

const Cdiametro& CArmador::catalogue() const {
    if (!diametros)
        throw ProgrammingError("arrangement search without a catalogue");
    return *diametros;
}

std::string CArmador::GetLinea(std::int32_t i) const {
    const Armado& c = candidate(i);
    const Cdiametro& cat = catalogue();
    return std::to_string(c.numero) + " " + cat.GetRefGener() + " " + cat.GetDiamRefer(c.indiDiam);
}

void CArmador::PasaRedondosGrid(platform::GridControl& gridAux) const {
    const std::int32_t k = GetNumRedondos();
    gridAux.Cols(5);
    const std::int32_t widths[] = {600, 800, 800, 800};
    for (std::int32_t c = 0; c < 4; ++c)
        gridAux.ColWidth(c, widths[c]);
    gridAux.Rows(k + 1);
    for (std::int32_t i = 1; i <= k; ++i) {
        const Armado& arm = candidate(i);
        const Cdiametro& cat = catalogue();
        const double a = cat.GetAreaIndice(arm.indiDiam);
        const float s = GetSeparacion(arm.numero, cat.GetDiametroMetros(arm.indiDiam));
        gridAux.Row(i);
        gridAux.col(0);
        gridAux.Text(GetLinea(i));
        gridAux.col(1);
        gridAux.Text(platform::formatNumber(a * 10000.0, "#.00"));
        gridAux.col(2);
        gridAux.Text(platform::formatNumber(a * arm.numero * 10000.0, "#.00"));
        gridAux.col(3);
        gridAux.Text(cat.GetRefGener() + " " + cat.GetDiamRefer(arm.indiDiam) + " c/" +
                     platform::formatNumber(std::floor(static_cast<double>(s) * 100.0), "#"));
    }
}

} // namespace tresol

#include "reinforcement/Cdiametro.h"

#include "datasheets/IHojaDat.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <atomic>

namespace tresol {

namespace {
constexpr double kPi = 3.14159265359;
} // namespace

std::uint64_t Cdiametro::nextStamp() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

bool Cdiametro::Ini(const std::string& reftipo, const std::string& refUnidades,
                    std::optional<bool> fi14Valido, std::optional<bool> num7Valido) {
    LetRefUnidades(refUnidades);
    if (reftipo == "Euro")
        IniEuro(fi14Valido.value_or(false));
    else if (reftipo == "Mex")
        IniMex(num7Valido.value_or(false));
    else
        throw ProgrammingError("unknown bar series: " + reftipo);
    tipo = reftipo;
    stamp_ = nextStamp();
    return false;
}

void Cdiametro::IniEuro(bool fi14Valido) {
    std::int32_t i = 1;
    AnyadeDiametro(i, 6.0 / 1000, "6");
    AnyadeDiametro(i, 8.0 / 1000, "8");
    AnyadeDiametro(i, 10.0 / 1000, "10");
    AnyadeDiametro(i, 12.0 / 1000, "12");
    if (fi14Valido)
        AnyadeDiametro(i, 14.0 / 1000, "14");
    AnyadeDiametro(i, 16.0 / 1000, "16");
    AnyadeDiametro(i, 20.0 / 1000, "20");
    AnyadeDiametro(i, 25.0 / 1000, "25");
}

void Cdiametro::IniMex(bool num7Valido) {
    std::int32_t i = 1;
    AnyadeDiametro(i, 0.318 / 100, "1");
    AnyadeDiametro(i, 0.635 / 100, "2");
    AnyadeDiametro(i, 0.953 / 100, "3");
    AnyadeDiametro(i, 1.27 / 100, "4");
    AnyadeDiametro(i, 1.588 / 100, "5");
    AnyadeDiametro(i, 1.905 / 100, "6");
    if (num7Valido)
        AnyadeDiametro(i, 2.223 / 100, "7");
    AnyadeDiametro(i, 2.54 / 100, "8");
}

void Cdiametro::IniCodeSizes(const std::string& reftipo) {
    LetRefUnidades("m");
    tabla = Array1<DiametroRef>();
    std::int32_t i = 1;
    if (reftipo == "Euro") {
        for (int d : {6, 8, 10, 12, 14, 16, 20, 25, 28, 32, 40})
            AnyadeDiametro(i, d / 1000.0, std::to_string(d));
    } else if (reftipo == "Mex") {
        // ASTM A615/A615M Table 1: bar number, nominal diameter (mm), nominal area (mm²).
        struct Bar {
            const char* ref;
            double mm, mm2;
        };
        for (const Bar& b :
             {Bar{"3", 9.5, 71}, Bar{"4", 12.7, 129}, Bar{"5", 15.9, 199}, Bar{"6", 19.1, 284},
              Bar{"7", 22.2, 387}, Bar{"8", 25.4, 510}, Bar{"9", 28.7, 645}, Bar{"10", 32.3, 819},
              Bar{"11", 35.8, 1006}, Bar{"14", 43.0, 1452}, Bar{"18", 57.3, 2581}})
            AnyadeDiametro(i, b.mm / 1000, b.ref, b.mm2 / 1e6);
    } else {
        throw ProgrammingError("unknown bar series: " + reftipo);
    }
    tipo = reftipo;
    stamp_ = nextStamp();
}

// Each entry resizes the table to 1…indice keeping the earlier ones, so a refill starts afresh.
void Cdiametro::AnyadeDiametro(std::int32_t& indice, double diametro, const std::string& ref,
                               double area) {
    tabla.redimPreserve(1, indice);
    tabla(indice) = DiametroRef{static_cast<float>(diametro), ref, static_cast<float>(area)};
    ++indice;
}

const Cdiametro::DiametroRef& Cdiametro::entry(std::int32_t indice) const {
    if (!tabla.contains(indice))
        throw ProgrammingError("bar index outside the catalogue: " + std::to_string(indice));
    return tabla(indice);
}

std::string Cdiametro::GetDiamRefer(std::int32_t indice) const {
    return entry(indice).ref;
}

float Cdiametro::GetAreaIndice(std::int32_t indice) const {
    const DiametroRef& e = entry(indice);
    if (e.area > 0)
        return e.area;
    const double d = e.diametro;
    return static_cast<float>(kPi * d * d / 4.0);
}

void Cdiametro::LetRefUnidades(const std::string& refUnidades) {
    if (refUnidades != "m")
        throw ProgrammingError("unsupported catalogue unit: " + refUnidades);
    unidades = refUnidades;
    stamp_ = nextStamp();
}

std::int32_t Cdiametro::GetIndiMin() const {
    return 1;
}

// An empty catalogue has no index: 1…0, so loops over it do nothing.
std::int32_t Cdiametro::GetIndiMax() const {
    return tabla.allocated() ? tabla.upper() : 0;
}

std::int32_t Cdiametro::GetIndiceDeDiametro(const std::string& referAux) const {
    const auto first = referAux.find_first_not_of(' ');
    const std::string trimmed =
        first == std::string::npos
            ? std::string()
            : referAux.substr(first, referAux.find_last_not_of(' ') - first + 1);
    for (std::int32_t i = GetIndiMin(); i <= GetIndiMax(); ++i)
        if (tabla(i).ref == trimmed)
            return i;
    platform::showError("no se ha encontrado diametro.");
    return 0;
}

float Cdiametro::GetDiametroMetros(std::int32_t indice) const {
    return entry(indice).diametro;
}

std::string Cdiametro::GetRefGener() const {
    if (tipo == "Euro")
        return "fi";
    if (tipo == "Mex")
        return "#";
    throw ProgrammingError("the catalogue has no series yet");
}

void Cdiametro::GetNumArmaRefDiam(const std::string& linearef, std::int32_t& numArma,
                                  std::string& refDiametro, std::int32_t& indiDiam,
                                  float& diametro) const {
    const auto p1 = linearef.find(' ');
    const auto p2 = p1 == std::string::npos ? p1 : linearef.find(' ', p1 + 1);
    if (p2 == std::string::npos)
        throw ProgrammingError("arrangement line without two spaces: " + linearef);
    const std::string countText = linearef.substr(0, p1 + 1);
    const std::string barText = linearef.substr(p2);
    if (!platform::isNumeric(countText) || !platform::isNumeric(barText))
        throw ProgrammingError("arrangement line with non-numeric words: " + linearef);
    const auto count = platform::roundToInt32(platform::leadingNumber(countText));
    if (!count)
        throw ProgrammingError("arrangement line with a count out of range: " + linearef);
    numArma = *count;
    refDiametro = barText;
    indiDiam = GetIndiceDeDiametro(refDiametro);
    diametro = GetDiametroMetros(indiDiam);
}

bool Cdiametro::LetTipo(const std::string& reftipo) {
    if (reftipo == tipo)
        return false;
    Ini(reftipo, unidades, false, false);
    return true;
}

void Cdiametro::OutDatHoja(IHojaDat& hojaDat) const {
    hojaDat.SetObjetoIni("Diametros", false);
    hojaDat.SetVariable("refTipo", tipo, "Tipo");
    hojaDat.SetVariable("refUnidades", unidades, "");
}

} // namespace tresol

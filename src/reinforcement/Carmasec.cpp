#include "reinforcement/Carmasec.h"

#include "drawing/ICuadro.h"
#include "geometry/CPosi3D.h"
#include "geometry/CVector.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "sections/CSeccG.h"

#include <cmath>

namespace tresol {

namespace {
[[noreturn]] void notForBars(const char* op) {
    throw ProgrammingError(std::string("a reinforcement set does not answer ") + op);
}
} // namespace

Carmasec::Carmasec() = default;
Carmasec::~Carmasec() = default;

bool Carmasec::Ini(std::shared_ptr<const Cdiametro> diametrosIn,
                   std::shared_ptr<const CPosi3D> posi3DIn, float xiniIn, float xfinIn) {
    if (!diametrosIn)
        throw ProgrammingError("a reinforcement set needs a bar catalogue");
    diametros = std::move(diametrosIn);
    posi3D = std::move(posi3DIn);
    xini = xiniIn;
    xfin = xfinIn;
    cell_ = 0.0;
    // The catalogue's diameters at hand: the overlap check asks for two of them per pair of bars.
    diam_.clear();
    indiMin_ = diametros->GetIndiMin();
    for (std::int32_t i = diametros->GetIndiMin(); i <= diametros->GetIndiMax(); ++i) {
        diam_.push_back(diametros->GetDiametroMetros(i));
        cell_ = std::max(cell_, static_cast<double>(diam_.back()));
    }
    // A little more than the largest diameter, so that rounding in the distance can never let
    // an overlapping bar sit two cells away.
    cell_ *= 1.0 + 1e-6;
    gridClear();
    for (std::int32_t i = 1; i <= GetNumeroRedondos(); ++i)
        index(i);
    return false;
}

const Cdiametro& Carmasec::catalogue() const {
    if (!diametros)
        throw ProgrammingError("reinforcement set used before Ini");
    return *diametros;
}

void Carmasec::AvisaDemasiadosRedondos() {
    platform::showError("Demasiados redondos en una línea: como máximo " +
                        std::to_string(kMaxRedondosLinea));
}

void Carmasec::AnyadeLinea(float yini, float zini, float yfin, double zfin, std::int32_t indiDiam,
                           std::int32_t numArma, bool ultimoNo, bool centrado) {
    if (numArma > kMaxRedondosLinea) {
        AvisaDemasiadosRedondos();
        return;
    }
    const std::int32_t count = (ultimoNo && numArma > 1) ? numArma - 1 : numArma;
    for (std::int32_t i = 1; i <= count; ++i) {
        double t = 0.0;
        if (numArma > 1)
            t = static_cast<double>(i - 1) / (static_cast<double>(numArma) - 1.0);
        else
            t = centrado ? 0.5 : 0.0;
        const double y = yini + (static_cast<double>(yfin) - yini) * t;
        const double z = zini + t * (zfin - zini);
        AnyadeRedondo(static_cast<float>(y), static_cast<float>(z), indiDiam);
    }
}

void Carmasec::AnyadeLineaYcte(float /*anchoSec*/, std::int32_t indiDiam, std::int32_t numArma,
                               float coorZini, float coorZfin, float coorY, std::int32_t plano) {
    if (indiDiam == 0)
        return;
    if (plano != 0 && plano != 1)
        throw ProgrammingError("bar line on a face other than 0 or 1");
    const double d = catalogue().GetDiametroMetros(indiDiam);
    const float y = static_cast<float>(plano == 0 ? coorY + d / 2.0 : coorY - d / 2.0);
    AnyadeLinea(y, coorZini, y, coorZfin, indiDiam, numArma, false, true);
}

void Carmasec::AnyadeRedondo(float y, float z, std::int32_t indiDiam) {
    const Cdiametro& cat = catalogue();
    if (indiDiam < cat.GetIndiMin() || indiDiam > cat.GetIndiMax()) {
        platform::showError("Error en la asignacion de diametro");
        return;
    }
    if (!CabeRedondo(y, z, indiDiam)) {
        platform::showError("Se ha intentado meter un redondo que no cabe");
        return;
    }
    const std::int32_t n = GetNumeroRedondos() + 1;
    redondos.redimPreserve(1, n);
    redondos(n) = Redondo{indiDiam, y, z};
    index(n);
}

float Carmasec::GetDistancia(const Redondo& a, float y, float z) const {
    const double dz = static_cast<double>(a.z) - z;
    const double dy = static_cast<double>(a.y) - y;
    const float sum = static_cast<float>(dz * dz + dy * dy);
    return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

float Carmasec::diameterOf(std::int32_t indiDiam) const {
    const auto k = static_cast<std::size_t>(indiDiam) - static_cast<std::size_t>(indiMin_);
    return indiDiam >= indiMin_ && k < diam_.size() ? diam_[k]
                                                    : catalogue().GetDiametroMetros(indiDiam);
}

float Carmasec::GetDistanciaMinima(std::int32_t indi1, std::int32_t indi2) const {
    return static_cast<float>((static_cast<double>(diameterOf(indi1)) + diameterOf(indi2)) * 0.5);
}

void Carmasec::gridClear() {
    cells_.clear();
    usedCells_ = 0;
    next_.clear();
    outside_.clear();
}

std::size_t Carmasec::slotOf(const CellKey& key) const {
    // Unsigned mixing: cell indices may be negative or large, and must not overflow.
    std::uint64_t h = static_cast<std::uint64_t>(key.y) * 0x9E3779B97F4A7C15ULL ^
                      static_cast<std::uint64_t>(key.z) * 0xC2B2AE3D27D4EB4FULL;
    h ^= h >> 29;
    const std::size_t mask = cells_.size() - 1;
    std::size_t i = static_cast<std::size_t>(h) & mask;
    while (cells_[i].head != 0 && !(cells_[i].key == key))
        i = (i + 1) & mask;
    return i;
}

std::int32_t Carmasec::gridHead(const CellKey& key) const {
    if (cells_.empty())
        return 0;
    return cells_[slotOf(key)].head;
}

void Carmasec::gridInsert(const CellKey& key, std::int32_t bar) {
    if (2 * (usedCells_ + 1) > cells_.size()) {
        std::vector<Cell> old = std::move(cells_);
        cells_.assign(std::max<std::size_t>(64, old.size() * 2), Cell{});
        for (const Cell& c : old)
            if (c.head != 0)
                cells_[slotOf(c.key)] = c;
    }
    if (next_.size() <= static_cast<std::size_t>(bar))
        next_.resize(std::max<std::size_t>(static_cast<std::size_t>(bar) + 1, next_.size() * 2));
    Cell& c = cells_[slotOf(key)];
    if (c.head == 0) {
        c.key = key;
        ++usedCells_;
    }
    next_[static_cast<std::size_t>(bar)] = c.head;
    c.head = bar;
}

bool Carmasec::cellOf(float y, float z, CellKey& key) const {
    if (!(cell_ > 0.0))
        return false;
    const double cy = std::floor(y / cell_), cz = std::floor(z / cell_);
    constexpr double kLimit = 1e15; // cell indices and their neighbours stay exact in 64 bits
    if (!(std::fabs(cy) < kLimit && std::fabs(cz) < kLimit))
        return false;
    key = {static_cast<std::int64_t>(cy), static_cast<std::int64_t>(cz)};
    return true;
}

void Carmasec::index(std::int32_t bar) {
    // A few bars are checked one by one, which is cheaper than hashing them; the grid takes
    // them all once there are enough.
    if (bar < kGridFrom)
        return;
    for (std::int32_t j = bar == kGridFrom ? 1 : bar; j <= bar; ++j) {
        CellKey key{};
        if (cellOf(redondos(j).y, redondos(j).z, key))
            gridInsert(key, j);
        else
            outside_.push_back(j);
    }
}

// Two bars overlap when their distance is below half the sum of their diameters, which never
// exceeds the cell size: only the 3 x 3 cells around the new bar can hold one it overlaps.
bool Carmasec::CabeRedondo(float y, float z, std::int32_t indiDiam) const {
    const std::int32_t n = GetNumeroRedondos();
    // Bar j (1…n) is element j − 1 of the array's storage: its lower bound is always 1.
    const Redondo* bars = redondos.data();
    // GetDistanciaMinima's sum, with the new bar's diameter looked up once.
    const double d = diameterOf(indiDiam);
    auto overlaps = [&](std::int32_t j) {
        const Redondo& r = bars[j - 1];
        return GetDistancia(r, y, z) <
               static_cast<float>((static_cast<double>(diameterOf(r.indiDiam)) + d) * 0.5);
    };
    CellKey key{};
    if (n < kGridFrom || !cellOf(y, z, key)) {
        for (std::int32_t j = 1; j <= n; ++j)
            if (overlaps(j))
                return false;
        return true;
    }
    for (std::int64_t dy = -1; dy <= 1; ++dy)
        for (std::int64_t dz = -1; dz <= 1; ++dz) {
            for (std::int32_t j = gridHead(CellKey{key.y + dy, key.z + dz}); j != 0;
                 j = next_[static_cast<std::size_t>(j)])
                if (overlaps(j))
                    return false;
        }
    for (std::int32_t j : outside_)
        if (overlaps(j))
            return false;
    return true;
}

std::int32_t Carmasec::GetNumeroRedondos() const {
    return redondos.allocated() ? redondos.upper() : 0;
}

bool Carmasec::GetTodosMismoDiam(float& diametro, float epsilon) const {
    const std::int32_t n = GetNumeroRedondos();
    if (n == 0)
        return true;
    diametro = catalogue().GetDiametroMetros(redondos(1).indiDiam);
    for (std::int32_t i = 1; i <= n; ++i)
        if (std::fabs(catalogue().GetDiametroMetros(redondos(i).indiDiam) - diametro) > epsilon)
            return false;
    return true;
}

bool Carmasec::GetSonTodosEquidis(float& dista, float epsilon) const {
    const std::int32_t n = GetNumeroRedondos();
    for (std::int32_t i = 1; i < n; ++i) {
        const float d = GetDistancia(redondos(i), redondos(i + 1).y, redondos(i + 1).z);
        if (i == 1)
            dista = d;
        else if (std::fabs(d - dista) > epsilon)
            return false;
    }
    return true;
}

bool Carmasec::GetSonTodosMismoPlano(float epsilon) const {
    bool mismoY = true, mismoZ = true;
    for (std::int32_t i = 1; i < GetNumeroRedondos(); ++i) {
        if (std::fabs(static_cast<double>(redondos(i).y) - redondos(i + 1).y) > epsilon)
            mismoY = false;
        if (std::fabs(static_cast<double>(redondos(i).z) - redondos(i + 1).z) > epsilon)
            mismoZ = false;
    }
    if (mismoY && mismoZ)
        throw ProgrammingError("bars at one point have no plane");
    return mismoY != mismoZ;
}

std::string Carmasec::GetLineaRedondos() const {
    const std::int32_t n = GetNumeroRedondos();
    // No bar: no line. One bar is its own line (it has no spacing and no plane to check).
    if (n == 0)
        return {};
    const Cdiametro& cat = catalogue();
    const float eps = cat.GetDiametroMetros(redondos(1).indiDiam) / 20.0f;
    float diametro = 0.0f, dista = 0.0f;
    if (!GetTodosMismoDiam(diametro, eps))
        return {};
    if (n > 1 && !(GetSonTodosEquidis(dista, eps) && GetSonTodosMismoPlano(eps)))
        return {};
    const double mm = platform::leadingNumber(platform::numberText(diametro)) * 1000.0;
    return std::to_string(n) + " " + cat.GetRefGener() + " " + platform::numberText(mm, 15);
}

void Carmasec::Dibuja(ICuadro& cuadro) const {
    for (std::int32_t i = 1; i <= GetNumeroRedondos(); ++i) {
        const Redondo& r = redondos(i);
        cuadro.bolita(r.z, r.y, catalogue().GetDiametroMetros(r.indiDiam) / 2.0f);
    }
}

// Each bar as a prism from xini to xfin: a hexagon of circumradius d around the bar at both
// ends, joined edge by edge.
bool Carmasec::DibujaSeccion(ICuadro& cuadro, std::int32_t tipoOrienta, float /*coorCorte*/,
                             float escala, std::int16_t& /*color*/) {
    for (std::int32_t i = 1; i <= GetNumeroRedondos(); ++i) {
        const Redondo& r = redondos(i);
        const float d = catalogue().GetDiametroMetros(r.indiDiam);
        CVector v;
        v.Ini(r.y, r.z, 0, r.y, static_cast<float>(static_cast<double>(r.z) + d), 0);
        PointArray hexagon;
        v.CreaPtosCircunf(6, 0, hexagon, 0);
        CSeccG inicio, fin;
        inicio.asigna_coor(7, hexagon);
        inicio.fCoorOrig(xini);
        fin.asigna_coor(7, hexagon);
        fin.fCoorOrig(xfin);
        inicio.DibujaSeccion(cuadro, &fin, posi3D.get(), tipoOrienta, escala, std::int16_t{0});
    }
    return false;
}

float Carmasec::GetCantoIniY() const {
    notForBars("GetCantoIniY");
}
float Carmasec::GetCantoIniZ() const {
    notForBars("GetCantoIniZ");
}
float Carmasec::GetAreaIni() const {
    notForBars("GetAreaIni");
}
float Carmasec::GetJIni() const {
    notForBars("GetJIni");
}
float Carmasec::GetIyyIni() const {
    notForBars("GetIyyIni");
}
float Carmasec::GetIzzIni() const {
    notForBars("GetIzzIni");
}
std::string Carmasec::GetRef() const {
    notForBars("GetRef");
}
void Carmasec::GetCoorPtoFin3D(float&, float&, float&) const {
    notForBars("GetCoorPtoFin3D");
}
void Carmasec::GetCoorPtoMedio3D(float&, float&, float&) const {
    notForBars("GetCoorPtoMedio3D");
}
void Carmasec::GetCoorPtoIni3D(float&, float&, float&) const {
    notForBars("GetCoorPtoIni3D");
}
void Carmasec::LetCoorTrasla(float, float, float) {
    notForBars("LetCoorTrasla");
}
void Carmasec::GetCoorTrasla(float&, float&, float&) const {
    notForBars("GetCoorTrasla");
}
void Carmasec::LetCoorGiro(float, float, float) {
    notForBars("LetCoorGiro");
}
void Carmasec::GetCoorGiro(float&, float&, float&) const {
    notForBars("GetCoorGiro");
}
bool Carmasec::BorraArma() {
    notForBars("BorraArma");
}
bool Carmasec::AnyadeLineaArma3D(const std::string&, const std::string&, std::int32_t, std::int32_t,
                                 float, float, float) {
    notForBars("AnyadeLineaArma3D");
}
std::string Carmasec::GetLineaArma(std::int32_t) const {
    notForBars("GetLineaArma");
}
float Carmasec::GetLargoX() const {
    notForBars("GetLargoX");
}
void Carmasec::GetMaxMinXYZ(float&, float&, float&, float&, float&, float&) {
    notForBars("GetMaxMinXYZ");
}
float Carmasec::GetVolumen() const {
    notForBars("GetVolumen");
}
float Carmasec::GetVolumenMaterial(const Cmateria*) const {
    notForBars("GetVolumenMaterial");
}
float Carmasec::GetPropMateria(std::int32_t) const {
    notForBars("GetPropMateria");
}

} // namespace tresol

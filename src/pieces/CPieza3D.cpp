#include "pieces/CPieza3D.h"

#include "geometry/CPosi3D.h"
#include "pieces/Cmateria.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Carmasec.h"
#include "reinforcement/Cdiametro.h"
#include "sections/CSeccEstruc.h"

#include <string>

namespace tresol {
namespace {

constexpr std::int32_t kRectangulo = 1;
constexpr std::int32_t kSuelo = 3; // soil, drawn in its own colour
constexpr std::int16_t kColorSuelo = 4;

float single(double v) {
    return static_cast<float>(v);
}

[[noreturn]] void notInitialised(const char* what) {
    throw ProgrammingError(std::string(what) + " on a piece that was not initialised");
}

} // namespace

CPieza3D::CPieza3D() = default;
CPieza3D::~CPieza3D() = default;

void CPieza3D::creaSecciones() {
    seccIni = std::make_shared<CSeccEstruc>();
    seccFin = std::make_shared<CSeccEstruc>();
    iniOk = finOk = false;
    armaduras.reset();
}

bool CPieza3D::IniComun(std::int32_t tipoPiezaIn, const std::string& refIn, float dimXX,
                        std::shared_ptr<const Cmateria> materialIn,
                        std::shared_ptr<const Cdiametro> diametrosIn) {
    if (diametrosIn)
        diametros = std::move(diametrosIn);
    if (!materialIn)
        platform::showError("Falta asignar mateial a pieza.");
    material = std::move(materialIn);
    tipoPieza = tipoPiezaIn;
    largoX = dimXX;
    ref = refIn;
    seccIni->ptoyd(single(-double{largoX} / 2));
    seccFin->ptoyd(single(double{largoX} / 2));
    posi3D = std::make_shared<CPosi3D>();
    return EsValida();
}

bool CPieza3D::EsValida() const {
    // Written so that a length that is not a number is refused too.
    if (!(largoX > 0) || tipoPieza < 0 || tipoPieza >= 4)
        return false;
    return seccIni && seccFin && iniOk && finOk;
}

bool CPieza3D::IniSeccGener(const std::string& refIn, std::int32_t tipoPiezadat, float dimXX,
                            std::shared_ptr<const Cmateria> materialIn, std::int32_t tipoSeccdat,
                            std::int32_t tipoMaterialdat, float cantoYdat, float cantoZdat,
                            float iyydat, float izzdat, float jdat, float areadat, float ycdg,
                            float zcdg, const Array1<Value>& datosExtra,
                            std::shared_ptr<const Cdiametro> diametrosIn) {
    creaSecciones();
    auto ini = [&](CSeccEstruc& s) {
        return s.Ini(tipoSeccdat, tipoMaterialdat, cantoYdat, cantoZdat, iyydat, izzdat, 0, jdat,
                     areadat, ycdg, zcdg, datosExtra, diametrosIn, false);
    };
    iniOk = ini(*seccIni);
    finOk = iniOk && ini(*seccFin);
    return IniComun(tipoPiezadat, refIn, dimXX, std::move(materialIn), std::move(diametrosIn));
}

bool CPieza3D::IniCircular(const std::string& refIn, std::int32_t tipoPiezaIn,
                           std::int32_t tipoMaterialdat, std::shared_ptr<const Cmateria> materialIn,
                           float dimXX, float diametro,
                           std::shared_ptr<const Cdiametro> diametrosIn) {
    creaSecciones();
    iniOk = seccIni->IniCircular(tipoMaterialdat, diametro, diametrosIn);
    finOk = iniOk && seccFin->IniCircular(tipoMaterialdat, diametro, diametrosIn);
    return IniComun(tipoPiezaIn, refIn, dimXX, std::move(materialIn), std::move(diametrosIn));
}

bool CPieza3D::IniRectang(const std::string& refIn, std::int32_t tipoPiezaIn,
                          std::int32_t tipoMaterial, std::shared_ptr<const Cmateria> materialIn,
                          float dimXX, float dimYY, float dimZZ,
                          std::shared_ptr<const Cdiametro> diametrosIn) {
    if (!(dimYY > 0) || !(dimZZ > 0)) {
        platform::showError("Error en la creación de " + refIn);
        return false;
    }
    const float y = single(double{dimYY} / 2);
    const float z = single(double{dimZZ} / 2);
    PointArray rect = makePointArray(5);
    const float corners[5][2] = {{-y, -z}, {y, -z}, {y, z}, {-y, z}, {-y, -z}};
    for (std::int32_t i = 1; i <= 5; ++i) {
        rect(i, 1) = corners[i - 1][0];
        rect(i, 2) = corners[i - 1][1];
    }
    creaSecciones();
    // No torsion constant given: the rectangle's own formula supplies it.
    iniOk =
        seccIni->IniPorPuntos(kRectangulo, tipoMaterial, rect, diametrosIn, std::nullopt, false);
    finOk = iniOk && seccFin->IniPorPuntos(kRectangulo, tipoMaterial, rect, diametrosIn,
                                           std::nullopt, false);
    return IniComun(tipoPiezaIn, refIn, dimXX, std::move(materialIn), std::move(diametrosIn));
}

const CSeccEstruc& CPieza3D::SeccionIni() const {
    if (!seccIni)
        notInitialised("SeccionIni");
    return *seccIni;
}

const CSeccEstruc& CPieza3D::SeccionFin() const {
    if (!seccFin)
        notInitialised("SeccionFin");
    return *seccFin;
}

const CPosi3D& CPieza3D::placement() const {
    if (!posi3D)
        notInitialised("placement");
    return *posi3D;
}

std::int32_t CPieza3D::GetTipoSeccion() const {
    return SeccionIni().GetTipoSecc();
}

float CPieza3D::GetPuntoExtremo(std::int32_t planoArma) const {
    if (planoArma != 0 && planoArma != 1)
        throw ProgrammingError("reinforcement plane " + std::to_string(planoArma) +
                               " is neither 0 nor 1");
    const std::int32_t code = planoArma == 0 ? 0 : 2;
    const float ini = SeccionIni().GetCoorExtrema(code);
    if (SeccionFin().GetCoorExtrema(code) != ini)
        throw ProgrammingError("the start and end sections of " + ref + " differ in extent");
    return ini;
}

void CPieza3D::GetPuntosPlano(std::int32_t planoArma, Array2<float>& ptos) const {
    if (planoArma != 0 && planoArma != 1)
        throw ProgrammingError("reinforcement plane " + std::to_string(planoArma) +
                               " is neither 0 nor 1");
    if (!ptos.contains(1, 1) || !ptos.contains(4, 3))
        throw ProgrammingError("GetPuntosPlano: the array does not hold 4 points of 3 coordinates");
    const double L = largoX, cy = SeccionIni().cantoY(), cz = SeccionIni().cantoZ();
    const float x0 = single(-L / 2), x1 = single(L / 2);
    const float y0 = single(planoArma == 0 ? -cy / 2 : cy / 2);
    const float z0 = single(-cz / 2), z1 = single(cz / 2);
    const float corners[4][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}};
    for (std::int32_t i = 1; i <= 4; ++i)
        for (std::int32_t j = 1; j <= 3; ++j)
            ptos(i, j) = corners[i - 1][j - 1];
}

float CPieza3D::GetCantoIniY() const {
    return SeccionIni().cantoY();
}
float CPieza3D::GetCantoIniZ() const {
    return SeccionIni().cantoZ();
}
float CPieza3D::GetAreaIni() const {
    return SeccionIni().area();
}
float CPieza3D::GetJIni() const {
    return SeccionIni().Jtor();
}
float CPieza3D::GetIyyIni() const {
    return SeccionIni().Iyg();
}
float CPieza3D::GetIzzIni() const {
    return SeccionIni().Izg();
}
std::string CPieza3D::GetRef() const {
    return ref;
}
float CPieza3D::GetLargoX() const {
    return largoX;
}
std::int32_t CPieza3D::GetTipoMaterial() const {
    return SeccionIni().GetTipoMaterial();
}

void CPieza3D::axisPoint(float xLocal, float& x, float& y, float& z) const {
    x = xLocal;
    y = 0;
    z = 0;
    placement().TranfPtoXYZ(x, y, z);
}

void CPieza3D::GetCoorPtoIni3D(float& x, float& y, float& z) const {
    axisPoint(single(-double{largoX} / 2), x, y, z);
}

void CPieza3D::GetCoorPtoFin3D(float& x, float& y, float& z) const {
    axisPoint(single(double{largoX} / 2), x, y, z);
}

void CPieza3D::GetCoorPtoMedio3D(float& x, float& y, float& z) const {
    float xi, yi, zi, xf, yf, zf;
    GetCoorPtoIni3D(xi, yi, zi);
    GetCoorPtoFin3D(xf, yf, zf);
    x = single((double{xi} + xf) / 2);
    y = single((double{yi} + yf) / 2);
    z = single((double{zi} + zf) / 2);
}

void CPieza3D::LetCoorTrasla(float x, float y, float z) {
    if (!posi3D)
        notInitialised("LetCoorTrasla");
    posi3D->LetTraslacion(x, y, z);
}

void CPieza3D::GetCoorTrasla(float& x, float& y, float& z) const {
    x = placement().GetX();
    y = placement().GetY();
    z = placement().GetZ();
}

void CPieza3D::LetCoorGiro(float x, float y, float z) {
    if (!posi3D)
        notInitialised("LetCoorGiro");
    posi3D->LetGiroGrados(x, y, z);
}

void CPieza3D::GetCoorGiro(float& x, float& y, float& z) const {
    x = placement().GetGX();
    y = placement().GetGY();
    z = placement().GetGZ();
}

bool CPieza3D::DibujaSeccion(ICuadro& cuadro, std::int32_t tipoOrienta, float /*coorCorte*/,
                             float escala, std::int16_t& color) {
    color = SeccionIni().GetTipoMaterial() == kSuelo ? kColorSuelo : std::int16_t{0};
    seccIni->DibujaSeccion(cuadro, seccFin.get(), posi3D.get(), tipoOrienta, escala, color);
    DibujaArmaduras(cuadro, tipoOrienta, 0, escala);
    return false;
}

void CPieza3D::DibujaArmaduras(ICuadro& cuadro, std::int32_t tipoOrienta, float coorCorte,
                               float escala) {
    if (!HayArmadura())
        return;
    for (auto& [key, armasec] : *armaduras) {
        std::int16_t color = 0;
        armasec->DibujaSeccion(cuadro, tipoOrienta, coorCorte, escala, color);
    }
}

bool CPieza3D::BorraArma() {
    armaduras.reset();
    return false;
}

void CPieza3D::AnyadeArmasec(std::int32_t plano, std::shared_ptr<Carmasec> armasec,
                             std::int32_t numLinea) {
    if (plano != 0 && plano != 1)
        return;
    if (!armaduras)
        armaduras = std::make_unique<OrderedMap<std::shared_ptr<Carmasec>>>();
    armaduras->add(std::to_string(numLinea), std::move(armasec));
}

bool CPieza3D::AnyadeLineaArma3D(const std::string& /*sRefPieza*/, const std::string& sLineaArma,
                                 std::int32_t nRefArmasec, std::int32_t planoArma, float coorZini,
                                 float coorZfin, float separPlano) {
    if (!diametros)
        throw ProgrammingError("AnyadeLineaArma3D on piece " + ref + " without a bar catalogue");
    if (HayArmadura() && armaduras->contains(std::to_string(nRefArmasec)))
        throw ProgrammingError("reinforcement line " + std::to_string(nRefArmasec) +
                               " added twice to piece " + ref);
    std::int32_t numArma = 0, indiDiam = 0;
    std::string refDiametro;
    float diametro = 0;
    diametros->GetNumArmaRefDiam(sLineaArma, numArma, refDiametro, indiDiam, diametro);
    const double extremo = GetPuntoExtremo(planoArma);
    const float coorY = single(planoArma == 0 ? extremo + separPlano : extremo - separPlano);

    auto armasec = std::make_shared<Carmasec>();
    // The bars run along the whole piece.
    armasec->Ini(diametros, posi3D, single(-double{largoX} / 2), single(double{largoX} / 2));
    armasec->AnyadeLineaYcte(SeccionIni().cantoZ(), indiDiam, numArma, coorZini, coorZfin, coorY,
                             planoArma);
    AnyadeArmasec(planoArma, std::move(armasec), nRefArmasec);
    return false;
}

std::string CPieza3D::GetLineaArma(std::int32_t armaObj) const {
    if (!HayArmadura())
        return {};
    const auto* armasec = armaduras->find(std::to_string(armaObj));
    return armasec ? (*armasec)->GetLineaRedondos() : std::string();
}

void CPieza3D::GetMaxMinXYZ(float&, float&, float&, float&, float&, float&) {
    throw ProgrammingError("a single piece has no extents of its own (GetMaxMinXYZ)");
}

float CPieza3D::GetVolumen() const {
    return single((double{SeccionIni().area()} + SeccionFin().area()) / 2 * largoX);
}

float CPieza3D::GetVolumenMaterial(const Cmateria* materialIn) const {
    return materialIn != nullptr && materialIn == material.get() ? GetVolumen() : 0.0f;
}

float CPieza3D::GetPropMateria(std::int32_t propMater) const {
    if (!material)
        throw ProgrammingError("GetPropMateria on piece " + ref + " without material");
    return material->GetPropMateria(propMater);
}

} // namespace tresol

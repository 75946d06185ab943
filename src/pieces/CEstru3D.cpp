#include "pieces/CEstru3D.h"

#include "drawing/CCuaMaxMin.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"
#include "sections/CSeccEstruc.h"

namespace tresol {
namespace {

[[noreturn]] void notForTheWhole(const char* what) {
    throw ProgrammingError(std::string(what) + " is a question for a single piece, not for a "
                                               "structure");
}

} // namespace

std::int32_t CEstru3D::Ini(std::shared_ptr<const Cdiametro> diametrosIn) {
    diametros = std::move(diametrosIn);
    piezas = std::make_unique<OrderedMap<std::shared_ptr<CPieza3D>>>();
    return 0;
}

// The collection, ready to take a piece under `ref`.
OrderedMap<std::shared_ptr<CPieza3D>>& CEstru3D::coleccion(const std::string& ref) {
    if (!piezas)
        throw ProgrammingError("piece " + ref + " added to a structure before Ini");
    if (piezas->contains(ref))
        throw ProgrammingError("piece key " + ref + " already in the structure");
    return *piezas;
}

const CPieza3D& CEstru3D::pieza(const std::string& ref) const {
    if (!piezas)
        throw ProgrammingError("structure used before Ini");
    return *piezas->get(ref);
}

bool CEstru3D::AnyadePiezaSeccGener(const std::string& ref, std::int32_t tipoPiezadat, float dimXX,
                                    std::shared_ptr<const Cmateria> material,
                                    const CSeccEstruc& seccEstr) {
    auto& c = coleccion(ref);
    Array1<Value> datosExtra;
    seccEstr.GetDatosExtra(datosExtra);
    auto p = std::make_shared<CPieza3D>();
    if (!p->IniSeccGener(ref, tipoPiezadat, dimXX, std::move(material), seccEstr.GetTipoSecc(),
                         seccEstr.GetTipoMaterial(), seccEstr.GetCantoY(), seccEstr.GetCantoZ(),
                         seccEstr.Iyg(), seccEstr.Izg(), seccEstr.GetIT(), seccEstr.area(),
                         seccEstr.Yg(), seccEstr.Zg(), datosExtra, diametros))
        return false;
    c.add(ref, std::move(p));
    return true;
}

bool CEstru3D::AnyadePieza(const std::string& ref, std::int32_t tipoPieza,
                           std::int32_t tipoMaterial, std::shared_ptr<const Cmateria> material,
                           float dimXX, float dimYY, float dimZZ,
                           std::optional<std::int32_t> tipoSecc) {
    auto& c = coleccion(ref);
    auto p = std::make_shared<CPieza3D>();
    bool ok = false;
    switch (tipoSecc.value_or(0)) {
    case 0:
        if (dimYY != dimZZ) {
            platform::showError("Error en la creación de " + ref);
            return false;
        }
        ok = p->IniCircular(ref, tipoPieza, tipoMaterial, std::move(material), dimXX, dimZZ,
                            diametros);
        break;
    case 1:
        ok = p->IniRectang(ref, tipoPieza, tipoMaterial, std::move(material), dimXX, dimYY, dimZZ,
                           diametros);
        break;
    default:
        throw ProgrammingError("section code " + std::to_string(*tipoSecc) + " for piece " + ref +
                               " is neither 0 nor 1");
    }
    if (ok)
        c.add(ref, std::move(p));
    return ok;
}

std::int32_t CEstru3D::TomaPtoFinPieza(const std::string& ref, float& x, float& y, float& z) const {
    pieza(ref).GetCoorPtoFin3D(x, y, z);
    return 0;
}

std::int32_t CEstru3D::TomaPtoIniPieza(const std::string& ref, float& x, float& y, float& z) const {
    pieza(ref).GetCoorPtoIni3D(x, y, z);
    return 0;
}

std::int32_t CEstru3D::PosicionaPieza(const std::string& ref, float x, float y, float z, float gx,
                                      float gy, float gz) {
    auto* p = piezas ? piezas->find(ref) : nullptr;
    if (p == nullptr) {
        platform::showError("No se ha localizado pieza");
        return 0;
    }
    (*p)->LetCoorTrasla(x, y, z);
    (*p)->LetCoorGiro(gx, gy, gz);
    return -1;
}

IPieza3D& CEstru3D::GetPiezaI(const std::string& ref) {
    if (!piezas)
        throw ProgrammingError("structure used before Ini");
    return *piezas->get(ref);
}

std::shared_ptr<CPieza3D> CEstru3D::GetPieza(const std::string& ref) const {
    const auto* p = piezas ? piezas->find(ref) : nullptr;
    return p ? *p : nullptr;
}

std::int32_t CEstru3D::GetNumPiezas() const {
    return piezas ? piezas->count() : 0;
}

float CEstru3D::GetVolumen() const {
    float v = 0;
    if (piezas)
        for (const auto& [key, p] : *piezas)
            v += p->GetVolumen();
    return v;
}

float CEstru3D::GetVolumenMaterial(const Cmateria* material) const {
    float v = 0;
    if (piezas)
        for (const auto& [key, p] : *piezas)
            v += p->GetVolumenMaterial(material);
    return v;
}

bool CEstru3D::DibujaSeccion(ICuadro& cuadro, std::int32_t tipoOrienta, float coorCorte,
                             float escala, std::int16_t& color) {
    if (piezas)
        for (auto& [key, p] : *piezas)
            p->DibujaSeccion(cuadro, tipoOrienta, coorCorte, escala, color);
    return false;
}

bool CEstru3D::BorraArma() {
    if (piezas)
        for (auto& [key, p] : *piezas)
            p->BorraArma();
    return false;
}

bool CEstru3D::AnyadeLineaArma3D(const std::string& sRefPieza, const std::string& sLineaArma,
                                 std::int32_t nRefArmasec, std::int32_t planoArma, float coorZini,
                                 float coorZfin, float separPlano) {
    return GetPiezaI(sRefPieza).AnyadeLineaArma3D(sRefPieza, sLineaArma, nRefArmasec, planoArma,
                                                  coorZini, coorZfin, separPlano);
}

void CEstru3D::GetMaxMinXYZ(float& xmax, float& xmin, float& ymax, float& ymin, float& zmax,
                            float& zmin) {
    CCuaMaxMin extremos;
    extremos.Ini(0);
    std::int16_t color = 0;
    DibujaSeccion(extremos, 0, 0, 1, color);
    extremos.GetMaxMinXYZ(xmax, xmin, ymax, ymin, zmax, zmin);
}

float CEstru3D::GetCantoIniY() const {
    notForTheWhole("GetCantoIniY");
}
float CEstru3D::GetCantoIniZ() const {
    notForTheWhole("GetCantoIniZ");
}
float CEstru3D::GetAreaIni() const {
    notForTheWhole("GetAreaIni");
}
float CEstru3D::GetJIni() const {
    notForTheWhole("GetJIni");
}
float CEstru3D::GetIyyIni() const {
    notForTheWhole("GetIyyIni");
}
float CEstru3D::GetIzzIni() const {
    notForTheWhole("GetIzzIni");
}
std::string CEstru3D::GetRef() const {
    notForTheWhole("GetRef");
}
void CEstru3D::GetCoorPtoFin3D(float&, float&, float&) const {
    notForTheWhole("GetCoorPtoFin3D");
}
void CEstru3D::GetCoorPtoMedio3D(float&, float&, float&) const {
    notForTheWhole("GetCoorPtoMedio3D");
}
void CEstru3D::GetCoorPtoIni3D(float&, float&, float&) const {
    notForTheWhole("GetCoorPtoIni3D");
}
void CEstru3D::LetCoorTrasla(float, float, float) {
    notForTheWhole("LetCoorTrasla");
}
void CEstru3D::GetCoorTrasla(float&, float&, float&) const {
    notForTheWhole("GetCoorTrasla");
}
void CEstru3D::LetCoorGiro(float, float, float) {
    notForTheWhole("LetCoorGiro");
}
void CEstru3D::GetCoorGiro(float&, float&, float&) const {
    notForTheWhole("GetCoorGiro");
}
std::string CEstru3D::GetLineaArma(std::int32_t) const {
    notForTheWhole("GetLineaArma");
}
float CEstru3D::GetLargoX() const {
    notForTheWhole("GetLargoX");
}
std::int32_t CEstru3D::GetTipoMaterial() const {
    notForTheWhole("GetTipoMaterial");
}
float CEstru3D::GetPropMateria(std::int32_t) const {
    notForTheWhole("GetPropMateria");
}

} // namespace tresol

#include "sections/CSeccEstruc.h"

#include "drawing/CCuaMaxMin.h"
#include "drawing/ICuadro.h"
#include "geometry/CVector.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Carmasec.h"
#include "reinforcement/Cdiametro.h"
#include "sections/CSeccG.h"

#include <array>
#include <cmath>
#include <string>

namespace tresol {
namespace {

float f(double v) {
    return static_cast<float>(v);
}

constexpr std::int32_t kCirculo = 0;
constexpr std::int32_t kRectangulo = 1;
constexpr std::int32_t kDobleT = 2;
constexpr std::int32_t kPorPuntos = 3;

constexpr double kPiSingle = 3.1415927410125732;

void checkKind(std::int32_t tipoSecc) {
    if (tipoSecc < kCirculo || tipoSecc > kPorPuntos)
        throw ProgrammingError("section kind " + std::to_string(tipoSecc) + " outside 0…3");
}

const char* NombreDatoExtra(std::int32_t i) {
    switch (i) {
    case 1:
        return "Espesor del alma";
    case 2:
        return "Espesor del ala";
    case 3:
        return "Espesor del circulo";
    case 4:
        return "Radio ala-alma";
    default:
        throw ProgrammingError("extra datum " + std::to_string(i) + " outside 1…4");
    }
}

// Which extra data each kind keeps: kinds 0…3 by data 1…4.
constexpr std::array<std::array<bool, 4>, 4> kUsaDato{{{false, false, false, false},
                                                       {false, false, false, false},
                                                       {true, true, false, true},
                                                       {false, false, false, false}}};

bool EsCasiCero(double value, double tolerance) {
    return std::fabs(value) <= tolerance;
}

} // namespace

bool CSeccEstruc::Ini(std::int32_t tipoSeccdat, std::int32_t tipoMaterialdat, float cantoYdat,
                      float cantoZdat, float iyydat, float izzdat, float izydat, float jdat,
                      float areadat, float ycdg, float zcdg, const Array1<Value>& datosExtra,
                      std::shared_ptr<const Cdiametro> diametros, std::optional<bool> cdgDondeSea) {
    checkKind(tipoSeccdat);
    // Values given outright replace the whole section, a contour it was given before included.
    contorno_.clear();
    if (diametros)
        diametros_ = std::move(diametros);
    tipoSecc_ = tipoSeccdat;
    tipoMaterial_ = tipoMaterialdat;
    cantoY_ = cantoYdat;
    cantoZ_ = cantoZdat;
    area_ = areadat;
    Iyy_ = iyydat;
    Izz_ = izzdat;
    Izy_ = izydat;
    ycdg_ = ycdg;
    zcdg_ = zcdg;
    IT_ = jdat != 0 ? jdat : CalculaJ(cantoYdat, cantoZdat);
    if (!ValidaDatos(cdgDondeSea.value_or(false)))
        return false;
    return GuardaDatosExtra(datosExtra);
}

float CSeccEstruc::CalculaJ(float cantoY, float cantoZ) const {
    switch (tipoSecc_) {
    case kCirculo:
        return f(0.098 * std::pow(double{cantoY}, 4));
    case kRectangulo: {
        // JRectangular: t the thinner depth, b the wider one.
        const double t = cantoY <= cantoZ ? cantoY : cantoZ;
        const double b = cantoY <= cantoZ ? cantoZ : cantoY;
        return f(t * t * t * b / 3.0 *
                 (1 - 0.63 * t / b + 0.052 * std::pow(t, 5) / std::pow(b, 5)));
    }
    case kPorPuntos:
        return 0;
    default:
        throw ProgrammingError("the torsion constant of a double-T profile must be given");
    }
}

bool CSeccEstruc::ValidaDatos(bool cdgDondeSea) const {
    if (tipoMaterial_ != 0 && tipoMaterial_ != 1 && tipoMaterial_ != 3)
        throw ProgrammingError("material " + std::to_string(tipoMaterial_) + " is not 0, 1 or 3");
    if (!(cantoY_ > 0) || !(cantoZ_ > 0) || !(area_ > 0) || !(Iyy_ > 0) || !(Izz_ > 0))
        throw ProgrammingError("a section needs positive depths, area and second moments");
    if (IT_ <= 0 && tipoSecc_ != kPorPuntos)
        return false;
    if (!cdgDondeSea) {
        const double tolerance = double{cantoY_} * 0.0001;
        if (!EsCasiCero(ycdg_, tolerance) || !EsCasiCero(zcdg_, tolerance))
            platform::showError("cdg fuera de cero, no esta preparado el tema...)");
    }
    return true;
}

bool CSeccEstruc::GuardaDatosExtra(const Array1<Value>& datosExtra) {
    const auto& usa = kUsaDato[static_cast<std::size_t>(tipoSecc_)];
    for (std::int32_t i = 1; i <= 4; ++i) {
        if (!usa[static_cast<std::size_t>(i - 1)])
            continue;
        CDatGener dato;
        dato.Ini("DatoAux" + std::to_string(i), NombreDatoExtra(i), datosExtra(i), true);
        if (!datosExtra_)
            datosExtra_.emplace();
        // A profile given again replaces its data in place.
        if (CDatGener* old = datosExtra_->find(std::to_string(i)))
            *old = dato;
        else
            datosExtra_->add(std::to_string(i), dato);
    }
    return true;
}

bool CSeccEstruc::HayPuntos(const PointArray& pto2d) {
    if (!pto2d.allocated())
        return false;
    if (pto2d.lower(1) != 1 || pto2d.lower(2) != 1 || pto2d.upper(2) != 2)
        throw ProgrammingError("a contour is a point array of rows 1…n and columns 1…2");
    if (pto2d.upper(1) < 3)
        throw ProgrammingError("a contour needs at least 3 rows");
    return true;
}

bool CSeccEstruc::IniPorPuntos(std::int32_t tipoSecc, std::int32_t tipoMaterial,
                               const PointArray& pto2d, std::shared_ptr<const Cdiametro> diametros,
                               std::optional<Value> j, std::optional<bool> cdgDondeSea) {
    if (tipoSecc != kRectangulo && tipoSecc != kPorPuntos)
        throw ProgrammingError("IniPorPuntos takes kinds 1 and 3 only");
    if (!HayPuntos(pto2d))
        throw ProgrammingError("IniPorPuntos without points");
    // PropiedadesDePuntos
    CSeccG poligono;
    poligono.asigna_coor(pto2d.upper(1), pto2d);
    const float jdat = j ? f(valueAsTypedNumber(*j)) : 0.0f;
    const bool ok =
        Ini(tipoSecc, tipoMaterial, poligono.cantoY(), poligono.cantoZ(), poligono.Iyg(),
            poligono.Izg(), poligono.izy(), jdat, poligono.area(), poligono.Yg(), poligono.Zg(),
            Array1<Value>(), std::move(diametros), cdgDondeSea);
    contorno_ = pto2d;
    return ok;
}

bool CSeccEstruc::IniRectang(std::int32_t tipoMaterial, float dimZZ, float dimYY,
                             std::shared_ptr<const Cdiametro> diametros) {
    if (!(dimYY > 0) || !(dimZZ > 0))
        return false;
    const float y = f(dimYY / 2.0);
    const float z = f(dimZZ / 2.0);
    return IniPorPuntos(kRectangulo, tipoMaterial,
                        makePointArray({{-y, -z}, {y, -z}, {y, z}, {-y, z}, {-y, -z}}),
                        std::move(diametros), Value{0}, false);
}

bool CSeccEstruc::IniCircular(std::int32_t tipoMaterial, float diametro,
                              std::shared_ptr<const Cdiametro> diametros) {
    const double d = diametro;
    const float inercia = f(kPiSingle * d * d * d * d / 64.0);
    return Ini(kCirculo, tipoMaterial, diametro, diametro, inercia, inercia, 0, 0,
               f(kPiSingle * d * d / 4.0), 0, 0, Array1<Value>(), std::move(diametros), false);
}

void CSeccEstruc::GeneraContorno(std::int32_t& NP, PointArray& pto2d, float distaHomot) const {
    if (HayPuntosContorno()) {
        ContornoGuardado(NP, pto2d);
    } else {
        switch (tipoSecc_) {
        case kCirculo:
            ContornoCircular(NP, pto2d);
            break;
        case kDobleT:
            ContornoDobleT(NP, pto2d);
            break;
        case kPorPuntos:
            ContornoRectangular(NP, pto2d);
            break;
        case kRectangulo:
            throw ProgrammingError("a rectangular section without its contour");
        default:
            checkKind(tipoSecc_);
        }
    }
    if (distaHomot != 1) {
        CSeccG paralela;
        paralela.IniHomotetica(pto2d, distaHomot);
        for (std::int32_t i = 1; i <= NP; ++i) {
            pto2d(i, 1) = paralela.pto2d(i, 1);
            pto2d(i, 2) = paralela.pto2d(i, 2);
        }
    }
}

void CSeccEstruc::ContornoGuardado(std::int32_t& NP, PointArray& pto2d) const {
    NP = contorno_.upper(1);
    pto2d = contorno_;
}

void CSeccEstruc::ContornoCircular(std::int32_t& NP, PointArray& pto2d) const {
    NP = 17;
    CVector radio;
    radio.Ini(0, 0, 0, f(cantoY_ / 2.0), 0, 0);
    radio.CreaPtosCircunf(16, 0, pto2d, 0);
}

void CSeccEstruc::ContornoDobleT(std::int32_t& NP, PointArray& pto2d) const {
    NP = 13;
    const double h2 = cantoY_ / 2.0, b2 = cantoZ_ / 2.0;
    const double tw2 = datoExtra(1) / 2.0, tf = datoExtra(2);
    const float ye = f(-h2), yi = f(-h2 + tf), Yi = f(h2 - tf), Ye = f(h2);
    const float ze = f(-b2), zw = f(-tw2), Zw = f(tw2), Ze = f(b2);
    pto2d = makePointArray({{ye, ze},
                            {yi, ze},
                            {yi, zw},
                            {Yi, zw},
                            {Yi, ze},
                            {Ye, ze},
                            {Ye, Ze},
                            {Yi, Ze},
                            {Yi, Zw},
                            {yi, Zw},
                            {yi, Ze},
                            {ye, Ze},
                            {ye, ze}});
}

void CSeccEstruc::ContornoRectangular(std::int32_t& NP, PointArray& pto2d) const {
    NP = 5;
    const float y = f(cantoY_ / 2.0), z = f(cantoZ_ / 2.0);
    // Counter-clockwise like every other contour, so that its area is positive and a parallel
    // contour at a positive distance lies inside.
    pto2d = makePointArray({{-y, -z}, {y, -z}, {y, z}, {-y, z}, {-y, -z}});
}

float CSeccEstruc::datoExtra(std::int32_t i) const {
    if (!datosExtra_)
        return 0;
    const CDatGener* dato = datosExtra_->find(std::to_string(i));
    return dato ? dato->fValue() : 0.0f;
}

void CSeccEstruc::GetDatosExtra(Array1<Value>& datos) const {
    datos.redim(1, 4);
    for (std::int32_t i = 1; i <= 4; ++i)
        datos(i) = Value{datoExtra(i)};
}

std::int32_t CSeccEstruc::NumP() const {
    return HayPuntosContorno() ? contorno_.upper(1) : 0;
}

bool CSeccEstruc::LetPropiedadesDeContorno(LabelSet& labelDesc, std::int32_t& indi) const {
    if (HayPuntosContorno()) {
        platform::showError("Se han pedido propiedades de contorno cuando son las únicas que hay.");
        return false;
    }
    std::int32_t np = 0;
    PointArray contorno;
    GeneraContorno(np, contorno, 1);
    CSeccG poligono;
    poligono.asigna_coor(np, contorno);
    poligono.LetPropiedadesDeContorno(labelDesc, indi);
    return true;
}

float CSeccEstruc::GetCoorExtrema(std::int32_t orienta) const {
    if (tipoSecc_ != kRectangulo)
        throw ProgrammingError("GetCoorExtrema is only known for rectangular sections");
    switch (orienta) {
    case 0:
        return f(double{ycdg_} - cantoY_ / 2.0);
    case 1:
        return f(double{zcdg_} - cantoZ_ / 2.0);
    case 2:
        return f(double{ycdg_} + cantoY_ / 2.0);
    case 3:
        return f(double{zcdg_} + cantoZ_ / 2.0);
    default:
        throw ProgrammingError("extreme code " + std::to_string(orienta) + " outside 0…3");
    }
}

void CSeccEstruc::DibujaSeccion(ICuadro& cuadroi, const ICSeccG* objFinal, const CPosi3D* posi3D,
                                std::int32_t tipoOrienta, float escala,
                                std::optional<std::int16_t> color) const {
    std::int32_t NP = 0;
    PointArray contorno;
    GeneraContorno(NP, contorno, 1);
    if (escala != 0) {
        if (NP > 32767)
            throw ProgrammingError("contour too long to fit a drawing to");
        cuadroi.escala(escala);
        cuadroi.MaxMinMargenNoPic(contorno, static_cast<std::int16_t>(NP));
    }
    CSeccG inicio;
    inicio.asigna_coor(NP, contorno);
    inicio.fCoorOrig(ptoyd_);
    std::optional<CSeccG> fin;
    if (objFinal) {
        fin.emplace();
        fin->asigna_coor(NP, contorno);
        fin->fCoorOrig(objFinal->ptoyd());
    }
    inicio.DibujaSeccion(cuadroi, fin ? &*fin : nullptr, posi3D, tipoOrienta, escala, color);
    if (armado_) {
        if (tipoOrienta != 2)
            throw ProgrammingError("a reinforced section draws only in its own plane");
        armado_->Dibuja(cuadroi);
    }
}

void CSeccEstruc::DibujaSoloSeccion(ICuadro& cuadroi, const ICSeccG* /*objFinal*/,
                                    const CPosi3D* /*posi3D*/, std::int32_t tipoOrienta,
                                    float escala, std::optional<std::int16_t> /*color*/) const {
    CCuaMaxMin extremos;
    extremos.Ini(0);
    DibujaSeccion(extremos, nullptr, nullptr, tipoOrienta, 0, std::int16_t{0});
    float xmax = 0, xmin = 0, ymax = 0, ymin = 0, zmax = 0, zmin = 0;
    extremos.GetMaxMinXYZ(xmax, xmin, ymax, ymin, zmax, zmin);
    cuadroi.MargenSinPic(zmax, zmin, ymax, ymin);
    DibujaSeccion(cuadroi, nullptr, nullptr, 2, escala, std::int16_t{0});
}

void CSeccEstruc::DibujaEjes(ICuadro& cuadroi) const {
    PointArray eje = makePointArray(2);
    const double y = ycdg_, z = zcdg_;
    eje(1, 1) = ycdg_;
    eje(1, 2) = static_cast<float>(z + 1.1 * cantoZ_ / 2);
    eje(2, 1) = ycdg_;
    eje(2, 2) = static_cast<float>(z - 1.1 * cantoZ_ / 2);
    cuadroi.DibuGener(2, eje);
    eje(1, 1) = static_cast<float>(y + 1.1 * cantoY_ / 2);
    eje(1, 2) = zcdg_;
    eje(2, 1) = static_cast<float>(y - 1.1 * cantoY_ / 2);
    eje(2, 2) = zcdg_;
    cuadroi.DibuGener(2, eje);
}

void CSeccEstruc::CreaArmado() {
    if (armado_)
        return;
    if (tipoMaterial_ != 0)
        throw ProgrammingError("only a concrete section takes reinforcement");
    auto armado = std::make_shared<Carmasec>();
    armado->Ini(diametros_, nullptr, 0, 0);
    armado_ = std::move(armado);
}

namespace {
const Cdiametro& catalogueOf(const std::shared_ptr<const Cdiametro>& diametros) {
    if (!diametros)
        throw ProgrammingError("a section without a bar catalogue takes no reinforcement");
    return *diametros;
}
} // namespace

bool CSeccEstruc::AnyadeRefuerzoContorno(const std::string& linearef, float recub) {
    std::int32_t numArma = 0, indiDiam = 0;
    std::string refDiametro;
    float d = 0;
    catalogueOf(diametros_).GetNumArmaRefDiam(linearef, numArma, refDiametro, indiDiam, d);
    // The whole line is one line of bars, however many faces share it.
    if (numArma > Carmasec::kMaxRedondosLinea) {
        Carmasec::AvisaDemasiadosRedondos();
        return false;
    }

    std::int32_t NP = 0;
    PointArray linea;
    GeneraContorno(NP, linea, static_cast<float>(static_cast<double>(recub) + d / 2.0));
    const std::int32_t caras = NP - 1;
    const float porCara = caras > 0 ? static_cast<float>(static_cast<double>(numArma) / caras) : 0;
    const auto k = platform::roundToInt32(porCara);
    // Zero or fewer bars cannot be shared out either.
    if (caras < 1 || numArma <= 0 || !k || static_cast<float>(*k) != porCara) {
        platform::showError("El número de redondos no es multiplo del número de caras");
        return false;
    }
    CreaArmado();
    for (std::int32_t i = 1; i <= caras; ++i)
        armado_->AnyadeLinea(linea(i, 1), linea(i, 2), linea(i + 1, 1), linea(i + 1, 2), indiDiam,
                             *k + 1, true, false);
    return true;
}

void CSeccEstruc::AnyadeRefuerzoLineaCentrada(const std::string& linearef, float recub,
                                              std::int32_t plano) {
    CreaArmado();
    std::int32_t numArma = 0, indiDiam = 0;
    std::string refDiametro;
    float d = 0;
    catalogueOf(diametros_).GetNumArmaRefDiam(linearef, numArma, refDiametro, indiDiam, d);
    double coorY = 0;
    if (plano == 1)
        coorY = static_cast<double>(ycdg_) + cantoY_ / 2.0 - recub;
    else if (plano == 0)
        coorY = static_cast<double>(ycdg_) - cantoY_ / 2.0 + recub;
    else
        throw ProgrammingError("a bar line on a face other than 0 or 1");
    const double coorZini = static_cast<double>(zcdg_) - cantoZ_ / 2.0 + d / 2.0 + recub;
    const double coorZfin = static_cast<double>(zcdg_) + cantoZ_ / 2.0 - d / 2.0 - recub;
    armado_->AnyadeLineaYcte(cantoZ_, indiDiam, numArma, static_cast<float>(coorZini),
                             static_cast<float>(coorZfin), static_cast<float>(coorY), plano);
}

void CSeccEstruc::AnyadeRedondo(float y, float z, std::int32_t indiDiam) {
    CreaArmado();
    armado_->AnyadeRedondo(y, z, indiDiam);
}

float CSeccEstruc::Iy() const {
    throw ProgrammingError("Iy is not supported by a structural section");
}
float CSeccEstruc::Iz() const {
    throw ProgrammingError("Iz is not supported by a structural section");
}
float CSeccEstruc::YgA() const {
    throw ProgrammingError("YgA is not supported by a structural section");
}
float CSeccEstruc::ZgA() const {
    throw ProgrammingError("ZgA is not supported by a structural section");
}
void CSeccEstruc::GeneraPuntosXY(PointArray&, Array1<float>&, const CPosi3D*) const {
    throw ProgrammingError("GeneraPuntosXY is not supported by a structural section");
}
void CSeccEstruc::GeneraPuntosXZ(PointArray&, Array1<float>&, const CPosi3D*, float, float) const {
    throw ProgrammingError("GeneraPuntosXZ is not supported by a structural section");
}
void CSeccEstruc::GeneraPuntosYZ(PointArray&, Array1<float>&, const CPosi3D*, float, float,
                                 std::optional<bool>) const {
    throw ProgrammingError("GeneraPuntosYZ is not supported by a structural section");
}

} // namespace tresol

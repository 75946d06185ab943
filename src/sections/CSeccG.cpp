#include "sections/CSeccG.h"

#include "drawing/ICuadro.h"
#include "geometry/CGeome.h"
#include "geometry/CPosi3D.h"
#include "geometry/CPto2d.h"
#include "geometry/CVector.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"
#include "sections/CSecc2p.h"
#include "sections/LabelSet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace tresol {
namespace {

float f(double v) {
    return static_cast<float>(v);
}

// The Y handed to the point collection by CorteVSeccion: the cut's own position across the
// section is not known to a polygonal section.
constexpr float kCutY = 0;

// The vertex (y, z) moved by `dista` along the left normal of the direction (dy, dz); false when
// the direction has no length.
bool offsetAlongLeftNormal(float y, float z, double dy, double dz, float dista, float& yOut,
                           float& zOut) {
    const double len = std::hypot(dy, dz);
    if (!(len > 0))
        return false;
    yOut = f(y - dz / len * dista);
    zOut = f(z + dy / len * dista);
    return true;
}

} // namespace

void CSeccG::checkClosed(const PointArray& contour, std::int32_t lastRow) {
    if (contour(1, 1) != contour(lastRow, 1) || contour(1, 2) != contour(lastRow, 2)) {
        platform::showError("Error fatal: puntos iniciales y finales no coincidentes");
        throw ProgrammingError("open contour: its first and last rows differ");
    }
}

bool CSeccG::asigna_coorEjemplo() {
    static constexpr std::array<std::array<float, 2>, 9> rows{{{36, -66},
                                                               {48, -66},
                                                               {48, 6},
                                                               {-36, 6},
                                                               {-36, 66},
                                                               {-48, 66},
                                                               {-48, -6},
                                                               {36, -6},
                                                               {36, -66}}};
    PointArray p = makePointArray(9);
    for (std::int32_t i = 1; i <= 9; ++i) {
        p(i, 1) = rows[static_cast<std::size_t>(i - 1)][0];
        p(i, 2) = rows[static_cast<std::size_t>(i - 1)][1];
    }
    return asigna_coor(9, p);
}

bool CSeccG::asigna_coor(std::int32_t NumpAux, const PointArray& pto2dAux) {
    if (NumpAux < 1)
        throw ProgrammingError("asigna_coor: a contour needs at least one row");
    if (!pto2dAux.allocated() || pto2dAux.lower(1) > 1 || pto2dAux.upper(1) < NumpAux)
        throw ProgrammingError("asigna_coor: the point array does not hold rows 1…" +
                               std::to_string(NumpAux));
    numP_ = NumpAux;
    pto2d_.redim(1, NumpAux, 1, 2);
    if (pto2dAux.lower(1) == 1 && pto2dAux.lower(2) == 1 && pto2dAux.upper(2) == 2) {
        std::memcpy(pto2d_.data(), pto2dAux.data(), sizeof(float) * pto2d_.size());
    } else {
        for (std::int32_t i = 1; i <= NumpAux; ++i) {
            pto2d_(i, 1) = pto2dAux(i, 1);
            pto2d_(i, 2) = pto2dAux(i, 2);
        }
    }
    // Coordinates or sums beyond single precision give no usable property: refused like a
    // contour without area (a NaN would otherwise also pass for an open contour).
    auto allFinite = [](std::initializer_list<double> values) {
        return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
    };
    const float* q = pto2d_.data();
    for (std::size_t k = 0; k < pto2d_.size(); ++k)
        if (!std::isfinite(q[k])) {
            platform::showError("Coordenadas de sección fuera de rango");
            return false;
        }
    checkClosed(pto2d_, NumpAux);

    areaSum_ = Iz_ = Iy_ = YgA_ = ZgA_ = productSum_ = 0;
    const float* p = pto2d_.data(); // row i at p[2(i − 1)], p[2(i − 1) + 1]
    CSecc2p strip;
    for (std::int32_t i = 0; i < NumpAux - 1; ++i) {
        const float y1 = p[2 * i], z1 = p[2 * i + 1];
        const float y2 = p[2 * i + 2], z2 = p[2 * i + 3];
        strip.asigna_coor(y1, z1, y2, z2);
        areaSum_ = f(double{areaSum_} + strip.GetArea());
        Iz_ = f(double{Iz_} + strip.GetI());
        ZgA_ = f(ZgA_ + double{strip.GetArea()} * strip.zgTramo);
        productSum_ = f(double{productSum_} + strip.getIzy());
        // The same side with Y and Z exchanged integrates along the other axis.
        strip.asigna_coor(z1, y1, z2, y2);
        Iy_ = f(double{Iy_} + strip.GetI());
        YgA_ = f(YgA_ + double{strip.GetArea()} * strip.zgTramo);
    }
    if (areaSum_ == 0) {
        platform::showError("Area de sección=0...");
        return false;
    }
    Yg_ = f(-double{YgA_} / areaSum_);
    Zg_ = f(double{ZgA_} / areaSum_);
    Izg_ = double{Yg_} * Yg_ * areaSum_ - Iz_;
    Iyg_ = double{Zg_} * Zg_ * areaSum_ + Iy_;
    izy_ = f(double{areaSum_} * Zg_ * Yg_ - productSum_);
    // A second contour given to the same section is not shifted by the first one's extremes:
    // the centroid always belongs to the contour just given.
    YgA_ = f(-double{Yg_} * areaSum_);
    ZgA_ = f(-double{Zg_} * areaSum_);
    Iz_ = f(Izg_ - double{Yg_} * Yg_ * areaSum_);
    Iy_ = f(Iyg_ - double{Zg_} * Zg_ * areaSum_);
    if (!allFinite({areaSum_, Yg_, Zg_, f(Izg_), f(Iyg_), izy_, YgA_, ZgA_, Iz_, Iy_})) {
        platform::showError("Coordenadas de sección fuera de rango");
        return false;
    }

    // One pass of our own rather than CPto2d::MaxMin, whose 16-bit row counter stops at 32767.
    maxY_ = minY_ = p[0];
    maxZ_ = minZ_ = p[1];
    for (std::int32_t i = 1; i < NumpAux; ++i) {
        const float y = p[2 * i], z = p[2 * i + 1];
        if (z > maxZ_)
            maxZ_ = z;
        if (z < minZ_)
            minZ_ = z;
        if (y > maxY_)
            maxY_ = y;
        if (y < minY_)
            minY_ = y;
    }
    return true;
}

bool CSeccG::IniRectangulo(float dimYY, float dimZZ) {
    const float y = f(dimYY / 2.0);
    const float z = f(dimZZ / 2.0);
    PointArray p = makePointArray(5);
    const float rows[5][2] = {{-y, -z}, {y, -z}, {y, z}, {-y, z}, {-y, -z}};
    for (std::int32_t i = 1; i <= 5; ++i) {
        p(i, 1) = rows[i - 1][0];
        p(i, 2) = rows[i - 1][1];
    }
    return asigna_coor(5, p);
}

bool CSeccG::IniHomotetica(const PointArray& pto2dIn, float dista) {
    const std::int32_t n = pto2dIn.upper(1);
    checkClosed(pto2dIn, n);
    PointArray out = makePointArray(n);
    for (std::int32_t i = 1; i <= n - 1; ++i) {
        const std::int32_t prev = i == 1 ? n - 1 : i - 1;
        const std::int32_t next = i + 1;
        const float yp = pto2dIn(prev, 1), zp = pto2dIn(prev, 2);
        const float yi = pto2dIn(i, 1), zi = pto2dIn(i, 2);
        const float yn = pto2dIn(next, 1), zn = pto2dIn(next, 2);
        CVector before, after;
        before.IniParaleEnXY(yp, zp, 0, yi, zi, 0, dista);
        after.IniParaleEnXY(yi, zi, 0, yn, zn, 0, dista);
        float y = yi, z = zi;
        if (!before.GetXYintersec(after, y, z)) {
            // Parallel neighbours (a vertex in the middle of a straight run): both offset lines
            // pass through the vertex moved along their common normal.
            if (!offsetAlongLeftNormal(yi, zi, double{yi} - yp, double{zi} - zp, dista, y, z) &&
                !offsetAlongLeftNormal(yi, zi, double{yn} - yi, double{zn} - zi, dista, y, z)) {
                y = yi;
                z = zi;
            }
        }
        out(i, 1) = y;
        out(i, 2) = z;
    }
    out(n, 1) = out(1, 1);
    out(n, 2) = out(1, 2);
    return asigna_coor(n, out);
}

void CSeccG::Dibuja(ICuadro& Cdibujo) const {
    if (numP_ > 0)
        Cdibujo.DibuGener(numP_, pto2d_, nullptr, false);
}

void CSeccG::CalIx(std::int16_t NP, const PointArray& pto2d, const PointArray& pto2d_aux) {
    float s = 0;
    for (std::int32_t i = 1; i <= NP - 1; ++i) {
        const double dy = double{pto2d(i, 1)} - pto2d(i + 1, 1);
        const double dz = double{pto2d(i, 2)} - pto2d(i + 1, 2);
        const float length = f(std::sqrt(dy * dy + dz * dz));
        const float thickness = pto2d_aux(i, 2);
        if (length == 0)
            continue;
        if (thickness == 0)
            throw ProgrammingError("CalIx: side " + std::to_string(i) + " has no wall thickness");
        s = f(s + double{length} / thickness);
    }
    if (s != 0)
        Ix_ = f(4.0 * areaSum_ * areaSum_ / s);
}

void CSeccG::Gira(float, float, float) {
    throw ProgrammingError("Gira is not supported by a polygonal section");
}

void CSeccG::Traslada(float, float, float) {
    throw ProgrammingError("Traslada is not supported by a polygonal section");
}

void CSeccG::CorteVSeccion(CPto2d& Ptos2d, float XG) const {
    CGeome geome;
    for (std::int32_t i = 1; i <= numP_ - 1; ++i) {
        // The side with Z as abscissa and Y as ordinate, cut by the vertical line Z = XG.
        if (geome.IntersTramoX(pto2d_(i, 2), pto2d_(i, 1), pto2d_(i + 1, 2), pto2d_(i + 1, 1),
                               Value{XG}))
            Ptos2d.NuevoPto(XG, kCutY, geome.y());
    }
}

float CSeccG::Jtor() const {
    if (Ix_ == 0)
        throw ProgrammingError("Jtor: the torsion constant of a polygonal section was not given");
    return Ix_;
}

void CSeccG::DibujaSeccion(ICuadro& Cdibujo3D, const ICSeccG* objFinal, const CPosi3D* posi3D,
                           std::int32_t tipoOrienta, float /*escala*/,
                           std::optional<std::int16_t> color) const {
    auto points = [&](const ICSeccG& s, PointArray& p2, Array1<float>& p1) {
        switch (tipoOrienta) {
        case 0:
            s.GeneraPuntosXY(p2, p1, posi3D);
            break;
        case 1:
            s.GeneraPuntosXZ(p2, p1, posi3D, 0, 0);
            break;
        case 2:
            s.GeneraPuntosYZ(p2, p1, posi3D, 0, 0, false);
            break;
        default:
            throw ProgrammingError("DibujaSeccion: view " + std::to_string(tipoOrienta) +
                                   " outside 0…2");
        }
    };
    PointArray here2, end2;
    Array1<float> here1, end1;
    points(*this, here2, here1);
    if (objFinal)
        points(*objFinal, end2, end1);
    Cdibujo3D.PoneQBColor(color.value_or(0));
    Cdibujo3D.DibuGener3D(numP_, here2, here1, true);
    if (objFinal) {
        Cdibujo3D.DibuGener3D(objFinal->NumP(), end2, end1, true);
        Cdibujo3D.DibuUnePtos3D(here2, end2, here1, end1);
    }
    Cdibujo3D.PoneQBColor(0);
}

void CSeccG::GeneraPuntosYZ(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D,
                            float ytras, float ztras, std::optional<bool> invierteYZ) const {
    Pnt2d.redim(1, numP_, 1, 2);
    Pnt1d.redim(1, numP_);
    const bool swap = invierteYZ.value_or(false);
    for (std::int32_t i = 1; i <= numP_; ++i) {
        float a = pto2d_(i, 1), b = pto2d_(i, 2);
        if (swap)
            std::swap(a, b);
        Pnt2d(i, 1) = f(double{a} + ytras);
        Pnt2d(i, 2) = f(double{b} + ztras);
        Pnt1d(i) = fCoorOrig_;
    }
    if (posi3D)
        posi3D->TranfPtos(Pnt2d, Pnt1d);
}

void CSeccG::GeneraPuntosXY(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D) const {
    GeneraPuntosYZ(Pnt2d, Pnt1d, posi3D, 0, 0, false);
    for (std::int32_t i = 1; i <= numP_; ++i)
        std::swap(Pnt2d(i, 2), Pnt1d(i));
}

void CSeccG::GeneraPuntosXZ(PointArray& Pnt2d, Array1<float>& Pnt1d, const CPosi3D* posi3D,
                            float /*xtras*/, float /*ztras*/) const {
    GeneraPuntosYZ(Pnt2d, Pnt1d, posi3D, 0, 0, false);
    for (std::int32_t i = 1; i <= numP_; ++i) {
        const float x = Pnt1d(i), y = Pnt2d(i, 1), z = Pnt2d(i, 2);
        Pnt2d(i, 1) = z;
        Pnt2d(i, 2) = x;
        Pnt1d(i) = y;
    }
}

float CSeccG::cantoY() const {
    return f(std::fabs(double{maxY_} - minY_));
}
float CSeccG::cantoZ() const {
    return f(std::fabs(double{maxZ_} - minZ_));
}

bool CSeccG::LetPropiedadesDeContorno(LabelSet& labelDesc, std::int32_t& indi) const {
    const std::array<std::string, 5> lines{
        "area = " + platform::numberText(area()), "CantoY = " + platform::numberText(cantoY()),
        "CantoZ = " + platform::numberText(cantoZ()), "Izz = " + platform::formatNumber(Izg_, "#"),
        "Iyy = " + platform::formatNumber(Iyg_, "#")};
    if (indi > std::numeric_limits<std::int32_t>::max() - static_cast<std::int32_t>(lines.size()))
        throw ProgrammingError("LetPropiedadesDeContorno: label index out of range");
    for (const std::string& line : lines) {
        labelDesc.Caption(indi, line);
        ++indi;
    }
    return false;
}

float CSeccG::GetCoorExtrema(std::int32_t) const {
    throw ProgrammingError("GetCoorExtrema is not supported by a polygonal section");
}

} // namespace tresol

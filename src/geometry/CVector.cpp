#include "geometry/CVector.h"

#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <cmath>
#include <limits>
#include <string>

namespace tresol {
namespace {

static_assert(CVector::kVerticalSlope == std::numeric_limits<float>::max());

constexpr double kPi = 3.14159265358979;

float toSingle(double v) {
    return static_cast<float>(v);
}

} // namespace

bool CVector::Ini(float x, float y, float z, float x2, float y2, float z2,
                  std::optional<bool> moduloPuedeSerCero) {
    const double dx = double{x2} - x;
    const double dy = double{y2} - y;
    const double dz = double{z2} - z;
    const double length = std::sqrt(dy * dy + dx * dx + dz * dz);
    modulus_ = toSingle(length);
    if (length == 0.0 && !moduloPuedeSerCero.value_or(false)) {
        platform::showError("Se ha cogido un vector de modulo cero");
        return false;
    }
    x1_ = x;
    y1_ = y;
    z1_ = z;
    x2_ = x2;
    y2_ = y2;
    z2_ = z2;
    return true;
}

bool CVector::IniProdVectorial(const CVector& vector1, const CVector& vector2,
                               std::optional<bool> moduloPuedeSerCero) {
    const double ax = vector1.GetIncX(), ay = vector1.GetIncY(), az = vector1.GetIncZ();
    const double bx = vector2.GetIncX(), by = vector2.GetIncY(), bz = vector2.GetIncZ();
    const double cx = ay * bz - az * by;
    const double cy = az * bx - ax * bz;
    const double cz = ax * by - ay * bx;
    return Ini(0, 0, 0, toSingle(cx), toSingle(cy), toSingle(cz), moduloPuedeSerCero);
}

bool CVector::IniPerpenEnXY(float x, float y, float z, float x2, float y2, float z2,
                            const Value& Modulo) {
    // Out of one XY plane "perpendicular in XY" has no meaning: refuse and keep the vector.
    if (toSingle(std::fabs(double{z} - z2)) > kTolerance)
        return false;
    const double dx = double{x2} - x;
    const double dy = double{y2} - y;
    const bool accepted = Ini(x, y, z, toSingle(x - dy), toSingle(y + dx), z2, false);
    const double length = valueAsTypedNumber(Modulo);
    if (length != 0.0)
        LetModulo(toSingle(length));
    return accepted;
}

bool CVector::IniParaleEnXY(float x, float y, float z, float x2, float y2, float z2, float Modulo) {
    if (toSingle(std::fabs(double{z} - z2)) > kTolerance)
        return false;
    const bool accepted = IniPerpenEnXY(x, y, z, x2, y2, z2, Value{Modulo});
    // The end of the perpendicular is the new origin; the direction is the given segment's.
    const float px = x2_;
    const float py = y2_;
    x1_ = px;
    y1_ = py;
    x2_ = toSingle(px + (double{x2} - x));
    y2_ = toSingle(py + (double{y2} - y));
    const double dx = double{x2_} - x1_;
    const double dy = double{y2_} - y1_;
    const double dz = double{z2_} - z1_;
    modulus_ = toSingle(std::sqrt(dx * dx + dy * dy + dz * dz));
    return accepted;
}

void CVector::LetModulo(float modIn) {
    if (modulus_ == 0 || modIn == 0) {
        platform::showError("Modulo =0.");
    } else {
        const double factor = double{modIn} / modulus_;
        x2_ = toSingle((double{x2_} - x1_) * factor + x1_);
        y2_ = toSingle((double{y2_} - y1_) * factor + y1_);
        z2_ = toSingle((double{z2_} - z1_) * factor + z1_);
    }
    modulus_ = std::fabs(modIn);
}

float CVector::GetIncX() const {
    return toSingle(double{x2_} - x1_);
}
float CVector::GetIncY() const {
    return toSingle(double{y2_} - y1_);
}
float CVector::GetIncZ() const {
    return toSingle(double{z2_} - z1_);
}

float CVector::GetPendienteA(bool& esinfinito) const {
    const float dx = toSingle(std::fabs(double{x2_} - x1_));
    if (dx >= kTolerance) {
        esinfinito = false;
        return toSingle((double{y2_} - y1_) / (double{x2_} - x1_));
    }
    esinfinito = true;
    return kVerticalSlope;
}

void CVector::GetParamAyB(float& a, float& b, bool& esinfinito) const {
    a = GetPendienteA(esinfinito);
    if (!esinfinito)
        b = toSingle(y1_ - double{x1_} * a);
}

bool CVector::GetXYintersec(const CVector& vector2, float& x, float& y) const {
    if (SonParalelos(vector2))
        return false;
    float a1 = 0, b1 = 0, a2 = 0, b2 = 0;
    bool vertical1 = false, vertical2 = false;
    GetParamAyB(a1, b1, vertical1);
    vector2.GetParamAyB(a2, b2, vertical2);
    // Slopes equal in single precision (both vertical included) would divide by zero or give
    // no point at all: such lines are parallel for every practical purpose.
    if (a1 == a2)
        return false;
    if (!vertical1 && !vertical2) {
        x = toSingle(-(double{b1} - b2) / (double{a1} - a2));
        y = toSingle(double{x} * a1 + b1);
    } else if (vertical2) {
        x = vector2.x1_;
        y = toSingle(double{x} * a1 + b1);
    } else {
        x = x1_;
        y = toSingle(double{x1_} * a2 + b2);
    }
    return true;
}

bool CVector::SonParalelos(const CVector& vector2) const {
    CVector cross;
    cross.IniProdVectorial(*this, vector2, true);
    return cross.GetModulo() == 0;
}

bool CVector::SonPerpen(const CVector& vector2) const {
    const double dot = double{GetIncY()} * vector2.GetIncY() +
                       double{GetIncX()} * vector2.GetIncX() +
                       double{GetIncZ()} * vector2.GetIncZ();
    return toSingle(dot) == 0;
}

void CVector::CreaPtosCircunf(std::int32_t numLados, float anguIni, PointArray& pto2d,
                              float modulo2) const {
    if (numLados < 1 || numLados == std::numeric_limits<std::int32_t>::max())
        throw ProgrammingError("CreaPtosCircunf: number of sides out of range");
    pto2d.redim(1, numLados + 1, 1, 2);
    // Half a step on: with anguIni 0 a side, not a vertex, crosses the positive x axis.
    const float start = toSingle(kPi / numLados + double{anguIni});
    const double a = modulus_;
    const double b = modulo2;
    const bool circle = modulo2 == 0 || modulo2 == modulus_;
    for (std::int32_t i = 1; i <= numLados; ++i) {
        const float theta = toSingle((i - 1) * 2.0 * kPi / numLados + start);
        const double c = std::cos(double{theta});
        const double s = std::sin(double{theta});
        double r = a;
        if (!circle) {
            const double denominator = std::sqrt(a * a * c * c + b * b * s * s);
            // Only a degenerate ellipse (a zero semi-axis) gets here: its radius is 0.
            r = denominator == 0 ? 0.0 : a * b / denominator;
        }
        pto2d(i, 1) = toSingle(r * c + x1_);
        pto2d(i, 2) = toSingle(r * s + y1_);
    }
    pto2d(numLados + 1, 1) = pto2d(1, 1);
    pto2d(numLados + 1, 2) = pto2d(1, 2);
}

} // namespace tresol

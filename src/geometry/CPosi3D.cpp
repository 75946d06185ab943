#include "geometry/CPosi3D.h"

#include <cmath>

namespace tresol {
namespace {

constexpr double kRadiansPerDegree = 0.0174532925199433;

float toSingle(double v) {
    return static_cast<float>(v);
}

} // namespace

void CPosi3D::LetTraslacion(float x, float y, float z) {
    tx_ = x;
    ty_ = y;
    tz_ = z;
}

void CPosi3D::LetGiroGrados(float gx, float gy, float gz) {
    gx_ = toSingle(gx * kRadiansPerDegree);
    gy_ = toSingle(gy * kRadiansPerDegree);
    gz_ = toSingle(gz * kRadiansPerDegree);
    // From the stored angles, so that sines and cosines always belong to what GetGX reports.
    sinGx_ = toSingle(std::sin(double{gx_}));
    cosGx_ = toSingle(std::cos(double{gx_}));
    sinGy_ = toSingle(std::sin(double{gy_}));
    cosGy_ = toSingle(std::cos(double{gy_}));
    sinGz_ = toSingle(std::sin(double{gz_}));
    cosGz_ = toSingle(std::cos(double{gz_}));
}

void CPosi3D::TranfPtoXYZ(float& x, float& y, float& z) const {
    const float y1 = toSingle(double{y} * cosGx_ - double{z} * sinGx_);
    const float z1 = toSingle(double{y} * sinGx_ + double{z} * cosGx_);
    const float x2 = toSingle(double{x} * cosGy_ + double{z1} * sinGy_);
    z = toSingle(-double{x} * sinGy_ + double{z1} * cosGy_ + tz_);
    x = toSingle(double{x2} * cosGz_ - double{y1} * sinGz_ + tx_);
    y = toSingle(double{y1} * cosGz_ + double{x2} * sinGz_ + ty_);
}

void CPosi3D::TranfPtos(PointArray& Pnt2d, Array1<float>& Pnt1d) const {
    if (Pnt2d.empty())
        return;
    for (PointArray::Index i = 1; i <= Pnt2d.upper(1); ++i)
        TranfPtoXYZ(Pnt1d(i), Pnt2d(i, 1), Pnt2d(i, 2));
}

bool CPosi3D::HayMovimiento() const {
    return tx_ != 0 || ty_ != 0 || tz_ != 0 || gx_ != 0 || gy_ != 0 || gz_ != 0;
}

} // namespace tresol

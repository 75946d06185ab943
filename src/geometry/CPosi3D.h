#pragma once

#include "platform/BoundedArray.h"

namespace tresol {

// A rigid placement: rotations about the global X, then Y, then Z axes, then a translation.
// Angles are given in degrees and held in radians; their sines and cosines are kept so that
// transforming many points needs no trigonometry.
class CPosi3D {
  public:
    void LetTraslacion(float x, float y, float z);
    void LetGiroGrados(float gx, float gy, float gz);

    // Rz·Ry·Rx·p + t, in place.
    void TranfPtoXYZ(float& x, float& y, float& z) const;
    // Every point (x = Pnt1d(i), y = Pnt2d(i, 1), z = Pnt2d(i, 2)) in place.
    void TranfPtos(PointArray& Pnt2d, Array1<float>& Pnt1d) const;

    float GetX() const { return tx_; }
    float GetY() const { return ty_; }
    float GetZ() const { return tz_; }
    float GetGX() const { return gx_; }
    float GetGY() const { return gy_; }
    float GetGZ() const { return gz_; }

    bool HayMovimiento() const;

  private:
    float tx_ = 0, ty_ = 0, tz_ = 0;
    float gx_ = 0, gy_ = 0, gz_ = 0;
    float sinGx_ = 0, cosGx_ = 1;
    float sinGy_ = 0, cosGy_ = 1;
    float sinGz_ = 0, cosGz_ = 1;
};

} // namespace tresol

#pragma once

#include "platform/BoundedArray.h"
#include "platform/Value.h"

#include <cstdint>
#include <optional>

namespace tresol {

// A directed segment from an origin to an end point with its stored length. It also serves as a
// straight line in the XY plane and as the circle or ellipse (origin as centre, length as radius)
// from which closed polygons are generated.
class CVector {
  public:
    // Below this |dx| a line counts as vertical; also the largest z difference accepted by the
    // XY-plane initialisers.
    static constexpr float kTolerance = 1e-5f;
    // The slope reported for a vertical line: the largest finite single.
    static constexpr float kVerticalSlope = 3.4028235e38f;

    bool Ini(float x, float y, float z, float x2, float y2, float z2,
             std::optional<bool> moduloPuedeSerCero = std::nullopt);
    // The cross product vector1 × vector2, from the origin of coordinates.
    bool IniProdVectorial(const CVector& vector1, const CVector& vector2,
                          std::optional<bool> moduloPuedeSerCero = std::nullopt);
    // The line parallel to (x, y)→(x2, y2) at distance |Modulo|, on its left for a positive one.
    bool IniParaleEnXY(float x, float y, float z, float x2, float y2, float z2, float Modulo);
    // The segment turned +90° about (x, y); a non-zero Modulo becomes its length.
    bool IniPerpenEnXY(float x, float y, float z, float x2, float y2, float z2,
                       const Value& Modulo);

    float GetModulo() const { return modulus_; }
    // Rescales the vector about its origin; a negative length reverses it.
    void LetModulo(float modIn);

    float GetX1() const { return x1_; }
    float GetY1() const { return y1_; }
    float GetX2() const { return x2_; }
    float GetY2() const { return y2_; }

    bool GetXYintersec(const CVector& vector2, float& x, float& y) const;
    float GetPendienteA(bool& esinfinito) const;
    void GetParamAyB(float& a, float& b, bool& esinfinito) const;
    bool SonPerpen(const CVector& vector2) const;
    bool SonParalelos(const CVector& vector2) const;

    float GetIncX() const;
    float GetIncY() const;
    float GetIncZ() const;

    // Closed polygon of numLados sides on the circle (or, with a second radius, the ellipse)
    // centred at the origin point: numLados + 1 rows, the last repeating the first.
    void CreaPtosCircunf(std::int32_t numLados, float anguIni, PointArray& pto2d,
                         float modulo2) const;

  private:
    float x1_ = 0, y1_ = 0, z1_ = 0;
    float x2_ = 0, y2_ = 0, z2_ = 0;
    float modulus_ = 0;
};

} // namespace tresol

#pragma once

#include "platform/BoundedArray.h"
#include "platform/Value.h"

#include <cstdint>

namespace tresol {

// A small calculator for plane geometry: crossings with a vertical line, the distance between
// two working points, the division of a segment and a structured mesh over a quadrilateral.
// Results stay in the object and are read back through its properties.
class CGeome {
  public:
    CGeome();

    float x() const { return x_; }
    float y() const { return y_; }

    // The infinite line through (x1, y1) and (x2, y2) against x = xCut; sets y when found.
    bool IntersRectaX(float x1, float y1, float x2, float y2, const Value& xCut);
    // As IntersRectaX for the segment, ends included; a vertical segment is never cut.
    bool IntersTramoX(float x1, float y1, float x2, float y2, const Value& xCut);

    // Distance between working points iaux1 and iaux2 (each 1 or 2).
    float Modulo(std::int32_t iaux1, std::int32_t iaux2) const;
    void Xv(std::int32_t iaux, float faux) { xv_(iaux) = faux; }
    void Yv(std::int32_t iaux, float faux) { yv_(iaux) = faux; }

    // Recreates the output vector with naux rows, all zero.
    void NP(std::int32_t naux);
    float VecSal(std::int32_t row, std::int32_t column) const { return out_(row, column); }

    // Rows iini + 1 … iini + n + 1 get the n + 1 points dividing working point iaux1 → iaux2
    // into n equal parts, both ends included.
    void DivVector(std::int32_t iaux1, std::int32_t iaux2, std::int32_t n, std::int32_t iini);
    // The mesh over the quadrilateral xs/ys(1 … 4): point j of rung i in row (nAcross + 1)(i − 1) +
    // j.
    void GeneraMalla(const Array1<float>& xs, const Array1<float>& ys, std::int32_t nAcross,
                     std::int32_t nAlong);
    // Area of the quadrilateral of output rows i1 … i4 (positive when counter-clockwise), added
    // to the running area.
    float AreaCuadrito(std::int32_t i1, std::int32_t i2, std::int32_t i3, std::int32_t i4);

    float area() const { return area_; }
    void area(float faux) { area_ = faux; }

  private:
    float x_ = 0;
    float y_ = 0;
    std::int32_t np_ = 0;
    Array1<float> xv_;
    Array1<float> yv_;
    float area_ = 0;
    PointArray out_;
};

} // namespace tresol

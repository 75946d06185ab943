#pragma once

namespace tresol {

// The strip of plane between one side of a polygon, from (y1, z1) to (y2, z2), and the line
// y = 0, taken over Z from z2 to z1. Summed over the sides of a closed polygon the strips give
// the polygon's integrals (Green's theorem); every value carries the sign of z1 − z2.
class CSecc2p {
  public:
    // Centroid of the strip (0, 0 when its area is 0).
    float zgTramo = 0;
    float ygTramo = 0;

    void asigna_coor(float y1, float z1, float y2, float z2) { CalculaTramo(y1, z1, y2, z2); }

    // ∫ y² dA of the strip.
    float GetI() const { return I_; }
    // ∫ y·z dA of the strip.
    float getIzy() const { return Izy_; }
    float GetArea() const { return area_; }

  private:
    // Kept in the header so that the contour loop of CSeccG, which calls it twice per side,
    // can inline it.
    void CalculaTramo(float y1, float z1, float y2, float z2) {
        if (z1 == z2) {
            zgTramo = ygTramo = area_ = I_ = Izy_ = 0;
            return;
        }
        // A rectangle of width y2 plus a right triangle with its right angle at (y2, z1).
        const float dz = f(double{z1} - z2);
        const float a = f(double{y1} - y2);
        const float areaTri = f(0.5 * dz * a);
        const float areaRect = f(double{dz} * y2);
        area_ = f(double{areaRect} + areaTri);
        const float yRect = f(y2 / 2.0);
        const float zRect = f((double{z1} + z2) / 2.0);
        const float yTri = f(y2 + a / 3.0);
        const float zTri = f(z1 - dz / 3.0);
        if (area_ == 0) {
            ygTramo = zgTramo = 0;
        } else {
            ygTramo = f((double{areaRect} * yRect + double{areaTri} * yTri) / area_);
            zgTramo = f((double{areaRect} * zRect + double{areaTri} * zTri) / area_);
        }
        const double y2d = y2, ad = a, dzd = dz;
        I_ = f(dzd * y2d * y2d * y2d / 3.0 + dzd * ad * ad * ad / 36.0 +
               double{areaTri} * yTri * yTri);
        Izy_ = f(double{areaRect} * yRect * zRect + dzd * dzd * ad * ad / 72.0 +
                 double{areaTri} * yTri * zTri);
    }

    static float f(double v) { return static_cast<float>(v); }

    float area_ = 0;
    float I_ = 0;
    float Izy_ = 0;
};

} // namespace tresol

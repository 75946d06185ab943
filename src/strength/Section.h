#pragma once

#include "strength/Materials.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tresol::strength {

// A point of the outline in the section's own frame, metres.
struct Point {
    double y = 0, z = 0;
};

// A bar: its centre (m) and its area (m²).
struct Bar {
    double y = 0, z = 0, area = 0;
};

// A value or the Spanish text saying why there is none (user input is never an exception).
template <class T> struct Checked {
    std::optional<T> value;
    std::string error;

    static Checked fail(std::string why) {
        Checked c;
        c.error = std::move(why);
        return c;
    }
    explicit operator bool() const { return value.has_value(); }
    const T& operator*() const { return *value; }
    const T* operator->() const { return &*value; }
};

// A checked section: a simple polygon (convex or not, either orientation, no repeated closing
// point needed), the bars inside it, the materials and code. Moments are taken about the
// centroid of the gross outline (bars not counted).
class Section {
  public:
    // Refuses (Spanish text): fewer than three distinct points, a non-finite coordinate, an
    // outline with no area or crossing itself, a bar with a non-finite position or an area not
    // positive, a bar whose centre is outside the outline, and materials out of their codes'
    // range. A section without bars is plain concrete.
    static Checked<Section> make(std::vector<Point> outline, std::vector<Bar> bars,
                                 const Materials& materials);
    // The same outline and materials with other bars, checked as make checks them.
    Checked<Section> withBars(std::vector<Bar> bars) const;

    const std::vector<Point>& outline() const { return outline_; } // counter-clockwise
    const std::vector<Bar>& bars() const { return bars_; }
    const Materials& materials() const { return materials_; }
    const DesignConstants& constants() const { return k_; }
    double area() const { return area_; }       // m², gross concrete
    double steelArea() const { return steel_; } // m²
    Point centroid() const { return centroid_; }
    // Extent of the outline along y and along z (m): the h of EN 6.1(4) about each axis.
    double depthY() const { return depthY_; }
    double depthZ() const { return depthZ_; }

  private:
    Section() = default;
    std::vector<Point> outline_;
    std::vector<Bar> bars_;
    Materials materials_;
    DesignConstants k_;
    double area_ = 0, steel_ = 0, depthY_ = 0, depthZ_ = 0;
    Point centroid_;
};

// A rectangle b × h (m), its bottom-left corner at the origin, counter-clockwise: a helper
// for the commonest outline.
std::vector<Point> rectangle(double b, double h);

} // namespace tresol::strength

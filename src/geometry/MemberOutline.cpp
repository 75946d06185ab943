#include "geometry/MemberOutline.h"

#include "geometry/CVector.h"

namespace tresol {

PointArray memberOutlinePoints(std::int32_t sides, float width, float height) {
    if (sides == 4) {
        const float b = width / 2, h = height / 2;
        return makePointArray({{-h, -b}, {h, -b}, {h, b}, {-h, b}, {-h, -b}});
    }
    PointArray pts = makePointArray(sides + 1);
    CVector radio;
    radio.Ini(0, 0, 0, 0, width, 0);
    radio.CreaPtosCircunf(sides, 0, pts, 0);
    return pts;
}

} // namespace tresol

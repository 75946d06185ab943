#include "geometry/CGeome.h"

#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace tresol {
namespace {

float toSingle(double v) {
    return static_cast<float>(v);
}

} // namespace

CGeome::CGeome() : xv_(1, 2), yv_(1, 2) {}

bool CGeome::IntersRectaX(float x1, float y1, float x2, float y2, const Value& xCut) {
    if (x1 == x2)
        return false;
    const double xc = valueAsTypedNumber(xCut);
    y_ = toSingle((xc - x1) / (double{x2} - x1) * (double{y2} - y1) + y1);
    return true;
}

bool CGeome::IntersTramoX(float x1, float y1, float x2, float y2, const Value& xCut) {
    const double xc = valueAsTypedNumber(xCut);
    if (x1 == x2 || (xc - x1) * (xc - x2) > 0 || std::isnan(xc))
        return false;
    y_ = toSingle((xc - x1) / (double{x2} - x1) * (double{y2} - y1) + y1);
    return true;
}

float CGeome::Modulo(std::int32_t iaux1, std::int32_t iaux2) const {
    const double dx = double{xv_(iaux2)} - xv_(iaux1);
    const double dy = double{yv_(iaux2)} - yv_(iaux1);
    return toSingle(std::sqrt(dx * dx + dy * dy));
}

void CGeome::NP(std::int32_t naux) {
    out_.redim(1, naux, 1, 2);
    np_ = naux;
}

void CGeome::DivVector(std::int32_t iaux1, std::int32_t iaux2, std::int32_t n, std::int32_t iini) {
    if (n < 1)
        throw ProgrammingError("DivVector: the number of divisions must be at least 1");
    if (iini < 0)
        throw ProgrammingError("DivVector: negative row offset");
    const double x0 = xv_(iaux1);
    const double y0 = yv_(iaux1);
    const double dx = double{xv_(iaux2)} - x0;
    const double dy = double{yv_(iaux2)} - y0;
    if (std::int64_t{np_} < std::int64_t{iini} + n + 1) {
        platform::showError("Error fatal: no ser ha dimensionado el vector de salida.");
        return;
    }
    for (std::int32_t k = 1; k <= n + 1; ++k) {
        const float t = toSingle(double(k - 1) / n);
        out_(iini + k, 1) = toSingle(x0 + t * dx);
        out_(iini + k, 2) = toSingle(y0 + t * dy);
    }
}

void CGeome::GeneraMalla(const Array1<float>& xs, const Array1<float>& ys, std::int32_t nAcross,
                         std::int32_t nAlong) {
    if (nAcross < 1 || nAlong < 1)
        throw ProgrammingError("GeneraMalla: the numbers of divisions must be at least 1");
    const std::int64_t rows = (std::int64_t{nAcross} + 1) * (std::int64_t{nAlong} + 1);
    if (rows > std::numeric_limits<std::int32_t>::max())
        throw ProgrammingError("GeneraMalla: mesh too large");
    const std::array<float, 4> px{xs(1), xs(2), xs(3), xs(4)};
    const std::array<float, 4> py{ys(1), ys(2), ys(3), ys(4)};
    NP(static_cast<std::int32_t>(rows));

    // The two opposite edges P1→P2 and P4→P3, divided alike; each rung joins their i-th points.
    CGeome first, second;
    first.NP(nAlong + 1);
    first.Xv(1, px[0]);
    first.Yv(1, py[0]);
    first.Xv(2, px[1]);
    first.Yv(2, py[1]);
    first.DivVector(1, 2, nAlong, 0);
    second.NP(nAlong + 1);
    second.Xv(1, px[3]);
    second.Yv(1, py[3]);
    second.Xv(2, px[2]);
    second.Yv(2, py[2]);
    second.DivVector(1, 2, nAlong, 0);

    for (std::int32_t i = 1; i <= nAlong + 1; ++i) {
        Xv(1, first.VecSal(i, 1));
        Yv(1, first.VecSal(i, 2));
        Xv(2, second.VecSal(i, 1));
        Yv(2, second.VecSal(i, 2));
        DivVector(1, 2, nAcross, (nAcross + 1) * (i - 1));
    }
}

float CGeome::AreaCuadrito(std::int32_t i1, std::int32_t i2, std::int32_t i3, std::int32_t i4) {
    // The rows taken in the order i1, i4, i3, i2 have, with the first column as abscissa, the
    // opposite of the area of i1 … i4; that area negated is the result.
    const std::array<std::int32_t, 4> order{i1, i4, i3, i2};
    double twiceArea = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::int32_t a = order[k];
        const std::int32_t b = order[(k + 1) % order.size()];
        twiceArea += double{out_(a, 1)} * out_(b, 2) - double{out_(b, 1)} * out_(a, 2);
    }
    const float result = toSingle(-twiceArea / 2);
    area_ = toSingle(double{area_} + result);
    return result;
}

} // namespace tresol

#include "drawing/CCuaMaxMin.h"

#include "drawing/ArrayChecks.h"
#include "platform/ProgrammingError.h"

#include <string>

namespace tresol {

using drawing_detail::checkPoints;
using drawing_detail::checkVector;

void CCuaMaxMin::Ini(std::int32_t tipoOrienta) {
    puntos_.clear();
    orientacion_ = tipoOrienta;
    iniciado_ = true;
}

std::vector<CCuaMaxMin::Point>& CCuaMaxMin::store(const char* what) {
    if (!iniciado_)
        throw ProgrammingError(std::string(what) + " on an extent collector before Ini");
    return puntos_;
}

void CCuaMaxMin::unsupported(const char* what) {
    throw ProgrammingError(std::string(what) + " is not supported by the extent collector");
}

std::int32_t CCuaMaxMin::GetMaxMinXYZ(float& xmax, float& xmin, float& ymax, float& ymin,
                                      float& zmax, float& zmin) const {
    if (puntos_.empty()) {
        xmax = xmin = ymax = ymin = zmax = zmin = 0;
        return 0;
    }
    const Point& first = puntos_.front();
    xmax = xmin = first[0];
    ymax = ymin = first[1];
    zmax = zmin = first[2];
    for (const Point& p : puntos_) {
        if (p[0] > xmax)
            xmax = p[0];
        if (p[0] < xmin)
            xmin = p[0];
        if (p[1] > ymax)
            ymax = p[1];
        if (p[1] < ymin)
            ymin = p[1];
        if (p[2] > zmax)
            zmax = p[2];
        if (p[2] < zmin)
            zmin = p[2];
    }
    return static_cast<std::int32_t>(puntos_.size());
}

bool CCuaMaxMin::bolita(float xcor, float ycor, float radio, std::optional<float> z,
                        std::optional<std::int16_t> /*color*/) {
    // Only the upper corner of the ball is recorded.
    const double d = z.value_or(0.0f);
    store("bolita").push_back({static_cast<float>(double{xcor} + radio),
                               static_cast<float>(double{ycor} + radio),
                               static_cast<float>(d + radio)});
    return false;
}

void CCuaMaxMin::PoneText(float xcor, float ycor, float zcor, const std::string& /*saux*/,
                          std::optional<float>, std::optional<bool>, std::optional<bool>) {
    store("PoneText").push_back({xcor, ycor, zcor});
}

bool CCuaMaxMin::DibuGener(std::int32_t NP, const PointArray& pto2d, DrawingTarget* /*DIBUJO*/,
                           std::optional<bool> /*rapido*/) {
    checkPoints(pto2d, NP, "DibuGener");
    auto& s = store("DibuGener");
    s.reserve(s.size() + static_cast<std::size_t>(NP));
    for (std::int32_t i = 1; i <= NP; ++i)
        s.push_back({pto2d(i, 2), pto2d(i, 1), 0.0f});
    return false;
}

void CCuaMaxMin::DibuGener3(std::int32_t NP, const Array1<float>& x2d, const Array1<float>& y2d,
                            const Array1<float>& Z2d, std::optional<std::int16_t>,
                            std::optional<bool>) {
    checkVector(x2d, NP, "DibuGener3");
    checkVector(y2d, NP, "DibuGener3");
    checkVector(Z2d, NP, "DibuGener3");
    auto& s = store("DibuGener3");
    s.reserve(s.size() + static_cast<std::size_t>(NP));
    for (std::int32_t i = 1; i <= NP; ++i)
        s.push_back({x2d(i), y2d(i), Z2d(i)});
}

void CCuaMaxMin::DibuGener3D(std::int32_t NP, const PointArray& Pnt2d1, const Array1<float>& Pnt1d1,
                             bool /*rapido*/) {
    auto& s = store("DibuGener3D");
    if (orientacion_ == 1 || orientacion_ == 2)
        throw ProgrammingError("DibuGener3D on an extent collector supports view 0 only");
    if (orientacion_ != 0) {
        // Views the collector does not know are recorded as points at the origin.
        if (NP < 0)
            throw ProgrammingError("DibuGener3D: NP " + std::to_string(NP) + " below 0");
        s.resize(s.size() + static_cast<std::size_t>(NP), Point{0, 0, 0});
        return;
    }
    checkPoints(Pnt2d1, NP, "DibuGener3D");
    checkVector(Pnt1d1, NP, "DibuGener3D");
    s.reserve(s.size() + static_cast<std::size_t>(NP));
    for (std::int32_t i = 1; i <= NP; ++i)
        s.push_back({Pnt2d1(i, 2), Pnt2d1(i, 1), Pnt1d1(i)});
}

void CCuaMaxMin::MargenSinPic(float, float, float, float) {
    unsupported("MargenSinPic");
}
void CCuaMaxMin::Margen(DrawingTarget&, float, float, float, float) {
    unsupported("Margen");
}
void CCuaMaxMin::DibuGener2(std::int32_t, const Array1<float>&, const Array1<float>&,
                            DrawingTarget*, std::optional<std::int16_t>, std::optional<bool>) {
    unsupported("DibuGener2");
}
void CCuaMaxMin::Borra() {
    unsupported("Borra");
}
float CCuaMaxMin::MinX() const {
    unsupported("MinX");
}
float CCuaMaxMin::MaxX() const {
    unsupported("MaxX");
}
float CCuaMaxMin::MinY() const {
    unsupported("MinY");
}
float CCuaMaxMin::MaxY() const {
    unsupported("MaxY");
}

} // namespace tresol

// The polylines, symbols and diagram plots of the picture-box plotter.
#include "drawing/CCuadroDibujo.h"

#include "drawing/ArrayChecks.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <cmath>
#include <string>

namespace tresol {

using drawing_detail::checkPoints;
using drawing_detail::checkVector;
using drawing_detail::joinable;

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr std::int16_t kInvisible = 5;
constexpr std::int16_t kDotted = 2;

PointArray twoPoints(float xa, float ya, float xb, float yb) {
    PointArray s = makePointArray(2);
    s(1, 1) = ya;
    s(1, 2) = xa;
    s(2, 1) = yb;
    s(2, 2) = xb;
    return s;
}

} // namespace

// --- the polyline engine ---------------------------------------------------------------------

bool CCuadroDibujo::LineaHasta(float x, float y, bool primero) {
    DrawingTarget& t = act();
    if (primero) {
        t.CurrentX(x);
        t.CurrentY(y);
        return false;
    }
    if (!t.IsPrinter()) {
        t.Line(x, y);
        return dentro(x, y);
    }
    // On paper a segment is drawn only when one of its ends lies in the visible range.
    if (dentro(x, y)) {
        t.Line(x, y);
        return true;
    }
    if (dentro(t.CurrentX(), t.CurrentY())) {
        t.Line(x, y);
    } else {
        t.CurrentX(x);
        t.CurrentY(y);
    }
    return false;
}

bool CCuadroDibujo::TrazaPoligonal(std::int32_t NP, const PointArray& P, DrawingTarget* DIBUJO,
                                   std::optional<bool> rapido) {
    checkPoints(P, NP, "DibuGener");
    if (DIBUJO != nullptr)
        dibujoAct_ = DIBUJO;
    DrawingTarget& t = act();
    if (rapido)
        return DibuGenerRapido(NP, P, 1);

    const bool printer = t.IsPrinter();
    const Rgb hiColor = printer ? t.ForeColor() : kRed;
    const std::int16_t hiStyle = printer ? kInvisible : t.DrawStyle();
    const bool highlight = usaActivos_;
    if (highlight && static_cast<std::int64_t>(segActivos_.size()) < NP - 1)
        throw ProgrammingError("activo: " + std::to_string(segActivos_.size()) + " flags for " +
                               std::to_string(NP - 1) + " segments");

    LineaHasta(P(1, 2), P(1, 1), true);
    for (std::int32_t i = 2; i <= NP; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        if (highlight && !segActivos_[k - 1]) {
            const Rgb savedColor = t.ForeColor();
            const std::int16_t savedStyle = t.DrawStyle();
            t.ForeColor(hiColor);
            t.DrawStyle(hiStyle);
            LineaHasta(P(i, 2), P(i, 1));
            t.ForeColor(savedColor);
            t.DrawStyle(savedStyle);
        } else {
            LineaHasta(P(i, 2), P(i, 1));
        }
    }
    usaActivos_ = false;
    if (marcaExtremos_)
        PoneMaxYd(P, NP);
    return true;
}

bool CCuadroDibujo::DibuGener(std::int32_t NP, const PointArray& pto2d, DrawingTarget* DIBUJO,
                              std::optional<bool> rapido) {
    return TrazaPoligonal(NP, pto2d, DIBUJO, rapido);
}

bool CCuadroDibujo::DibuGenerRapido(std::int32_t NP, const PointArray& pto2d,
                                    std::optional<std::int32_t> iini,
                                    std::optional<std::int32_t> ifin) {
    if (!iini)
        throw ProgrammingError("DibuGenerRapido needs its first row");
    checkPoints(pto2d, NP, "DibuGenerRapido");
    const std::int32_t last = ifin.value_or(NP);
    if (*iini < 1 || (last >= *iini && last > pto2d.upper(1)))
        throw ProgrammingError("DibuGenerRapido: rows " + std::to_string(*iini) + "…" +
                               std::to_string(last) + " outside the point array");
    DrawingTarget& t = act();
    for (std::int32_t i = *iini; i <= last; ++i) {
        if (i == *iini) {
            t.CurrentX(pto2d(i, 2));
            t.CurrentY(pto2d(i, 1));
        } else {
            t.Line(pto2d(i, 2), pto2d(i, 1));
        }
    }
    return false;
}

void CCuadroDibujo::activo(std::int32_t NP, const std::vector<bool>& bolaux) {
    if (NP < 0 || static_cast<std::size_t>(NP) > bolaux.size())
        throw ProgrammingError("activo: NP " + std::to_string(NP) + " beyond the flags given");
    segActivos_.assign(bolaux.begin(), bolaux.begin() + NP);
    usaActivos_ = true;
}

bool CCuadroDibujo::PoneMaxYd(const PointArray& pto2d, std::int32_t NP) {
    checkPoints(pto2d, NP, "PoneMaxYd");
    DrawingTarget& t = act();
    const auto s = static_cast<float>(0.1 * std::fabs(double{t.ScaleHeight()}));
    const Rgb saved = t.ForeColor();
    t.ForeColor(kRed);
    for (std::int32_t i = 2; i <= NP - 1; ++i) {
        const float prev = pto2d(i - 1, 1);
        const float y = pto2d(i, 1);
        const float next = pto2d(i + 1, 1);
        if (y > prev && y > next)
            Cruz(pto2d(i, 2), y, s);
        if (y < prev && y < next)
            Cruz(pto2d(i, 2), y, s);
    }
    t.ForeColor(saved);
    return false;
}

// --- polyline operations of the contract -----------------------------------------------------

void CCuadroDibujo::DibuGener2(std::int32_t NP, const Array1<float>& x, const Array1<float>& y,
                               DrawingTarget* DIBUJO, std::optional<std::int16_t> color,
                               std::optional<bool> /*rapido*/) {
    checkVector(x, NP, "DibuGener2");
    checkVector(y, NP, "DibuGener2");
    PointArray P = makePointArray(NP);
    for (std::int32_t i = 1; i <= NP; ++i) {
        P(i, 1) = y(i);
        P(i, 2) = x(i);
    }
    if (color)
        PoneColorQB(*color);
    DibuGener(NP, P, DIBUJO, false);
    if (color)
        PoneColorQB(0);
}

void CCuadroDibujo::DibuGener3(std::int32_t NP, const Array1<float>& x2d, const Array1<float>& y2d,
                               const Array1<float>& /*Z2d*/, std::optional<std::int16_t> color,
                               std::optional<bool> rapido) {
    DibuGener2(NP, x2d, y2d, nullptr, color, rapido);
}

void CCuadroDibujo::DibuGener3D(std::int32_t /*NP*/, const PointArray& Pnt2d1,
                                const Array1<float>& /*Pnt1d1*/, bool /*rapido*/) {
    // Every row of the array is drawn; the count passed in has no say.
    const std::int32_t rows = Pnt2d1.allocated() ? Pnt2d1.upper(1) : 0;
    checkPoints(Pnt2d1, rows, "DibuGener3D");
    PointArray P = makePointArray(rows);
    for (std::int32_t i = 1; i <= rows; ++i) {
        P(i, 1) = Pnt2d1(i, 1);
        P(i, 2) = Pnt2d1(i, 2);
    }
    DibuGener(rows, P, nullptr, false);
}

bool CCuadroDibujo::DibuUnePtos2D(const PointArray& Pto2d1, const PointArray& Pto2d2,
                                  std::optional<bool> /*rapido*/) {
    if (!joinable(Pto2d1, Pto2d2, "DibuUnePtos2D"))
        return false;
    for (std::int32_t i = Pto2d1.lower(1); i <= Pto2d1.upper(1); ++i)
        TrazaPoligonal(2, twoPoints(Pto2d1(i, 2), Pto2d1(i, 1), Pto2d2(i, 2), Pto2d2(i, 1)),
                       nullptr, true);
    return false;
}

void CCuadroDibujo::DibuUnePtos3D(const PointArray& Pnt2d1, const PointArray& Pnt2d2,
                                  const Array1<float>& /*Pnt1d1*/,
                                  const Array1<float>& /*Pnt1d2*/) {
    DibuUnePtos2D(Pnt2d1, Pnt2d2);
}

void CCuadroDibujo::segmento(float xa, float ya, float xb, float yb) {
    DibuGener(2, twoPoints(xa, ya, xb, yb), nullptr, false);
}

void CCuadroDibujo::LineaHorizontal(float y) {
    segmento(xDerecha_, y, xIzquierda_, y);
}

// The segment parallel to (x0, y0)-(x1, y1), as long as it and at distance L to its left (the
// side the direction turns to when rotated a quarter turn anticlockwise). A line without length
// has no direction, so nothing is drawn for it.
bool CCuadroDibujo::LineaParal(float x0, float y0, float x1, float y1, float L) {
    const double dx = double{x1} - x0;
    const double dy = double{y1} - y0;
    const double len = std::hypot(dx, dy);
    if (!(len > 0) || !std::isfinite(len))
        return false;
    const double nx = -dy / len * L;
    const double ny = dx / len * L;
    segmento(static_cast<float>(x0 + nx), static_cast<float>(y0 + ny), static_cast<float>(x1 + nx),
             static_cast<float>(y1 + ny));
    return false;
}

// --- symbols ---------------------------------------------------------------------------------

bool CCuadroDibujo::bolita(float xcor, float ycor, float radio, std::optional<float> z,
                           std::optional<std::int16_t> color) {
    DrawingTarget& t = act();
    if (color)
        PoneColorQB(*color);
    const float v = z ? *z : ycor;
    t.Circle(xcor, v, radio);
    t.FillStyle(0);
    t.Circle(xcor, v, static_cast<float>(double{radio} / 10));
    t.FillStyle(1);
    if (color)
        PoneColorQB(0);
    return false;
}

void CCuadroDibujo::Punto(float x, float y, float lado, DrawingTarget* DIBUJO) {
    if (DIBUJO != nullptr)
        dibujoAct_ = DIBUJO;
    const double h = double{lado} / 2;
    segmento(x, static_cast<float>(y - h), x, static_cast<float>(y + h));
    segmento(static_cast<float>(x - h), y, static_cast<float>(x + h), y);
}

void CCuadroDibujo::Cruz(float x, float y, float lado, DrawingTarget* DIBUJO) {
    if (DIBUJO != nullptr)
        dibujoAct_ = DIBUJO;
    const double h = double{lado} / 2;
    const auto xl = static_cast<float>(x - h);
    const auto xr = static_cast<float>(x + h);
    const auto yb = static_cast<float>(y - h);
    const auto yt = static_cast<float>(y + h);
    segmento(xr, yt, xl, yb);
    segmento(xl, yt, xr, yb);
}

bool CCuadroDibujo::Circulos(float radio, const PointArray& pto2d, std::int16_t NP) {
    checkPoints(pto2d, NP, "Circulos");
    DrawingTarget& t = act();
    for (std::int32_t i = 1; i <= NP; ++i)
        t.Circle(pto2d(i, 2), pto2d(i, 1), radio);
    return false;
}

void CCuadroDibujo::DibuTrianEq(DrawingTarget& /*picact*/, float xnudo, float ynudo, float ltri,
                                std::optional<bool> Rayado) {
    DrawingTarget& t = act();
    if (Rayado)
        t.DrawStyle(kDotted);
    else
        t.DrawWidth(2);
    const auto xr = static_cast<float>(double{xnudo} + ltri);
    const auto xl = static_cast<float>(double{xnudo} - ltri);
    const auto yb = static_cast<float>(double{ynudo} - ltri);
    PointArray P = makePointArray(4);
    const float pts[4][2] = {{ynudo, xnudo}, {yb, xr}, {yb, xl}, {ynudo, xnudo}};
    for (std::int32_t i = 1; i <= 4; ++i) {
        P(i, 1) = pts[i - 1][0];
        P(i, 2) = pts[i - 1][1];
    }
    DibuGener(4, P, nullptr, false);
    t.DrawStyle(0);
    t.DrawWidth(1);
}

// --- diagram plots ---------------------------------------------------------------------------

float CCuadroDibujo::Maximiza(std::int32_t NP, PointArray& P, float escala, bool centrado,
                              bool enX) {
    checkPoints(P, NP, enX ? "MaximizaX" : "MaximizaZ");
    const Extents e = MaxMinPuntos(P, NP);
    const double vmax = enX ? e.xmax : e.ymax;
    const double vmin = enX ? e.xmin : e.ymin;
    const double top = enX ? xDerecha_ : yArriba_;
    const double bottom = enX ? xIzquierda_ : yAbajo_;
    const std::int32_t col = enX ? 2 : 1;

    const double rT = vmax != 0 ? top / vmax : 0;
    const double rB = vmin != 0 ? bottom / vmin : 0;
    double f = (std::fabs(rB) <= std::fabs(rT) || rT == 0) ? rB / escala : rT / escala;
    double o = 0;
    if (centrado) {
        if (vmax != vmin) {
            o = bottom / escala;
            f = (top - bottom) / (vmax - vmin) / escala;
        } else if (enX) {
            o = top / 2;
            f = 1;
        }
    }
    for (std::int32_t i = 1; i <= NP; ++i)
        P(i, col) = static_cast<float>((P(i, col) - vmin) * f + o);
    return static_cast<float>(-vmin * f + o);
}

float CCuadroDibujo::MaximizaZ(std::int32_t NP, PointArray& pto2d, float escala,
                               std::optional<bool> centrado) {
    return Maximiza(NP, pto2d, escala, centrado.value_or(false), false);
}

float CCuadroDibujo::MaximizaX(std::int32_t NP, PointArray& pto2d, float escala,
                               std::optional<bool> centrado) {
    return Maximiza(NP, pto2d, escala, centrado.value_or(false), true);
}

void CCuadroDibujo::DibujaPost(PointArray& pto2d, std::int32_t NP, std::optional<bool> /*rapido*/,
                               DrawingTarget* DIBUJO, std::optional<bool> CentraZ,
                               std::optional<bool> LineaHoriz, std::optional<bool> Borra,
                               std::optional<std::int32_t> salta) {
    checkPoints(pto2d, NP, "DibujaPost");
    const std::int32_t split = salta.value_or(0);
    if (split < 0 || split > NP)
        throw ProgrammingError("DibujaPost: salta " + std::to_string(split) + " outside 0…NP");
    if (DIBUJO != nullptr)
        dibujoAct_ = DIBUJO;
    DrawingTarget& t = act();
    const bool vertical = CentraZ.value_or(false);

    PointArray base = vertical ? twoPoints(0, pto2d(1, 1), 0, pto2d(NP, 1))
                               : twoPoints(pto2d(1, 2), 0, pto2d(NP, 2), 0);
    factorMargen_ = 1.2f;
    if (Borra.value_or(false))
        MaxMinMargen(t, base, 2);
    const Extents e = MaxMinPuntos(pto2d, NP);

    float basePos = 0;
    if (vertical)
        basePos = MaximizaX(NP, pto2d, 1.5f, true);
    else
        MaximizaZ(NP, pto2d, 1.2f, false);

    color(0, 0, 0);
    if (split != 0) {
        DibuGenerRapido(NP, pto2d, 1, split);
        DibuGenerRapido(NP, pto2d, split + 1);
    } else {
        DibuGenerRapido(NP, pto2d, 1);
    }

    color(255, 0, 0);
    if (vertical)
        base = twoPoints(basePos, pto2d(1, 1), basePos, pto2d(NP, 1));
    DibuGenerRapido(2, base, 1);
    if (LineaHoriz.value_or(false))
        for (std::int32_t i = 1; i <= NP; ++i)
            DibuGenerRapido(2, twoPoints(basePos, pto2d(i, 1), pto2d(i, 2), pto2d(i, 1)), 1);

    color(0, 0, 0);
    auto label = [&](float value, std::int32_t row) {
        PoneText(pto2d(row, 2), pto2d(row, 1), 0, platform::formatNumber(value, "#0.0"), 0.05f,
                 false, false);
    };
    if (!vertical) {
        label(e.ymax, e.rowYmax);
        label(e.ymin, e.rowYmin);
    } else {
        // The peak of the diagram: the extreme of larger size.
        if (std::fabs(e.xmax) >= std::fabs(e.xmin))
            label(e.xmax, e.rowXmax);
        else
            label(e.xmin, e.rowXmin);
    }
    color(0, 0, 0);
}

} // namespace tresol

#include "drawing/CCuadroDibujo.h"

#include "drawing/ArrayChecks.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/ProgrammingError.h"

#include <cmath>
#include <limits>
#include <string>

namespace tresol {

using drawing_detail::checkPoints;
using drawing_detail::checkVector;

namespace {

Rgb rgbOf(std::int16_t r, std::int16_t g, std::int16_t b) {
    auto component = [](std::int16_t v) {
        if (v < 0 || v > 255)
            throw ProgrammingError("colour component " + std::to_string(v) + " outside 0…255");
        return static_cast<std::uint8_t>(v);
    };
    return Rgb{component(r), component(g), component(b)};
}

} // namespace

DrawingTarget& CCuadroDibujo::act() const {
    if (dibujoAct_ == nullptr)
        throw ProgrammingError("the plotter has no drawing target");
    return *dibujoAct_;
}

// --- pen, target and flags -------------------------------------------------------------------

void CCuadroDibujo::IniciaAPelo(DrawingTarget& pintur) {
    dibujoAct_ = &pintur;
}

void CCuadroDibujo::TipoLinea(std::int16_t varAux) {
    act().DrawStyle(varAux);
}

void CCuadroDibujo::GrosorLinea(std::int16_t varAux) {
    act().DrawWidth(varAux);
}

void CCuadroDibujo::color(std::int16_t r, std::int16_t G, std::int16_t b, DrawingTarget* picact) {
    if (picact != nullptr)
        dibujoAct_ = picact;
    act().ForeColor(rgbOf(r, G, b));
}

void CCuadroDibujo::PoneQBColor(std::int16_t color) {
    PoneColorQB(color);
}

void CCuadroDibujo::Borra() {
    act().Cls();
}

float CCuadroDibujo::MinX() const {
    return act().ScaleLeft();
}
float CCuadroDibujo::MaxX() const {
    return static_cast<float>(double{act().ScaleLeft()} + act().ScaleWidth());
}
float CCuadroDibujo::MaxY() const {
    return act().ScaleTop();
}
float CCuadroDibujo::MinY() const {
    return static_cast<float>(double{act().ScaleTop()} + act().ScaleHeight());
}

// --- fitting ---------------------------------------------------------------------------------

CCuadroDibujo::Extents CCuadroDibujo::MaxMinPuntos(const PointArray& P, std::int32_t n) {
    Extents e{P(1, 2), P(1, 2), P(1, 1), P(1, 1)};
    for (std::int32_t i = 2; i <= n; ++i) {
        const float x = P(i, 2);
        const float y = P(i, 1);
        if (x > e.xmax) {
            e.xmax = x;
            e.rowXmax = i;
        }
        if (y > e.ymax) {
            e.ymax = y;
            e.rowYmax = i;
        }
        if (x < e.xmin) {
            e.xmin = x;
            e.rowXmin = i;
        }
        if (y < e.ymin) {
            e.ymin = y;
            e.rowYmin = i;
        }
    }
    return e;
}

CCuadroDibujo::Window CCuadroDibujo::CalculaVentana(const DrawingTarget& target, double xmax,
                                                    double ymax, double xmin, double ymin,
                                                    double factor) {
    const double cx = (xmax + xmin) / 2;
    const double cy = (ymax + ymin) / 2;
    const double xmaxM = (xmax - cx) * factor + cx;
    const double xminM = (xmin - cx) * factor + cx;
    const double ymaxM = (ymax - cy) * factor + cy;
    const double yminM = (ymin - cy) * factor + cy;
    const double W = target.Width();
    const double H = target.Height();
    const double hx = xmaxM - cx;
    const double hy = hx * H / W;
    if (cy + hy <= ymaxM) {
        // The data are relatively taller than the target: the height governs.
        const double w = (ymaxM - cy) * W / H;
        return {static_cast<float>(cx - w), static_cast<float>(ymaxM), static_cast<float>(cx + w),
                static_cast<float>(yminM)};
    }
    return {static_cast<float>(xminM), static_cast<float>(cy + hy), static_cast<float>(xmaxM),
            static_cast<float>(cy - hy)};
}

bool CCuadroDibujo::AplicaVentana(DrawingTarget& target, const Window& w) {
    if (!target.Scale(w.left, w.top, w.right, w.bottom))
        return false;
    xDerecha_ = w.right;
    yArriba_ = w.top;
    xIzquierda_ = w.left;
    yAbajo_ = w.bottom;
    return true;
}

void CCuadroDibujo::MaxMinMargen(DrawingTarget& DIBUJO, const PointArray& pto2d, std::int32_t NP) {
    checkPoints(pto2d, NP, "MaxMinMargen");
    dibujoAct_ = &DIBUJO;
    const Extents e = MaxMinPuntos(pto2d, NP);
    AplicaVentana(DIBUJO, CalculaVentana(DIBUJO, e.xmax, e.ymax, e.xmin, e.ymin, factorMargen_));
    if (!DIBUJO.IsPrinter())
        DIBUJO.Cls();
}

void CCuadroDibujo::MaxMinMargenNoPic(const PointArray& pto2d, std::int16_t NP) {
    MaxMinMargen(act(), pto2d, NP);
}

void CCuadroDibujo::MaxMinMargen2(DrawingTarget& DIBUJO, const Array1<float>& x,
                                  const Array1<float>& y, std::int16_t NP) {
    checkVector(x, NP, "MaxMinMargen2");
    checkVector(y, NP, "MaxMinMargen2");
    PointArray P = makePointArray(NP);
    for (std::int32_t i = 1; i <= NP; ++i) {
        P(i, 1) = y(i);
        P(i, 2) = x(i);
    }
    MaxMinMargen(DIBUJO, P, NP);
}

void CCuadroDibujo::Margen(DrawingTarget& DIBUJO, float xmax, float xmin, float ymax, float ymin) {
    dibujoAct_ = &DIBUJO;
    if (!AplicaVentana(DIBUJO, CalculaVentana(DIBUJO, xmax, ymax, xmin, ymin, factorMargen_)))
        platform::showError("Error en el dibujo.");
    if (!DIBUJO.IsPrinter())
        DIBUJO.Cls();
}

void CCuadroDibujo::MargenSinPic(float xmax, float xmin, float ymax, float ymin) {
    Margen(act(), xmax, xmin, ymax, ymin);
}

void CCuadroDibujo::MargenInvY(DrawingTarget& DIBUJO) {
    const float l = DIBUJO.ScaleLeft();
    const auto r = static_cast<float>(double{l} + DIBUJO.ScaleWidth());
    const float t = DIBUJO.ScaleTop();
    const float h = DIBUJO.ScaleHeight();
    if (t != 0)
        DIBUJO.Scale(l, static_cast<float>(double{t} + h), r, t);
    else
        DIBUJO.Scale(l, 0, r, h);
}

// --- frame, titles, axes, text ---------------------------------------------------------------

void CCuadroDibujo::DibujaMarco(DrawingTarget& pintur, std::optional<Value> Marcoaux) {
    if (Marcoaux)
        marco_ = static_cast<float>(valueNumber(*Marcoaux));
    pintur.Line(xIzquierda_, yAbajo_, xIzquierda_, yArriba_);
    pintur.Line(xDerecha_, yArriba_);
    pintur.Line(xDerecha_, yAbajo_);
    pintur.Line(xIzquierda_, yAbajo_);
}

void CCuadroDibujo::titulo(DrawingTarget& pintur, const std::string& titul) {
    pintur.CurrentX(static_cast<float>(pintur.ScaleLeft() + 0.05 * pintur.ScaleWidth()));
    pintur.CurrentY(
        static_cast<float>(pintur.ScaleTop() - std::fabs(double{pintur.ScaleHeight()}) / 50));
    pintur.Print(titul);
}

void CCuadroDibujo::Leyenda(DrawingTarget& pintur, const std::string& titul) {
    pintur.CurrentX(static_cast<float>(pintur.ScaleLeft() + 0.05 * pintur.ScaleWidth()));
    pintur.CurrentY(static_cast<float>(double{pintur.ScaleTop()} + pintur.ScaleHeight() +
                                       3 * std::fabs(double{pintur.ScaleHeight()}) / 60));
    pintur.Print(titul);
}

void CCuadroDibujo::DibuEjes() {
    DrawingTarget& t = act();
    const double W = double{xDerecha_} - xIzquierda_;
    const double H = double{yArriba_} - yAbajo_;
    const auto x0 = static_cast<float>(xIzquierda_ + 0.15 * W);
    const auto y0 = static_cast<float>(yAbajo_ + 0.15 * H);
    t.CurrentX(x0);
    t.CurrentY(y0);
    t.Print("z");
    const auto xe = static_cast<float>(xIzquierda_ + 0.25 * W);
    t.Line(x0, y0, xe, y0);
    t.CurrentX(xe);
    t.CurrentY(y0);
    t.Print("x");
    const auto ye = static_cast<float>(yAbajo_ + 0.25 * H);
    t.Line(x0, y0, x0, ye);
    t.CurrentX(x0);
    t.CurrentY(ye);
    t.Print("y");
}

void CCuadroDibujo::PoneText(float xcor, float ycor, float /*zcor*/, const std::string& saux,
                             std::optional<float> /*tamanyo*/, std::optional<bool> /*enxy*/,
                             std::optional<bool> /*ponedos*/) {
    DrawingTarget& t = act();
    t.CurrentX(xcor);
    t.CurrentY(ycor);
    t.Print(saux);
}

bool CCuadroDibujo::dentro(float xcor, float ycor) const {
    const DrawingTarget& t = act();
    const double L = t.ScaleLeft();
    const double R = L + t.ScaleWidth();
    const double T = t.ScaleTop();
    const double B = T + t.ScaleHeight();
    // The sum of the distances to both edges equals the span only between the edges, whichever
    // way the axes run. The edges as read back (MaxX, MinY) are rounded to single precision, so
    // a point that far from an edge still counts as on it.
    auto between = [](double a, double b, double v) {
        const double slack = (std::fabs(a) + std::fabs(b)) * std::numeric_limits<float>::epsilon();
        return std::fabs(a - v) + std::fabs(b - v) <= std::fabs(b - a) + slack;
    };
    return between(L, R, xcor) && between(T, B, ycor);
}

} // namespace tresol

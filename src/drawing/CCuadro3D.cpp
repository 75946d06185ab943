#include "drawing/CCuadro3D.h"

#include "drawing/ArrayChecks.h"
#include "drawing/Palette.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"

#include <exception>
#include <string>
#include <vector>

namespace tresol {

using drawing_detail::checkPoints;
using drawing_detail::checkVector;
using drawing_detail::joinable;
using platform::messages;
using platform::MsgIcon;

namespace {

constexpr double kAlturaTexto = 0.05;

void push(std::vector<double>& pts, double x, double y, double z) {
    pts.push_back(x);
    pts.push_back(y);
    pts.push_back(z);
}

void coversRows(const Array1<float>& v, const PointArray& a, const char* what) {
    if (!v.allocated() || v.lower() > a.lower(1) || v.upper() < a.upper(1))
        throw ProgrammingError(std::string(what) +
                               ": the coordinate vector does not cover the rows");
}

} // namespace

bool CCuadro3D::Ini() {
    iniciadoCAD = ConectaCAD();
    if (!iniciadoCAD)
        messages().show("No se ha creado sesion de CAD", MsgIcon::Information);
    return iniciadoCAD;
}

bool CCuadro3D::ConectaCAD() {
    std::shared_ptr<CadApplication> app;
    try {
        app = CadAttach(kCadClassName);
        if (!app)
            app = CadStart(kCadClassName);
        if (app) {
            docCAD = &app->ActiveDocument();
            app->Visible(true);
            espacioModelo = &docCAD->ModelSpace();
        }
    } catch (const ProgrammingError&) {
        throw;
    } catch (const std::exception&) {
        // A session that fails while being reached counts as none.
        app.reset();
    }
    if (!app) {
        docCAD = nullptr;
        espacioModelo = nullptr;
        appCAD.reset();
        platform::showError(
            "Error al iniciar AutoCad. Esta opción solo es válida si tiene instalado AutoCad 14.");
        return false;
    }
    appCAD = std::move(app);
    return true;
}

CadModelSpace& CCuadro3D::modelo(const char* what) {
    if (!iniciadoCAD || espacioModelo == nullptr)
        throw ProgrammingError(std::string(what) + " on a CAD plotter that is not connected");
    return *espacioModelo;
}

void CCuadro3D::DibujaXY(const Array1<float>& x, const Array1<float>& y) {
    CadModelSpace& ms = modelo("DibujaXY");
    const std::int32_t n = x.upper();
    checkVector(x, n, "DibujaXY");
    checkVector(y, n, "DibujaXY");
    std::vector<double> pts;
    pts.reserve(3 * static_cast<std::size_t>(n));
    for (std::int32_t i = 1; i <= n; ++i)
        push(pts, x(i), y(i), 0);
    ms.AddPolyline(pts);
}

void CCuadro3D::PoneTexto(const std::string& Texto, const std::string& textaux) {
    CadModelSpace& ms = modelo("PoneTexto");
    const double paso = 1.2 * kAlturaTexto;
    int linea = 1;
    ms.AddText(textaux, {0, -paso * linea, 0}, kAlturaTexto);
    std::size_t desde = 0;
    for (std::size_t fin; (fin = Texto.find("\r\n", desde)) != std::string::npos; desde = fin + 2)
        ms.AddText(Texto.substr(desde, fin - desde), {0, -paso * ++linea, 0}, kAlturaTexto);
}

bool CCuadro3D::bolita(float xcor, float ycor, float radio, std::optional<float> z,
                       std::optional<std::int16_t> color) {
    CadEntity& e = modelo("bolita").AddSphere({xcor, z.value_or(0.0f), ycor}, radio);
    if (color)
        e.color(*color);
    return false;
}

void CCuadro3D::PoneText(float xcor, float ycor, float zcor, const std::string& saux,
                         std::optional<float> tamanyo, std::optional<bool> enxy,
                         std::optional<bool> ponedos) {
    if (!iniciadoCAD)
        return;
    CadModelSpace& ms = modelo("PoneText");
    const CadPoint p{xcor, ycor, zcor};
    const CadPoint eje{p[0] + 10, p[1], p[2]};
    const double altura = tamanyo ? double{*tamanyo} : kAlturaTexto;
    CadEntity& texto = ms.AddText(saux, p, altura);
    if (!enxy.value_or(false)) {
        texto.Rotate3d(p, eje, 1.57);
        if (ponedos.value_or(false))
            ms.AddText(saux, p, altura).Rotate3d(p, eje, 0);
    }
}

void CCuadro3D::PoneQBColor(std::int16_t color) {
    qbColor(color); // an index outside the palette is refused here, not at the next entity
    colorCAD = color;
}

bool CCuadro3D::DibuUnePtos2D(const PointArray& Pto2d1, const PointArray& Pto2d2,
                              std::optional<bool> /*rapido*/) {
    CadModelSpace& ms = modelo("DibuUnePtos2D");
    if (!joinable(Pto2d1, Pto2d2, "DibuUnePtos2D"))
        return false;
    for (std::int32_t i = Pto2d1.lower(1); i <= Pto2d1.upper(1); ++i)
        ms.Add3dpoly({Pto2d1(i, 1), 0, Pto2d1(i, 2), Pto2d2(i, 1), 0, Pto2d2(i, 2)})
            .color(colorCAD);
    return false;
}

bool CCuadro3D::DibuGener(std::int32_t NP, const PointArray& pto2d, DrawingTarget* /*DIBUJO*/,
                          std::optional<bool> /*rapido*/) {
    CadModelSpace& ms = modelo("DibuGener");
    checkPoints(pto2d, NP, "DibuGener");
    std::vector<double> pts;
    pts.reserve(3 * static_cast<std::size_t>(NP));
    for (std::int32_t i = 1; i <= NP; ++i)
        push(pts, pto2d(i, 1), 0, pto2d(i, 2));
    ms.Add3dpoly(pts);
    return false;
}

void CCuadro3D::DibuGener2(std::int32_t NP, const Array1<float>& x, const Array1<float>& y,
                           DrawingTarget* /*DIBUJO*/, std::optional<std::int16_t> color,
                           std::optional<bool> /*rapido*/) {
    CadModelSpace& ms = modelo("DibuGener2");
    checkVector(x, NP, "DibuGener2");
    checkVector(y, NP, "DibuGener2");
    std::vector<double> pts;
    pts.reserve(3 * static_cast<std::size_t>(NP));
    for (std::int32_t i = 1; i <= NP; ++i)
        push(pts, x(i), 0, y(i));
    CadEntity& e = ms.Add3dpoly(pts);
    if (color)
        e.color(*color);
}

void CCuadro3D::DibuGener3(std::int32_t NP, const Array1<float>& x2d, const Array1<float>& y2d,
                           const Array1<float>& Z2d, std::optional<std::int16_t> color,
                           std::optional<bool> /*rapido*/) {
    if (!iniciadoCAD) {
        messages().show("Esta funcion solo es compatible con AutoCad 14.", MsgIcon::Information);
        return;
    }
    CadModelSpace& ms = modelo("DibuGener3");
    checkVector(x2d, NP, "DibuGener3");
    checkVector(y2d, NP, "DibuGener3");
    checkVector(Z2d, NP, "DibuGener3");
    std::vector<double> pts;
    pts.reserve(3 * static_cast<std::size_t>(NP));
    for (std::int32_t i = 1; i <= NP; ++i)
        push(pts, x2d(i), y2d(i), Z2d(i));
    ms.Add3dpoly(pts).color(color.value_or(colorCAD));
}

bool CCuadro3D::Iniciado() const {
    return otraSuperficie ? otraSuperficie->Iniciado() : iniciado;
}

void CCuadro3D::Iniciado(bool baux) {
    if (otraSuperficie)
        otraSuperficie->Iniciado(baux);
    else
        iniciado = baux;
}

float CCuadro3D::MinX() const {
    throw ProgrammingError("MinX: a CAD plotter has no window");
}
float CCuadro3D::MaxX() const {
    throw ProgrammingError("MaxX: a CAD plotter has no window");
}
float CCuadro3D::MinY() const {
    throw ProgrammingError("MinY: a CAD plotter has no window");
}
float CCuadro3D::MaxY() const {
    throw ProgrammingError("MaxY: a CAD plotter has no window");
}

void CCuadro3D::DibuGener3D(std::int32_t NP, const PointArray& Pnt2d1, const Array1<float>& Pnt1d1,
                            bool /*rapido*/) {
    CadModelSpace& ms = modelo("DibuGener3D");
    checkPoints(Pnt2d1, NP, "DibuGener3D");
    checkVector(Pnt1d1, NP, "DibuGener3D");
    std::vector<double> pts;
    pts.reserve(3 * static_cast<std::size_t>(NP));
    for (std::int32_t i = 1; i <= NP; ++i)
        push(pts, Pnt1d1(i), Pnt2d1(i, 1), Pnt2d1(i, 2));
    ms.Add3dpoly(pts).color(colorCAD);
}

void CCuadro3D::DibuUnePtos3D(const PointArray& Pnt2d1, const PointArray& Pnt2d2,
                              const Array1<float>& Pnt1d1, const Array1<float>& Pnt1d2) {
    CadModelSpace& ms = modelo("DibuUnePtos3D");
    if (!joinable(Pnt2d1, Pnt2d2, "DibuUnePtos3D"))
        return;
    coversRows(Pnt1d1, Pnt2d1, "DibuUnePtos3D");
    coversRows(Pnt1d2, Pnt2d1, "DibuUnePtos3D");
    for (std::int32_t i = Pnt2d1.lower(1); i <= Pnt2d1.upper(1); ++i)
        ms.Add3dpoly({Pnt1d1(i), Pnt2d1(i, 1), Pnt2d1(i, 2), Pnt1d2(i), Pnt2d2(i, 1), Pnt2d2(i, 2)})
            .color(colorCAD);
}

} // namespace tresol

#include "drawing/DxfExport.h"

#include "drawing/ArrayChecks.h"
#include "drawing/CCuadro3D.h"
#include "drawing/CadSession.h"

namespace tresol {

bool ExportDxf(const std::string& path, const std::function<void(ICuadro&)>& draw,
               std::string& error) {
    // A session of our own, so that the file holds this drawing only; being the latest one
    // started, it is the one the plotter attaches to.
    const std::shared_ptr<CadApplication> app = CadStart(kCadClassName);
    CCuadro3D plotter;
    if (!app || !plotter.Ini() || plotter.Sesion() != app) {
        error = "No se ha creado sesion de CAD";
        return false;
    }
    if (draw)
        draw(plotter);
    return app->ActiveDocument().SaveAs(path, error);
}

void DibujaContornoFrontal(ICuadro& cuadro, std::int32_t NP, const PointArray& contorno) {
    drawing_detail::checkPoints(contorno, NP, "DibujaContornoFrontal");
    PointArray frontal = makePointArray(NP);
    for (std::int32_t i = 1; i <= NP; ++i) {
        frontal(i, 1) = contorno(i, 2);
        frontal(i, 2) = contorno(i, 1);
    }
    cuadro.DibuGener(NP, frontal);
}

} // namespace tresol

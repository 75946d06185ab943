#include "drawing/DxfExport.h"

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

} // namespace tresol

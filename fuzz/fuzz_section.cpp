// Structural sections of the shapes the design window and a library caller build (rectangle,
// regular polygon, circle) with a bar line of any count, bar, cover and face, placed and drawn
// as the window does. The lines are written by the catalogue's own rule, so the line reader's
// programming errors are not what is exercised here.

#include "FuzzSupport.h"
#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"
#include "geometry/MemberOutline.h"
#include "platform/Value.h"
#include "reinforcement/Carmasec.h"
#include "reinforcement/Cdiametro.h"
#include "sections/CSeccEstruc.h"

#include <cmath>
#include <memory>

using namespace tresol;

namespace {

// A dimension the window accepts: 0.1 mm … 10 km.
float dimension(fuzz::Input& in) {
    const double t = in.take<std::uint32_t>() / 4294967295.0;
    return static_cast<float>(1e-4 * std::pow(1e8, t));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::CountingSink sink;
    fuzz::Input in(data, size);
    auto cat = std::make_shared<Cdiametro>();
    cat->Ini(in.flag() ? "Mex" : "Euro", "m", in.flag(), in.flag());

    const auto kind = in.range(0, 3);
    const float b = dimension(in), h = dimension(in);
    CSeccEstruc secc;
    bool ok = false;
    if (kind == 0) {
        ok = secc.IniRectang(0, b, h, cat);
    } else if (kind == 1) {
        ok = secc.IniCircular(0, b, cat);
    } else {
        const auto lados = static_cast<std::int32_t>(kind == 2 ? 4 : in.range(3, 12));
        const PointArray p = memberOutlinePoints(lados, b, h);
        ok = secc.IniPorPuntos(3, 0, p, cat, Value{0.0f}, false);
    }
    if (!ok)
        return 0;

    // Counts mostly small, sometimes anything a 32-bit line can say.
    const auto wide = in.flag();
    const auto count =
        wide ? in.take<std::int32_t>() : static_cast<std::int32_t>(in.range(-2, 200));
    const auto indi = static_cast<std::int32_t>(in.range(cat->GetIndiMin(), cat->GetIndiMax()));
    const std::string linea =
        std::to_string(count) + " " + cat->GetRefGener() + " " + cat->GetDiamRefer(indi);
    const float recub = static_cast<float>(in.range(0, 1000)) / 1000.0f * b;
    if (in.flag())
        (void)secc.AnyadeRefuerzoContorno(linea, recub);
    else
        secc.AnyadeRefuerzoLineaCentrada(linea, recub, static_cast<std::int32_t>(in.range(0, 1)));

    Canvas canvas(400, 300);
    CCuadroDibujo cuadro;
    cuadro.IniciaAPelo(canvas);
    secc.DibujaSeccion(cuadro, &secc, nullptr, 2, 1.2f, std::int16_t{0});
    if (auto armado = secc.GetArmado())
        (void)armado->GetLineaRedondos();
    return 0;
}

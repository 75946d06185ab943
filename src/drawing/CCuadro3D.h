#pragma once

#include "drawing/CadSession.h"
#include "drawing/ICuadro.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tresol {

// The CAD plotter: a drawing surface that sends what it is asked to draw to a CAD session
// (CadSession.h) as entities of its model space — 3D polylines for polylines and segments, texts,
// spheres for bar symbols.
//
// Mapping: the 2D operations (DibuGener, DibuGener2, DibuUnePtos2D, bolita) draw a front view in
// the XZ plane: a point array row (column 1, column 2) becomes (X, Y, Z) = (column 1, 0,
// column 2), and a pair of coordinate arguments (first, second) becomes X = first, Z = second.
// The 3D operations (DibuGener3D, DibuUnePtos3D) put the coordinate vector on X, column 1 on Y
// and column 2 on Z: X along the member, the section in the YZ plane.
//
// Every drawing operation needs the model space that a successful `Ini` connects to. Before it
// `DibuGener3` says so in a message and `PoneText` does nothing; the others are programming
// errors. Fits, `escala` and `Borra` do nothing (the CAD program has its own view); the window
// edges are programming errors.
class CCuadro3D : public ICuadro {
  public:
    // Connects to the CAD session open in the process, or starts one; false (with a message)
    // when neither can be had.
    bool Ini();
    bool IniciadoCAD() const { return iniciadoCAD; }

    // A plane polyline through (x(i), y(i), 0), i = 1…upper bound of `x`.
    void DibujaXY(const Array1<float>& x, const Array1<float>& y);
    // Lines of text of height 0.05 at X = 0, Z = 0, from Y = -0.06 downwards, 0.06 apart:
    // `textaux` first, then every part of `Texto` that ends with CR LF (text after the last CR LF
    // is not written).
    void PoneTexto(const std::string& Texto, const std::string& textaux);

    // The other surface whose `Iniciado` flag this one reads and writes (not owned); without
    // one the plotter keeps the flag itself.
    void SuperficieIniciado(ICuadro* otra) { otraSuperficie = otra; }

    // The session the plotter is connected to (empty before a successful Ini).
    std::shared_ptr<CadApplication> Sesion() const { return appCAD; }

    // ICuadro
    bool bolita(float xcor, float ycor, float radio, std::optional<float> z = std::nullopt,
                std::optional<std::int16_t> color = std::nullopt) override;
    // Height 0.05 when `tamanyo` is not given.
    void PoneText(float xcor, float ycor, float zcor, const std::string& saux,
                  std::optional<float> tamanyo = std::nullopt,
                  std::optional<bool> enxy = std::nullopt,
                  std::optional<bool> ponedos = std::nullopt) override;
    void MargenSinPic(float, float, float, float) override {}
    void Margen(DrawingTarget&, float, float, float, float) override {}
    void escala(float) override {}
    void PoneQBColor(std::int16_t color) override;
    bool DibuUnePtos2D(const PointArray& Pto2d1, const PointArray& Pto2d2,
                       std::optional<bool> rapido = std::nullopt) override;
    bool DibuGener(std::int32_t NP, const PointArray& pto2d, DrawingTarget* DIBUJO = nullptr,
                   std::optional<bool> rapido = std::nullopt) override;
    void DibuGener2(std::int32_t NP, const Array1<float>& x, const Array1<float>& y,
                    DrawingTarget* DIBUJO = nullptr,
                    std::optional<std::int16_t> color = std::nullopt,
                    std::optional<bool> rapido = std::nullopt) override;
    // Without `color` the entity takes the colour set by PoneQBColor.
    void DibuGener3(std::int32_t NP, const Array1<float>& x2d, const Array1<float>& y2d,
                    const Array1<float>& Z2d, std::optional<std::int16_t> color = std::nullopt,
                    std::optional<bool> rapido = std::nullopt) override;
    bool Iniciado() const override;
    void Iniciado(bool baux) override;
    void Borra() override {}
    float MinX() const override;
    float MaxX() const override;
    float MinY() const override;
    float MaxY() const override;
    void DibuGener3D(std::int32_t NP, const PointArray& Pnt2d1, const Array1<float>& Pnt1d1,
                     bool rapido) override;
    void DibuUnePtos3D(const PointArray& Pnt2d1, const PointArray& Pnt2d2,
                       const Array1<float>& Pnt1d1, const Array1<float>& Pnt1d2) override;
    void MaxMinMargenNoPic(const PointArray&, std::int16_t) override {}

  private:
    bool ConectaCAD();
    CadModelSpace& modelo(const char* what);

    std::shared_ptr<CadApplication> appCAD;
    CadDocument* docCAD = nullptr;
    CadModelSpace* espacioModelo = nullptr;
    bool iniciadoCAD = false;
    std::int16_t colorCAD = 0;

    ICuadro* otraSuperficie = nullptr;
    bool iniciado = false;
};

} // namespace tresol

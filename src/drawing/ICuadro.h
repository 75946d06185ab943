#pragma once

#include "drawing/Palette.h"
#include "platform/BoundedArray.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tresol {

class DrawingTarget;

// The drawing-surface contract through which sections, reinforcement sets and pieces draw
// themselves without knowing where the drawing goes (a picture box, an extent collector, a CAD
// document).
//
// Point arrays are rows 1…n with two columns; the picture-box plotter and the extent collector
// draw column 2 horizontally (x) and column 1 vertically (y, upwards). Coordinate vectors are
// indexed 1…n, element i belonging to point i. Colours are indexes into kQBPalette.
//
// Optional arguments are std::optional: present whenever the caller passes them, whatever the
// value (passing `rapido` as false still counts). An optional drawing target is a pointer,
// nullptr when absent; a target is never owned by the surface.
//
// The Boolean and empty results carry nothing a client relies on.
class ICuadro {
  public:
    virtual ~ICuadro() = default;

    // 1: the symbol of a bar, a small ball of radius `radio` at (`xcor`, `ycor`); `z` is its
    // depth.
    virtual bool bolita(float xcor, float ycor, float radio, std::optional<float> z = std::nullopt,
                        std::optional<std::int16_t> color = std::nullopt) = 0;

    // 2: the text `saux` with its reference corner at (`xcor`, `ycor`, `zcor`).
    virtual void PoneText(float xcor, float ycor, float zcor, const std::string& saux,
                          std::optional<float> tamanyo = std::nullopt,
                          std::optional<bool> enxy = std::nullopt,
                          std::optional<bool> ponedos = std::nullopt) = 0;

    // 3: fits the window of the current target to these extents.
    virtual void MargenSinPic(float xmax, float xmin, float ymax, float ymin) = 0;

    // 4: makes `DIBUJO` the target and fits the window to these extents.
    virtual void Margen(DrawingTarget& DIBUJO, float xmax, float xmin, float ymax, float ymin) = 0;

    // 5: the margin factor of later fits (write-only).
    virtual void escala(float faux) = 0;

    // 6: the pen colour for what follows.
    virtual void PoneQBColor(std::int16_t color) = 0;

    // 7: for every row i of `Pto2d1`, the segment from row i of `Pto2d1` to row i of `Pto2d2`.
    virtual bool DibuUnePtos2D(const PointArray& Pto2d1, const PointArray& Pto2d2,
                               std::optional<bool> rapido = std::nullopt) = 0;

    // 8: the open polyline through rows 1…`NP` of `pto2d`; a given `DIBUJO` becomes the target.
    virtual bool DibuGener(std::int32_t NP, const PointArray& pto2d,
                           DrawingTarget* DIBUJO = nullptr,
                           std::optional<bool> rapido = std::nullopt) = 0;

    // 9: the open polyline through (x(i), y(i)), i = 1…`NP`.
    virtual void DibuGener2(std::int32_t NP, const Array1<float>& x, const Array1<float>& y,
                            DrawingTarget* DIBUJO = nullptr,
                            std::optional<std::int16_t> color = std::nullopt,
                            std::optional<bool> rapido = std::nullopt) = 0;

    // 10: the open polyline through the 3D points (x2d(i), y2d(i), Z2d(i)), i = 1…`NP`.
    virtual void DibuGener3(std::int32_t NP, const Array1<float>& x2d, const Array1<float>& y2d,
                            const Array1<float>& Z2d,
                            std::optional<std::int16_t> color = std::nullopt,
                            std::optional<bool> rapido = std::nullopt) = 0;

    // 11, 12: the surface's initialised flag.
    virtual bool Iniciado() const = 0;
    virtual void Iniciado(bool baux) = 0;

    // 13: clears the drawing.
    virtual void Borra() = 0;

    // 14–17: the edges of the window.
    virtual float MinX() const = 0;
    virtual float MaxX() const = 0;
    virtual float MinY() const = 0;
    virtual float MaxY() const = 0;

    // 18: the open polyline of a 3D point list: row i of `Pnt2d1` gives two coordinates,
    // `Pnt1d1`(i) the third (for a section placed along a member, its position on the member).
    virtual void DibuGener3D(std::int32_t NP, const PointArray& Pnt2d1, const Array1<float>& Pnt1d1,
                             bool rapido) = 0;

    // 19: for every row i, the segment from 3D point i of the first list to 3D point i of the
    // second.
    virtual void DibuUnePtos3D(const PointArray& Pnt2d1, const PointArray& Pnt2d2,
                               const Array1<float>& Pnt1d1, const Array1<float>& Pnt1d2) = 0;

    // 20: fits the window of the current target to the extents of rows 1…`NP` of `pto2d`.
    virtual void MaxMinMargenNoPic(const PointArray& pto2d, std::int16_t NP) = 0;
};

} // namespace tresol

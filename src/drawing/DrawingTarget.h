#pragma once

#include "drawing/Palette.h"

#include <cstdint>
#include <string>

namespace tresol {

// What the picture-box plotter asks of the surface it draws on: a picture box or the printer.
// Coordinates are in the target's user scale; `Width` and `Height` are its outer size, of which
// only the ratio matters to a fit.
//
// Line styles (`DrawStyle`): 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 invisible,
// 6 inside solid. Fill styles (`FillStyle`): 0 solid, 1 transparent.
class DrawingTarget {
  public:
    virtual ~DrawingTarget() = default;

    virtual float ScaleLeft() const = 0;
    virtual float ScaleTop() const = 0;
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;
    virtual float Width() const = 0;
    virtual float Height() const = 0;

    // Sets the user scale so that (x1, y1) is the top-left corner and (x2, y2) the bottom-right
    // one. A window the target cannot show (no extent, or not finite) is refused: the result is
    // false and the scale stays as it was.
    virtual bool Scale(float x1, float y1, float x2, float y2) = 0;

    virtual void Cls() = 0;

    virtual float CurrentX() const = 0;
    virtual void CurrentX(float x) = 0;
    virtual float CurrentY() const = 0;
    virtual void CurrentY(float y) = 0;

    // Writes `text` with its top-left corner at the pen position.
    virtual void Print(const std::string& text) = 0;
    // The room `text` takes when printed, across and down, in the user scale (its lines as Print
    // moves the pen down by them).
    virtual float TextWidth(const std::string& text) const = 0;
    virtual float TextHeight(const std::string& text) const = 0;

    // A segment between two points, or from the pen position; both leave the pen at (x2, y2).
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
    virtual void Line(float x2, float y2) = 0;

    // A circle in the pen colour, filled according to `FillStyle`.
    virtual void Circle(float x, float y, float r) = 0;

    virtual Rgb ForeColor() const = 0;
    virtual void ForeColor(Rgb color) = 0;
    virtual std::int16_t DrawStyle() const = 0;
    virtual void DrawStyle(std::int16_t style) = 0;
    // Pen width in pixels.
    virtual void DrawWidth(std::int16_t width) = 0;
    virtual void FillStyle(std::int16_t style) = 0;

    virtual bool IsPrinter() const = 0;
};

} // namespace tresol

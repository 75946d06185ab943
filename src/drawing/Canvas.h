#pragma once

#include "drawing/DrawingTarget.h"

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace tresol {

// A picture box that keeps what was drawn on it: a display list in world coordinates, plus the
// user scale, the pen and the current point. The Qt picture box paints it and the exporters
// render it; the core draws into it without a display.
//
// As on a classic picture box: until a user scale is set the scale is the pixel grid of the box
// (0, 0 at the top left, y downwards) and follows its size; once `Scale` has set a user scale it
// stays as set when the box is resized. `Cls` empties the list and puts the pen at (0, 0). `Print`
// writes at the pen and moves it to the start of the next line. Drawing before any fit uses the
// scale in force. A printer canvas is the same with the printer flag set.
class Canvas : public DrawingTarget {
  public:
    struct Pen {
        Rgb color;
        std::int16_t style = 0;
        std::int16_t width = 1;

        friend bool operator==(const Pen&, const Pen&) = default;
    };
    struct Segment {
        float x1, y1, x2, y2;
        Pen pen;
    };
    struct CircleShape {
        float x, y, r;
        Pen pen;
        bool filled;
    };
    struct Text {
        float x, y;
        std::string text;
        Rgb color;
    };
    using Item = std::variant<Segment, CircleShape, Text>;

    // A screen picture box of `width` × `height` pixels, or the printer.
    explicit Canvas(float width = 320, float height = 240, bool printer = false);

    // DrawingTarget
    float ScaleLeft() const override { return scaleLeft_; }
    float ScaleTop() const override { return scaleTop_; }
    float ScaleWidth() const override { return scaleWidth_; }
    float ScaleHeight() const override { return scaleHeight_; }
    float Width() const override { return width_; }
    float Height() const override { return height_; }
    bool Scale(float x1, float y1, float x2, float y2) override;
    void Cls() override;
    float CurrentX() const override { return currentX_; }
    void CurrentX(float x) override { currentX_ = x; }
    float CurrentY() const override { return currentY_; }
    void CurrentY(float y) override { currentY_ = y; }
    void Print(const std::string& text) override;
    // Without a font at hand the width is reckoned from the font's pixel size: an average
    // character of a sans-serif face is about 0.6 of it across.
    float TextWidth(const std::string& text) const override;
    float TextHeight(const std::string& text) const override;
    void Line(float x1, float y1, float x2, float y2) override;
    void Line(float x2, float y2) override;
    void Circle(float x, float y, float r) override;
    Rgb ForeColor() const override { return pen_.color; }
    void ForeColor(Rgb color) override { pen_.color = color; }
    std::int16_t DrawStyle() const override { return pen_.style; }
    void DrawStyle(std::int16_t style) override;
    void DrawWidth(std::int16_t width) override;
    void FillStyle(std::int16_t style) override;
    bool IsPrinter() const override { return printer_; }

    // The outer size in pixels. Without a user scale the scale follows it.
    void setSize(float width, float height);
    bool hasUserScale() const { return userScale_; }

    // Text metrics in pixels: the font's pixel size and the distance from one printed line to
    // the next (which moves the pen after `Print`).
    void setTextMetrics(float fontPixelSize, float lineHeight);
    float fontPixelSize() const { return fontPixelSize_; }
    float lineHeight() const { return lineHeight_; }

    std::int16_t DrawWidth() const { return pen_.width; }
    std::int16_t FillStyle() const { return fillStyle_; }
    const Pen& pen() const { return pen_; }

    // The display list in drawing order, and views of it by kind.
    const std::vector<Item>& items() const { return items_; }
    std::vector<Segment> segments() const;
    std::vector<CircleShape> circles() const;
    std::vector<Text> texts() const;

    // Called once after the drawing changes, until the painter acknowledges it; a widget repaints
    // from it, so drawing many items costs one repaint request.
    void setChangeCallback(std::function<void()> callback);
    void acknowledgeChanges() { notified_ = false; }

  private:
    void changed();
    void addSegment(float x1, float y1, float x2, float y2);

    std::vector<Item> items_;
    float width_;
    float height_;
    bool printer_;
    bool userScale_ = false;
    float scaleLeft_ = 0;
    float scaleTop_ = 0;
    float scaleWidth_;
    float scaleHeight_;
    float currentX_ = 0;
    float currentY_ = 0;
    Pen pen_;
    std::int16_t fillStyle_ = 1;
    float fontPixelSize_ = 12;
    float lineHeight_ = 15;
    std::function<void()> onChange_;
    bool notified_ = false;
};

} // namespace tresol

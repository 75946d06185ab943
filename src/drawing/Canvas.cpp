#include "drawing/Canvas.h"

#include "platform/ProgrammingError.h"

#include <algorithm>
#include <cmath>

namespace tresol {

namespace {

bool usableSize(float w, float h) {
    return std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0;
}

// Characters across the longest line of a UTF-8 text (a byte that continues a sequence is part
// of the character before it).
std::size_t longestLine(const std::string& text) {
    std::size_t longest = 0, n = 0;
    for (const char c : text) {
        if (c == '\n') {
            longest = std::max(longest, n);
            n = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++n;
        }
    }
    return std::max(longest, n);
}

} // namespace

Canvas::Canvas(float width, float height, bool printer)
    : width_(width), height_(height), printer_(printer), scaleWidth_(width), scaleHeight_(height) {
    if (!usableSize(width, height))
        throw ProgrammingError("canvas size must be positive and finite");
}

bool Canvas::Scale(float x1, float y1, float x2, float y2) {
    const double w = double{x2} - x1;
    const double h = double{y2} - y1;
    const auto fw = static_cast<float>(w);
    const auto fh = static_cast<float>(h);
    // A window without extent, or one whose numbers overflow, would map the drawing nowhere.
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(fw) || !std::isfinite(fh) ||
        fw == 0 || fh == 0)
        return false;
    scaleLeft_ = x1;
    scaleTop_ = y1;
    scaleWidth_ = fw;
    scaleHeight_ = fh;
    userScale_ = true;
    changed();
    return true;
}

void Canvas::Cls() {
    items_.clear();
    currentX_ = 0;
    currentY_ = 0;
    changed();
}

void Canvas::Print(const std::string& text) {
    items_.push_back(Text{currentX_, currentY_, text, pen_.color});
    // Each line of the text moves the pen one line down in the user scale.
    const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
    const double step = double{lineHeight_} * scaleHeight_ / height_;
    currentX_ = scaleLeft_;
    currentY_ = static_cast<float>(currentY_ + static_cast<double>(lines) * step);
    changed();
}

float Canvas::TextWidth(const std::string& text) const {
    const double pixels = 0.6 * fontPixelSize_ * static_cast<double>(longestLine(text));
    return static_cast<float>(pixels * std::fabs(double{scaleWidth_}) / width_);
}

float Canvas::TextHeight(const std::string& text) const {
    const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
    return static_cast<float>(static_cast<double>(lines) * lineHeight_ *
                              std::fabs(double{scaleHeight_}) / height_);
}

void Canvas::addSegment(float x1, float y1, float x2, float y2) {
    items_.push_back(Segment{x1, y1, x2, y2, pen_});
    currentX_ = x2;
    currentY_ = y2;
    changed();
}

void Canvas::Line(float x1, float y1, float x2, float y2) {
    addSegment(x1, y1, x2, y2);
}

void Canvas::Line(float x2, float y2) {
    addSegment(currentX_, currentY_, x2, y2);
}

void Canvas::Circle(float x, float y, float r) {
    items_.push_back(CircleShape{x, y, r, pen_, fillStyle_ == 0});
    currentX_ = x;
    currentY_ = y;
    changed();
}

void Canvas::DrawStyle(std::int16_t style) {
    if (style < 0 || style > 6)
        throw ProgrammingError("DrawStyle " + std::to_string(style) + " outside 0…6");
    pen_.style = style;
}

void Canvas::DrawWidth(std::int16_t width) {
    if (width < 1)
        throw ProgrammingError("DrawWidth " + std::to_string(width) + " below 1");
    pen_.width = width;
}

void Canvas::FillStyle(std::int16_t style) {
    if (style < 0 || style > 1)
        throw ProgrammingError("FillStyle " + std::to_string(style) + " outside 0…1");
    fillStyle_ = style;
}

void Canvas::setSize(float width, float height) {
    if (!usableSize(width, height))
        return; // a box being laid out (or hidden) keeps its last usable size
    width_ = width;
    height_ = height;
    if (!userScale_) {
        scaleWidth_ = width;
        scaleHeight_ = height;
    }
    changed();
}

void Canvas::setTextMetrics(float fontPixelSize, float lineHeight) {
    if (!(fontPixelSize > 0) || !(lineHeight > 0) || !std::isfinite(fontPixelSize) ||
        !std::isfinite(lineHeight))
        throw ProgrammingError("text metrics must be positive and finite");
    fontPixelSize_ = fontPixelSize;
    lineHeight_ = lineHeight;
}

std::vector<Canvas::Segment> Canvas::segments() const {
    std::vector<Segment> out;
    for (const Item& item : items_)
        if (const auto* s = std::get_if<Segment>(&item))
            out.push_back(*s);
    return out;
}

std::vector<Canvas::CircleShape> Canvas::circles() const {
    std::vector<CircleShape> out;
    for (const Item& item : items_)
        if (const auto* c = std::get_if<CircleShape>(&item))
            out.push_back(*c);
    return out;
}

std::vector<Canvas::Text> Canvas::texts() const {
    std::vector<Text> out;
    for (const Item& item : items_)
        if (const auto* t = std::get_if<Text>(&item))
            out.push_back(*t);
    return out;
}

void Canvas::setChangeCallback(std::function<void()> callback) {
    onChange_ = std::move(callback);
    notified_ = false;
}

void Canvas::changed() {
    if (notified_ || !onChange_)
        return;
    notified_ = true;
    onChange_();
}

} // namespace tresol

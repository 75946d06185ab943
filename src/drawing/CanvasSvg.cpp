#include "drawing/CanvasSvg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <variant>
#include <vector>

namespace tresol {

namespace {

// A number as SVG reads it: always with the point, never an exponent it could misread.
std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    std::string s(buf);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string colour(Rgb c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return buf;
}

// Text content: the markup characters escaped, and the control characters XML 1.0 cannot hold
// at all dropped.
std::string escapeText(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += c;
        }
    }
    return out;
}

// The dash patterns of line styles 1…4, in pen widths; 0 and 6 are solid.
std::vector<double> dashes(std::int16_t style) {
    switch (style) {
    case 1:
        return {4, 2};
    case 2:
        return {1, 2};
    case 3:
        return {4, 2, 1, 2};
    case 4:
        return {4, 2, 1, 2, 1, 2};
    default:
        return {};
    }
}

// Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on a chain of temporaries.
std::string stroke(const Canvas::Pen& pen, double k) {
    const double w = std::max(1, static_cast<int>(pen.width)) * k;
    std::string s = " stroke=\"";
    s += colour(pen.color);
    s += "\" stroke-width=\"";
    s += num(w);
    s += '"';
    const std::vector<double> pattern = dashes(pen.style);
    if (pattern.empty()) {
        s += " stroke-linecap=\"round\"";
        return s;
    }
    s += " stroke-dasharray=\"";
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (i)
            s += ' ';
        s += num(pattern[i] * w);
    }
    s += '"';
    return s;
}

bool finite(double a, double b) {
    return std::isfinite(a) && std::isfinite(b);
}

} // namespace

std::string canvasSvg(const Canvas& canvas, double width, double height) {
    if (!(width > 0) || !(height > 0) || !finite(width, height))
        width = height = 1;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      num(width) + "\" height=\"" + num(height) + "\" viewBox=\"0 0 " + num(width) +
                      " " + num(height) + "\">\n<title>Tresol</title>\n<rect width=\"" +
                      num(width) + "\" height=\"" + num(height) + "\" fill=\"#ffffff\"/>\n";

    // World to page, one scale for both axes, the window's centre on the page's centre.
    const double sw = canvas.ScaleWidth();
    const double sh = canvas.ScaleHeight();
    const double s = std::min(width / std::fabs(sw), height / std::fabs(sh));
    const double sx = sw < 0 ? -s : s;
    const double sy = sh < 0 ? -s : s;
    const double cxWorld = canvas.ScaleLeft() + sw / 2;
    const double cyWorld = canvas.ScaleTop() + sh / 2;
    const double k = std::min(width / canvas.Width(), height / canvas.Height());
    auto X = [&](double x) { return width / 2 + (x - cxWorld) * sx; };
    auto Y = [&](double y) { return height / 2 + (y - cyWorld) * sy; };
    const double fontPx = std::max(1.0, std::round(canvas.fontPixelSize() * k));

    if (finite(s, k) && s > 0) {
        for (const Canvas::Item& item : canvas.items()) {
            if (const auto* g = std::get_if<Canvas::Segment>(&item)) {
                const double x1 = X(g->x1), y1 = Y(g->y1), x2 = X(g->x2), y2 = Y(g->y2);
                if (g->pen.style == 5 || !finite(x1, y1) || !finite(x2, y2))
                    continue;
                out += "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) +
                       "\" y2=\"" + num(y2) + "\"" + stroke(g->pen, k) + "/>\n";
            } else if (const auto* c = std::get_if<Canvas::CircleShape>(&item)) {
                const double cx = X(c->x), cy = Y(c->y), r = double{c->r} * s;
                if (!finite(cx, cy) || !std::isfinite(r) || r < 0)
                    continue;
                out += "<circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"" + num(r) +
                       "\" fill=\"" + (c->filled ? colour(c->pen.color) : std::string("none")) +
                       "\"" +
                       (c->pen.style == 5 ? std::string(" stroke=\"none\"") : stroke(c->pen, k)) +
                       "/>\n";
            } else {
                const auto& t = std::get<Canvas::Text>(item);
                const double x = X(t.x), y = Y(t.y);
                if (!finite(x, y))
                    continue;
                // The pen is the text's top-left corner, as on the picture box.
                out += "<text x=\"" + num(x) + "\" y=\"" + num(y) +
                       "\" dominant-baseline=\"hanging\" font-family=\"sans-serif\" "
                       "font-size=\"" +
                       num(fontPx) + "\" fill=\"" + colour(t.color) + "\" xml:space=\"preserve\">" +
                       escapeText(t.text) + "</text>\n";
            }
        }
    }
    out += "</svg>\n";
    return out;
}

} // namespace tresol

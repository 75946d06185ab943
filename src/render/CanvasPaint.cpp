#include "render/CanvasPaint.h"

#include "drawing/CanvasSvg.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <variant>

namespace tresol::render {

namespace {

// World (user scale) to device, one scale for both axes.
struct Mapping {
    double s = 1, sx = 1, sy = 1; // sx, sy carry the direction of each axis
    double cxWorld = 0, cyWorld = 0, cxDev = 0, cyDev = 0;
    double k = 1; // device pixels per canvas pixel, for pens and text

    QPointF map(double x, double y) const {
        return {cxDev + (x - cxWorld) * sx, cyDev + (y - cyWorld) * sy};
    }
};

Mapping mappingFor(const Canvas& c, const QRectF& area) {
    Mapping m;
    const double sw = c.ScaleWidth();
    const double sh = c.ScaleHeight();
    m.s = std::min(area.width() / std::fabs(sw), area.height() / std::fabs(sh));
    m.sx = sw < 0 ? -m.s : m.s;
    m.sy = sh < 0 ? -m.s : m.s;
    m.cxWorld = c.ScaleLeft() + sw / 2;
    m.cyWorld = c.ScaleTop() + sh / 2;
    m.cxDev = area.center().x();
    m.cyDev = area.center().y();
    m.k = std::min(area.width() / c.Width(), area.height() / c.Height());
    return m;
}

bool finitePoint(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The part of a segment inside `box` (Cohen–Sutherland); false when none is. Each end moves
// along the segment's own slope, so a line parallel to an axis keeps its exact position however
// far its ends lie.
bool clip(QPointF& a, QPointF& b, const QRectF& box) {
    auto outcode = [&box](const QPointF& p) {
        int c = 0;
        if (p.x() < box.left())
            c |= 1;
        else if (p.x() > box.right())
            c |= 2;
        if (p.y() < box.top())
            c |= 4;
        else if (p.y() > box.bottom())
            c |= 8;
        return c;
    };
    int ca = outcode(a), cb = outcode(b);
    for (int step = 0; step < 8; ++step) {
        if ((ca | cb) == 0)
            return true;
        if ((ca & cb) != 0)
            return false;
        const int c = ca != 0 ? ca : cb;
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        QPointF p;
        if (c & 1)
            p = {box.left(), a.y() + dy * ((box.left() - a.x()) / dx)};
        else if (c & 2)
            p = {box.right(), a.y() + dy * ((box.right() - a.x()) / dx)};
        else if (c & 4)
            p = {a.x() + dx * ((box.top() - a.y()) / dy), box.top()};
        else
            p = {a.x() + dx * ((box.bottom() - a.y()) / dy), box.bottom()};
        if (c == ca) {
            a = p;
            ca = outcode(a);
        } else {
            b = p;
            cb = outcode(b);
        }
    }
    return false;
}

QColor toQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QPen penFor(const Canvas::Pen& p, double k) {
    static constexpr Qt::PenStyle styles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                              Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen,
                                              Qt::SolidLine};
    const Qt::PenStyle style = styles[std::clamp<int>(p.style, 0, 6)];
    QPen pen(toQColor(p.color), p.width * k, style);
    if (style == Qt::SolidLine) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    } else {
        pen.setCapStyle(Qt::FlatCap);
    }
    return pen;
}

class Painter {
  public:
    Painter(QPainter& p, const Canvas& c, const QRectF& area, const QFont& font)
        : p_(p), m_(mappingFor(c, area)) {
        const double margin = std::max(area.width(), area.height()) + 16;
        safe_ = area.adjusted(-margin, -margin, margin, margin);
        run_.reserve(static_cast<qsizetype>(std::min<std::size_t>(c.items().size() + 1, 1u << 16)));
        font_ = font;
        font_.setPixelSize(std::max(1, static_cast<int>(std::lround(c.fontPixelSize() * m_.k))));
    }

    void segment(const Canvas::Segment& s) {
        if (s.pen.style == 5)
            return;
        QPointF a = m_.map(s.x1, s.y1);
        QPointF b = m_.map(s.x2, s.y2);
        if (!finitePoint(a) || !finitePoint(b)) {
            flush();
            return;
        }
        if (!inSafe(a) || !inSafe(b)) {
            // Far outside: draw the visible part on its own, never the raw numbers.
            flush();
            if (clip(a, b, safe_)) {
                p_.setPen(penFor(s.pen, m_.k));
                p_.drawLine(a, b);
            }
            return;
        }
        // Segments that continue one another in the same pen go out as one polyline.
        if (!run_.isEmpty() &&
            (s.pen != runPen_ || run_.constLast().x() != a.x() || run_.constLast().y() != a.y()))
            flush();
        if (run_.isEmpty()) {
            runPen_ = s.pen;
            run_.append(a);
        }
        run_.append(b);
    }

    void circle(const Canvas::CircleShape& c) {
        flush();
        const QPointF centre = m_.map(c.x, c.y);
        const double r = double{c.r} * m_.s;
        if (!finitePoint(centre) || !std::isfinite(r) || r < 0 || r > 4 * safe_.width() ||
            !safe_.adjusted(-r, -r, r, r).contains(centre))
            return;
        p_.setPen(c.pen.style == 5 ? QPen(Qt::NoPen) : penFor(c.pen, m_.k));
        p_.setBrush(c.filled ? QBrush(toQColor(c.pen.color)) : QBrush(Qt::NoBrush));
        p_.drawEllipse(centre, r, r);
        p_.setBrush(Qt::NoBrush);
    }

    void text(const Canvas::Text& t) {
        flush();
        const QPointF at = m_.map(t.x, t.y);
        if (!finitePoint(at) || !inSafe(at))
            return;
        p_.setPen(toQColor(t.color));
        p_.setFont(font_);
        p_.drawText(QRectF(at, QSizeF(safe_.width(), safe_.height())),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                    QString::fromStdString(t.text));
    }

    void flush() {
        if (run_.size() >= 2) {
            p_.setPen(penFor(runPen_, m_.k));
            p_.drawPolyline(run_);
        }
        run_.clear();
    }

  private:
    bool inSafe(const QPointF& p) const {
        return p.x() >= safe_.left() && p.x() <= safe_.right() && p.y() >= safe_.top() &&
               p.y() <= safe_.bottom();
    }

    QPainter& p_;
    Mapping m_;
    QRectF safe_;
    QFont font_;
    QPolygonF run_;
    Canvas::Pen runPen_;
};

// The CRC-32 of PNG chunks (ISO 3309), a byte at a time.
constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
    return t;
}();

void appendBigEndian(QByteArray& out, std::uint32_t v) {
    const char bytes[] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                          static_cast<char>(v >> 8), static_cast<char>(v)};
    out.append(bytes, 4);
}

void appendChunk(QByteArray& out, const char* type, const QByteArray& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const qsizetype from = out.size();
    out.append(type, 4);
    out.append(data);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (qsizetype i = from; i < out.size(); ++i)
        crc = kCrcTable[(crc ^ static_cast<std::uint8_t>(out[i])) & 0xFF] ^ (crc >> 8);
    appendBigEndian(out, crc ^ 0xFFFFFFFFu);
}

// An opaque image as PNG, written for speed: grey levels when every pixel is grey (a section
// drawing is black on white), else RGB, its rows unfiltered and deflated at zlib's fastest level.
// Qt's writer tries every filter on every row of four channels and deflates harder: about ten
// times slower, for files about as large.
QByteArray opaquePng(const QImage& source) {
    const QImage image = source.format() == QImage::Format_RGB32 ||
                                 source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    const auto w = static_cast<qsizetype>(image.width());
    const int h = image.height();
    auto greyRows = [&](QByteArray& raw) {
        char* o = raw.data();
        for (int y = 0; y < h; ++y) {
            const auto* px = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            *o++ = 0; // filter: none
            for (qsizetype x = 0; x < w; ++x) {
                const QRgb p = px[x];
                if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p))
                    return false;
                *o++ = static_cast<char>(qRed(p));
            }
        }
        return true;
    };
    QByteArray raw(h * (1 + w), Qt::Uninitialized);
    const bool grey = greyRows(raw);
    if (!grey) {
        raw.resize(h * (1 + 3 * w));
        char* o = raw.data();
        for (int y = 0; y < h; ++y) {
            const auto* px = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            *o++ = 0;
            for (qsizetype x = 0; x < w; ++x) {
                *o++ = static_cast<char>(qRed(px[x]));
                *o++ = static_cast<char>(qGreen(px[x]));
                *o++ = static_cast<char>(qBlue(px[x]));
            }
        }
    }
    // qCompress gives a zlib stream, as IDAT holds it, after four bytes of its own.
    QByteArray idat = qCompress(raw, 1);
    idat.remove(0, 4);

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, static_cast<std::uint32_t>(w));
    appendBigEndian(header, static_cast<std::uint32_t>(h));
    const char depthAndKind[] = {8, static_cast<char>(grey ? 0 : 2), 0, 0, 0};
    header.append(depthAndKind, 5);
    appendChunk(png, "IHDR", header);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray physical;
        appendBigEndian(physical, static_cast<std::uint32_t>(image.dotsPerMeterX()));
        appendBigEndian(physical, static_cast<std::uint32_t>(image.dotsPerMeterY()));
        physical.append(char(1)); // per metre
        appendChunk(png, "pHYs", physical);
    }
    appendChunk(png, "IDAT", idat);
    appendChunk(png, "IEND", {});
    return png;
}

} // namespace

bool paintOn(QPaintDevice& device, const Canvas& canvas, const QRectF& area, const QFont& font,
             bool whiteBackground) {
    QPainter p;
    if (!p.begin(&device))
        return false;
    if (whiteBackground)
        p.fillRect(area, Qt::white);
    paintCanvas(p, canvas, area, font);
    return p.end();
}

void paintCanvas(QPainter& painter, const Canvas& canvas, const QRectF& area, const QFont& font) {
    if (!(area.width() > 0) || !(area.height() > 0))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Painter out(painter, canvas, area, font);
    for (const Canvas::Item& item : canvas.items()) {
        if (const auto* s = std::get_if<Canvas::Segment>(&item))
            out.segment(*s);
        else if (const auto* c = std::get_if<Canvas::CircleShape>(&item))
            out.circle(*c);
        else
            out.text(std::get<Canvas::Text>(item));
    }
    out.flush();
    painter.restore();
}

QImage canvasImage(const Canvas& canvas, QSize size, qreal pixelRatio, const QFont& font) {
    QImage image(size * pixelRatio, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    QPainter p(&image);
    paintCanvas(p, canvas, QRectF(QPointF(0, 0), QSizeF(size)), font);
    return image;
}

QByteArray canvasPng(const Canvas& canvas, QSize size, qreal pixelRatio, const QFont& font) {
    const QImage image = canvasImage(canvas, size, pixelRatio, font);
    return image.isNull() ? QByteArray() : opaquePng(image);
}

bool exportPng(const Canvas& canvas, const QString& path, QSize size, qreal pixelRatio,
               const QFont& font) {
    const QByteArray png = canvasPng(canvas, size, pixelRatio, font);
    QFile file(path);
    if (png.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(png) == png.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

bool exportSvg(const Canvas& canvas, const QString& path, QSize size, const QFont&) {
    const std::string svg = canvasSvg(canvas, size.width(), size.height());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(svg.data(), static_cast<qint64>(svg.size())) ==
               static_cast<qint64>(svg.size());
}

bool exportPdf(const Canvas& canvas, const QString& path, QSize size, const QFont& font) {
    QPdfWriter pdf(path);
    pdf.setCreator(QStringLiteral("Tresol"));
    // 96 pixels to the inch, 72 points to the inch.
    pdf.setPageSize(QPageSize(QSizeF(size) * 0.75, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    const QRectF area(QPointF(0, 0), QSizeF(size) * (pdf.resolution() / 96.0));
    return paintOn(pdf, canvas, area, font, true);
}

bool saveCanvas(const Canvas& canvas, const QString& path, QSize size, qreal pixelRatio,
                const QFont& font) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("png"))
        return exportPng(canvas, path, size, pixelRatio, font);
    if (ext == QLatin1String("svg"))
        return exportSvg(canvas, path, size, font);
    if (ext == QLatin1String("pdf"))
        return exportPdf(canvas, path, size, font);
    return false;
}

} // namespace tresol::render
